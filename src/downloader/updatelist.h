#pragma once
// The update list: a text document of <FILE> entries (title, archive URL,
// hint file name, release date, size) and an optional <MESSAGE> news block,
// kept in "zebinet.dat" and parsed from there.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QDate>

#include "downloader/catalog.h"

struct TOptions;

// Bounds on what an update list may hold, so that no server can make the
// program run out of memory or choke on one huge field. The list file is
// read no further than MaxListBytes; a longer title is cut; an entry with a
// longer address or file name is skipped (cut, it would fetch the wrong
// thing); entries beyond MaxListEntries are not read.
inline constexpr std::int64_t MaxListBytes = std::int64_t{64} << 20;
inline constexpr std::size_t MaxListTitleLength = 1000;
inline constexpr std::size_t MaxListUrlLength = 2048;
inline constexpr std::size_t MaxListFileNameLength = 255;
// Dates and sizes are read from their first characters; the rest is cut.
inline constexpr std::size_t MaxListShortFieldLength = 64;
inline constexpr std::size_t MaxListNewsLength = 10000;
inline constexpr std::size_t MaxListEntries = 100000;

struct TFileRecord {
  std::string Title;
  std::string Url;
  std::string FileName;
  std::string UpdatedText = "unknown";
  std::string SizeText = "unknown";
  std::int32_t Size = 0;
  QDate Updated;  // NoDate() when missing
  bool HaveCurrent = false;

  TFileRecord();
};

// Fills the record from the first <FILE> block of the buffer and removes the
// block from it. HaveCurrent is decided against the catalog. False when the
// entry is to be skipped (an address or file name beyond its bound).
bool ParseFileEntry(std::string& buffer, TFileRecord& record, const TCatalog& catalog);

// Reads the list file into records, in file order. With showNews, onNews is
// called with the text of each news block found (once per block), cut to
// MaxListNewsLength.
std::vector<TFileRecord> LoadFileList(const std::string& listFile, const TCatalog& catalog, bool showNews,
                                      const std::function<void(const std::string& news)>& onNews = {});

// The news text to show, or none when it was shown before or news is off:
// "\n" pairs of the list become two line feeds.
std::optional<std::string> NewsToShow(const std::string& news, const TOptions& options);
// After the news box closed: remember the news unless the user asked to see it again.
void RememberNews(const std::string& news, bool doNotShowAgain, TOptions& options);
