#include "fileio/systemerror.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::string SystemErrorText(int error) {
  char text[256] = {};
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
  return strerror_r(error, text, sizeof text);
#else
  if (strerror_r(error, text, sizeof text) != 0) return "error " + std::to_string(error);
  return text;
#endif
}

int WriteAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    // A write that takes nothing and reports no error would loop forever.
    if (written == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

void SyncFolder(const std::string& folder) {
  const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}
