#!/usr/bin/env python3
"""The web page that `zebtool html` writes for a hint file, read in a real
headless Chromium: hints revealed one at a time and remembered, hidden
hint texts, links, history, pictures with hot regions, the keyboard,
narrow screens, colour schemes, print, and markup in a file's texts that
must stay text.

  /usr/bin/python3 page_test.py --zebtool PATH --example MOONFALL.ZEB \\
      --help-file ZEBWIN.ZEB --work DIR [--screenshots DIR] [unittest options]

The pages are served by `python3 -m http.server` on 127.0.0.1; the browser
resolves no other host. Exits 77 (skipped) where the browser is missing."""

import argparse
import json
import os
import re
import shutil
import socket
import struct
import subprocess
import sys
import time
import unittest
import urllib.request
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
import browser  # noqa: E402

NAME = "WebPage.InChromium"
ARGS = None
SITE = None
VIEWS = {}  # page name: its views, as PageTestCase.crawl finds them

# Long texts: a title longer than a page shows, and a line of a hint.
LONG_TITLE = "T" * 10000
LONG_LINE = "z" * 10000
SHOWN_TITLE_LENGTH = 1000
ELLIPSIS = "\u2026"
SOUND_NOTE = "Sounds are not played by this reader."
OLD_PICTURE_NOTE = "Pictures of this older kind are not shown by this reader."
LAST_CAPTION = "No more hints."


def caption(shown, count):
    return f"Hint {shown} of {count}.  Another hint?"


def normalize(text):
    return " ".join(text.split())


# ---- the files ----------------------------------------------------------------

def zebtool(*arguments):
    done = subprocess.run([ARGS.zebtool, *map(str, arguments)], capture_output=True, text=True,
                          encoding="utf-8", errors="replace")
    if done.returncode != 0:
        raise RuntimeError(f"zebtool {' '.join(map(str, arguments))} failed ({done.returncode}):\n"
                           f"{done.stdout}{done.stderr}")
    return done.stdout


def write_png(path, width, height, background, boxes=()):
    """An RGB PNG of one colour with filled boxes (left, top, right, bottom, colour)."""
    rows = []
    for y in range(height):
        row = bytearray(background * width)
        for left, top, right, bottom, colour in boxes:
            if top <= y < bottom:
                row[left * 3:right * 3] = bytes(colour) * (right - left)
        rows.append(b"\0" + bytes(row))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    Path(path).write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                           + chunk(b"IDAT", zlib.compress(b"".join(rows))) + chunk(b"IEND", b""))


def build_fixture(source, out, edit=None, encoding="utf-8"):
    """Compiles a fixture source (in a folder of its own, beside the files
    it names), after edit(text) where given, written in encoding."""
    folder = out.parent / (out.stem + "-source")
    folder.mkdir(parents=True, exist_ok=True)
    text = (HERE / "fixtures" / source).read_text(encoding="utf-8")
    if edit:
        edited = edit(text)
        assert edited != text, "the edit of " + source + " changed nothing"
        text = edited
    (folder / source).write_text(text, encoding=encoding)
    if source in ("picture.zebsrc", "nested.zebsrc"):
        write_png(folder / "spot.png", 40, 40, (250, 214, 40))
    if source == "picture.zebsrc":
        write_png(folder / "wide.png", 640, 320, (214, 226, 190), [
            (16, 16, 136, 96, (120, 120, 150)), (200, 40, 300, 140, (80, 140, 200)), (205, 45, 235, 75, (40, 200, 90)),
            (360, 200, 420, 260, (60, 60, 60)), (520, 24, 620, 88, (200, 120, 80)),
            (440, 120, 500, 180, (160, 100, 160)), (40, 200, 300, 300, (130, 170, 110))])
        (folder / "bell.wav").write_bytes(b"RIFF\x24\0\0\0WAVEfmt " + bytes(20))
        (folder / "old.gif").write_bytes(b"GIF89a" + bytes(20))
    zebtool("build", folder / source, "-o", out)
    return out


def page_data(html_path):
    """The data block of a page, as JSON."""
    text = Path(html_path).read_text(encoding="utf-8")
    match = re.search(r'<script type="application/json" id="zeb-data">(.*?)</script>', text, re.S)
    assert match, f"{html_path} has no data block"
    return json.loads(match.group(1))


QUESTIONS = (3, 10)  # the kinds of node whose items are hints: HINT, NESTHINT
TEXT_LINE, PNG_OBJECT, BLANK = 17, 16, 6


def titles_among_hints(hint_file):
    """The titles of the nodes that stand among the hints of a question, at
    any depth, as `zebtool tree` reads the tree the page shows: {title:
    whether it lies beyond the first hint of a question, so that opening
    views reveals it nowhere}. Titles that also stand outside every hint
    are left out."""
    objects = json.loads(zebtool("tree", hint_file))["objects"]
    root = [o for o in objects if o["kind"] == 4][-1]  # the newer section's root
    among, outside = {}, set()

    def walk(node, in_hint, beyond):
        hint = 0
        for item in node.get("items", []):
            if item["kind"] == TEXT_LINE:
                if node["kind"] in QUESTIONS and item["text"] == "-":
                    hint += 1
                continue
            item_in_hint = in_hint or node["kind"] in QUESTIONS
            item_beyond = beyond or (node["kind"] in QUESTIONS and hint > 0)
            if item["kind"] not in (PNG_OBJECT, BLANK):
                if item_in_hint:
                    among[item["text"]] = among.get(item["text"], True) and item_beyond
                else:
                    outside.add(item["text"])
            walk(item, item_in_hint, item_beyond)

    walk(root, False, False)
    return {title: beyond for title, beyond in among.items() if title not in outside}


def crc32_forced(data, at, target):
    """data with the four bytes at offset at chosen so that its CRC-32 is
    target. The CRC of a change is linear in the changed bits: solve for them."""
    base = bytearray(data)
    base[at:at + 4] = bytes(4)
    start = zlib.crc32(base)
    basis = {}  # highest bit: (effect on the CRC, the bits that make it)
    for bit in range(32):
        trial = bytearray(base)
        trial[at + bit // 8] ^= 1 << (bit % 8)
        effect, bits = zlib.crc32(trial) ^ start, 1 << bit
        while effect:
            top = effect.bit_length() - 1
            if top not in basis:
                basis[top] = (effect, bits)
                break
            effect, bits = effect ^ basis[top][0], bits ^ basis[top][1]
    want, bits = target ^ start, 0
    while want:
        top = want.bit_length() - 1
        want, bits = want ^ basis[top][0], bits ^ basis[top][1]
    base[at:at + 4] = bits.to_bytes(4, "little")
    assert zlib.crc32(base) == target
    return bytes(base)


def build_crc32_twin(source, twin_of, out, edit):
    """A file built from source after edit, whose four bytes "????" are
    chosen so that it has the CRC-32 of the file twin_of; tried with other
    edits until none of the four is a byte that ends a line or the text."""
    target = zlib.crc32(Path(twin_of).read_bytes())
    for attempt in range(100):
        build_fixture(source, out, lambda s: edit(s).replace("????", "????" + "." * attempt))
        data = Path(out).read_bytes()
        forged = crc32_forced(data, data.index(b"????"), target)
        patch = forged[data.index(b"????"):data.index(b"????") + 4]
        if not set(patch) & {0x00, 0x0A, 0x0D, 0x1A, ord("#")}:
            Path(out).write_bytes(forged)
            return out
    raise RuntimeError("no four bytes give the CRC-32 wanted")


HEADING = re.compile(r"^(?:\d+\.)+ (.*)$")
REFERENCE = re.compile(r" \[see (?:\d+\.)+\]$")


def decoded_questions(hint_file):
    """The questions of a hint file with more than one hint, as `zebtool
    decode` writes them with every hint revealed: [(title, [hint, ...])]."""
    questions = []
    hints = None
    blanks = 2
    for line in zebtool("decode", hint_file).split("\n"):
        heading = HEADING.match(line)
        if heading and blanks >= 2:
            hints = []
            questions.append((heading.group(1), hints))
        elif line.startswith("* ") and hints is not None:
            hints.append(line[2:])
        elif line.strip() and hints:
            hints[-1] += " " + REFERENCE.sub("", line)
        blanks = blanks + 1 if not line.strip() else 0
    return [(title, [normalize(h) for h in hints]) for title, hints in questions if len(hints) > 1]


def probe(hint):
    """The first words of a hint: a phrase that stands in one line of the file."""
    return " ".join(hint.split()[:4])


class Site:
    """The pages under test, served over HTTP on 127.0.0.1."""

    def __init__(self, work):
        self.root = Path(work) / "page-test"
        shutil.rmtree(self.root, ignore_errors=True)
        self.root.mkdir(parents=True)
        (self.root / "blank.html").write_text("<!DOCTYPE html><title>blank</title>\n")
        files = self.root / "files"
        files.mkdir()
        self.sources = {
            "moonfall": Path(ARGS.example),
            "help": Path(ARGS.help_file),
            "hostile": build_fixture("hostile.zebsrc", files / "HOSTILE.ZEB"),
            "accents": build_fixture("accents.zebsrc", files / "ACCENTS.ZEB", encoding="cp1252"),
            "picture": build_fixture("picture.zebsrc", files / "PICTURE.ZEB"),
            "twins": build_fixture("twins.zebsrc", files / "TWINS.ZEB"),
            # The same questions under another title, and another edition of
            # the file with the same title: neither may share its memory.
            "twins-title": build_fixture("twins.zebsrc", files / "TWINS2.ZEB",
                                         lambda s: s.replace("@subject Twin Towers", "@subject Twin Towers Again")),
            "twins-edition": build_fixture("twins.zebsrc", files / "TWINS3.ZEB",
                                           lambda s: s.replace("crowbar.", "iron bar.")),
            "nested": build_fixture("nested.zebsrc", files / "NESTED.ZEB"),
            # Two files of the oldest generation, the same but for their
            # authors' notes, with one CRC-32.
            "oldest": build_fixture("oldest.zebsrc", files / "OLDEST.ZEB"),
        }
        # A title and an unbroken run of 60,000 characters in a hint, made of
        # lines the file format allows: lines of 10,000 characters that
        # "#w-" and "#w+" join with no space between them.
        self.sources["long"] = build_fixture("twins.zebsrc", files / "LONG.ZEB", lambda s: s.replace(
            "@subject Twin Towers", "@subject " + LONG_TITLE).replace(
            "The door is older than it looks.", "\n#w-\n#w+\n".join([LONG_LINE] * 6)))
        self.sources["oldest-forged"] = build_crc32_twin(
            "oldest.zebsrc", self.sources["oldest"], files / "FORGED.ZEB",
            lambda s: s.replace("Edition one.", "Edition two."))
        for name, source in self.sources.items():
            zebtool("html", source, "-o", self.root / (name + ".html"))
        self.server = FolderServer(self.root, self.root / "server.log", "/blank.html")
        self.url = self.server.url

    def page(self, name):
        return self.root / (name + ".html")

    def requests(self):
        return self.server.requests()

    def stop(self):
        self.server.stop()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class FolderServer:
    """A folder served by python3 -m http.server on 127.0.0.1, its requests
    logged; ready once the probe path answers."""

    def __init__(self, folder, log, probe, port=None):
        self.port = port or free_port()
        self.url = f"http://127.0.0.1:{self.port}"
        self.log = log
        self.log_stream = log.open("w")
        self.process = subprocess.Popen(
            [sys.executable, "-m", "http.server", "--bind", "127.0.0.1", str(self.port), "--directory", str(folder)],
            stdout=subprocess.DEVNULL, stderr=self.log_stream)
        deadline = time.time() + 20
        while True:
            try:
                urllib.request.urlopen(self.url + probe, timeout=2).read()
                break
            except OSError:
                if time.time() > deadline or self.process.poll() is not None:
                    self.stop()
                    raise RuntimeError("the HTTP server did not start")
                time.sleep(0.1)

    def requests(self):
        """The paths requested from the server so far."""
        return re.findall(r'"GET (\S+) HTTP', self.log.read_text())

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)
        self.log_stream.close()


def setUpModule():
    global SITE
    SITE = Site(ARGS.work)


def tearDownModule():
    if SITE:
        SITE.stop()


# ---- the browser ----------------------------------------------------------------

class PageTestCase(unittest.TestCase):
    """One browser per class of tests; every test starts at desktop size
    with the default colours and nothing remembered."""

    @classmethod
    def setUpClass(cls):
        cls.driver = browser.start()

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    def setUp(self):
        from selenium.webdriver.support.ui import WebDriverWait
        self.wait = WebDriverWait(self.driver, 10, poll_frequency=0.05)
        browser.set_window(self.driver, 1200, 900)
        browser.emulate_media(self.driver)
        self.driver.get(SITE.url + "/blank.html")
        self.driver.execute_script("localStorage.clear()")

    # -- moving around
    def open(self, name, fragment="", url=None):
        """Loads a page afresh, as from a bookmark."""
        self.driver.get("about:blank")
        self.driver.get(url or f"{SITE.url}/{name}.html{fragment}")
        self.wait.until(lambda d: d.execute_script(
            'return performance.getEntriesByName("zeb-first-view").length > 0'))

    def heading(self):
        return self.driver.find_element("css selector", "main#view > h1")

    def title(self):
        return self.heading().get_attribute("textContent")

    def moved(self, action):
        """Does action and waits for the view it leads to."""
        from selenium.common.exceptions import TimeoutException
        from selenium.webdriver.support import expected_conditions
        old = self.heading()
        action()
        try:
            self.wait.until(expected_conditions.staleness_of(old))
        except TimeoutException:
            self.fail(f"no other view follows in place of {old.get_attribute('textContent')!r}")

    def element_with_text(self, text, selector="main#view a.node"):
        found = self.driver.execute_script(
            "return [...document.querySelectorAll(arguments[0])].filter(e => e.textContent === arguments[1])",
            selector, text)
        self.assertEqual(len(found), 1, f"one {selector} reading {text!r} in the view {self.title()!r}")
        return found[0]

    def follow(self, text):
        """Follows the link of the view that reads text."""
        self.moved(self.element_with_text(text).click)

    def go(self, fragment):
        if self.driver.execute_script("return location.hash") == fragment:
            return
        self.moved(lambda: self.driver.execute_script("location.hash = arguments[0]", fragment))

    # -- what the view shows
    def body_text(self):
        return normalize(self.driver.execute_script('return document.querySelector("main#view .body").textContent'))

    def caption(self):
        return self.driver.execute_script('const b = document.getElementById("more"); return b && b.textContent')

    def more(self):
        self.driver.find_element("id", "more").click()

    def reveal_all(self):
        self.driver.execute_script(
            'for (let i = 0, b; i < 1000 && (b = document.getElementById("more")) && b.textContent !== arguments[0];'
            ' i++) b.click();', LAST_CAPTION)

    def status(self):
        return self.driver.find_element("id", "status").get_attribute("textContent")

    def views(self, name):
        """The views of a page, as crawl finds them (found once a run)."""
        if name not in VIEWS:
            VIEWS[name] = self.crawl(name)
        return VIEWS[name]

    def crawl(self, name):
        """Every view of a page that links reach from its first, each with
        all its hints revealed: [(fragment, title)]. Forgets the hints again."""
        self.open(name)
        seen, queue, views = {"#v0"}, ["#v0"], []
        while queue:
            fragment = queue.pop(0)
            self.go(fragment)
            self.reveal_all()
            views.append((fragment, self.title()))
            for href in self.driver.execute_script(
                    'return [...document.querySelectorAll("main#view a[href^=\'#v\']")].map(a => a.getAttribute("href"))'):
                if href not in seen:
                    seen.add(href)
                    queue.append(href)
        self.driver.execute_script("localStorage.clear()")
        return views

    def fragment_of(self, views, title):
        for fragment, seen_title in views:
            if seen_title == title:
                return fragment
        self.fail(f"no view titled {title!r}")

    def assert_no_problems(self):
        self.assertEqual(browser.problems(self.driver), [])


# ---- hints -------------------------------------------------------------------------

class RevealingHints(PageTestCase):
    def test_every_question_reveals_its_hints_one_at_a_time(self):
        for name in ("moonfall", "help"):
            questions = decoded_questions(SITE.sources[name])
            self.assertTrue(questions, f"{name} has questions with several hints")
            views = self.views(name)
            for title, hints in questions:
                with self.subTest(file=name, question=title):
                    self.open(name, self.fragment_of(views, title))
                    count = len(hints)
                    for shown in range(1, count + 1):
                        self.assertEqual(self.body_text(), normalize(" ".join(hints[:shown])))
                        self.assertEqual(self.caption(), caption(shown, count) if shown < count else LAST_CAPTION)
                        document = normalize(self.driver.execute_script("return document.documentElement.outerHTML"))
                        for hidden in hints[shown:]:
                            self.assertNotIn(probe(hidden), document)
                        if shown < count:
                            self.more()
                            # The new hint is read out to screen readers.
                            self.assertEqual(normalize(self.driver.find_element("id", "announce")
                                                       .get_attribute("textContent")), hints[shown])
                    self.assertEqual(len(self.driver.find_elements("css selector", "main#view hr.separator")),
                                     count - 1)
        self.assert_no_problems()

    def test_no_more_hints_closes_the_question(self):
        # Reached by links it goes back where it came from; opened from a
        # bookmark, to the view above it. Either way the page stays: the
        # question opened from a bookmark, left and come back to with Back,
        # has no view of the page before it in the history.
        for start, expected in (("walked", "The Grounds"), ("bookmark", "The Manor Grounds"),
                                ("bookmark, up and Back", "The Manor Grounds")):
            with self.subTest(start=start):
                self.open("moonfall")
                self.follow("The Grounds")
                self.follow("How do I get through the maze?")
                if start.startswith("bookmark"):
                    self.open("moonfall", url=self.driver.current_url)
                if start == "bookmark, up and Back":
                    self.moved(self.element_with_text("The Manor Grounds", "nav#path a").click)
                    self.moved(self.driver.back)
                self.reveal_all()
                self.assertEqual(self.caption(), LAST_CAPTION)
                self.moved(self.more)
                self.assertRegex(self.driver.current_url, r"/moonfall\.html#v\d+$", "the page stays open")
                self.assertEqual(self.title(), expected)

    def test_letters_beyond_ascii_show_as_the_file_means_them(self):
        (root, subject, question), lines = fixture_texts("accents.zebsrc")
        self.open("accents")
        self.assertEqual(self.title(), root)
        self.follow(subject)
        self.follow(question)
        self.assertEqual(self.driver.title, f"{question} - ZEB: Hints for {root}")
        self.assertEqual(self.body_text(), normalize(lines[0]))
        self.reveal_all()
        self.assertEqual(self.body_text(), normalize(" ".join(lines)))

    def test_a_question_inside_a_hint_is_a_link_to_its_own_view(self):
        self.open("moonfall")
        self.follow("The Manor House")
        self.follow("Why does the grandfather clock keep striking thirteen?")
        nested = "Where is the key of the clock?"
        links = lambda: self.driver.execute_script(
            'return [...document.querySelectorAll("main#view .body a.node")].map(a => a.textContent)')
        self.more()
        self.assertNotIn(nested, links())
        self.more()
        self.assertEqual(links(), [nested])
        self.follow(nested)
        self.assertEqual(self.title(), nested)
        self.assertEqual(self.caption(), caption(1, 3))


class HiddenHints(PageTestCase):
    def test_page_bytes_hold_titles_but_no_hint_text(self):
        for name in ("moonfall", "help"):
            with self.subTest(file=name):
                page = normalize(SITE.page(name).read_text(encoding="utf-8"))
                titles = {node["t"] for node in page_data(SITE.page(name))["nodes"]}
                questions = decoded_questions(SITE.sources[name])
                probes = {probe(hint) for _, hints in questions for hint in hints}
                probes = {p for p in probes if len(p) >= 12 and re.fullmatch(r"[A-Za-z0-9 ,.;:?!'()-]+", p)
                          and not any(p in t for t in titles)}
                self.assertTrue(probes, "phrases of hints to look for")
                for phrase in sorted(probes):
                    self.assertNotIn(phrase, page)
                among = titles_among_hints(SITE.sources[name])
                for title, _ in questions:
                    if title not in among:
                        self.assertIn(title, page)

    def test_titles_among_hints_are_hidden_until_their_hint_is_revealed(self):
        for name in ("moonfall", "nested"):
            with self.subTest(file=name):
                among = titles_among_hints(SITE.sources[name])
                beyond = sorted(title for title, later in among.items() if later)
                self.assertTrue(beyond, "titles that lie beyond a first hint")
                if name == "moonfall":
                    self.assertIn("Where is the key of the clock?", beyond)
                page = SITE.page(name).read_text(encoding="utf-8")
                for title in among:
                    self.assertFalse(title in page, f"{title!r} in the page's bytes")
                # Every view that links reach with no hint revealed.
                self.open(name)
                seen, queue = {"#v0"}, ["#v0"]
                while queue:
                    self.go(queue.pop(0))
                    document = self.driver.execute_script("return document.documentElement.outerHTML")
                    for title in beyond:
                        self.assertFalse(title in document, f"{title!r} in the view {self.title()!r}")
                    for href in self.driver.execute_script(
                            'return [...document.querySelectorAll("a[href^=\'#v\']")].map(a => a.getAttribute("href"))'):
                        if href not in seen:
                            seen.add(href)
                            queue.append(href)
                # Revealed, each shows where it stands.
                documents = []
                for fragment, _ in self.views(name):
                    self.go(fragment)
                    self.reveal_all()
                    documents.append(self.driver.execute_script("return document.documentElement.outerHTML"))
                for title in among:
                    self.assertTrue(any(title in document for document in documents), title)
                self.driver.execute_script("localStorage.clear()")
        self.assert_no_problems()

    def test_find_in_page_finds_a_hint_only_once_revealed(self):
        find = lambda text: self.driver.execute_script(
            "getSelection().removeAllRanges(); return window.find(arguments[0], false, false, true)", text)
        self.open("moonfall")
        self.follow("The Manor House")
        question = "How do I get past the locked front door?"
        self.assertTrue(find(question))
        self.follow(question)
        hints = dict(decoded_questions(SITE.sources["moonfall"]))[question]
        self.assertTrue(find(probe(hints[0])))
        self.assertFalse(find(probe(hints[1])))
        self.more()
        self.assertTrue(find(probe(hints[1])))
        self.assertFalse(find(probe(hints[2])))


# ---- moving between views ---------------------------------------------------------

class Navigation(PageTestCase):
    def path(self):
        """The breadcrumb: (text, is a link, is the current page) for each step."""
        return [tuple(step) for step in self.driver.execute_script(
            'return [...document.querySelectorAll("nav#path ol > li")].map(li => '
            '[li.textContent, !!li.querySelector("a[href^=\'#v\']"), li.getAttribute("aria-current") === "page"])')]

    def test_links_open_their_targets(self):
        cases = [  # (views to walk through, link, the view it opens)
            (["The Grounds"], "How do I get through the maze?", "How do I find my way through the hedge maze?"),
            (["The Manor House", "Why does the grandfather clock keep striking thirteen?"],
             "Where is the key of the clock?", "Where is the key of the clock?"),
        ]
        for walk, link, target in cases:
            with self.subTest(link=link):
                self.open("moonfall")
                for step in walk:
                    self.follow(step)
                self.reveal_all()
                self.follow(link)
                self.assertEqual(self.title(), target)
                self.assertIn(target, self.driver.title)

    def test_the_breadcrumb_shows_the_way_down_and_leads_back_up(self):
        self.open("moonfall")
        self.assertEqual(self.path(), [("Moonfall", False, True)])
        self.follow("The Manor House")
        self.follow("Why does the grandfather clock keep striking thirteen?")
        self.reveal_all()
        self.follow("Where is the key of the clock?")
        self.assertEqual(self.path(), [
            ("Moonfall", True, False), ("The Manor House", True, False),
            ("Why does the grandfather clock keep striking thirteen?", True, False),
            ("Where is the key of the clock?", False, True)])
        self.moved(self.element_with_text("The Manor House", "nav#path a").click)
        self.assertEqual(self.title(), "The Manor House")
        self.assertEqual(self.path(), [("Moonfall", True, False), ("The Manor House", False, True)])
        self.moved(self.element_with_text("Moonfall", "nav#path a").click)
        self.assertEqual(self.title(), "Moonfall")

    def test_back_and_forward_move_between_views(self):
        self.open("moonfall")
        self.follow("The Manor House")
        self.follow("How do I get past the locked front door?")
        self.more()
        for move, expected in [(self.driver.back, "The Manor House"), (self.driver.back, "Moonfall"),
                               (self.driver.forward, "The Manor House"),
                               (self.driver.forward, "How do I get past the locked front door?")]:
            self.moved(move)
            self.assertEqual(self.title(), expected)
        # Coming back shows the hints revealed before.
        self.assertEqual(self.caption(), caption(2, 3))

    def test_a_bookmark_opens_its_view(self):
        self.open("moonfall")
        self.follow("The Manor House")
        self.follow("Why does the grandfather clock keep striking thirteen?")
        self.reveal_all()
        self.follow("Where is the key of the clock?")
        bookmark = self.driver.current_url
        for url, expected in [(bookmark, "Where is the key of the clock?"),
                              (SITE.url + "/moonfall.html#v99999", "Moonfall"),
                              (SITE.url + "/moonfall.html#nothing", "Moonfall")]:
            with self.subTest(url=url):
                self.open("moonfall", url=url)
                self.assertEqual(self.title(), expected)
                self.assertEqual(self.path()[-1], (expected, False, True))
        self.assert_no_problems()


# ---- pictures ------------------------------------------------------------------------

def picture_regions(hint_file, picture_title):
    """The hot regions of a picture, as `zebtool tree` reads them from the
    file: [((left, top, right, bottom), target)], with link targets resolved."""
    objects = json.loads(zebtool("tree", hint_file))["objects"][1:]  # past the oldest section

    def walk(o):
        yield o
        for item in o.get("items", []):
            yield from walk(item)

    everything = [o for top in objects for o in walk(top)]
    picture = next(o for o in everything if o.get("kind") == 12 and o["text"] == picture_title)
    png = next(item for item in picture["items"] if "regions" in item)
    regions = []
    for left, top, right, bottom, index in png["regions"]:
        target = png["items"][index]
        if "target" in target:  # a link: the entry at its line
            target = dict(target, opens=next(o for o in everything if o.get("line") == target["target"])["text"])
        regions.append(((left, top, right, bottom), target))
    return regions


class Pictures(PageTestCase):
    def click_at(self, image, x, y):
        """Clicks the point (x, y) of the picture's own pixels, wherever and
        however large the page draws it."""
        from selenium.webdriver.common.action_chains import ActionChains
        width, height, natural_width, natural_height = self.driver.execute_script(
            "const i = arguments[0]; i.scrollIntoView({block: 'center'});"
            "return [i.clientWidth, i.clientHeight, i.naturalWidth, i.naturalHeight]", image)
        dx = round(x * width / natural_width - width / 2)
        dy = round(y * height / natural_height - height / 2)
        ActionChains(self.driver, duration=0).move_to_element_with_offset(image, dx, dy).click().perform()

    def test_hot_regions_open_their_entries_at_every_width(self):
        # Where regions overlap, a click opens the first of them in the
        # file's order that holds the point, as in the reader's window.
        cases = [("moonfall", "The Manor Grounds"), ("picture", "The Wide Map"), ("help", "The Main Window")]
        places = {name: self.fragment_of(self.views(name), picture) for name, picture in cases}
        for width in (1200, 360):
            for name, picture in cases:
                regions = picture_regions(SITE.sources[name], picture)
                with self.subTest(file=name, width=width):
                    browser.set_window(self.driver, width, 740)
                    self.open(name, places[name])
                    self.assertEqual(self.title(), picture)
                    image = self.driver.find_element("css selector", "main#view .pic > img:not(.overlay)")
                    shown, natural = self.driver.execute_script(
                        "return [arguments[0].clientWidth, arguments[0].naturalWidth]", image)
                    self.assertGreater(natural, 0, "the picture is drawn")
                    if name == "picture" and width == 360:
                        self.assertLess(shown, natural, "the page scales the wide picture down")
                    labels = sorted(self.driver.execute_script(
                        'return [...document.querySelectorAll("main#view .pic .region")]'
                        '.map(r => r.getAttribute("aria-label"))'))
                    self.assertEqual(labels, sorted(target["text"] for _, target in regions))
                    for (left, top, right, bottom), _ in regions:
                        x, y = (left + right) / 2, (top + bottom) / 2
                        first = next(target for (l, t, r, b), target in regions if l <= x <= r and t <= y <= b)
                        self.check_region(x, y, first, picture)
                    self.assert_no_problems()

    def check_region(self, x, y, target, picture):
        kind = target["kind"]
        image = self.driver.find_element("css selector", "main#view .pic > img:not(.overlay)")
        with self.subTest(region=target["text"]):
            if kind == 13:  # an overlay: painted where the file puts it
                self.click_at(image, x, y)
                self.assertEqual(self.title(), picture)
                overlay = self.driver.find_element("css selector", "main#view .pic img.overlay")
                self.wait.until(lambda d: d.execute_script("return arguments[0].naturalWidth > 0", overlay))
                left, top, scale = self.driver.execute_script(
                    "const o = arguments[0].getBoundingClientRect(), p = arguments[1].getBoundingClientRect();"
                    "return [o.left - p.left, o.top - p.top, p.width / arguments[1].naturalWidth]", overlay, image)
                self.assertAlmostEqual(left, target["x"] * scale, delta=1)
                self.assertAlmostEqual(top, target["y"] * scale, delta=1)
                self.assertEqual(overlay.get_attribute("alt"), target["text"])
            elif kind in (14, 2):  # a sound, an old-style picture: a note
                self.click_at(image, x, y)
                self.assertEqual(self.title(), picture)
                self.assertEqual(self.status(), SOUND_NOTE if kind == 14 else OLD_PICTURE_NOTE)
            else:
                self.moved(lambda: self.click_at(image, x, y))
                opened = self.title()
                self.moved(self.driver.back)
                self.assertEqual(self.title(), picture)
                self.assertEqual(opened, target.get("opens", target["text"]))

    def test_sounds_and_old_pictures_leave_a_note(self):
        for walk, entry, expected in [(["The Grounds", "The Manor Grounds", "The Chapel"], "The Chapel Bell", SOUND_NOTE),
                                      (["The Night Sky"], "The Moon over Moonfall", OLD_PICTURE_NOTE)]:
            with self.subTest(entry=entry):
                self.open("moonfall")
                for step in walk[:-1]:
                    self.follow(step)
                if walk[-1] == "The Chapel":  # a region of the picture
                    self.moved(self.element_with_text("", "main#view .pic .region[aria-label='The Chapel']").click)
                else:
                    self.follow(walk[-1])
                self.assertEqual(self.status(), "")
                self.element_with_text(entry, "main#view button.act").click()
                self.assertEqual(self.status(), expected)
                self.moved(self.driver.back)
                self.assertEqual(self.status(), "", "the note belongs to the view it was given in")


# ---- memory of revealed hints ------------------------------------------------------

class Memory(PageTestCase):
    QUESTION = "How do I open the north door?"

    def open_question(self, name):
        self.open(name)
        self.follow("The North Tower")
        self.follow(self.QUESTION)

    def test_revealed_hints_are_kept_across_a_reload(self):
        self.open("moonfall")
        self.follow("The Manor House")
        self.follow("How do I get past the locked front door?")
        self.more()
        shown = self.body_text()
        self.driver.refresh()
        self.wait.until(lambda d: d.execute_script('return performance.getEntriesByName("zeb-first-view").length > 0'))
        self.assertEqual(self.caption(), caption(2, 3))
        self.assertEqual(self.body_text(), shown)

    def test_hide_all_hints_again_forgets_them(self):
        # Those of every question, not only of the one in view.
        self.open("moonfall")
        self.follow("The Manor House")
        self.follow("Why does the grandfather clock keep striking thirteen?")
        self.more()
        self.moved(self.driver.back)
        self.follow("How do I get past the locked front door?")
        first = self.body_text()
        self.more()
        self.driver.find_element("id", "forget").click()
        self.assertEqual(self.caption(), caption(1, 3))
        self.assertEqual(self.body_text(), first)
        self.driver.refresh()
        self.wait.until(lambda d: d.execute_script('return performance.getEntriesByName("zeb-first-view").length > 0'))
        self.assertEqual(self.caption(), caption(1, 3))
        self.moved(self.driver.back)
        self.follow("Why does the grandfather clock keep striking thirteen?")
        self.assertEqual(self.caption(), caption(1, 4))

    def test_each_file_keeps_its_own_memory(self):
        # The question is the same node in every edition: only the memory's
        # place tells the files apart.
        where = {name: [node["t"] for node in page_data(SITE.page(name))["nodes"]].index(self.QUESTION)
                 for name in ("twins", "twins-title", "twins-edition")}
        self.assertEqual(len(set(where.values())), 1, where)
        # Two files whose CRC-32s were made the same, with the same title.
        old = {name: page_data(SITE.page(name))["oldKey"] for name in ("oldest", "oldest-forged")}
        self.assertEqual(old["oldest"], old["oldest-forged"])
        self.assertNotEqual(SITE.sources["oldest"].read_bytes(), SITE.sources["oldest-forged"].read_bytes())
        for first, other in (("twins", "twins-title"), ("twins", "twins-edition"), ("oldest", "oldest-forged")):
            with self.subTest(other=other):
                self.driver.execute_script("localStorage.clear()")
                self.open_question(first)
                self.more()
                self.assertEqual(self.caption(), caption(2, 3))
                self.open_question(other)
                self.assertEqual(self.caption(), caption(1, 3))
                self.more()
                self.more()
                self.open_question(first)
                self.assertEqual(self.caption(), caption(2, 3))

    def test_a_record_under_the_old_key_moves_to_the_new_one(self):
        # Pages written before kept the hints under the title and the CRC-32
        # of the file: the first visit takes them over.
        data = page_data(SITE.page("twins"))
        crc = zlib.crc32(SITE.sources["twins"].read_bytes())
        self.assertEqual(data["oldKey"], f"zeb-hints:Twin Towers:{crc:08x}")
        question = [node["t"] for node in data["nodes"]].index(self.QUESTION)
        record = json.dumps({str(question): 2})
        stored = lambda: self.driver.execute_script(
            "return [localStorage.getItem(arguments[0]), localStorage.getItem(arguments[1])]",
            data["key"], data["oldKey"])
        self.driver.execute_script("localStorage.setItem(arguments[0], arguments[1])", data["oldKey"], record)
        self.open_question("twins")
        self.assertEqual(self.caption(), caption(2, 3))
        new, old = stored()
        self.assertEqual((json.loads(new), old), ({str(question): 2}, None))
        # Once moved, it is the page's own: hiding the hints forgets it. A
        # page of before, opened since, wrote under the old key again:
        # hiding forgets that record too, or it would come back.
        self.driver.execute_script("localStorage.setItem(arguments[0], arguments[1])", data["oldKey"], record)
        self.driver.find_element("id", "forget").click()
        self.open_question("twins")
        self.assertEqual(self.caption(), caption(1, 3))
        self.assertIsNone(stored()[1])


# ---- long texts ------------------------------------------------------------------------

class LongTexts(PageTestCase):
    """A long word must not keep the browser laying it out: the limit is far
    above what a page needs and far below what a hang takes."""
    LIMIT = 10.0  # seconds

    def timed_open(self, name, fragment=""):
        start = time.monotonic()
        self.open(name, fragment)
        # The page laid out whole.
        self.driver.execute_script("return document.documentElement.scrollHeight")
        return time.monotonic() - start

    def test_a_long_title_is_cut_and_a_long_word_breaks(self):
        for width, height in ((1200, 900), (360, 740)):
            browser.set_window(self.driver, width, height)
            with self.subTest(width=width):
                self.assertLess(self.timed_open("long"), self.LIMIT)
                shown = LONG_TITLE[:SHOWN_TITLE_LENGTH] + ELLIPSIS
                self.assertEqual(self.title(), shown)
                self.assertEqual(self.driver.title, "ZEB: Hints for " + shown)
                self.follow("The North Tower")
                self.assertLess(self.timed_open("long", self.driver.execute_script("return location.hash")),
                                self.LIMIT)
                self.follow("How do I open the north door?")
                run, scroll, inner = self.driver.execute_script(
                    'return [document.querySelector("main#view .body").textContent.match(/z+/)[0].length,'
                    ' document.documentElement.scrollWidth, window.innerWidth]')
                self.assertEqual(run, 6 * len(LONG_LINE), "the run is shown whole")
                self.assertLessEqual(scroll, inner)
        self.assert_no_problems()

    def test_a_title_of_200_kilobytes_in_the_data(self):
        # Longer than any line of a file: the data block is built here.
        source = SITE.page("long").read_text(encoding="utf-8")
        match = re.search(r'(<script type="application/json" id="zeb-data">)(.*?)(</script>)', source, re.S)
        data = json.loads(match.group(2))
        huge = "W" * 200000
        data["title"] = data["nodes"][0]["t"] = huge
        block = json.dumps(data).replace("<", "\\u003c")
        (SITE.root / "huge.html").write_text(source[:match.start(2)] + block + source[match.end(2):], encoding="utf-8")
        for width, height in ((1200, 900), (360, 740)):
            browser.set_window(self.driver, width, height)
            with self.subTest(width=width):
                self.assertLess(self.timed_open("huge"), self.LIMIT)
                self.assertEqual(len(self.title()), len(huge))
                self.follow("The North Tower")
                self.assertEqual(self.driver.execute_script(
                    'return document.querySelector("nav#path a").textContent.length'), len(huge))
        self.assert_no_problems()


# ---- the keyboard -------------------------------------------------------------------

class Keyboard(PageTestCase):
    def tab_to(self, text):
        """Presses Tab until the element that reads text has the focus."""
        from selenium.webdriver.common.keys import Keys
        for _ in range(40):
            self.driver.switch_to.active_element.send_keys(Keys.TAB)
            focused, visible, outline = self.driver.execute_script(
                "const a = document.activeElement;"
                "return [a.textContent, a.matches(':focus-visible'), getComputedStyle(a).outlineStyle]")
            self.assertTrue(visible and outline != "none", f"{focused!r} shows that it has the focus")
            if focused == text:
                return
        self.fail(f"Tab never reaches {text!r}")

    def enter(self):
        from selenium.webdriver.common.keys import Keys
        self.driver.switch_to.active_element.send_keys(Keys.ENTER)

    def test_a_walk_with_the_keyboard_alone(self):
        self.open("moonfall")
        question = "How do I get past the locked front door?"
        for link in ("The Manor House", question):
            self.tab_to(link)
            self.moved(self.enter)
            self.assertEqual(self.title(), link)
        self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"), "more",
                         "the question's button takes the keyboard")
        for expected in (caption(2, 3), LAST_CAPTION):
            self.enter()
            self.assertEqual(self.caption(), expected)
        self.moved(self.enter)
        self.assertEqual(self.title(), "The Manor House")
        self.tab_to(question)


# ---- screens, colours, print -----------------------------------------------------

def luminance(css_colour):
    channels = [int(c) / 255 for c in re.findall(r"[\d.]+", css_colour)[:3]]
    linear = [c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4 for c in channels]
    return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]


def contrast(a, b):
    high, low = sorted((luminance(a), luminance(b)), reverse=True)
    return (high + 0.05) / (low + 0.05)


class Screens(PageTestCase):
    def test_no_view_scrolls_sideways_on_a_phone(self):
        browser.set_window(self.driver, 360, 740)
        for name in ("moonfall", "help", "picture"):
            views = self.views(name)
            self.open(name)
            for fragment, title in views:
                with self.subTest(file=name, view=title):
                    self.go(fragment)
                    self.reveal_all()
                    scroll, inner = self.driver.execute_script(
                        "return [document.documentElement.scrollWidth, window.innerWidth]")
                    self.assertLessEqual(scroll, inner)

    def test_text_that_must_not_wrap_scrolls_in_its_own_box(self):
        browser.set_window(self.driver, 360, 740)
        self.open("moonfall")
        self.follow("The Manor House")
        self.follow("The Inscription on the Sundial")
        block = self.driver.find_element("css selector", "main#view div.pre")
        scroll, client, overflow, spaces = self.driver.execute_script(
            "const b = arguments[0], s = getComputedStyle(b); return [b.scrollWidth, b.clientWidth, s.overflowX, s.whiteSpace]",
            block)
        self.assertGreater(scroll, client)
        self.assertIn(overflow, ("auto", "scroll"))
        self.assertEqual(spaces, "pre")
        self.assertIn("WHEN THE MOON HANGS LOW AND THE HOUR IS LOST,", block.get_attribute("textContent"))

    def colours(self):
        return self.driver.execute_script("""
            const c = (e, p) => e && getComputedStyle(e)[p];
            const back = c(document.body, "backgroundColor");
            return {back, text: c(document.body, "color"),
                    link: c(document.querySelector("main#view a.node"), "color"),
                    path: c(document.querySelector("nav#path li"), "color"),
                    button: c(document.getElementById("forget"), "color"),
                    buttonBack: c(document.getElementById("forget"), "backgroundColor")};""")

    def test_dark_and_light_colours_keep_texts_readable(self):
        self.open("moonfall")
        self.follow("The Manor House")
        for scheme in ("light", "dark"):
            with self.subTest(scheme=scheme):
                browser.emulate_media(self.driver, color_scheme=scheme)
                colours = self.colours()
                if scheme == "dark":
                    self.assertLess(luminance(colours["back"]), 0.1)
                else:
                    self.assertGreater(luminance(colours["back"]), 0.8)
                for part in ("text", "link", "path"):
                    self.assertGreaterEqual(contrast(colours[part], colours["back"]), 4.5, part)
                self.assertGreaterEqual(contrast(colours["button"], colours["buttonBack"]), 4.5, "button")

    def test_print_leaves_out_the_controls(self):
        self.open("moonfall")
        self.follow("The Manor House")
        self.follow("How do I get past the locked front door?")
        self.more()
        for scheme in ("light", "dark"):
            with self.subTest(scheme=scheme):
                browser.emulate_media(self.driver, color_scheme=scheme, media="print")
                shown = self.driver.execute_script(
                    'return Object.fromEntries(["#more", ".bar", "#status", "main#view .body"].map('
                    's => [s, getComputedStyle(document.querySelector(s)).display !== "none"]))')
                self.assertEqual(shown, {"#more": False, ".bar": False, "#status": False, "main#view .body": True})
                colours = self.colours()
                self.assertGreater(luminance(colours["back"]), 0.8, "printed on white")
                self.assertGreaterEqual(contrast(colours["text"], colours["back"]), 4.5, "printed text")

    def test_screenshots(self):
        if not ARGS.screenshots:
            self.skipTest("no --screenshots folder given")
        folder = Path(ARGS.screenshots)
        folder.mkdir(parents=True, exist_ok=True)
        for device, (width, height) in (("desktop", (1100, 800)), ("phone", (360, 740))):
            browser.set_window(self.driver, width, height)
            self.driver.execute_script("localStorage.clear()")
            self.open("moonfall")
            self.follow("The Manor House")
            self.follow("Why does the grandfather clock keep striking thirteen?")
            self.more()
            self.assertEqual(self.caption(), caption(2, 4))
            for scheme in ("light", "dark"):
                browser.emulate_media(self.driver, color_scheme=scheme)
                dark = luminance(self.colours()["back"]) < 0.5
                self.assertEqual(dark, scheme == "dark")
                self.assertTrue(self.driver.save_screenshot(str(folder / f"webpage-{device}-{scheme}.png")))


# ---- what the page may load ---------------------------------------------------------

class NoNetwork(PageTestCase):
    def test_a_walk_through_every_view_requests_nothing(self):
        for name in ("moonfall", "picture"):
            with self.subTest(file=name):
                before = len(SITE.requests())
                views = self.crawl(name)
                # Draw the overlays too.
                overlays = 0
                for fragment, _ in views:
                    self.go(fragment)
                    for region in self.driver.find_elements("css selector", "main#view .pic button.region"):
                        region.click()
                    overlays += len(self.driver.find_elements("css selector", "main#view .pic img.overlay"))
                self.assertGreater(overlays, 0)
                self.assertEqual(SITE.requests()[before:], [f"/{name}.html"])
                # Chromium makes no entry for data: pictures: the list holds
                # only what came over a network or from a file.
                loaded = self.driver.execute_script(
                    'return performance.getEntriesByType("resource").map(e => e.name)')
                self.assertEqual(loaded, [])
                self.assert_no_problems()

    def test_the_page_works_from_a_file(self):
        page = SITE.page("moonfall").resolve().as_uri()
        self.open("moonfall", url=page)
        self.follow("The Grounds")
        self.follow("The Manor Grounds")
        self.assertGreater(self.driver.execute_script(
            'return document.querySelector("main#view .pic img").naturalWidth'), 0)
        self.moved(self.driver.back)
        self.follow("What is glinting in the fountain?")
        self.more()
        self.assertEqual(self.caption(), LAST_CAPTION)
        self.assertTrue(self.driver.current_url.startswith("file:"))
        self.assert_no_problems()

    def test_the_policy_forbids_loads_from_outside(self):
        self.open("moonfall")
        policy, order = self.driver.execute_script("""
            const meta = document.querySelector('meta[http-equiv="Content-Security-Policy"]');
            const all = [...document.querySelectorAll("head > *, body script")];
            return [meta && meta.content, all.map(e => e === meta ? "policy" : e.tagName.toLowerCase())];""")
        self.assertIsNotNone(policy)
        directives = {d.split()[0]: d.split()[1:] for d in policy.split(";") if d.strip()}
        self.assertEqual(directives.get("default-src"), ["'none'"])
        for directive, sources in directives.items():
            for source in sources:
                self.assertRegex(source, r"^('none'|'sha256-[A-Za-z0-9+/=]+'|data:)$", directive)
        # Before everything it guards.
        self.assertLess(order.index("policy"), min(order.index(t) for t in ("title", "style", "script")))
        before = len(SITE.requests())
        outcome = self.driver.execute_async_script("""
            const done = arguments[arguments.length - 1], url = location.origin + "/blank.html";
            const image = new Image();
            image.onload = () => done("picture loaded");
            image.onerror = () => fetch(url).then(() => done("fetched"), () => done("refused"));
            image.src = url + "?picture";""")
        self.assertEqual(outcome, "refused")
        time.sleep(0.3)
        self.assertEqual(SITE.requests()[before:], [])


# ---- markup in the file's texts --------------------------------------------------------

HOSTILE = ["<script>alert(1)</script>", "</script><script>window.pwned=1</script>",
           '<img src=x onerror="window.pwned=1">', '"><b>', "&amp;", "<!--"]


def fixture_texts(source):
    """The titles and the text lines of a fixture source."""
    titles, lines = [], []
    for line in (HERE / "fixtures" / source).read_text(encoding="utf-8").splitlines():
        directive = re.match(r"^@(subject|hint|nesthint|comment|link)(?:\[\w+\])? (.*)$", line)
        if directive:
            titles.append(re.sub(r" -> \w+$", "", directive.group(2)) if directive.group(1) == "link"
                          else directive.group(2))
        elif line and not line.startswith("@") and line != "-":
            lines.append(line)
    return titles, lines


class HostileTexts(PageTestCase):
    def test_markup_in_titles_and_hints_stays_text(self):
        from selenium.common.exceptions import NoAlertPresentException
        titles, lines = fixture_texts("hostile.zebsrc")
        for text in HOSTILE:
            self.assertTrue(any(text in t for t in titles), f"the fixture has {text!r} in a title")
            self.assertTrue(any(text in t for t in lines), f"the fixture has {text!r} in a hint")
        added_script = """
            const comments = document.createTreeWalker(document, NodeFilter.SHOW_COMMENT);
            return {b: document.querySelectorAll("b").length, img: document.querySelectorAll("img").length,
                    script: document.querySelectorAll("script").length, comment: !!comments.nextNode()};"""
        nothing_added = {"b": 0, "img": 0, "script": 2, "comment": False}
        seen_titles, bodies = set(), []
        # Every view of one document, each with all its hints revealed.
        for fragment, title in self.crawl("hostile"):
            with self.subTest(view=title):
                self.go(fragment)
                self.reveal_all()
                seen_titles.add(title)
                seen_titles.update(self.driver.execute_script(
                    'return [...document.querySelectorAll("main#view a.node, nav#path li")].map(e => e.textContent)'))
                bodies.append(self.driver.execute_script(
                    'return document.querySelector("main#view .body").textContent'))
                self.assertEqual(self.driver.execute_script(added_script), nothing_added)
        with self.assertRaises(NoAlertPresentException):
            self.driver.switch_to.alert.text
        self.assertIsNone(self.driver.execute_script("return window.pwned"))
        self.assert_no_problems()
        self.assertEqual(seen_titles, set(titles))
        for line in lines:
            self.assertTrue(any(line in body for body in bodies), f"{line!r} is shown as it is")
        self.open("hostile")
        self.assertEqual(self.title(), titles[0])
        self.assertEqual(self.driver.title, "ZEB: Hints for " + titles[0])
        self.assertEqual(self.driver.execute_script(added_script), nothing_added)
        self.assertIsNone(self.driver.execute_script("return window.pwned"))
        self.assert_no_problems()

    def test_without_script_the_page_says_so_and_keeps_its_title(self):
        titles, _ = fixture_texts("hostile.zebsrc")
        self.driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": True})
        try:
            self.driver.get("about:blank")
            self.driver.get(SITE.url + "/hostile.html")
            self.assertEqual(self.driver.title, "ZEB: Hints for " + titles[0])
            self.assertIn("allow scripts", self.driver.find_element("css selector", "main#view").text)
            self.assertEqual(len(self.driver.find_elements("css selector", "b, img")), 0)
        finally:
            self.driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": False})


def run_suite(name, doc, screenshots=True):
    """Reads the options the suites share and runs the tests of __main__."""
    global ARGS
    parser = argparse.ArgumentParser(description=doc, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--zebtool", required=True)
    parser.add_argument("--example", required=True)
    parser.add_argument("--help-file", required=True)
    parser.add_argument("--work", required=True)
    if screenshots:
        parser.add_argument("--screenshots")
    ARGS, rest = parser.parse_known_args()
    browser.require_browser(name)
    # zebtool keeps its settings and caches here, not in the user's home.
    home = Path(ARGS.work) / "home"
    home.mkdir(parents=True, exist_ok=True)
    os.environ["ZEBWIN_HOME"] = str(home)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


def main():
    run_suite(NAME, __doc__)


if __name__ == "__main__":
    main()
