#include "fileio/fileidentity.h"

#include <sys/stat.h>

std::optional<TFileIdentity> FileIdentityOf(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return TFileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}
