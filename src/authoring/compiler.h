#pragma once
// The authoring compiler: turns a hint-file source, plain text that a person
// writes with any editor, into a hint file. The format is described in
// docs/authoring.md.

#include <stdexcept>
#include <string>

class TCompileError : public std::runtime_error {
 public:
  TCompileError(int line, const std::string& message);
  int Line;  // 1-based line of the source; 0 when the error concerns the whole file
};

// Compiles the source; files named in it are found relative to baseDir.
// Throws TCompileError.
std::string CompileHintSource(const std::string& source, const std::string& baseDir);
