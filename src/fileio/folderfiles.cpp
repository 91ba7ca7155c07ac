#include "fileio/folderfiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

std::vector<TFolderFile> RegularFilesOf(const std::string& folder, const std::function<bool(std::string_view)>& wanted,
                                        std::error_code& error) {
  error.clear();
  std::vector<TFolderFile> files;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    error.assign(errno, std::generic_category());
    return files;
  }
  const int descriptor = ::dirfd(dir);
  for (;;) {
    // readdir tells the end of the folder from a failure only by errno.
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) {
      if (errno != 0) {
        error.assign(errno, std::generic_category());
        files.clear();
      }
      break;
    }
    const std::string_view name = entry->d_name;
    if (name == "." || name == ".." || !wanted(name)) continue;
    struct stat info;
    if (::fstatat(descriptor, entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode)) continue;
    files.push_back({std::string(name), static_cast<std::int64_t>(info.st_size)});
  }
  ::closedir(dir);
  return files;
}
