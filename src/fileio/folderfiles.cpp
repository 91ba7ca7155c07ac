#include "fileio/folderfiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

std::vector<TFolderFile> RegularFilesOf(const std::string& folder, const std::function<bool(std::string_view)>& wanted) {
  std::vector<TFolderFile> files;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return files;
  const int descriptor = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == ".." || !wanted(name)) continue;
    struct stat info;
    if (::fstatat(descriptor, entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode)) continue;
    files.push_back({std::string(name), static_cast<std::int64_t>(info.st_size)});
  }
  ::closedir(dir);
  return files;
}
