#include "downloader/catalog.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include <QDateTime>
#include <QFileInfo>
#include <QString>

#include "downloader/cachedsummaries.h"
#include "fileio/appendfile.h"
#include "fileio/folderfiles.h"
#include "settings/homefolder.h"

const char* const MonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

namespace {
// The modification date, in local time, as "07-Mar-99".
std::string ModificationDate(const std::string& path) {
  const QDateTime modified = QFileInfo(QString::fromStdString(path)).lastModified();
  if (!modified.isValid()) return std::string();
  const QDate date = modified.date();
  char text[32];
  std::snprintf(text, sizeof text, "%02i-%3s-%02i", date.day(), MonthNames[date.month() - 1], date.year() % 100);
  return text;
}

// The ordinary, visible hint files of a folder, in name order.
std::vector<TFolderFile> FindHintFiles(const std::string& folder, std::error_code& error) {
  std::vector<TFolderFile> found = RegularFilesOf(
      folder, [](std::string_view name) { return !name.empty() && name[0] != '.' && IsHintFileName(name); }, error);
  std::sort(found.begin(), found.end(), [](const TFolderFile& a, const TFolderFile& b) { return a.Name < b.Name; });
  return found;
}
}  // namespace

std::vector<const TFileInfo*> ListedByTitle(const TCatalog& catalog) {
  std::vector<const TFileInfo*> listed;
  for (const auto& info : catalog)
    if (!info->Title.empty() && info->Title != HelpFileTitle) listed.push_back(info.get());
  std::stable_sort(listed.begin(), listed.end(), [](const TFileInfo* a, const TFileInfo* b) { return TitleLess(*a, *b); });
  return listed;
}

std::error_code ScanHintFolder(const std::string& folder, TCatalog& catalog, const volatile std::uint8_t& cancel,
                               const std::string& cacheFile, const std::function<void()>& progress) {
  catalog.clear();
  std::error_code listing;
  const std::vector<TFolderFile> files = FindHintFiles(folder, listing);
  if (listing) return listing;

  // Every cached summary, read once. Names compare without regard to the
  // case of their ASCII letters; other bytes (names need not be UTF-8)
  // compare exactly.
  const TCachedSummaries cached(cacheFile);
  THomeFolder::MakeFolderFor(cacheFile);
  // Each record goes in whole or not at all: half a record (a full disk)
  // would hide every record written after it.
  TAppendFile append(cacheFile);
  bool caching = append.Open();

  catalog.reserve(files.size());
  for (const TFolderFile& file : files) {
    if (cancel != 0) break;
    if (progress) progress();
    if (auto hit = cached.Find(file.Name, file.Size)) {
      hit->FileName = file.Name;
      catalog.push_back(std::move(hit));
      continue;
    }
    const std::string path = folder + file.Name;
    auto info = std::make_unique<TFileInfo>(path, file.Size);
    if (info->Date.empty()) info->Date = ModificationDate(path);
    info->FileName = file.Name;
    if (caching) {
      std::ostringstream record;
      info->WriteRecord(record);
      caching = append.Append(record.str());
    }
    catalog.push_back(std::move(info));
  }
  return {};
}
