#pragma once
// Small hint files for the download tests: real files that the loader
// takes, each with a text of its own.

#include <string>
#include <utility>
#include <vector>

#include "authoring/hintwriter.h"

// A hint file whose root is the title, with one hint list of the lines.
inline std::string SmallHintFile(const std::string& title, std::vector<std::string> lines = {"Here."}) {
  THintFileWriter writer;
  writer.Hunks = {Subject(title, {Hint("Where is it?", std::move(lines))})};
  return writer.Build();
}
