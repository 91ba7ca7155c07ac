#pragma once
// Searching many hint files for a phrase: each file is loaded, searched as
// Find in File searches it and freed again, two files at a time. A result
// row names the places of a hit by their titles only, never by hint text.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "model/loadresult.h"

class THunk;

// One row of results: the titles of the row's links, from the top of the
// file down to the node that holds the phrase, and the line numbers of the
// nodes they lead to. A match in the root's own text has no links.
struct TSearchRow {
  std::vector<std::string> Titles;
  std::vector<std::int32_t> Lines;
};

// Whether a search of one tree may split it between two threads.
enum class TSearchThreads { One, Two };

// The rows of a search of the root's tree, in the order the search finds
// them. With two threads, the nodes the root holds are searched in two
// halves at once (for one large file; a search of many files has its
// threads already).
std::vector<TSearchRow> SearchRows(THunk& root, const std::string& phrase, TSearchThreads threads = TSearchThreads::One);

// What the search found in one file: its load result (code, and what is
// wrong with a damaged file), its root's title and its rows (none when it
// did not load).
struct TFileSearch {
  std::string Path;
  int LoadCode = 0;
  TDamage LoadDamage = TDamage::None;
  std::string Title;
  std::vector<TSearchRow> Rows;
};

// Searches the files in two threads and returns their results in the order
// of paths. The calling thread waits, calling waiting (when given) about
// every 50 ms with the number of files done; cancel is set by that thread
// (in waiting, or before the call), and once it is set no further
// file is started and the files not searched are left out.
std::vector<TFileSearch> SearchHintFiles(const std::vector<std::string>& paths, const std::string& phrase,
                                         const volatile std::uint8_t& cancel,
                                         const std::function<void(std::size_t done)>& waiting = {});

// True for a name ending in ".zeb" in any letter case.
bool IsHintFileName(std::string_view name);

// The hint files of a folder (IsHintFileName), sorted by name. A folder that
// cannot be opened or read to its end gives none and sets error to why.
std::vector<std::string> HintFilesOfFolder(const std::string& folder, std::error_code& error);
