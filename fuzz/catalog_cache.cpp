// The catalog cache file: summaries of hint files, record after record.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "downloader/fileinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  TFileInfo info;
  for (int records = 0; records < 10000 && info.ReadRecord(in); ++records) {
    std::ostringstream out;
    info.WriteRecord(out);
  }
  return 0;
}
