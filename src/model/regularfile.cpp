#include "model/regularfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::FILE* OpenRegularFile(const std::string& path) {
  // Without O_NONBLOCK, opening a FIFO waits until something writes to it.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  struct stat status {};
  const int flags = ::fcntl(descriptor, F_GETFL);
  // Reading goes on in blocking mode, as from any file.
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || flags < 0 ||
      ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(descriptor);
    return nullptr;
  }
  std::FILE* file = ::fdopen(descriptor, "rb");
  if (file == nullptr) ::close(descriptor);
  return file;
}
