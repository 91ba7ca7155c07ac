#pragma once
// Find in All Hint Files: the results of a search across the hint files of
// a folder, as a document of rows "Game title: subject: question", each a
// link that opens its file and the window of the node it names.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/collectionsearch.h"
#include "model/metatexthunk.h"

// A row of the results: the file and the header line of the node to open
// (0: the file's top window).
class TFileHit : public THunk {
 public:
  TFileHit(std::string text, std::string path, std::int32_t line);
  // Hands the hit to OpenHandler; nothing happens without one.
  int Open() override;
  const char* ClassName() const override;

  std::string Path;
  std::int32_t Line = 0;

  // How the program opens a hit; set by the main window.
  static std::function<void(const TFileHit&)> OpenHandler;
};

// The results document titled after the phrase, one row per hit in file
// order; none when nothing was found.
std::unique_ptr<TMetaTextHunk> AllFilesResults(const std::vector<TFileSearch>& searched, const std::string& phrase);

// The status bar's account of a search: how many files were searched and
// how many could not be read.
std::string AllFilesSearchedNote(const std::vector<TFileSearch>& searched);
