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
// block from it. HaveCurrent is decided against the catalog.
void ParseFileEntry(std::string& buffer, TFileRecord& record, const TCatalog& catalog);

// Reads the list file into records, in file order. With showNews, onNews is
// called with the text of each news block found (once per block).
std::vector<TFileRecord> LoadFileList(const std::string& listFile, const TCatalog& catalog, bool showNews,
                                      const std::function<void(const std::string& news)>& onNews = {});

// The news text to show, or none when it was shown before or news is off:
// "\n" pairs of the list become two line feeds.
std::optional<std::string> NewsToShow(const std::string& news, const TOptions& options);
// After the news box closed: remember the news unless the user asked to see it again.
void RememberNews(const std::string& news, bool doNotShowAgain, TOptions& options);
