#include "display/bmpfile.h"

#include "fileio/atomicfile.h"

namespace {
void PutU16(QByteArray& out, quint16 value) {
  out.append(static_cast<char>(value & 0xFF));
  out.append(static_cast<char>(value >> 8));
}

void PutU32(QByteArray& out, quint32 value) {
  for (int shift = 0; shift < 32; shift += 8) out.append(static_cast<char>((value >> shift) & 0xFF));
}

constexpr quint32 FileHeaderSize = 14;
constexpr quint32 InfoHeaderSize = 40;
constexpr quint32 PixelsPerMetreAt96Dpi = 3780;
}  // namespace

QByteArray Bitmap8File(const QImage& source) {
  if (source.isNull()) return {};
  const QImage image =
      source.format() == QImage::Format_Indexed8 ? source : source.convertToFormat(QImage::Format_Indexed8);
  const QList<QRgb> colours = image.colorTable();
  const quint32 colourCount = static_cast<quint32>(colours.size());
  const quint32 width = static_cast<quint32>(image.width());
  const quint32 height = static_cast<quint32>(image.height());
  const quint32 rowSize = (width + 3) & ~3u;  // rows are padded to four bytes
  const quint32 pixelsOffset = FileHeaderSize + InfoHeaderSize + 4 * colourCount;
  const quint32 fileSize = pixelsOffset + rowSize * height;

  QByteArray out;
  out.reserve(static_cast<qsizetype>(fileSize));
  out.append("BM", 2);
  PutU32(out, fileSize);
  PutU32(out, 0);
  PutU32(out, pixelsOffset);
  PutU32(out, InfoHeaderSize);
  PutU32(out, width);
  PutU32(out, height);  // positive: the rows run from the bottom up
  PutU16(out, 1);
  PutU16(out, 8);
  PutU32(out, 0);  // no compression
  PutU32(out, rowSize * height);
  PutU32(out, PixelsPerMetreAt96Dpi);
  PutU32(out, PixelsPerMetreAt96Dpi);
  PutU32(out, colourCount);
  PutU32(out, 0);
  for (const QRgb colour : colours) {
    out.append(static_cast<char>(qBlue(colour)));
    out.append(static_cast<char>(qGreen(colour)));
    out.append(static_cast<char>(qRed(colour)));
    out.append('\0');
  }
  const QByteArray padding(static_cast<qsizetype>(rowSize - width), '\0');
  for (int y = static_cast<int>(height) - 1; y >= 0; --y) {
    out.append(reinterpret_cast<const char*>(image.constScanLine(y)), static_cast<qsizetype>(width));
    out.append(padding);
  }
  return out;
}

bool SaveBitmap8(const QImage& image, const std::string& path) {
  const QByteArray bytes = Bitmap8File(image);
  if (bytes.isEmpty()) return false;
  return ReplaceFileWith(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))).empty();
}
