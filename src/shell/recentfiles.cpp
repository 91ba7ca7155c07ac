#include "shell/recentfiles.h"

#include "settings/filepaths.h"
#include "settings/inifile.h"

namespace {
constexpr const char* Section = "MRU";

std::string PathKey(int slot) { return "MRU" + std::to_string(slot); }
std::string TitleKey(int slot) { return "MRUTitle" + std::to_string(slot); }

}  // namespace

TRecentSlots ReadRecentFiles(TIniFile& ini) {
  TRecentSlots recent;
  // One reading of the settings file, which a large hint memory makes big.
  const TIniValues values = ini.ReadIniStrings(Section);
  for (int n = 0; n < 4; ++n) {
    recent[n].Path = values.Get(PathKey(n), "");
    recent[n].Title = values.Get(TitleKey(n), "");
  }
  return recent;
}

void AddRecentFile(TIniFile& ini, const std::string& path, const std::string& title) {
  TRecentSlots recent = ReadRecentFiles(ini);
  int found = 3;
  for (int n = 0; n < 4; ++n)
    if (SameFilePath(recent[n].Path, path)) found = n;  // the last one when several match
  for (int k = found - 1; k >= 0; --k) recent[k + 1] = recent[k];
  recent[0] = {path, title};
  std::vector<std::pair<std::string, std::string>> keys;
  for (int n = 0; n < 4; ++n) {
    keys.emplace_back(PathKey(n), recent[n].Path);
    keys.emplace_back(TitleKey(n), recent[n].Title);
  }
  ini.WriteIniStrings(Section, keys);
}

std::string RecentCaption(int slot, const std::string& path) {
  if (path.empty()) return std::string();
  return "&" + std::to_string(slot + 1) + " " + path;
}
