#pragma once
// The program's command line: the first argument that is not a switch is
// the hint file to open; /HELP, /VERBOSE and /UPDATE are matched whole,
// without regard to letter case. Other switches are ignored. Since absolute
// paths begin with "/" on this platform, an argument with a second "/", or
// one that names an existing file, is a file name.

#include <optional>
#include <string>
#include <vector>

struct TCommandLine {
  std::optional<std::string> File;
  bool Help = false;
  bool Verbose = false;
  bool Update = false;
};

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);
