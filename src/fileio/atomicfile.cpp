#include "fileio/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <streambuf>
#include <vector>

#include "fileio/systemerror.h"

namespace fs = std::filesystem;

namespace {
// Where a chain of symbolic links ends (the path itself when it is none); a
// dangling link ends at the file it would create. Relative links count from
// the folder that holds them.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::error_code error;
    const fs::path target = fs::read_symlink(path, error);
    if (error) return path;
    path = target.is_absolute() ? target.string() : (fs::path(path).parent_path() / target).string();
  }
  return path;
}

std::string FolderOf(const std::string& path) {
  const std::string folder = fs::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

// A hidden name beside the target that no other writer picks: the target's
// name (cut so that the whole stays a legal name), the process and a count.
std::string TemporaryName(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  std::string base = fs::path(path).filename().string();
  if (base.size() > 180) base.resize(180);
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".%ld.%u.%llx.tmp", static_cast<long>(::getpid()), counter++,
                static_cast<unsigned long long>(ticks) & 0xFFFFFFull);
  return (fs::path(FolderOf(path)) / ("." + base + suffix)).string();
}
}  // namespace

// The stream's buffer: a fixed block that the owner writes out when full.
class TAtomicFile::TBuffer : public std::streambuf {
 public:
  TBuffer(TAtomicFile& owner, std::size_t bytes) : Owner(owner), Block(bytes == 0 ? 1 : bytes) { Reset(); }
  std::string_view Pending() const { return std::string_view(pbase(), static_cast<std::size_t>(pptr() - pbase())); }
  void Reset() { setp(Block.data(), Block.data() + Block.size()); }

 protected:
  int_type overflow(int_type c) override {
    if (!Owner.Flush()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
  }
  std::streamsize xsputn(const char* data, std::streamsize count) override {
    // Large pieces skip the block once it is empty.
    if (count >= static_cast<std::streamsize>(Block.size())) {
      if (!Owner.Flush()) return 0;
      const int error = WriteAll(Owner.Descriptor, std::string_view(data, static_cast<std::size_t>(count)));
      if (error != 0) {
        Owner.Fail("write", error);
        return 0;
      }
      return count;
    }
    return std::streambuf::xsputn(data, count);
  }
  int sync() override { return Owner.Flush() ? 0 : -1; }

 private:
  TAtomicFile& Owner;
  std::vector<char> Block;
};

TAtomicFile::TAtomicFile(std::string target, TLinks links, std::size_t bufferBytes)
    : Target(std::move(target)), Links(links), BufferBytes(bufferBytes) {}

TAtomicFile::~TAtomicFile() {
  if (!Committed) Discard();
}

void TAtomicFile::Fail(const char* action, int error) {
  if (ErrorText.empty()) ErrorText = std::string("cannot ") + action + " " + Final + ": " + SystemErrorText(error);
}

bool TAtomicFile::Open() {
  Final = Links == TLinks::Follow ? FollowLinks(Target) : Target;
  struct stat info;
  const bool exists = (Links == TLinks::Follow ? ::stat(Final.c_str(), &info) : ::lstat(Final.c_str(), &info)) == 0;
  if (exists && S_ISDIR(info.st_mode)) {
    Fail("write", EISDIR);
    return false;
  }
  if (exists && Links == TLinks::Follow && !S_ISREG(info.st_mode)) {
    // A device or a pipe: written in place.
    Descriptor = ::open(Final.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (Descriptor < 0) {
      Fail("write", errno);
      return false;
    }
  } else {
    for (int attempt = 0; attempt < 100 && Descriptor < 0; ++attempt) {
      Temporary = TemporaryName(Final);
      Descriptor = ::open(Temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (Descriptor < 0 && errno != EEXIST) break;
    }
    if (Descriptor < 0) {
      Fail("write", errno);
      Temporary.clear();
      return false;
    }
    // The new file keeps the permissions of the one it replaces.
    if (exists && S_ISREG(info.st_mode)) ::fchmod(Descriptor, info.st_mode & 07777);
  }
  Buffer = std::make_unique<TBuffer>(*this, BufferBytes);
  Out = std::make_unique<std::ostream>(Buffer.get());
  return true;
}

bool TAtomicFile::Flush() {
  if (Failed() || Descriptor < 0 || !Buffer) return false;
  const int error = WriteAll(Descriptor, Buffer->Pending());
  Buffer->Reset();
  if (error != 0) {
    Fail("write", error);
    return false;
  }
  return true;
}

bool TAtomicFile::Write(std::string_view bytes) {
  if (Failed() || !Out) return false;
  Out->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return !Failed() && static_cast<bool>(*Out);
}

std::ostream& TAtomicFile::Stream() {
  if (!Out) {
    // Not open: a stream that takes nothing.
    static thread_local std::ostream nowhere(nullptr);
    nowhere.setstate(std::ios::badbit);
    return nowhere;
  }
  return *Out;
}

void TAtomicFile::CloseDescriptor() {
  if (Descriptor >= 0) ::close(Descriptor);
  Descriptor = -1;
}

bool TAtomicFile::Finish() {
  if (Finished) return true;
  if (Descriptor < 0) {
    if (!Failed()) Fail("write", EBADF);
    Discard();
    return false;
  }
  if (Out && !*Out && !Failed()) Fail("write", EIO);
  bool ok = Flush();
  if (ok && ::fsync(Descriptor) != 0) {
    // A device or a pipe cannot be synced; a file that cannot is not safe.
    const int error = errno;
    if (!Temporary.empty() || (error != EINVAL && error != EROFS && error != ENOTSUP)) {
      Fail("write", error);
      ok = false;
    }
  }
  if (ok) {
    const int result = ::close(Descriptor);
    Descriptor = -1;
    if (result != 0 && errno != EINTR) {
      Fail("write", errno);
      ok = false;
    }
  }
  if (!ok) {
    Discard();
    return false;
  }
  Finished = true;
  return true;
}

bool TAtomicFile::Commit() {
  if (!Finish()) return false;
  if (!Temporary.empty()) {
    if (::rename(Temporary.c_str(), Final.c_str()) != 0) {
      Fail("replace", errno);
      Discard();
      return false;
    }
    Temporary.clear();
    SyncFolder(FolderOf(Final));
  }
  Committed = true;
  return true;
}

void TAtomicFile::Discard() {
  CloseDescriptor();
  if (!Temporary.empty()) ::unlink(Temporary.c_str());
  Temporary.clear();
  if (Out) Out->setstate(std::ios::badbit);
}

std::string ReplaceFileWith(const std::string& path, std::string_view bytes, TAtomicFile::TLinks links) {
  TAtomicFile file(path, links);
  if (file.Open() && file.Write(bytes) && file.Commit()) return std::string();
  return file.Error();
}
