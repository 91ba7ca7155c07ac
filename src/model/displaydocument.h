#pragma once
// Display documents: a whole subtree as one flat item list with every hint
// revealed, for printing and decoding to text. A document borrows the items
// of the tree and owns only the items made while it was built.

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "model/metatexthunk.h"
#include "model/textwriter.h"

// A new, empty document of kind SUBJECT with the title.
std::unique_ptr<TMetaTextHunk> MakeDocument(std::string title);
// Deletes the items the document made, detaches the borrowed ones and
// deletes the document.
void FreeDocument(std::unique_ptr<TMetaTextHunk> document);

// Writes the whole tree of the root as a text file's content: the header
// "ZEB: Hints for <title>", two empty lines, then the display document.
// Numbers the tree afresh; leaves it otherwise unchanged. The text is
// written while the display is built, so no copy of the tree is held.
void DecodeToText(THunk& root, std::ostream& out);
