#include "shell/commandline.h"

#include <filesystem>

#include <QString>

namespace {
// Absolute paths start with "/" here too: an argument is a switch when it
// has no further "/" and names no existing file.
bool IsSwitch(const std::string& argument) {
  if (argument.empty() || argument[0] != '/') return false;
  if (argument.find('/', 1) != std::string::npos) return false;
  std::error_code error;
  return !std::filesystem::exists(argument, error);
}
}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  TCommandLine line;
  for (const std::string& argument : arguments) {
    if (IsSwitch(argument)) {
      const QString name = QString::fromStdString(argument);
      if (name.compare("/HELP", Qt::CaseInsensitive) == 0) line.Help = true;
      if (name.compare("/VERBOSE", Qt::CaseInsensitive) == 0) line.Verbose = true;
      if (name.compare("/UPDATE", Qt::CaseInsensitive) == 0) line.Update = true;
    } else if (!argument.empty() && !line.File) {
      // An empty argument (a pair of quotes) names no file and is skipped.
      line.File = argument;
    }
  }
  return line;
}
