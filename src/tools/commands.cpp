#include "tools/commands.h"

#include <ostream>

#include <nlohmann/json.hpp>

#include "model/loader.h"
#include "model/loadmessages.h"
#include "tools/treejson.h"

namespace {
constexpr const char* Version = "zebtool 4.50";

constexpr const char* Usage =
    "Usage: zebtool COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  tree FILE      print the loaded tree of a hint file as JSON\n"
    "  verify FILE    load a hint file; print \"ok\" or the reader's error message\n"
    "\n"
    "Options:\n"
    "  --help         show this help\n"
    "  --version      show the version\n"
    "\n"
    "A hint file that fails to load exits with the loader's result code (1 to 5).\n";

int UsageError(std::ostream& err, const std::string& problem) {
  err << "zebtool: " << problem << "\n\n" << Usage;
  return ExitCode::Usage;
}

// Loads FILE for a command; on failure reports the reader's message.
int Load(const std::string& path, TObjectList& list, std::ostream& err) {
  const int code = LoadHintFile(path, list, false);
  if (code != LoadResult::Loaded) err << LoadErrorMessage(code, path) << "\n";
  return code;
}
}  // namespace

int TreeCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) return UsageError(err, "tree takes one FILE");
  TObjectList list;
  const int code = Load(args[0], list, err);
  out << TreeToJson(code, list).dump() << "\n";
  ClearList(list);
  return code;
}

int VerifyCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) return UsageError(err, "verify takes one FILE");
  TObjectList list;
  const int code = Load(args[0], list, err);
  if (code == LoadResult::Loaded) out << "ok\n";
  ClearList(list);
  return code;
}

int RunZebtool(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return UsageError(err, "no command given");
  const std::string& command = args[0];
  const TArgs rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h" || command == "help") {
    out << Usage;
    return ExitCode::Ok;
  }
  if (command == "--version") {
    out << Version << "\n";
    return ExitCode::Ok;
  }
  if (command == "tree") return TreeCommand(rest, out, err);
  if (command == "verify") return VerifyCommand(rest, out, err);
  return UsageError(err, "unknown command \"" + command + "\"");
}
