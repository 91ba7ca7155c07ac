#pragma once
// A disk with little room, for tests of what a full disk does. Where the
// test may mount file systems (as root), a tmpfs of its own that is filled
// until only the room asked for is free; elsewhere a plain temporary folder
// and a limit on the size of the files the process writes (setrlimit), so
// that a write past the room fails as it would on a full disk. Tests say
// which one they ran on.

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/fixtures.h"

class TSmallDisk {
 public:
  static constexpr std::uint64_t PageBytes = 4096;

  // A tmpfs of the given size, when one can be mounted.
  explicit TSmallDisk(std::uint64_t bytes = 2u << 20) : Root(Dir.Path() / "disk"), Files(Root / "files") {
    std::filesystem::create_directories(Root);
    const std::string options = "size=" + std::to_string(bytes);
    Mounted = ::geteuid() == 0 && ::mount("tmpfs", Root.c_str(), "tmpfs", 0, options.c_str()) == 0;
    std::filesystem::create_directories(Files);
  }
  ~TSmallDisk() {
    EndLimit();
    if (Mounted) ::umount2(Root.c_str(), MNT_DETACH);
  }
  TSmallDisk(const TSmallDisk&) = delete;
  TSmallDisk& operator=(const TSmallDisk&) = delete;

  bool IsTmpfs() const { return Mounted; }
  const char* Kind() const { return Mounted ? "a small tmpfs" : "a file-size limit"; }
  // A folder on the small disk (the filler stays outside it).
  const std::filesystem::path& Path() const { return Files; }

  // Leaves the room for `bytes` more (a whole number of pages): the tmpfs
  // is filled up to it, or files the process writes may grow to it. Call
  // EndLimit (or let the object go) to lift a file-size limit again.
  void LeaveRoom(std::uint64_t bytes) {
    if (Mounted) {
      std::filesystem::remove(Root / ".filler");
      const std::uint64_t free = FreeBytes();
      if (free > bytes) {
        std::ofstream filler(Root / ".filler", std::ios::binary);
        const std::string page(PageBytes, 'f');
        for (std::uint64_t left = free - bytes; left >= PageBytes; left -= PageBytes) filler << page;
      }
      return;
    }
    if (!Limited) {
      ::getrlimit(RLIMIT_FSIZE, &Saved);
      OldHandler = std::signal(SIGXFSZ, SIG_IGN);
      Limited = true;
    }
    rlimit limit = Saved;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  void EndLimit() {
    if (Mounted) {
      std::error_code ignored;
      std::filesystem::remove(Root / ".filler", ignored);
      return;
    }
    if (!Limited) return;
    ::setrlimit(RLIMIT_FSIZE, &Saved);
    std::signal(SIGXFSZ, OldHandler);
    Limited = false;
  }

  std::uint64_t FreeBytes() const {
    struct statvfs info {};
    if (::statvfs(Root.c_str(), &info) != 0) return 0;
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
  }

 private:
  TTempDir Dir;
  std::filesystem::path Root;
  std::filesystem::path Files;
  bool Mounted = false;
  bool Limited = false;
  rlimit Saved{};
  void (*OldHandler)(int) = SIG_DFL;
};
