#include "downloader/catalog.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include <QDateTime>
#include <QFileInfo>
#include <QString>

#include "fileio/appendfile.h"
#include "model/textcase.h"
#include "settings/homefolder.h"

namespace fs = std::filesystem;

const char* const MonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

namespace {
// Names compare without regard to the case of their ASCII letters; other
// bytes (names need not be UTF-8) compare exactly.
std::string NameKey(const std::string& name) { return LowerCaseAtoZ(name); }

std::string CacheKey(const std::string& name, std::int64_t size) { return NameKey(name) + '\n' + std::to_string(size); }

// The modification date, in local time, as "07-Mar-99".
std::string ModificationDate(const std::string& path) {
  const QDateTime modified = QFileInfo(QString::fromStdString(path)).lastModified();
  if (!modified.isValid()) return std::string();
  const QDate date = modified.date();
  char text[32];
  std::snprintf(text, sizeof text, "%02i-%3s-%02i", date.day(), MonthNames[date.month() - 1], date.year() % 100);
  return text;
}

struct TFoundFile {
  std::string Name;
  std::int64_t Size;
};

// The ordinary, visible hint files of a folder, in name order.
std::vector<TFoundFile> FindHintFiles(const std::string& folder) {
  std::vector<TFoundFile> found;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.' || !IsHintFileName(name)) continue;
    std::error_code statError;
    if (!it->is_regular_file(statError)) continue;
    const std::uintmax_t size = it->file_size(statError);
    if (statError) continue;
    found.push_back({name, static_cast<std::int64_t>(size)});
  }
  std::sort(found.begin(), found.end(), [](const TFoundFile& a, const TFoundFile& b) { return a.Name < b.Name; });
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

void ScanHintFolder(const std::string& folder, TCatalog& catalog, const volatile std::uint8_t& cancel,
                    const std::string& cacheFile, const std::function<void()>& progress) {
  catalog.clear();

  // Every cached summary, read once; the first record of a name and size wins.
  std::vector<std::unique_ptr<TFileInfo>> cached;
  std::unordered_map<std::string, const TFileInfo*> byNameAndSize;
  {
    std::ifstream in(cacheFile, std::ios::binary);
    for (;;) {
      auto info = std::make_unique<TFileInfo>();
      if (!info->ReadRecord(in)) break;
      byNameAndSize.emplace(CacheKey(info->FileName, info->FileLength), info.get());
      cached.push_back(std::move(info));
    }
  }
  THomeFolder::MakeFolderFor(cacheFile);
  // Each record goes in whole or not at all: half a record (a full disk)
  // would hide every record written after it.
  TAppendFile append(cacheFile);
  bool caching = append.Open();

  for (const TFoundFile& file : FindHintFiles(folder)) {
    if (cancel != 0) break;
    if (progress) progress();
    const auto hit = byNameAndSize.find(CacheKey(file.Name, file.Size));
    if (hit != byNameAndSize.end()) {
      auto copy = std::make_unique<TFileInfo>(*hit->second);
      copy->FileName = file.Name;
      catalog.push_back(std::move(copy));
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
}
