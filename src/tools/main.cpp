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
// Loading a large file fills tens of megabytes of fresh memory. With the
// system's transparent huge pages, malloc takes them in 2 MiB pages: a few
// hundred page faults instead of tens of thousands, a quarter of the time of
// a load. The C library reads the setting when a process starts, so the
// program starts itself again with it, once, before commands on files. A
// setting the user made is left alone.
void RestartWithHugePages(char** argv) {
#ifdef __GLIBC__
  if (std::getenv("GLIBC_TUNABLES") != nullptr) return;
  if (::setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1) != 0) return;
  ::execv("/proc/self/exe", argv);
  ::unsetenv("GLIBC_TUNABLES");  // the restart failed: go on as we are
#else
  static_cast<void>(argv);
#endif
}

bool WantsHugePages(const std::string& command) {
  const TCommandInfo* info = FindCommand(ZebtoolCommands, command);
  return info != nullptr && info->HugePages;
}
}  // namespace

int main(int argc, char** argv) {
  // Output goes through the streams' own buffers, not through stdio's.
  std::ios::sync_with_stdio(false);
  LeaveLoadedTreesAtExit();
  const TArgs args(argv + 1, argv + argc);
  int status = 0;
  if (args.empty()) return UsageError(std::cerr, "no command given");
  if (WantsHugePages(args[0])) RestartWithHugePages(argv);
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
