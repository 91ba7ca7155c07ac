// zebtool publish: the content of an update server for a folder of hint
// files: the list document at cgi-bin/update.cgi and one ZIP archive per
// hint file under files/, for any static web server to serve.

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <ostream>

#include <zip.h>

#include "downloader/catalog.h"
#include "downloader/fileinfo.h"
#include "downloader/listdates.h"
#include "fileio/atomicfile.h"
#include "tools/commands.h"

namespace fs = std::filesystem;

namespace {
// A file's modification date as the list writes dates: DD-Mon-YYYY.
std::string ListDate(const fs::path& file) {
  std::error_code error;
  const auto written = fs::last_write_time(file, error);
  if (error) return "01-Jan-1980";
  // The file clock and the system clock differ by a fixed offset.
  const auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      written - fs::file_time_type::clock::now() + std::chrono::system_clock::now());
  const std::time_t time = std::chrono::system_clock::to_time_t(system);
  std::tm parts{};
  gmtime_r(&time, &parts);
  char text[16];
  std::snprintf(text, sizeof text, "%02d-%s-%04d", parts.tm_mday, MonthNames[parts.tm_mon], parts.tm_year + 1900);
  return text;
}

// A value as list markup can carry it: no "<", which would end it.
std::string MarkupValue(std::string value) {
  std::replace(value.begin(), value.end(), '<', '(');
  return value;
}

// Writes a one-member archive of the file; false when it cannot be written.
bool WriteArchive(const fs::path& file, const fs::path& archive) {
  int code = 0;
  zip_t* out = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (out == nullptr) return false;
  zip_source_t* source = zip_source_file(out, file.c_str(), 0, -1);
  if (source == nullptr || zip_file_add(out, file.filename().c_str(), source, ZIP_FL_ENC_GUESS) < 0) {
    if (source != nullptr) zip_source_free(source);
    zip_discard(out);
    return false;
  }
  return zip_close(out) == 0;
}
}  // namespace

int PublishCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string baseUrl;
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--base-url") {
      if (++i == args.size()) return UsageError(err, "--base-url needs a URL");
      baseUrl = args[i];
    } else {
      folders.push_back(args[i]);
    }
  }
  if (folders.size() != 2 || baseUrl.empty()) return UsageError(err, "publish takes DIR OUT --base-url URL");
  if (baseUrl.back() != '/') baseUrl += '/';
  const fs::path source = folders[0];
  const fs::path target = folders[1];

  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(source, error))
    if (entry.is_regular_file() && IsHintFileName(entry.path().filename().string())) files.push_back(entry.path());
  if (error) {
    err << "zebtool: cannot read " << source.string() << "\n";
    return ExitCode::Usage;
  }
  std::sort(files.begin(), files.end());

  fs::create_directories(target / "cgi-bin", error);
  fs::create_directories(target / "files", error);
  std::string list;
  for (const fs::path& file : files) {
    const std::string archiveName = file.stem().string() + ".zip";
    const fs::path archive = target / "files" / archiveName;
    if (!WriteArchive(file, archive)) {
      err << "zebtool: cannot write " << archive.string() << "\n";
      return ExitCode::CannotCreate;
    }
    const TFileInfo info(file.string(), static_cast<std::int64_t>(fs::file_size(file)));
    const std::string title = info.Title.empty() ? file.filename().string() : info.Title;
    // The date a reader compares its copy by: the file's own DATE= line
    // where it has a usable one, else the day it was last written. A list
    // date later than the file's own would never let a downloaded copy
    // count as current.
    const std::string date = ParseListDate(info.Date).Date != NoDate() ? info.Date : ListDate(file);
    list += "<FILE><FTITLE>" + MarkupValue(title) + "</FTITLE><FURL>" + baseUrl + archiveName + "</FURL><FNAME>" +
            MarkupValue(file.filename().string()) + "</FNAME><FDATE>" + MarkupValue(date) + "</FDATE><FSIZE>" +
            std::to_string(fs::file_size(archive)) + "</FSIZE></FILE>\r\n";
    out << file.filename().string() << "\t" << title << "\n";
  }
  const std::string failure = ReplaceFileWith((target / "cgi-bin" / "update.cgi").string(), list);
  if (!failure.empty()) {
    err << "zebtool: " << failure << "\n";
    return ExitCode::CannotCreate;
  }
  return ExitCode::Ok;
}
