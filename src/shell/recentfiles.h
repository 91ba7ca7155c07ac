#pragma once
// The four hint files opened most recently, newest first, kept in section
// "MRU" of the settings file: "MRU0".."MRU3" hold the paths and
// "MRUTitle0".."MRUTitle3" the titles. The file is the only copy.

#include <array>
#include <string>

class TIniFile;

struct TRecentFile {
  std::string Path;  // empty: an empty slot
  std::string Title;
};

using TRecentSlots = std::array<TRecentFile, 4>;

TRecentSlots ReadRecentFiles(TIniFile& ini);
// Puts the file in slot 0; a listed file (the same path, in letter case
// too where the file system tells case apart) moves up instead of appearing twice, otherwise the oldest drops out.
void AddRecentFile(TIniFile& ini, const std::string& path, const std::string& title);
// The menu caption of a slot ("&1 path"), or "" for an empty slot.
std::string RecentCaption(int slot, const std::string& path);
