// zebtool. The commands on hint files run here, in a program that needs the
// standard library only; the rest (printing, catalogs, the update server)
// need the GUI and network libraries and run in zebtool-full, which this
// program replaces itself with.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "fileio/largepages.h"
#include "tools/commandtable.h"
#include "tools/commands.h"

namespace {
namespace fs = std::filesystem;

// zebtool-full beside this program, or in the library folder of an
// installation (bin/zebtool, lib/zebreader/zebtool-full).
std::string FullProgram() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) return "zebtool-full";
  const fs::path folder = self.parent_path();
  for (const fs::path& candidate : {folder / "zebtool-full", folder.parent_path() / "lib" / "zebreader" / "zebtool-full"}) {
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return (folder / "zebtool-full").string();
}
// Commands this program runs itself restart here; zebtool-full restarts
// for its own, as the setting may not reach it whole through this one.
bool WantsHugePages(const std::string& command) {
  const TCommandInfo* info = FindCommand(ZebtoolCommands, command);
  return info != nullptr && info->HugePages && info->RunBy == TRunBy::Zebtool;
}
}  // namespace

int main(int argc, char** argv) {
  // Output goes through the streams' own buffers, not through stdio's.
  std::ios::sync_with_stdio(false);
  LeaveLoadedTreesAtExit();
  const TArgs args(argv + 1, argv + argc);
  int status = 0;
  if (args.empty()) return UsageError(std::cerr, "no command given");
  if (WantsHugePages(args[0])) RestartWithLargePages(argv);
  try {
    if (RunModelCommand(args, std::cout, std::cerr, status)) {
      std::cout.flush();
      return status;
    }
  } catch (const std::exception& error) {
    std::cerr << "zebtool: " << error.what() << "\n";
    return ExitCode::Software;
  }
  const std::string full = FullProgram();
  std::vector<char*> fullArgs(argv, argv + argc);
  fullArgs[0] = const_cast<char*>(full.c_str());
  fullArgs.push_back(nullptr);
  ::execv(full.c_str(), fullArgs.data());
  std::cerr << "zebtool: cannot run " << full << ": " << std::strerror(errno) << "\n";
  return ExitCode::Unavailable;
}
