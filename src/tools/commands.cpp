#include "tools/commands.h"

#include <string>

int RunZebtool(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return UsageError(err, "no command given");
  const std::string& command = args[0];
  const TArgs rest(args.begin() + 1, args.end());
  int status = 0;
  if (RunModelCommand(args, out, err, status)) return status;
  if (command == "summary") return SummaryCommand(rest, out, err);
  if (command == "titles") return TitlesCommand(rest, out, err);
  if (command == "list") return ListCommand(rest, out, err);
  if (command == "print") return PrintCommand(rest, out, err);
  if (command == "update") return UpdateCommand(rest, out, err);
  if (command == "download") return DownloadCommand(rest, out, err);
  if (command == "publish") return PublishCommand(rest, out, err);
  return UsageError(err, "unknown command \"" + command + "\"");
}
