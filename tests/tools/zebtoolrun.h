#pragma once
// Running the zebtool program under test as a separate process: its path,
// shell quoting, and the status and output of a run.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

inline std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The program under test: the path in ZEBTOOL, or else the one of this build
// tree (tests/tools_tests beside src/tools/zebtool).
inline std::string ZebtoolPath() {
  if (const char* tool = std::getenv("ZEBTOOL"); tool != nullptr && *tool != '\0') return tool;
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path tool = self.parent_path().parent_path() / "src" / "tools" / "zebtool";
  return !error && std::filesystem::exists(tool) ? tool.string() : std::string();
}

struct TRun {
  int Status = -1;
  std::string Out;
  std::string Err;
};

// Runs `prefix tool arguments` (arguments already quoted) through the shell,
// its output caught in files of the capture folder.
inline TRun RunTool(const std::string& tool, const std::string& arguments, const std::filesystem::path& capture,
                    const std::string& prefix = "") {
  const std::string out = (capture / "stdout").string();
  const std::string err = (capture / "stderr").string();
  const std::string command =
      prefix + Quote(tool) + " " + arguments + " >" + Quote(out) + " 2>" + Quote(err) + " </dev/null";
  const int raw = std::system(command.c_str());
  TRun run;
  run.Status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.Out = ReadFile(out);
  run.Err = ReadFile(err);
  return run;
}

// A command prefix that runs a program as a user to whom a folder of mode
// 000 is closed: the user itself, or, for root (which permission bits do
// not stop), the user nobody. None when root cannot switch users here.
inline std::optional<std::string> UserWithoutRootsRights() {
  if (::geteuid() != 0) return std::string();
  const std::string prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  if (std::system((prefix + "true >/dev/null 2>&1").c_str()) != 0) return std::nullopt;
  return prefix;
}
