#include <iostream>

#include "tools/commands.h"

int main(int argc, char** argv) {
  const TArgs args(argv + 1, argv + argc);
  return RunZebtool(args, std::cout, std::cerr);
}
