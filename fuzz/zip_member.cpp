// Extracting members of a downloaded ZIP archive into a folder.
#include <cstddef>
#include <cstdint>

#include "fuzzfile.h"
#include "zip/unzipper.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = WriteInput(data, size);
  try {
    TAbUnZipper unzipper;
    unzipper.MaxExtractedBytes = 1 << 20;
    unzipper.SetFileName(path);
    unzipper.SetBaseDirectory(EmptyFolder());
    for (int i = 0; i < unzipper.GetCount() && i < 8; ++i) unzipper.TagItems(unzipper.ItemName(i));
    unzipper.ExtractTaggedItems();
    unzipper.CloseArchive();
  } catch (const TZipError&) {
  }
  return 0;
}
