#include "fileio/largepages.h"

#include <unistd.h>

#include <cstdlib>

namespace {
constexpr const char* RestartMark = "ZEB_LARGE_PAGES";
}  // namespace

void RestartWithLargePages(char** argv) {
#ifdef __GLIBC__
  // Once only: the C library may rewrite the setting it read in the
  // environment, so the program marks its own restart apart from it.
  if (std::getenv(RestartMark) != nullptr) {
    // Restarted: the library has read the setting. Programs started from
    // here (the user's web browser) get the environment the user gave.
    ::unsetenv("GLIBC_TUNABLES");
    ::unsetenv(RestartMark);
    return;
  }
  if (std::getenv("GLIBC_TUNABLES") != nullptr) return;
  // Blocks up to 32 MiB (the largest the library allows) come from the heap.
  if (::setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1:glibc.malloc.mmap_threshold=33554432", 1) != 0) return;
  if (::setenv(RestartMark, "1", 1) != 0) {
    ::unsetenv("GLIBC_TUNABLES");
    return;
  }
  ::execv("/proc/self/exe", argv);
  // The restart failed: go on as we are.
  ::unsetenv("GLIBC_TUNABLES");
  ::unsetenv(RestartMark);
#else
  static_cast<void>(argv);
#endif
}
