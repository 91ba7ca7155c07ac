#pragma once
// Find in File without its prompt and window: the search of the whole tree
// into a results document titled after the phrase.

#include <memory>
#include <string>

#include "model/metatexthunk.h"
#include "model/textcase.h"

// "Search Results for "<phrase>"".
std::string SearchTitle(const std::string& phrase);

// Searches the root's tree; found tells whether any node matched. A leading
// " " item (a match in the root's own text) is then removed, so a match in
// the root alone gives an empty document although something was found.
std::unique_ptr<TMetaTextHunk> FindInFile(THunk& root, const std::string& phrase, bool* found = nullptr);
