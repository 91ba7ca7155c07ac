#!/usr/bin/env python3
"""Draws the pictures of the reader's help file: a schematic of the main
window (window.png) and the status-bar text that is painted onto it when its
status bar is clicked (statustip.png). Writes palette PNGs with the standard
library only; run it again (from any folder) to remake them."""
import os
import struct
import zlib

PALETTE = [
    (128, 128, 128),  # 0 workspace behind the hint windows
    (212, 208, 200),  # 1 face of menus, bars and buttons
    (255, 255, 255),  # 2 white
    (0, 0, 0),        # 3 black
    (10, 36, 106),    # 4 active title bar
    (128, 128, 128),  # 5 shadow
    (0, 0, 255),      # 6 link blue
    (122, 150, 196),  # 7 inactive title bar
    (64, 64, 64),     # 8 dark text
    (230, 180, 40),   # 9 folder yellow
    (0, 128, 0),      # 10 green
    (200, 40, 40),    # 11 red
    (255, 255, 225),  # 12 tool-tip yellow
]
WORKSPACE, FACE, WHITE, BLACK, TITLE, SHADOW, LINK, INACTIVE, DARK, YELLOW, GREEN, RED, TIP = range(13)

# A small 5-pixel-wide font: seven rows above the base line, an eighth for
# descenders. Only the characters that the pictures use.
GLYPHS = {
    " ": [],
    "A": [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "B": ["#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "],
    "C": [" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "],
    "G": [" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ####"],
    "I": [" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    "K": ["#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"],
    "L": ["#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"],
    "N": ["#   #", "#   #", "##  #", "# # #", "#  ##", "#   #", "#   #"],
    "P": ["#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "],
    "S": [" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "],
    "U": ["#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "Y": ["#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "],
    "D": ["#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "],
    "E": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
    "F": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "],
    "H": ["#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "M": ["#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"],
    "O": [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "R": ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    "T": ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
    "W": ["#   #", "#   #", "#   #", "# # #", "# # #", "# # #", " # # "],
    "Z": ["#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"],
    "a": ["     ", "     ", " ### ", "    #", " ####", "#   #", " ####"],
    "b": ["#    ", "#    ", "# ## ", "##  #", "#   #", "#   #", "#### "],
    "c": ["     ", "     ", " ### ", "#    ", "#    ", "#   #", " ### "],
    "d": ["    #", "    #", " ## #", "#  ##", "#   #", "#   #", " ####"],
    "e": ["     ", "     ", " ### ", "#   #", "#####", "#    ", " ### "],
    "f": ["  ## ", " #  #", " #   ", "###  ", " #   ", " #   ", " #   "],
    "g": ["     ", "     ", " ####", "#   #", "#   #", " ####", "    #", " ### "],
    "h": ["#    ", "#    ", "# ## ", "##  #", "#   #", "#   #", "#   #"],
    "i": ["  #  ", "     ", " ##  ", "  #  ", "  #  ", "  #  ", " ### "],
    "k": ["#    ", "#    ", "#  # ", "# #  ", "##   ", "# #  ", "#  # "],
    "l": [" ##  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    "m": ["     ", "     ", "## # ", "# # #", "# # #", "# # #", "# # #"],
    "n": ["     ", "     ", "# ## ", "##  #", "#   #", "#   #", "#   #"],
    "o": ["     ", "     ", " ### ", "#   #", "#   #", "#   #", " ### "],
    "p": ["     ", "     ", "#### ", "#   #", "#   #", "#### ", "#    ", "#    "],
    "r": ["     ", "     ", "# ## ", "##  #", "#    ", "#    ", "#    "],
    "s": ["     ", "     ", " ####", "#    ", " ### ", "    #", "#### "],
    "t": [" #   ", " #   ", "###  ", " #   ", " #   ", " #  #", "  ## "],
    "u": ["     ", "     ", "#   #", "#   #", "#   #", "#  ##", " ## #"],
    "v": ["     ", "     ", "#   #", "#   #", "#   #", " # # ", "  #  "],
    "w": ["     ", "     ", "#   #", "#   #", "# # #", "# # #", " # # "],
    "y": ["     ", "     ", "#   #", "#   #", "#   #", " ####", "    #", " ### "],
    "1": ["  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    "2": [" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"],
    "3": ["#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "],
    ".": ["     ", "     ", "     ", "     ", "     ", " ##  ", " ##  "],
    "?": [" ### ", "#   #", "    #", "   # ", "  #  ", "     ", "  #  "],
}


def png(width, height, pixels, palette):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(pixels[y * width:(y + 1) * width]) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0))
            + chunk(b"PLTE", b"".join(bytes(c) for c in palette))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


class Canvas:
    def __init__(self, width, height, colour):
        self.w, self.h = width, height
        self.pix = [colour] * (width * height)

    def dot(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.pix[y * self.w + x] = colour

    def rect(self, left, top, right, bottom, colour):
        """Fills left..right, top..bottom, both ends included."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.dot(x, y, colour)

    def hline(self, left, right, y, colour):
        self.rect(left, y, right, y, colour)

    def vline(self, x, top, bottom, colour):
        self.rect(x, top, x, bottom, colour)

    def frame(self, left, top, right, bottom, colour):
        self.hline(left, right, top, colour)
        self.hline(left, right, bottom, colour)
        self.vline(left, top, bottom, colour)
        self.vline(right, top, bottom, colour)

    def raised(self, left, top, right, bottom):
        """A button face with a light top-left and a dark bottom-right edge."""
        self.rect(left, top, right, bottom, FACE)
        self.hline(left, right, top, WHITE)
        self.vline(left, top, bottom, WHITE)
        self.hline(left, right, bottom, BLACK)
        self.vline(right, top, bottom, BLACK)
        self.hline(left + 1, right - 1, bottom - 1, SHADOW)
        self.vline(right - 1, top + 1, bottom - 1, SHADOW)

    def text(self, x, y, string, colour):
        """Writes string with its top row at y; 6 pixels per character."""
        for ch in string:
            for row, bits in enumerate(GLYPHS[ch]):
                for col, bit in enumerate(bits):
                    if bit == "#":
                        self.dot(x + col, y + row, colour)
            x += 6
        return x

    def png(self):
        return png(self.w, self.h, self.pix, PALETTE)


def text_width(string):
    return 6 * len(string) - 1


def child_window(c, left, top, right, bottom, caption, active):
    """A hint window: frame, title bar with caption and buttons, white body."""
    c.raised(left, top, right, bottom)
    c.rect(left + 2, top + 2, right - 2, top + 12, TITLE if active else INACTIVE)
    c.text(left + 5, top + 4, caption, WHITE)
    for i in range(3):
        bx = right - 12 - 10 * i
        c.raised(bx, top + 4, bx + 8, top + 10)
    c.rect(left + 2, top + 14, right - 2, bottom - 2, WHITE)
    c.hline(left + 2, right - 2, top + 14, SHADOW)


def toolbar_icon(c, x, y, kind):
    """A small picture on a 16 x 16 toolbar button whose top-left is x, y."""
    if kind == "open":                      # a yellow folder
        c.rect(x + 3, y + 5, x + 12, y + 11, YELLOW)
        c.rect(x + 3, y + 4, x + 6, y + 4, YELLOW)
        c.frame(x + 3, y + 5, x + 12, y + 11, DARK)
    elif kind == "titles":                  # a page of title lines
        c.rect(x + 3, y + 3, x + 12, y + 12, WHITE)
        c.frame(x + 3, y + 3, x + 12, y + 12, DARK)
        for yy in (5, 7, 9):
            c.hline(x + 5, x + 10, y + yy, LINK)
    elif kind == "download":                # a green arrow into a tray
        c.rect(x + 7, y + 2, x + 8, y + 8, GREEN)
        for i in range(4):
            c.hline(x + 4 + i, x + 11 - i, y + 8 + i, GREEN)
        c.hline(x + 2, x + 13, y + 13, DARK)
    elif kind == "find":                    # a magnifying glass
        c.frame(x + 3, y + 3, x + 9, y + 9, DARK)
        c.rect(x + 4, y + 4, x + 8, y + 8, WHITE)
        for i in range(4):
            c.rect(x + 9 + i, y + 9 + i, x + 10 + i, y + 10 + i, DARK)
    elif kind in ("decode", "save"):         # a disk
        c.rect(x + 3, y + 3, x + 12, y + 12, LINK if kind == "save" else DARK)
        c.rect(x + 5, y + 3, x + 10, y + 6, WHITE)
        c.rect(x + 5, y + 9, x + 10, y + 12, FACE)
    elif kind in ("print", "printwin"):     # a printer
        c.rect(x + 5, y + 2, x + 10, y + 6, WHITE)
        c.frame(x + 5, y + 2, x + 10, y + 6, DARK)
        c.rect(x + 2, y + 7, x + 13, y + 11, DARK if kind == "print" else LINK)
        c.rect(x + 5, y + 10, x + 10, y + 13, WHITE)
    elif kind == "top":                     # a small window
        c.rect(x + 2, y + 3, x + 13, y + 12, WHITE)
        c.frame(x + 2, y + 3, x + 13, y + 12, DARK)
        c.rect(x + 2, y + 3, x + 13, y + 5, TITLE)
    elif kind == "copy":                    # two pages
        c.rect(x + 2, y + 2, x + 8, y + 9, WHITE)
        c.frame(x + 2, y + 2, x + 8, y + 9, DARK)
        c.rect(x + 6, y + 6, x + 12, y + 13, WHITE)
        c.frame(x + 6, y + 6, x + 12, y + 13, DARK)
    elif kind == "help":                    # a question mark
        c.text(x + 5, y + 4, "?", LINK)


TOOLBAR = [(4, "open"), (22, "titles"), (40, "download"),
           (64, "find"), (82, "decode"), (100, "print"), (118, "top"),
           (142, "save"), (160, "printwin"), (178, "copy"),
           (202, "help")]

# Where the hot regions of window.png lie; the help source uses the same numbers.
STATUS_TEXT_AT = (6, 209)


def main_window():
    w, h = 320, 220
    c = Canvas(w, h, FACE)

    # Title bar of the main window (y 0-12).
    c.rect(0, 0, w - 1, 12, TITLE)
    c.text(4, 3, "ZEB Reader", WHITE)
    for i in range(3):
        bx = w - 12 - 10 * i
        c.raised(bx, 2, bx + 8, 9)

    # Menu bar (y 13-24).
    x = 6
    for caption in ("File", "Windows", "Options", "Help"):
        c.text(x, 15, caption, BLACK)
        x += text_width(caption) + 12

    # Etched line, then the toolbar (y 27-46).
    c.hline(0, w - 1, 25, SHADOW)
    c.hline(0, w - 1, 26, WHITE)
    for bx, kind in TOOLBAR:
        c.raised(bx, 29, bx + 15, 44)
        toolbar_icon(c, bx, 29, kind)

    # The area that holds the hint windows (y 47-204).
    c.rect(0, 47, w - 1, 204, WORKSPACE)

    # A subject window behind, its entries drawn as links.
    child_window(c, 8, 52, 176, 160, "Moonfall", False)
    for i, entry in enumerate(("Before You Start", "The Manor House", "The Grounds", "The Night Sky")):
        c.text(16, 72 + 12 * i, entry, LINK)

    # The hint window in front with two hints shown and its button.
    child_window(c, 92, 76, 314, 202, "The Front Door", True)
    c.text(100, 96, "Doors are not the only", BLACK)
    c.text(100, 106, "way into a house.", BLACK)
    c.hline(100, 304, 120, DARK)
    c.text(100, 128, "Walk around to the", BLACK)
    c.text(100, 138, "kitchen garden.", BLACK)
    c.hline(100, 304, 152, DARK)
    c.rect(94, 166, 312, 200, FACE)
    caption = "Hint 2 of 3.  Another hint?"
    c.raised(98, 176, 308, 196)
    c.text(98 + (211 - text_width(caption)) // 2, 182, caption, BLACK)

    # Status bar (y 205-219), empty until its overlay is painted.
    c.hline(0, w - 1, 205, SHADOW)
    c.hline(0, w - 1, 206, WHITE)
    return c.png()


def status_tip():
    """The long description of the Open button as the status bar shows it."""
    text = "Opens a new hint file"
    c = Canvas(text_width(text) + 4, 9, FACE)
    c.text(2, 0, text, BLACK)
    return c.png()


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "window.png"), "wb") as f:
        f.write(main_window())
    with open(os.path.join(here, "statustip.png"), "wb") as f:
        f.write(status_tip())
