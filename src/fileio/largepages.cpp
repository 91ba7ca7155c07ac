#include "fileio/largepages.h"

#include <unistd.h>

#include <cstdlib>

void RestartWithLargePages(char** argv) {
#ifdef __GLIBC__
  if (std::getenv("GLIBC_TUNABLES") != nullptr) return;
  // Blocks up to 32 MiB (the largest the library allows) come from the heap.
  if (::setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1:glibc.malloc.mmap_threshold=33554432", 1) != 0) return;
  ::execv("/proc/self/exe", argv);
  ::unsetenv("GLIBC_TUNABLES");  // the restart failed: go on as we are
#else
  static_cast<void>(argv);
#endif
}
