#pragma once
// Display documents: a whole subtree as one flat item list with every hint
// revealed, for printing and decoding to text. A document borrows the items
// of the tree and owns only the items made while it was built.

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "model/metatexthunk.h"

// The line end of every text file the program writes.
inline constexpr std::string_view TextLineEnd = "\r\n";
// Text output wraps at this many columns.
inline constexpr int TextColumns = 75;

// A new, empty document of kind SUBJECT with the title.
std::unique_ptr<TMetaTextHunk> MakeDocument(std::string title);
// Deletes the items the document made, detaches the borrowed ones and
// deletes the document.
void FreeDocument(std::unique_ptr<TMetaTextHunk> document);

// Takes one piece of at most width characters off the front of text,
// breaking at a space (which is dropped). A word longer than the width at
// the start of a line comes whole.
std::string_view WrapPiece(std::string_view& text, int width, bool atLineStart);

// Writes the whole tree of the root as a text file's content: the header
// "ZEB: Hints for <title>", two empty lines, then the display document.
// Numbers the tree afresh; leaves it otherwise unchanged.
void DecodeToText(THunk& root, std::ostream& out);
