#!/usr/bin/env python3
"""The web site that `zebtool publish DIR OUT --base-url URL --html` writes,
served by `python3 -m http.server` on 127.0.0.1 and read in a real headless
Chromium: index.html lists the files of DIR by their full titles in the
order of `zebtool titles DIR` (then the files that list leaves out), each
title opens the file's page, each ZIP link answers with the file.

  /usr/bin/python3 publish_test.py --zebtool PATH --example MOONFALL.ZEB \\
      --help-file ZEBWIN.ZEB --work DIR [unittest options]

Exits 77 (skipped) where the browser is missing."""

import io
import json
import re
import shutil
import sys
import time
import unittest
import urllib.parse
import urllib.request
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.dont_write_bytecode = True  # no caches beside the sources
import browser  # noqa: E402
import page_test  # noqa: E402  (its helpers for fixtures and zebtool)
from page_test import FolderServer, build_fixture, free_port, zebtool  # noqa: E402

NAME = "WebPage.PublishedSiteInChromium"
SITE = None


class PublishedSite:
    """A folder of hint files published as a web site and served."""

    def __init__(self, work):
        root = Path(work) / "publish-test"
        shutil.rmtree(root, ignore_errors=True)
        self.folder = root / "hint-files"
        self.folder.mkdir(parents=True)
        self.out = root / "site"
        shutil.copy(page_test.ARGS.example, self.folder / "MOONFALL.ZEB")
        shutil.copy(page_test.ARGS.help_file, self.folder / "ZEBWIN2.ZEB")
        # A long title that comes first by title and last by name, and one
        # whose title is markup.
        twins = "@subject Twin Towers"
        build_fixture("twins.zebsrc", self.folder / "ZZABBEY.ZEB", lambda s: s.replace(
            twins, "@subject Abbey of the Lost Bells, and the Long Road Home Through the Marshes of Ardmoor"))
        build_fixture("twins.zebsrc", self.folder / "MYSTERY.ZEB",
                      lambda s: s.replace(twins, '@subject Mystery & Co. <Live> "Unplugged"'))
        # Titles longer than the index shows, each one unbroken word, from
        # several files (a line of a file holds at most 10,239 characters).
        for n in range(6):
            build_fixture("twins.zebsrc", self.folder / f"LONG{n}.ZEB",
                          lambda s: s.replace(twins, "@subject " + chr(ord("A") + n) * 10000))
        for source in self.folder.glob("*-source"):
            shutil.rmtree(source)  # only hint files in the published folder
        # The site's address goes into the published pages, so its port is chosen first.
        port = free_port()
        self.url = f"http://127.0.0.1:{port}"
        zebtool("publish", self.folder, self.out, "--base-url", self.url + "/files/", "--html")
        self.server = FolderServer(self.out, root / "server.log", "/", port)

    def by_title(self):
        """`zebtool titles` of the folder: [(title, file name)]."""
        return [tuple(line.split("\t")) for line in zebtool("titles", self.folder).splitlines()]

    def title_of(self, name):
        return json.loads(zebtool("summary", self.folder / name))["title"]

    def stop(self):
        self.server.stop()


def shown(title):
    """A title as the pages show it: cut after 1,000 characters."""
    return title if len(title) <= 1000 else title[:1000] + "\u2026"


def setUpModule():
    global SITE
    SITE = PublishedSite(page_test.ARGS.work)


def tearDownModule():
    if SITE:
        SITE.stop()


class PublishedSiteTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.driver = browser.start()

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    def setUp(self):
        browser.set_window(self.driver, 1200, 900)
        self.driver.get(SITE.url + "/index.html")

    def entries(self):
        """The index's entries: (title, page link, ZIP link), links absolute."""
        return [tuple(entry) for entry in self.driver.execute_script(
            'return [...document.querySelectorAll("main ul.files > li")].map(li => {'
            '  const a = li.querySelectorAll("a");'
            '  return [a[0].textContent, a[0].href, a[1] && a[1].href];})')]

    def test_the_index_lists_the_files_by_title(self):
        by_title = SITE.by_title()
        names = sorted(p.name for p in SITE.folder.iterdir())
        listed = [name for _, name in by_title]
        self.assertNotEqual(listed, sorted(listed), "the order by title differs from the order by name")
        left_out = {shown(SITE.title_of(name)) for name in names} - {shown(title) for title, _ in by_title}
        titles = [title for title, _, _ in self.entries()]
        self.assertEqual(titles[:len(by_title)], [shown(title) for title, _ in by_title])
        self.assertEqual(set(titles[len(by_title):]), left_out)
        self.assertEqual(len(titles), len(names))
        self.assertEqual(browser.problems(self.driver), [])

    def test_every_title_opens_its_files_page(self):
        for title, page, _ in self.entries():
            with self.subTest(title=title):
                self.assertRegex(urllib.parse.urlparse(page).path, r"^/hints/[^/]+\.html$")
                self.driver.get(page)
                heading = self.driver.execute_script(
                    'const h = document.querySelector("main#view > h1"); return h && h.textContent')
                self.assertEqual(heading, title)
                self.assertEqual(browser.problems(self.driver), [])

    def test_every_zip_link_answers_with_its_file(self):
        files = {shown(SITE.title_of(p.name)): p for p in SITE.folder.iterdir()}
        for title, _, archive in self.entries():
            with self.subTest(title=title):
                self.assertIsNotNone(archive, "a ZIP link")
                with urllib.request.urlopen(archive, timeout=10) as answer:
                    self.assertEqual(answer.status, 200)
                    data = answer.read()
                with zipfile.ZipFile(io.BytesIO(data)) as zipped:
                    source = files[title]
                    self.assertEqual(zipped.read(source.name), source.read_bytes())

    def test_the_update_list_points_at_the_same_archives(self):
        listed = urllib.request.urlopen(SITE.url + "/cgi-bin/update.cgi", timeout=10).read().decode("latin-1")
        urls = re.findall(r"<FURL>(.*?)</FURL>", listed)
        self.assertEqual(sorted(urls), sorted(archive for _, _, archive in self.entries()))
        for url in urls:
            with urllib.request.urlopen(url, timeout=10) as answer:
                self.assertEqual(answer.status, 200)

    def test_long_titles_are_cut_and_lay_out_in_time(self):
        long_titles = [title for title, _, _ in self.entries() if len(title) > 100]
        self.assertEqual(long_titles, sorted(chr(ord("A") + n) * 1000 + "\u2026" for n in range(6)))
        for width, height in ((1200, 900), (360, 740)):
            with self.subTest(width=width):
                browser.set_window(self.driver, width, height)
                self.driver.get("about:blank")
                start = time.monotonic()
                self.driver.get(SITE.url + "/index.html")
                self.driver.execute_script("return document.documentElement.scrollHeight")
                self.assertLess(time.monotonic() - start, 10.0)

    def test_the_index_fits_a_phone_and_loads_nothing(self):
        browser.set_window(self.driver, 360, 740)
        self.driver.get(SITE.url + "/index.html")
        scroll, inner, scripts, loaded = self.driver.execute_script(
            'return [document.documentElement.scrollWidth, window.innerWidth, document.scripts.length,'
            ' performance.getEntriesByType("resource").map(e => e.name)]')
        self.assertLessEqual(scroll, inner)
        self.assertEqual((scripts, loaded), (0, []))
        policy = self.driver.execute_script(
            'const m = document.querySelector(\'meta[http-equiv="Content-Security-Policy"]\'); return m && m.content')
        self.assertIn("default-src 'none'", policy or "")


def main():
    page_test.run_suite(NAME, __doc__, screenshots=False)


if __name__ == "__main__":
    main()
