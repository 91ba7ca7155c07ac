#include "fileio/appendfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fileio/systemerror.h"

TAppendFile::TAppendFile(std::string path) : Path(std::move(path)) {}

TAppendFile::~TAppendFile() {
  if (Descriptor >= 0) ::close(Descriptor);
}

void TAppendFile::Fail(int error) {
  if (ErrorText.empty()) ErrorText = "cannot write " + Path + ": " + SystemErrorText(error);
}

bool TAppendFile::Open() {
  Descriptor = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (Descriptor < 0) Fail(errno);
  return Descriptor >= 0;
}

bool TAppendFile::Append(std::string_view piece) {
  if (Descriptor < 0 || Failed()) return false;
  struct stat info;
  if (::fstat(Descriptor, &info) != 0) {
    Fail(errno);
    return false;
  }
  const int error = WriteAll(Descriptor, piece);
  if (error == 0) return true;
  Fail(error);
  // Only a regular file can be cut back; a pipe keeps what it took.
  if (S_ISREG(info.st_mode)) {
    while (::ftruncate(Descriptor, info.st_size) != 0 && errno == EINTR) {
    }
  }
  return false;
}

bool TAppendFile::Close() {
  if (Descriptor < 0) return false;
  if (::fsync(Descriptor) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) Fail(errno);
  if (::close(Descriptor) != 0 && errno != EINTR) Fail(errno);
  Descriptor = -1;
  return !Failed();
}
