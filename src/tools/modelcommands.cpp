#include "tools/commands.h"

#include <cstdlib>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <ostream>
#include <vector>

#include <nlohmann/json.hpp>

#include "authoring/compiler.h"
#include "fileio/atomicfile.h"
#include "fileio/fileidentity.h"
#include "model/datahunks.h"
#include "model/displaydocument.h"
#include "model/hunk.h"
#include "model/loader.h"
#include "model/collectionsearch.h"
#include "model/search.h"
#include "model/loadmessages.h"
#include "model/version.h"
#include "tools/commandtable.h"
#include "tools/treejson.h"

namespace {
bool LeaveTreesAtExit = false;

// Frees the list, unless the process is about to end anyway: then freeing
// millions of items would only delay the exit.
void DoneWithList(TObjectList& list) {
  if (!LeaveTreesAtExit) {
    ClearList(list);
    return;
  }
  // Kept where a leak checker still sees them: left for the exit, not lost.
  static auto* const kept = new std::vector<TZEBObject*>();
  for (auto& object : list) kept->push_back(object.release());
  list.clear();
}
}  // namespace

void LeaveLoadedTreesAtExit() { LeaveTreesAtExit = true; }

int FolderError(std::ostream& err, const std::string& folder, const std::error_code& error) {
  err << "zebtool: cannot read folder " << folder << ": " << error.message() << "\n";
  return ExitCode::NoInput;
}

int RefuseOutputsOverInputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs,
                            std::ostream& err) {
  std::vector<std::pair<TFileIdentity, const std::string*>> known;
  for (const std::string& input : inputs)
    if (const auto identity = FileIdentityOf(input)) known.emplace_back(*identity, &input);
  for (const std::string& output : outputs) {
    const auto identity = FileIdentityOf(output);
    if (!identity) continue;
    for (const auto& [inputIdentity, input] : known) {
      if (inputIdentity != *identity) continue;
      err << "zebtool: will not write " << output << ": it is the input file " << *input << "\n";
      return ExitCode::CannotCreate;
    }
  }
  return ExitCode::Ok;
}

int UsageError(std::ostream& err, const std::string& problem) {
  err << "zebtool: " << problem << "\n\n" << UsageText();
  return ExitCode::Usage;
}

int LoadForCommand(const std::string& path, TObjectList& list, std::ostream& err) {
  const TLoadResult result = LoadHintFile(path, list, false);
  if (!result.Loaded()) err << result.Message << "\n";
  return result.Code;
}

namespace {
int Load(const std::string& path, TObjectList& list, std::ostream& err) { return LoadForCommand(path, list, err); }
}  // namespace

int TreeCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) return UsageError(err, "tree takes one FILE");
  TObjectList list;
  const int code = Load(args[0], list, err);
  out << TreeToJson(code, list).dump() << "\n";
  DoneWithList(list);
  return code;
}

int VerifyCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) return UsageError(err, "verify takes one FILE");
  TObjectList list;
  const int code = Load(args[0], list, err);
  if (code == LoadResult::Loaded) out << "ok\n";
  DoneWithList(list);
  return code;
}

int ReadFileAndOutput(const TArgs& args, const std::string& command, std::string& path, std::string& outPath,
                      std::ostream& err) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (++i == args.size()) return UsageError(err, "-o needs a file name");
      outPath = args[i];
    } else if (path.empty()) {
      path = args[i];
    } else {
      return UsageError(err, command + " takes one FILE");
    }
  }
  if (path.empty()) return UsageError(err, command + " takes one FILE");
  return ExitCode::Ok;
}

int DecodeCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string path;
  std::string outPath;
  if (const int usage = ReadFileAndOutput(args, "decode", path, outPath, err)) return usage;
  if (!outPath.empty())
    if (const int refused = RefuseOutputsOverInputs({outPath}, {path}, err)) return refused;
  TObjectList list;
  const int code = Load(path, list, err);
  if (code != LoadResult::Loaded) return code;
  THunk* root = ListRootNode(list);
  int status = ExitCode::Ok;
  if (outPath.empty()) {
    if (root != nullptr) DecodeToText(*root, out);
    out.flush();
  } else {
    // A large buffer: the text of a big file goes out in few writes. It
    // replaces the file only when whole.
    TAtomicFile file(outPath, TAtomicFile::TLinks::Follow, 1 << 20);
    if (file.Open() && root != nullptr) DecodeToText(*root, file.Stream());
    if (!file.Commit()) {
      err << "zebtool: " << file.Error() << "\n";
      status = ExitCode::CannotCreate;
    }
  }
  DoneWithList(list);
  return status;
}

namespace {
// A row as search prints it: the titles joined by " : ".
std::string RowText(const TSearchRow& row) {
  std::string text;
  for (const std::string& title : row.Titles) {
    if (!text.empty()) text += " : ";
    text += title;
  }
  return text;
}

// Every hint file of the folder, two at a time: one line per row, the file
// name first; files that do not load are named on the error stream.
int SearchFolder(const std::string& folder, const std::string& phrase, std::ostream& out, std::ostream& err) {
  std::error_code error;
  const std::vector<std::string> files = HintFilesOfFolder(folder, error);
  if (error) return FolderError(err, folder, error);
  const volatile std::uint8_t noCancel = 0;
  for (const TFileSearch& file : SearchHintFiles(files, phrase, noCancel)) {
    const std::string name = std::filesystem::path(file.Path).filename().string();
    if (file.LoadCode != LoadResult::Loaded) {
      err << "zebtool: skipped " << name << ": " << LoadErrorMessage(file.LoadCode, file.Path, file.LoadDamage)
          << "\n";
      continue;
    }
    for (const TSearchRow& row : file.Rows) out << name << "\t" << RowText(row) << "\n";
  }
  return ExitCode::Ok;
}
}  // namespace

int SearchCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return UsageError(err, "search takes FILE (or DIR) and PHRASE");
  std::error_code error;
  if (std::filesystem::is_directory(args[0], error)) return SearchFolder(args[0], args[1], out, err);
  TObjectList list;
  const int code = Load(args[0], list, err);
  if (code != LoadResult::Loaded) return code;
  if (THunk* root = ListRootNode(list))
    for (const TSearchRow& row : SearchRows(*root, args[1], TSearchThreads::Two)) out << RowText(row) << "\n";
  DoneWithList(list);
  return ExitCode::Ok;
}

int BuildCommand(const TArgs& args, std::ostream&, std::ostream& err) {
  if (args.size() != 3 || args[1] != "-o") return UsageError(err, "build takes SOURCE -o OUT");
  const std::string& sourcePath = args[0];
  if (const int refused = RefuseOutputsOverInputs({args[2]}, {sourcePath}, err)) return refused;
  std::ifstream in(sourcePath, std::ios::binary);
  if (!in) {
    err << "zebtool: cannot read " << sourcePath << "\n";
    return ExitCode::BadSource;
  }
  std::ostringstream source;
  source << in.rdbuf();
  std::string bytes;
  try {
    const std::filesystem::path folder = std::filesystem::path(sourcePath).parent_path();
    bytes = CompileHintSource(source.str(), folder.empty() ? "." : folder.string());
  } catch (const TCompileError& e) {
    err << sourcePath << ": " << e.what() << "\n";
    return ExitCode::BadSource;
  }
  const std::string failure = ReplaceFileWith(args[2], bytes);
  if (!failure.empty()) {
    err << "zebtool: " << failure << "\n";
    return ExitCode::CannotCreate;
  }
  return ExitCode::Ok;
}

bool RunModelCommand(const TArgs& args, std::ostream& out, std::ostream& err, int& status) {
  if (args.empty()) return false;
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    out << UsageText();
    status = ExitCode::Ok;
    return true;
  }
  if (command == "--version") {
    out << "zebtool " << ZebVersion << "\n";
    status = ExitCode::Ok;
    return true;
  }
  const TCommandInfo* info = FindCommand(ZebtoolCommands, command);
  if (info == nullptr || info->RunBy != TRunBy::Zebtool) return false;
  status = info->Handler(TArgs(args.begin() + 1, args.end()), out, err);
  return true;
}
