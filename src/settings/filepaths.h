#pragma once
// File paths as this platform's file system treats them: where names differ
// only in letter case they are two files (Linux), or one (Windows, macOS).
// The recent-files list and the per-file hint memory key on these rules.

#include <string>

// The path made absolute against the current folder and cleaned ("." and
// ".." resolved, doubled separators removed); symbolic links are kept.
std::string AbsoluteCleanPath(const std::string& path);
// True when both paths name the same file as far as their text tells.
bool SameFilePath(const std::string& a, const std::string& b);
// The path as a key: case-folded where the file system ignores case.
std::string FilePathKey(const std::string& path);
// Whether file names differ by letter case on this platform.
constexpr bool FileNamesAreCaseSensitive() {
#if defined(_WIN32) || defined(__APPLE__)
  return false;
#else
  return true;
#endif
}
