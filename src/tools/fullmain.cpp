// Every zebtool command; zebtool runs the model commands itself and hands
// the others to this program.
#include <exception>
#include <iostream>

#include "fileio/largepages.h"
#include "tools/commandtable.h"
#include "tools/commands.h"

int main(int argc, char** argv) {
  LeaveLoadedTreesAtExit();
  const TArgs args(argv + 1, argv + argc);
  // A command that loads a whole hint file (print) takes memory as zebtool does.
  if (!args.empty()) {
    const TCommandInfo* info = FindCommand(ZebtoolCommands, args[0]);
    if (info != nullptr && info->HugePages) RestartWithLargePages(argv);
  }
  // No error thrown inside a command ends the program without a word.
  try {
    return RunZebtool(args, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << "zebtool: " << error.what() << "\n";
  } catch (...) {
    std::cerr << "zebtool: an unknown error\n";
  }
  return ExitCode::Software;
}
