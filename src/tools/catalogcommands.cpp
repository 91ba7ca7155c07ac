// zebtool commands on hint files as a collection: header summaries, the
// by-title listing of a folder and the update list.
#include <filesystem>
#include <ostream>

#include <nlohmann/json.hpp>

#include "downloader/catalog.h"
#include "downloader/fileinfo.h"
#include "downloader/updatelist.h"
#include "settings/homefolder.h"
#include "settings/inifile.h"
#include "settings/options.h"
#include "tools/commands.h"
#include "tools/treejson.h"

namespace {
// The hint-file folder of the settings (InstallDir), or the default one.
std::string HintFolder() {
  TIniFile ini(THomeFolder::SettingsFile());
  return THomeFolder::WithSlash(ini.ReadIniString(SettingsSection, "InstallDir", THomeFolder::DefaultHintFolder()));
}

std::error_code ScanCatalog(const std::string& folder, TCatalog& catalog) {
  const volatile std::uint8_t noCancel = 0;
  return ScanHintFolder(THomeFolder::WithSlash(folder), catalog, noCancel, THomeFolder::CatalogCacheFile());
}
}  // namespace

int SummaryCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return UsageError(err, "summary takes one or more FILEs");
  for (const std::string& path : args) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    const TFileInfo info(path, error ? 0 : static_cast<std::int64_t>(size));
    const nlohmann::ordered_json line = {{"fileName", BytesToUtf8(info.FileName)}, {"title", BytesToUtf8(info.Title)},
                                 {"version", BytesToUtf8(info.Version)},   {"author", BytesToUtf8(info.Author)},
                                 {"publisher", BytesToUtf8(info.Publisher)}, {"date", BytesToUtf8(info.Date)},
                                 {"time", BytesToUtf8(info.Time)},         {"fileLength", info.FileLength}};
    out << line.dump() << "\n";
  }
  return ExitCode::Ok;
}

int TitlesCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) return UsageError(err, "titles takes one DIR");
  TCatalog catalog;
  if (const std::error_code error = ScanCatalog(args[0], catalog)) return FolderError(err, args[0], error);
  for (const TFileInfo* info : ListedByTitle(catalog)) out << info->Title << "\t" << info->FileName << "\n";
  return ExitCode::Ok;
}

int ListCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string listFile;
  std::string folder;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--catalog") {
      if (++i == args.size()) return UsageError(err, "--catalog needs a DIR");
      folder = args[i];
    } else if (listFile.empty()) {
      listFile = args[i];
    } else {
      return UsageError(err, "list takes one ZEBINET_FILE");
    }
  }
  if (listFile.empty()) listFile = THomeFolder::UpdateListFile();
  if (folder.empty()) folder = HintFolder();
  TCatalog catalog;
  ScanCatalog(folder, catalog);
  for (const TFileRecord& record : LoadFileList(listFile, catalog, false)) {
    const nlohmann::ordered_json line = {{"title", BytesToUtf8(record.Title)},
                                 {"url", BytesToUtf8(record.Url)},
                                 {"fileName", BytesToUtf8(record.FileName)},
                                 {"updated", record.Updated.toString("yyyy-MM-dd").toStdString()},
                                 {"updatedText", BytesToUtf8(record.UpdatedText)},
                                 {"size", record.Size},
                                 {"sizeText", BytesToUtf8(record.SizeText)},
                                 {"haveCurrent", record.HaveCurrent}};
    out << line.dump() << "\n";
  }
  return ExitCode::Ok;
}
