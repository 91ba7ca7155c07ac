// zebtool publish: the content of an update server for a folder of hint
// files: the list document at cgi-bin/update.cgi and one ZIP archive per
// hint file under files/, for any static web server to serve. With --html
// the same folder becomes a web site too: a page for each hint file under
// hints/ and index.html listing them by title.

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
#include "model/regularfile.h"
#include "tools/commands.h"
#include "tools/publishchecks.h"
#include "webpage/urlpath.h"
#include "webpage/webpage.h"

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

// The name of a hint file's archive under files/.
std::string ArchiveName(const fs::path& file) { return file.stem().string() + ".zip"; }

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
  // From a stream opened here: only a regular file, never a FIFO that
  // would block. The source closes the stream once it is freed.
  std::FILE* stream = OpenRegularFile(file.string());
  zip_source_t* source = stream != nullptr ? zip_source_filep(out, stream, 0, -1) : nullptr;
  if (source == nullptr && stream != nullptr) std::fclose(stream);
  if (source == nullptr || zip_file_add(out, file.filename().c_str(), source, ZIP_FL_ENC_GUESS) < 0) {
    if (source != nullptr) zip_source_free(source);
    zip_discard(out);
    return false;
  }
  return zip_close(out) == 0;
}

// Writes the web page of a hint file; the exit status (the loader's code
// for a file that does not load).
int WritePage(const fs::path& file, const fs::path& page, std::ostream& err) {
  TObjectList list;
  THunk* root = nullptr;
  int status = LoadTreeAsShown(file.string(), list, err, root);
  if (root != nullptr) status = WritePageFile(*root, file.string(), page.string(), TAtomicFile::TLinks::Replace, err);
  ClearList(list);
  return status;
}

// Writes index.html: every file by title, in the order of the by-title
// window, then the files that window leaves out (the help file).
int WriteIndex(const TCatalog& catalog, const fs::path& target, std::ostream& err) {
  std::vector<const TFileInfo*> order = ListedByTitle(catalog);
  for (const auto& info : catalog)
    if (std::find(order.begin(), order.end(), info.get()) == order.end()) order.push_back(info.get());
  std::vector<TIndexEntry> entries;
  for (const TFileInfo* info : order) {
    const std::string name = fs::path(info->FileName).filename().string();
    // Links carry the names' own bytes, escaped: a "%" or a UTF-8 letter
    // in a name reaches the server as the name holds it.
    entries.push_back({info->Title.empty() ? name : info->Title, "hints/" + UrlPathSegment(WebPageName(name)),
                       "files/" + UrlPathSegment(ArchiveName(name))});
  }
  TAtomicFile out((target / "index.html").string(), TAtomicFile::TLinks::Replace);
  if (out.Open()) WriteIndexPage(entries, out.Stream());
  if (!out.Commit()) {
    err << "zebtool: " << out.Error() << "\n";
    return ExitCode::CannotCreate;
  }
  return ExitCode::Ok;
}
}  // namespace

int PublishCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string baseUrl;
  std::vector<std::string> folders;
  bool html = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--html") {
      html = true;
    } else if (args[i] == "--base-url") {
      if (++i == args.size()) return UsageError(err, "--base-url needs a URL");
      baseUrl = args[i];
    } else {
      folders.push_back(args[i]);
    }
  }
  if (folders.size() != 2 || baseUrl.empty()) return UsageError(err, "publish takes DIR OUT --base-url URL [--html]");
  if (const int refused = CheckBaseUrl(baseUrl, err)) return refused;
  if (baseUrl.back() != '/') baseUrl += '/';
  // The URL names where OUT is served; one that ends in files/ already
  // names the archives' folder (as publish once took it).
  const std::string filesUrl = baseUrl.ends_with("/files/") ? baseUrl : baseUrl + "files/";
  const fs::path source = folders[0];
  const fs::path target = folders[1];

  // Everything is checked before the first write: a refused folder leaves
  // OUT as it was.
  std::vector<fs::path> files;
  if (const int status = ListPublishedFiles(source, files, err)) return status;
  if (const int status = CheckFileNames(files, err)) return status;
  if (const int status = CheckFilesLoad(files, err)) return status;
  std::vector<std::string> inputs;
  std::vector<std::string> outputs = {(target / "cgi-bin" / "update.cgi").string()};
  if (html) outputs.push_back((target / "index.html").string());
  for (const fs::path& file : files) {
    inputs.push_back(file.string());
    outputs.push_back((target / "files" / ArchiveName(file)).string());
    if (html) outputs.push_back((target / "hints" / WebPageName(file.filename().string())).string());
  }
  if (const int refused = RefuseOutputsOverInputs(outputs, inputs, err)) return refused;

  std::error_code error;
  fs::create_directories(target / "cgi-bin", error);
  fs::create_directories(target / "files", error);
  if (html) fs::create_directories(target / "hints", error);
  std::string list;
  TCatalog catalog;
  for (const fs::path& file : files) {
    const std::string archiveName = ArchiveName(file);
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
    list += "<FILE><FTITLE>" + MarkupValue(title) + "</FTITLE><FURL>" + filesUrl + UrlPathSegment(archiveName) +
            "</FURL><FNAME>" + MarkupValue(file.filename().string()) + "</FNAME><FDATE>" + MarkupValue(date) +
            "</FDATE><FSIZE>" + std::to_string(fs::file_size(archive)) + "</FSIZE></FILE>\r\n";
    if (html) {
      if (const int status = WritePage(file, target / "hints" / WebPageName(file.filename().string()), err))
        return status;
      catalog.push_back(std::make_unique<TFileInfo>(info));
    }
    out << file.filename().string() << "\t" << title << "\n";
  }
  if (html) {
    if (const int status = WriteIndex(catalog, target, err)) return status;
  }
  const std::string failure = ReplaceFileWith((target / "cgi-bin" / "update.cgi").string(), list);
  if (!failure.empty()) {
    err << "zebtool: " << failure << "\n";
    return ExitCode::CannotCreate;
  }
  return ExitCode::Ok;
}
