#include "tools/commands.h"

#include <string>

#include "tools/commandtable.h"

int RunZebtool(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return UsageError(err, "no command given");
  int status = 0;
  if (RunModelCommand(args, out, err, status)) return status;
  const TCommandInfo* command = FindCommand(Commands, args[0]);
  if (command == nullptr) return UsageError(err, "unknown command \"" + args[0] + "\"");
  return command->Handler(TArgs(args.begin() + 1, args.end()), out, err);
}
