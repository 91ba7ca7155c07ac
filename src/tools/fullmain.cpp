// Every zebtool command; zebtool runs the model commands itself and hands
// the others to this program.
#include <exception>
#include <iostream>

#include "tools/commands.h"

int main(int argc, char** argv) {
  LeaveLoadedTreesAtExit();
  const TArgs args(argv + 1, argv + argc);
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
