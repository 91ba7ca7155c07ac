#pragma once
// Reading back what a test wrote: a file's bytes, and a folder's names.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The names in the folder (and below it, with recursive), sorted.
inline std::vector<std::string> FolderNames(const std::filesystem::path& folder, bool recursive = false) {
  std::vector<std::string> names;
  if (recursive) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
      names.push_back(entry.path().filename().string());
  } else {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}
