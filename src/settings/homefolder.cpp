#include "settings/homefolder.h"

#include <cstdlib>
#include <filesystem>

#include <QDir>
#include <QStandardPaths>

std::string THomeFolder::WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

namespace {

// ZEBWIN_HOME, when set and not empty.
std::string HomeOverride() {
  const char* home = std::getenv("ZEBWIN_HOME");
  return home != nullptr && *home != '\0' ? THomeFolder::WithSlash(home) : std::string();
}

std::string StandardFolder(QStandardPaths::StandardLocation location) {
  return THomeFolder::WithSlash(QStandardPaths::writableLocation(location).toStdString()) + "zebwin/";
}
}  // namespace

std::string THomeFolder::SettingsFile() {
  const std::string home = HomeOverride();
  return (home.empty() ? StandardFolder(QStandardPaths::GenericConfigLocation) : home) + "ZEBWIN.INI";
}

std::string THomeFolder::UpdateListFile() {
  const std::string home = HomeOverride();
  return (home.empty() ? StandardFolder(QStandardPaths::GenericCacheLocation) : home) + "zebinet.dat";
}

std::string THomeFolder::CatalogCacheFile() {
  const std::string home = HomeOverride();
  return (home.empty() ? StandardFolder(QStandardPaths::GenericCacheLocation) : home) + "zeblocal.dat";
}

std::string THomeFolder::DefaultHintFolder() {
  const std::string home = HomeOverride();
  // A folder of its own also in the home folder: names an update server
  // chooses then never meet the settings file or the caches.
  return (home.empty() ? StandardFolder(QStandardPaths::GenericDataLocation) : home) + "hints/";
}

std::string THomeFolder::HelpFile(const std::string& programDir) {
  const std::string beside = WithSlash(programDir) + "ZEBWIN.ZEB";
  std::error_code error;
  if (std::filesystem::exists(beside, error)) return beside;
  const std::filesystem::path program = std::filesystem::path(WithSlash(programDir)).parent_path();
  const std::filesystem::path installed = program.parent_path() / "share" / "zebreader" / "ZEBWIN.ZEB";
  if (std::filesystem::exists(installed, error)) return installed.string();
  return beside;
}

void THomeFolder::MakeFolderFor(const std::string& file) {
  std::error_code ignored;
  const std::filesystem::path folder = std::filesystem::path(file).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
}
