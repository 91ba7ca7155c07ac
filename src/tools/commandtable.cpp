#include "tools/commandtable.h"

#include <algorithm>

namespace {
// The usage text's descriptions start in this column; a longer synopsis
// puts its description on the next line.
constexpr std::size_t DescriptionColumn = 24;

void AppendUsageLine(std::string& text, std::string_view synopsis, std::string_view description) {
  std::string line = "  ";
  line += synopsis;
  // At least two spaces between the two.
  if (line.size() + 2 > DescriptionColumn)
    line += "\n" + std::string(DescriptionColumn, ' ');
  else
    line.resize(DescriptionColumn, ' ');
  text += line;
  text += description;
  text += "\n";
}

std::string MakeUsageText() {
  std::string text = "Usage: zebtool COMMAND [ARGUMENTS]\n\nCommands:\n";
  for (const TCommandInfo& command : ZebtoolCommands)
    AppendUsageLine(text, std::string(command.Name) + " " + std::string(command.Arguments), command.Description);
  text += "\nOptions:\n";
  AppendUsageLine(text, "--help", "show this help");
  AppendUsageLine(text, "--version", "show the version");
  text +=
      "\n"
      "A hint file that fails to load exits with the loader's result code (1 to 5).\n"
      "ZEBWIN_HOME names the folder of the settings and cache files.\n";
  return text;
}
}  // namespace

const TCommandInfo* FindCommand(std::span<const TCommandInfo> table, std::string_view name) {
  const auto found = std::ranges::find(table, name, &TCommandInfo::Name);
  return found == table.end() ? nullptr : &*found;
}

const std::string& UsageText() {
  static const std::string text = MakeUsageText();
  return text;
}
