#!/usr/bin/env python3
"""Reads the reader's accessible tree through AT-SPI, as a screen reader
does, and checks what a screen-reader user hears: the hint window's text
is a read-only text named after its own window, with its links as
children; no hidden control and no unnamed control is in the tree.

Run by atspi_test.sh inside a private D-Bus session with the reader
started; exits 0 when every check holds."""
import sys
import time

import pyatspi

failures = []


def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what)
    if not ok:
        failures.append(what)


def find_app(timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name in ("zebwin", "ZEB Reader"):
                return app
        time.sleep(0.2)
    return None


def walk(node, depth=0):
    yield node, depth
    if depth > 40:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


app = find_app()
if app is None:
    print("FAIL: the reader never appeared on the accessibility bus")
    sys.exit(1)
time.sleep(1.0)

nodes = [n for n, _ in walk(app)]
roles = [(n.getRoleName(), n.name, n.getState()) for n in nodes]

texts = [n for n in nodes if n.getRole() == pyatspi.ROLE_TEXT and n.name == "Moonfall"]
check(len(texts) == 1, "the root window's text is a text view named \"Moonfall\" (found %d)" % len(texts))
if texts:
    text = texts[0]
    state = text.getState()
    check(not state.contains(pyatspi.STATE_EDITABLE), "the text is read-only")
    links = [text.getChildAtIndex(i) for i in range(text.childCount)]
    check(len(links) > 0 and all(l.getRole() == pyatspi.ROLE_LINK for l in links),
          "its %d children are links" % len(links))
    check(all(l.name.strip() for l in links), "the links are named after what they open: %s"
          % [l.name for l in links])
    content = text.queryText()
    whole = content.getText(0, content.characterCount)
    check(len(whole) > 0, "the text can be read (%d characters)" % len(whole))

for role, name, state in roles:
    if role == "push button" and name == "No more hints.":
        check(False, "a hidden hint button \"No more hints.\" is in the tree")
unnamed = [(role, name) for role, name, state in roles
           if role in ("check box", "push button", "menu item", "toggle button") and not name.strip()
           and state.contains(pyatspi.STATE_SHOWING)]
unnamed_any = [(role, name) for role, name, state in roles
               if role in ("check box", "menu item") and not name.strip()]
check(not unnamed_any, "no unnamed check box or menu item (found %s)" % unnamed_any)
check(not unnamed, "no shown control without a name (found %s)" % unnamed)
frames = [n for n in nodes if n.getRole() == pyatspi.ROLE_FRAME]
check(any(f.name == "ZEB Reader" for f in frames), "the main window is the frame \"ZEB Reader\"")

sys.exit(1 if failures else 0)
