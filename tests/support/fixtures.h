#pragma once
// Helpers for tests: a temporary folder that removes itself, and loading a
// hint file made in memory.

#include <filesystem>
#include <string>

#include "model/loader.h"

class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& Path() const { return Dir; }
  // Writes the bytes to a file of that name in the folder; returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path Dir;
};

// A hint file loaded from bytes: the result code and the list.
struct TLoaded {
  int Code = -1;
  TObjectList List;
  ~TLoaded() { ClearList(List); }
};

// Writes the bytes to a temporary file and loads it.
void LoadBytes(const std::string& bytes, TLoaded& loaded, bool inlineImages = false);

// The folder of the read-only shared test data, or "" when it is absent.
std::string SharedTestDataDir();
