// PNG pictures decoded into the display's 8-bit bitmap, at the start of the
// input and after a first byte (pictures sit inside hint files), and drawn
// as an overlay onto each other.
#include <cstddef>
#include <cstdint>

#include "display/pngdecode.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = WriteInput(data, size);
  QImage first = CreateDIB(path, 0);
  const QImage second = CreateDIB(path, 1, qRgb(0, 0, 0));
  if (!first.isNull()) {
    DrawOverlay(first, first.copy(), 3, -2);
    if (!second.isNull()) DrawOverlay(first, second, -1, 5);
  }
  return 0;
}
