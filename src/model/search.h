#pragma once
// Find in File without its prompt and window: the search of the whole tree
// into a results document titled after the phrase.

#include <memory>
#include <string>

#include "model/metatexthunk.h"
#include "model/textcase.h"

// "Search Results for "<phrase>"".
std::string SearchTitle(const std::string& phrase);

// Searches the root's tree. The document is empty when nothing was found;
// otherwise a leading " " item (a match in the root alone) is removed.
std::unique_ptr<TMetaTextHunk> FindInFile(THunk& root, const std::string& phrase);
