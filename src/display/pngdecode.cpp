#include "display/pngdecode.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <limits>

#include <png.h>

#ifdef _WIN32
#include <QString>
#endif

namespace {

// How the decoded bytes map to colours.
enum class TTable { Palette, Cube, Grey };

// Everything a decode holds that must survive a long jump out of libpng.
// Lives in CreateDIB's frame; the function that arms the jump only writes
// into it, so nothing with a destructor is skipped by the jump.
struct TDecodeState {
  std::FILE* File = nullptr;
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  png_infop EndInfo = nullptr;
  QRgb Background = 0;

  TTable Table = TTable::Grey;
  std::array<png_color, 256> Palette{};
  std::array<png_byte, 256> PaletteAlpha{};
  int PaletteCount = 0;
  std::array<png_color, CubeEntries> Cube{};

  QImage Image;
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

std::FILE* OpenForReading(const std::string& path) {
#ifdef _WIN32
  return _wfopen(QString::fromStdString(path).toStdWString().c_str(), L"rb");
#else
  return std::fopen(path.c_str(), "rb");
#endif
}

bool SeekTo(std::FILE* file, std::int64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, offset, SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

std::int64_t FileLength(std::FILE* file) {
#ifdef _WIN32
  if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
  return _ftelli64(file);
#else
  if (fseeko(file, 0, SEEK_END) != 0) return -1;
  return ftello(file);
#endif
}

void ComposeOver(png_structp png, QRgb background) {
  png_color_16 colour{};
  colour.red = static_cast<png_uint_16>(qRed(background));
  colour.green = static_cast<png_uint_16>(qGreen(background));
  colour.blue = static_cast<png_uint_16>(qBlue(background));
  colour.gray = static_cast<png_uint_16>(qGray(background));
  // Screen values: the background is a colour of the window, not of the file.
  png_set_background(png, &colour, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
}

// Sets up the transformations for the image in s.Info and reads it into
// s.Image. Returns false on any error; libpng's errors arrive here by a long
// jump. Kept out of line so that the jump buffer belongs to this frame only.
[[gnu::noinline]] bool DecodeArmed(TDecodeState& s) {
  if (setjmp(png_jmpbuf(s.Png)) != 0) return false;

  png_init_io(s.Png, s.File);
  png_read_info(s.Png, s.Info);

  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int depth = 0;
  int colourType = 0;
  png_get_IHDR(s.Png, s.Info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
  // libpng itself refuses sides beyond 1,000,000; the area needs a bound too.
  if (width == 0 || height == 0 || std::uint64_t{width} * height > MaxPicturePixels) return false;

  const bool hasTrns = png_get_valid(s.Png, s.Info, PNG_INFO_tRNS) != 0;
  const bool transparent = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || hasTrns;
  const bool greyBackground =
      qRed(s.Background) == qGreen(s.Background) && qRed(s.Background) == qBlue(s.Background);
  png_colorp palette = nullptr;
  int paletteCount = 0;
  const bool hasPalette = png_get_PLTE(s.Png, s.Info, &palette, &paletteCount) != 0 && paletteCount > 0;

  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    // Keep the indexes; transparency is folded into the colour table below.
    s.Table = TTable::Palette;
    std::copy_n(palette, paletteCount, s.Palette.begin());
    s.PaletteCount = paletteCount;
    s.PaletteAlpha.fill(255);
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    if (hasTrns && png_get_tRNS(s.Png, s.Info, &alpha, &alphaCount, nullptr) != 0 && alpha != nullptr)
      std::copy_n(alpha, std::min(alphaCount, paletteCount), s.PaletteAlpha.begin());
    // The palette has at most 256 entries (libpng refuses more), so
    // quantising to it would keep every index. The quantiser is not asked:
    // it would only build an unused lookup table, and its plain mode reads
    // its index table with unchecked pixel values.
    png_set_packing(s.Png);
  } else {
    // Grey images stay grey unless their transparent parts must show a
    // coloured background; then they take the colour path.
    const bool asColour = (colourType & PNG_COLOR_MASK_COLOR) != 0 || (transparent && !greyBackground);
    if (depth == 16) png_set_strip_16(s.Png);
    if (depth < 8) png_set_expand_gray_1_2_4_to_8(s.Png);
    if (hasTrns) png_set_tRNS_to_alpha(s.Png);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0 && asColour) png_set_gray_to_rgb(s.Png);
    if (transparent) ComposeOver(s.Png, s.Background);
    if (!asColour) {
      s.Table = TTable::Grey;
    } else if (hasPalette) {
      // A colour image with a suggested palette is shown in that palette.
      s.Table = TTable::Palette;
      std::copy_n(palette, paletteCount, s.Palette.begin());
      s.PaletteCount = paletteCount;
      s.PaletteAlpha.fill(255);
      png_uint_16p histogram = nullptr;
      png_get_hIST(s.Png, s.Info, &histogram);
      png_set_quantize(s.Png, s.Palette.data(), paletteCount, 256, histogram, 1);
    } else {
      // Only the cube goes to the quantiser: a black filler entry ahead of
      // it would win every tie with the cube's black. Indexes move up by
      // CubeFirst after reading.
      s.Table = TTable::Cube;
      int i = 0;
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b)
            s.Cube[i++] = png_color{static_cast<png_byte>(r * 51), static_cast<png_byte>(g * 51),
                                    static_cast<png_byte>(b * 51)};
      png_set_quantize(s.Png, s.Cube.data(), CubeEntries, 256, nullptr, 1);
    }
  }
  const int passes = png_set_interlace_handling(s.Png);
  png_read_update_info(s.Png, s.Info);

  // Whatever the transformations, the rows must now be one byte per pixel,
  // or they would not fit the bitmap's scan lines.
  if (png_get_bit_depth(s.Png, s.Info) != 8 || png_get_channels(s.Png, s.Info) != 1) return false;

  s.Image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_Indexed8);
  if (s.Image.isNull() || png_get_rowbytes(s.Png, s.Info) > static_cast<png_size_t>(s.Image.bytesPerLine()))
    return false;
  // Row by row into the bitmap's scan lines, top line first; an interlaced
  // image comes in several passes over the same lines.
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y)
      png_read_row(s.Png, s.Image.scanLine(static_cast<int>(y)), nullptr);
  png_read_end(s.Png, s.EndInfo);
  return true;
}

int Blend(int value, int alpha, int background) {
  return (value * alpha + background * (255 - alpha) + 127) / 255;
}

// The colour table of a decoded image, from what DecodeArmed recorded.
void SetColourTable(TDecodeState& s) {
  QList<QRgb> table;
  switch (s.Table) {
    case TTable::Palette: {
      table.reserve(s.PaletteCount);
      for (int i = 0; i < s.PaletteCount; ++i) {
        const png_color& c = s.Palette[i];
        const int a = s.PaletteAlpha[i];
        table.append(qRgb(Blend(c.red, a, qRed(s.Background)), Blend(c.green, a, qGreen(s.Background)),
                          Blend(c.blue, a, qBlue(s.Background))));
      }
      // A damaged file may use indexes beyond its palette; give them black
      // so that every pixel has a defined colour.
      int highest = 0;
      for (int y = 0; y < s.Image.height(); ++y) {
        const uchar* line = s.Image.constScanLine(y);
        highest = std::max<int>(highest, *std::max_element(line, line + s.Image.width()));
      }
      while (table.size() <= highest) table.append(qRgb(0, 0, 0));
      break;
    }
    case TTable::Cube:
      table.fill(qRgb(0, 0, 0), 256);
      for (int i = 0; i < CubeEntries; ++i)
        table[CubeFirst + i] = qRgb(s.Cube[i].red, s.Cube[i].green, s.Cube[i].blue);
      for (int y = 0; y < s.Image.height(); ++y) {
        uchar* line = s.Image.scanLine(y);
        for (int x = 0; x < s.Image.width(); ++x) line[x] = static_cast<uchar>(line[x] + CubeFirst);
      }
      break;
    case TTable::Grey:
      table.reserve(256);
      for (int i = 0; i < 256; ++i) table.append(qRgb(i, i, i));
      break;
  }
  s.Image.setColorTable(table);
}

// The entry of a full table nearest to the colour (squared distance in RGB;
// the first of equals).
int NearestEntry(const QList<QRgb>& table, QRgb colour) {
  int best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (int j = 0; j < table.size(); ++j) {
    const int dr = qRed(table[j]) - qRed(colour);
    const int dg = qGreen(table[j]) - qGreen(colour);
    const int db = qBlue(table[j]) - qBlue(colour);
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = j;
    }
  }
  return best;
}

}  // namespace

QImage CreateDIB(const std::string& path, std::int64_t offset, QRgb background) {
  if (offset < 0) return {};
  TDecodeState s;
  s.Background = background;
  s.File = OpenForReading(path);
  if (s.File == nullptr) return {};
  std::setvbuf(s.File, nullptr, _IOFBF, 4096);

  bool ok = FileLength(s.File) > offset && SeekTo(s.File, offset);
  if (ok) {
    s.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, OnPngError, OnPngWarning);
    if (s.Png != nullptr) s.Info = png_create_info_struct(s.Png);
    if (s.Info != nullptr) s.EndInfo = png_create_info_struct(s.Png);
    ok = s.EndInfo != nullptr && DecodeArmed(s);
  }
  if (s.Png != nullptr) png_destroy_read_struct(&s.Png, &s.Info, &s.EndInfo);
  std::fclose(s.File);
  if (!ok) return {};

  SetColourTable(s);
  return std::move(s.Image);
}

void DrawOverlay(QImage& base, const QImage& overlay, int x, int y) {
  if (base.format() != QImage::Format_Indexed8 || overlay.format() != QImage::Format_Indexed8) return;
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = std::min<std::int64_t>(std::int64_t{x} + overlay.width(), base.width());
  const int bottom = std::min<std::int64_t>(std::int64_t{y} + overlay.height(), base.height());
  if (left >= right || top >= bottom) return;

  // Map each overlay colour in use into the base's table once, then copy
  // indexes. Indexes beyond the overlay's table count as black.
  std::array<bool, 256> used{};
  for (int row = top; row < bottom; ++row) {
    const uchar* from = overlay.constScanLine(row - y) + (left - x);
    for (int col = left; col < right; ++col) used[*from++] = true;
  }
  QList<QRgb> table = base.colorTable();
  const QList<QRgb> overlayTable = overlay.colorTable();
  std::array<uchar, 256> map{};
  for (int i = 0; i < 256; ++i) {
    if (!used[i]) continue;
    const QRgb colour = (i < overlayTable.size() ? overlayTable[i] : qRgb(0, 0, 0)) | 0xFF000000u;
    int found = static_cast<int>(table.indexOf(colour));
    if (found < 0 && table.size() < 256) {
      table.append(colour);
      found = static_cast<int>(table.size()) - 1;
    }
    if (found < 0) found = NearestEntry(table, colour);
    map[i] = static_cast<uchar>(found);
  }
  if (table.size() != base.colorCount()) base.setColorTable(table);

  for (int row = top; row < bottom; ++row) {
    const uchar* from = overlay.constScanLine(row - y) + (left - x);
    uchar* to = base.scanLine(row) + left;
    for (int col = left; col < right; ++col) *to++ = map[*from++];
  }
}

QImage* DecodedPicture(const TZEBObject& item) {
  if (item.KindCode() != Kind::PngObject) return nullptr;
  auto* picture = dynamic_cast<TPictureImage*>(static_cast<const TPNGObject&>(item).Bitmap.get());
  return picture != nullptr ? &picture->Image : nullptr;
}
