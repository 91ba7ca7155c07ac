#pragma once
// A hint file as one web page: self-contained HTML5 (its style sheet,
// script, data and pictures all inside), revealing one hint at a time as
// the reader does, remembering the revealed hints in the browser, and
// loading nothing from anywhere. Also the index page of a published folder.

#include <iosfwd>
#include <string>
#include <vector>

#include "fileio/atomicfile.h"

class THunk;

// Writes the page of the tree under root, loaded from the hint file at
// hintFilePath (its pictures are read from there). False when the file
// cannot be read again.
bool WriteWebPage(THunk& root, const std::string& hintFilePath, std::ostream& out);

// What writing a page into a file came to.
enum class TPageFileResult { Written, HintFileUnreadable, CannotWrite };

// Writes the page into the file at outPath through a synced temporary file
// beside it, which replaces the file only once the page is whole; on any
// failure the old file stays as it was and error says what went wrong.
TPageFileResult WriteWebPageFile(THunk& root, const std::string& hintFilePath, const std::string& outPath,
                                 TAtomicFile::TLinks links, std::string& error);

// A file of a published folder, as its index page lists it.
struct TIndexEntry {
  std::string Title;     // 8-bit text, as in the file
  std::string PageHref;  // relative URL of its page
  std::string ZipHref;   // relative URL of its archive
};

// Writes the index page, listing the entries in the order given.
void WriteIndexPage(const std::vector<TIndexEntry>& entries, std::ostream& out);

// The name of a file's page: the hint file's name without its extension,
// then ".html".
std::string WebPageName(const std::string& hintFileName);
