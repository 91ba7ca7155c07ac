#include "tools/publishchecks.h"

#include <algorithm>
#include <ostream>
#include <string_view>

#include "downloader/downloadengine.h"
#include "model/collectionsearch.h"
#include "model/loader.h"
#include "model/textcase.h"
#include "tools/commands.h"

namespace fs = std::filesystem;

namespace {
bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// A name or URL fit for a message line: control bytes written as \xNN.
std::string Shown(std::string_view text) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : text) {
    if (!IsControl(c)) {
      shown += c;
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    shown += "\\x";
    shown += Hex[byte >> 4];
    shown += Hex[byte & 0x0F];
  }
  return shown;
}
}  // namespace

int ListPublishedFiles(const fs::path& folder, std::vector<fs::path>& files, std::ostream& err) {
  files.clear();
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (!IsHintFileName(it->path().filename().string())) continue;
    std::error_code looked;
    const fs::file_status status = it->status(looked);
    if (looked) {
      err << "zebtool: skipped " << Shown(it->path().string()) << ": " << looked.message() << "\n";
      continue;
    }
    if (fs::is_regular_file(status)) files.push_back(it->path());
  }
  if (error) {
    files.clear();
    return FolderError(err, folder.string(), error);
  }
  std::sort(files.begin(), files.end());
  return ExitCode::Ok;
}

int CheckBaseUrl(const std::string& url, std::ostream& err) {
  // A line feed would start new list markup; a space or a "<" has no place
  // in a URL and would break the one written.
  const bool unfit = std::any_of(url.begin(), url.end(), [](char c) { return IsControl(c) || c == ' ' || c == '<'; });
  if (!unfit) return ExitCode::Ok;
  err << "zebtool: the base URL \"" << Shown(url) << "\" holds a space, a control character or \"<\"\n";
  return ExitCode::Usage;
}

int CheckFileNames(const std::vector<fs::path>& files, std::ostream& err) {
  std::vector<std::string> names;
  for (const fs::path& file : files) {
    std::string name = file.filename().string();
    // The reader's own test of a listed name, and no space or "#", which a
    // URL does not carry as they are.
    if (!TDownloadEngine::IsDownloadableName(name) || name.find_first_of(" #") != std::string::npos) {
      err << "zebtool: " << Shown(file.string())
          << ": the update list cannot carry this name (no spaces, control characters, leading dot or any of "
             "# / \\ : * ? \" < > |)\n";
      return ExitCode::BadSource;
    }
    names.push_back(std::move(name));
  }
  // Readers find a listed file by its name in any letter case.
  std::vector<std::size_t> order(names.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::vector<std::string> upper;
  for (const std::string& name : names) upper.push_back(UpperCaseAtoZ(name));
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return upper[a] < upper[b]; });
  for (std::size_t i = 1; i < order.size(); ++i) {
    if (upper[order[i - 1]] != upper[order[i]]) continue;
    err << "zebtool: " << files[order[i - 1]].string() << " and " << files[order[i]].string()
        << " differ only in letter case; a reader cannot tell them apart\n";
    return ExitCode::BadSource;
  }
  return ExitCode::Ok;
}

int CheckFilesLoad(const std::vector<fs::path>& files, std::ostream& err) {
  for (const fs::path& file : files) {
    TObjectList list;
    const TLoadResult result = LoadHintFile(file.string(), list, false);
    ClearList(list);
    if (result.Loaded()) continue;
    err << "zebtool: cannot publish " << file.string() << ": " << result.Message << "\n";
    return result.Code;
  }
  return ExitCode::Ok;
}
