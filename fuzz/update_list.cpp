// The update list the download dialog reads: file entries and news blocks.
#include <cstddef>
#include <cstdint>

#include "downloader/catalog.h"
#include "downloader/updatelist.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = WriteInput(data, size);
  TCatalog catalog;
  catalog.push_back(std::make_unique<TFileInfo>());
  catalog.back()->FileName = "GAME.ZEB";
  catalog.back()->Date = "01-Jan-26";
  std::size_t news = 0;
  LoadFileList(path, catalog, true, [&news](const std::string& text) { news += text.size(); });
  return 0;
}
