// Every zebtool command; zebtool runs the model commands itself and hands
// the others to this program.
#include <iostream>

#include "tools/commands.h"

int main(int argc, char** argv) {
  LeaveLoadedTreesAtExit();
  const TArgs args(argv + 1, argv + argc);
  return RunZebtool(args, std::cout, std::cerr);
}
