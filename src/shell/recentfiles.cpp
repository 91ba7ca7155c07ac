#include "shell/recentfiles.h"

#include "model/textcase.h"

#include "settings/inifile.h"

namespace {
constexpr const char* Section = "MRU";

std::string PathKey(int slot) { return "MRU" + std::to_string(slot); }
std::string TitleKey(int slot) { return "MRUTitle" + std::to_string(slot); }

bool SamePath(const std::string& a, const std::string& b) { return EqualIgnoringCase(a, b); }
}  // namespace

TRecentSlots ReadRecentFiles(TIniFile& ini) {
  TRecentSlots slots;
  for (int n = 0; n < 4; ++n) {
    slots[n].Path = ini.ReadIniString(Section, PathKey(n), "");
    slots[n].Title = ini.ReadIniString(Section, TitleKey(n), "");
  }
  return slots;
}

void AddRecentFile(TIniFile& ini, const std::string& path, const std::string& title) {
  TRecentSlots slots = ReadRecentFiles(ini);
  int found = 3;
  for (int n = 0; n < 4; ++n)
    if (SamePath(slots[n].Path, path)) found = n;  // the last one when several match
  for (int k = found - 1; k >= 0; --k) slots[k + 1] = slots[k];
  slots[0] = {path, title};
  for (int n = 0; n < 4; ++n) {
    ini.WriteIniString(Section, PathKey(n), slots[n].Path);
    ini.WriteIniString(Section, TitleKey(n), slots[n].Title);
  }
}

std::string RecentCaption(int slot, const std::string& path) {
  if (path.empty()) return std::string();
  return "&" + std::to_string(slot + 1) + " " + path;
}
