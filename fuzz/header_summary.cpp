// The header summary scan of a hint file: its title, version, author and the
// other INFO values, read without loading the file.
#include <cstddef>
#include <cstdint>

#include "downloader/fileinfo.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = WriteInput(data, size);
  TFileInfo info(path, static_cast<std::int64_t>(size));
  TitleSortKey(info.Title);
  return 0;
}
