// Decoding embedded PNG pictures into 8-bit indexed images, and drawing
// overlays onto them. The reference colours of the PngSuite images come from
// Qt's own PNG reader, composited over the background here.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <QBuffer>
#include <QImage>

#include <zlib.h>

#include "authoring/hintwriter.h"
#include "display/pngdecode.h"
#include "model/loader.h"
#include "model/pngobject.h"
#include "support/fixtures.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsCorrupt(const fs::path& file) { return file.filename().string().front() == 'x'; }

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  return (std::uint32_t{static_cast<unsigned char>(bytes[at])} << 24) |
         (std::uint32_t{static_cast<unsigned char>(bytes[at + 1])} << 16) |
         (std::uint32_t{static_cast<unsigned char>(bytes[at + 2])} << 8) |
         std::uint32_t{static_cast<unsigned char>(bytes[at + 3])};
}

// What the test needs to know of a valid PNG, read from its chunks.
struct TPngFacts {
  int Width = 0;
  int Height = 0;
  int ColourType = 0;
  std::vector<QRgb> Palette;
  std::string PaletteAlpha;  // tRNS of a palette image
};

TPngFacts ReadFacts(const std::string& png) {
  TPngFacts facts;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = BigEndian(png, at);
    const std::string type = png.substr(at + 4, 4);
    const std::size_t data = at + 8;
    if (type == "IHDR") {
      facts.Width = static_cast<int>(BigEndian(png, data));
      facts.Height = static_cast<int>(BigEndian(png, data + 4));
      facts.ColourType = static_cast<unsigned char>(png[data + 9]);
    } else if (type == "PLTE") {
      for (std::uint32_t i = 0; i + 2 < length; i += 3)
        facts.Palette.push_back(qRgb(static_cast<unsigned char>(png[data + i]),
                                     static_cast<unsigned char>(png[data + i + 1]),
                                     static_cast<unsigned char>(png[data + i + 2])));
    } else if (type == "tRNS" && facts.ColourType == 3) {
      facts.PaletteAlpha = png.substr(data, length);
    }
    at = data + length + 4;
  }
  return facts;
}

// The colours a viewer shows: Qt's decoding composited over the background.
// Qt 6.4 misreads the tRNS colour of 16-bit RGB images; their 8-bit twin
// holds the same picture.
QImage Reference(fs::path file, QRgb background) {
  if (file.filename() == "tbbn2c16.png" || file.filename() == "tbgn2c16.png")
    file.replace_filename("tbrn2c08.png");
  QImage image(QString::fromStdString(file.string()));
  image = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int a = qAlpha(line[x]);
      auto blend = [a](int c, int b) { return (c * a + b * (255 - a) + 127) / 255; };
      line[x] = qRgb(blend(qRed(line[x]), qRed(background)), blend(qGreen(line[x]), qGreen(background)),
                     blend(qBlue(line[x]), qBlue(background)));
    }
  }
  return image;
}

int ChannelDistance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

bool SameImage(const QImage& a, const QImage& b) {
  return a.isNull() == b.isNull() && a.size() == b.size() && a.colorTable() == b.colorTable() && a == b;
}

// A PNG written by Qt from an image made in the test.
std::string EncodeWithQt(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, "PNG"));
  return bytes.toStdString();
}

QRgb CubeColour(int r, int g, int b) { return qRgb(r * 51, g * 51, b * 51); }
int CubeIndex(int r, int g, int b) { return CubeFirst + 36 * r + 6 * g + b; }

// Replaces the size in the IHDR chunk of a PNG and fixes the chunk's CRC.
std::string WithSize(std::string png, std::uint32_t width, std::uint32_t height) {
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<char>(width >> (24 - 8 * i));
    png[20 + i] = static_cast<char>(height >> (24 - 8 * i));
  }
  const auto crc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17));
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
  return png;
}

void AppendChunk(std::string& png, const std::string& type, const std::string& data) {
  std::string chunk = type + data;
  auto put32 = [&png](std::uint32_t value) {
    for (int i = 0; i < 4; ++i) png += static_cast<char>(value >> (24 - 8 * i));
  };
  put32(static_cast<std::uint32_t>(data.size()));
  png += chunk;
  put32(static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), chunk.size())));
}

// A valid all-black 1-bit greyscale PNG; tiny even when its size is huge.
std::string BlackPng(std::uint32_t width, std::uint32_t height) {
  const std::string raw(static_cast<std::size_t>(height) * (1 + (width + 7) / 8), '\0');
  uLongf packedSize = compressBound(raw.size());
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
            raw.size(), 1);
  packed.resize(packedSize);
  std::string header(13, '\0');
  for (int i = 0; i < 4; ++i) {
    header[i] = static_cast<char>(width >> (24 - 8 * i));
    header[4 + i] = static_cast<char>(height >> (24 - 8 * i));
  }
  header[8] = 1;  // bit depth; colour type 0, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", packed);
  AppendChunk(png, "IEND", "");
  return png;
}

// Descriptors open in this process (Linux), or -1 where that is unknown.
int OpenFileCount() {
  std::error_code error;
  fs::directory_iterator entries("/proc/self/fd", error);
  if (error) return -1;
  return static_cast<int>(std::distance(entries, fs::directory_iterator()));
}

}  // namespace

// ---- the PngSuite ----------------------------------------------------------------

namespace {

// The PngSuite, every file embedded as a picture in one hint file made with
// the writer; built once for all the tests below.
struct TSuite {
  struct TPicture {
    fs::path File;
    std::int32_t Offset = -1;  // DataOffset of its picture in the hint file
  };
  std::vector<TPicture> Pictures;
  std::string HintFile;
  TTempDir Dir;

  TSuite() {
    const std::string shared = SharedTestDataDir();
    if (shared.empty() || !fs::is_directory(fs::path(shared) / "pngsuite")) return;
    for (const auto& entry : fs::directory_iterator(fs::path(shared) / "pngsuite"))
      if (entry.path().extension() == ".png") Pictures.push_back({entry.path()});
    std::sort(Pictures.begin(), Pictures.end(), [](auto& a, auto& b) { return a.File < b.File; });

    THintFileWriter writer;
    std::vector<TWHunkPtr> hunks;
    for (const TPicture& picture : Pictures)
      hunks.push_back(writer.HyperPng(picture.File.filename().string(), ReadBytes(picture.File)));
    writer.Hunks = {Subject("Pictures", hunks)};
    HintFile = Dir.Write("pictures.zeb", writer.Build());
    TObjectList list;
    if (LoadHintFile(HintFile, list, false) == LoadResult::Loaded) {
      auto* root = dynamic_cast<TItemsHunk*>(ListRoot(list));
      for (std::size_t i = 0; root != nullptr && i < root->ItemCount() && i < Pictures.size(); ++i)
        if (auto* hyper = dynamic_cast<THyperPNGHunk*>(root->ItemAt(i)); hyper != nullptr && hyper->Image())
          Pictures[i].Offset = hyper->Image()->DataOffset;
    }
    ClearList(list);
  }
};

const TSuite& Suite() {
  static const TSuite suite;
  return suite;
}

class PngSuite : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Suite().Pictures.empty())
      GTEST_SKIP() << "PngSuite not found: expected <shared>/testdata/pngsuite (ZEB_SHARED_DIR)";
  }
};

}  // namespace

TEST_F(PngSuite, EveryPictureLiesAtItsOffsetInTheHintFile) {
  const std::string hintFile = ReadBytes(Suite().HintFile);
  for (const TSuite::TPicture& picture : Suite().Pictures) {
    const std::string png = ReadBytes(picture.File);
    ASSERT_GT(picture.Offset, 0) << picture.File.filename();
    EXPECT_EQ(hintFile.compare(picture.Offset, png.size(), png), 0) << picture.File.filename();
  }
}

// Every valid image decodes at its offset to its size, in the table its kind
// calls for, showing the colours a viewer shows (the cube's approximation
// for true colour). Transparent images also over a coloured background, so
// that grey images with transparency take both paths.
TEST_F(PngSuite, ValidImagesShowTheirColours) {
  for (const TSuite::TPicture& picture : Suite().Pictures) {
    if (IsCorrupt(picture.File)) continue;
    const std::string png = ReadBytes(picture.File);
    const TPngFacts facts = ReadFacts(png);
    const bool colour = (facts.ColourType & 2) != 0;
    const bool transparent = (facts.ColourType & 4) != 0 || png.find("tRNS") != std::string::npos;
    for (const QRgb background : {qRgb(255, 255, 255), qRgb(255, 204, 102)}) {
      if (!transparent && background != qRgb(255, 255, 255)) continue;
      SCOPED_TRACE(picture.File.filename().string() + " over " + QString::number(background, 16).toStdString());
      const QImage image = CreateDIB(Suite().HintFile, picture.Offset, background);
      ASSERT_FALSE(image.isNull());
      EXPECT_EQ(image.format(), QImage::Format_Indexed8);
      ASSERT_EQ(image.width(), facts.Width);
      ASSERT_EQ(image.height(), facts.Height);

      const QList<QRgb> table = image.colorTable();
      const bool greyRamp = !colour && (!transparent || background == qRgb(255, 255, 255));
      if (colour && !facts.Palette.empty()) {
        // Palette images and colour images with a suggested palette.
        ASSERT_EQ(table.size(), facts.Palette.size());
        for (int i = 0; i < table.size(); ++i) {
          if (i >= static_cast<int>(facts.PaletteAlpha.size()) || facts.PaletteAlpha[i] == '\xff') {
            EXPECT_EQ(table[i], facts.Palette[i]) << "entry " << i;
          }
        }
      } else {
        ASSERT_EQ(table.size(), 256);
        if (greyRamp) {
          for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i], qRgb(i, i, i));
        }
      }
      const QImage reference = Reference(picture.File, background);
      int worst = 0;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          const int index = image.pixelIndex(x, y);
          ASSERT_LT(index, table.size()) << x << "," << y;
          if (colour && facts.Palette.empty()) {
            ASSERT_TRUE(index >= CubeFirst && index < CubeFirst + CubeEntries) << x << "," << y;
          }
          worst = std::max(worst, ChannelDistance(table[index], reference.pixel(x, y)));
        }
      }
      if (facts.ColourType == 3 || greyRamp) {
        EXPECT_LE(worst, 1);  // exact but for rounding of 16-bit and partly transparent values
      } else if (facts.Palette.empty()) {
        // The quantiser matches colours in cells 8 values wide, so it may miss
        // the nearest cube level by one cell (up to 31 away); 16-bit channels
        // add one, as Qt rounds them where libpng drops the low byte.
        EXPECT_LE(worst, 32);
      }
    }
  }
}

TEST_F(PngSuite, InterlacedImagesEqualTheirPlainTwins) {
  int pairs = 0;
  for (const TSuite::TPicture& picture : Suite().Pictures) {
    std::string name = picture.File.filename().string();
    if (name.rfind("basi", 0) != 0) continue;
    name[3] = 'n';
    SCOPED_TRACE(name);
    const QImage interlaced = CreateDIB(picture.File.string(), 0);
    const QImage plain = CreateDIB((picture.File.parent_path() / name).string(), 0);
    ASSERT_FALSE(plain.isNull());
    EXPECT_TRUE(SameImage(interlaced, plain));
    ++pairs;
  }
  EXPECT_GT(pairs, 10);
}

TEST_F(PngSuite, CorruptImagesGiveNone) {
  int corrupt = 0;
  for (const TSuite::TPicture& picture : Suite().Pictures) {
    if (!IsCorrupt(picture.File)) continue;
    EXPECT_TRUE(CreateDIB(picture.File.string(), 0).isNull()) << picture.File.filename();
    EXPECT_TRUE(CreateDIB(Suite().HintFile, picture.Offset).isNull()) << picture.File.filename();
    ++corrupt;
  }
  EXPECT_GT(corrupt, 10);
}

// Every byte of a few small images damaged in turn: whatever libpng makes of
// it, the result is no image or a whole one whose pixels all have a colour.
// The damaged copies lie one after another in one file, as in a hint file.
TEST_F(PngSuite, DamagedBytesNeverBreakTheDecoder) {
  TTempDir dir;
  for (const char* name : {"basn3p04.png", "basi0g04.png", "tbbn3p08.png"}) {
    const auto found = std::find_if(Suite().Pictures.begin(), Suite().Pictures.end(),
                                    [name](const auto& picture) { return picture.File.filename() == name; });
    ASSERT_NE(found, Suite().Pictures.end()) << name;
    const std::string png = ReadBytes(found->File);
    std::string copies;
    for (std::size_t at = 8; at < png.size(); ++at) {
      copies += png;
      copies[copies.size() - png.size() + at] ^= 0x5A;
    }
    const std::string path = dir.Write(name, copies);
    int decoded = 0;
    for (std::size_t at = 8; at < png.size(); ++at) {
      const QImage image = CreateDIB(path, static_cast<std::int64_t>((at - 8) * png.size()));
      if (image.isNull()) continue;
      ++decoded;
      ASSERT_EQ(image.format(), QImage::Format_Indexed8) << name << " byte " << at;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          ASSERT_LT(image.pixelIndex(x, y), image.colorCount()) << name << " byte " << at;
    }
    EXPECT_LT(decoded, static_cast<int>(png.size()) / 2) << name;  // most damage is caught by the CRCs
  }
}

// ---- quantisation and transparency, on images made here ---------------------------

TEST(PngDecode, TrueColourGoesToTheColourCube) {
  struct TCase {
    QRgb Source;
    int Expected;
  };
  // Colours near a cube level in every component, so that the nearest level is clear.
  const TCase cases[] = {
      {qRgb(0, 0, 0), CubeIndex(0, 0, 0)},        {qRgb(255, 255, 255), CubeIndex(5, 5, 5)},
      {qRgb(255, 0, 0), CubeIndex(5, 0, 0)},      {qRgb(0, 0, 255), CubeIndex(0, 0, 5)},
      {qRgb(10, 61, 245), CubeIndex(0, 1, 5)},    {qRgb(112, 143, 200), CubeIndex(2, 3, 4)},
      {qRgb(160, 95, 48), CubeIndex(3, 2, 1)},    {qRgb(204, 204, 204), CubeIndex(4, 4, 4)},
  };
  QImage source(static_cast<int>(std::size(cases)), 2, QImage::Format_RGB32);
  for (int x = 0; x < source.width(); ++x) {
    source.setPixel(x, 0, cases[x].Source);
    source.setPixel(x, 1, cases[x].Source);
  }
  TTempDir dir;
  const QImage image = CreateDIB(dir.Write("rgb.png", EncodeWithQt(source)), 0);
  ASSERT_FALSE(image.isNull());
  ASSERT_EQ(image.colorCount(), 256);
  for (int i = 0; i < 256; ++i) {
    const bool inCube = i >= CubeFirst && i < CubeFirst + CubeEntries;
    const int c = i - CubeFirst;
    EXPECT_EQ(image.color(i), inCube ? CubeColour(c / 36, c / 6 % 6, c % 6) : qRgb(0, 0, 0)) << "entry " << i;
  }
  for (int x = 0; x < source.width(); ++x) {
    EXPECT_EQ(image.pixelIndex(x, 0), cases[x].Expected) << "pixel " << x;
    EXPECT_EQ(image.pixelIndex(x, 1), cases[x].Expected) << "pixel " << x;
  }
}

TEST(PngDecode, TransparencyShowsTheBackground) {
  QImage source(3, 1, QImage::Format_ARGB32);
  source.setPixel(0, 0, qRgba(255, 0, 0, 0));      // clear: the background
  source.setPixel(1, 0, qRgba(0, 0, 255, 255));    // opaque: its own colour
  source.setPixel(2, 0, qRgba(255, 255, 255, 128));  // half over black: grey 128
  TTempDir dir;
  const std::string path = dir.Write("rgba.png", EncodeWithQt(source));

  const QImage overGreen = CreateDIB(path, 0, qRgb(0, 255, 0));
  ASSERT_FALSE(overGreen.isNull());
  EXPECT_EQ(overGreen.pixelIndex(0, 0), CubeIndex(0, 5, 0));
  EXPECT_EQ(overGreen.pixelIndex(1, 0), CubeIndex(0, 0, 5));
  const QImage overBlack = CreateDIB(path, 0, qRgb(0, 0, 0));
  ASSERT_FALSE(overBlack.isNull());
  EXPECT_EQ(overBlack.pixelIndex(0, 0), CubeIndex(0, 0, 0));
  EXPECT_LE(ChannelDistance(overBlack.pixel(2, 0), qRgb(128, 128, 128)), 31);

  // A grey image without transparency keeps its ramp whatever the background.
  QImage grey(2, 1, QImage::Format_Grayscale8);
  grey.setPixel(0, 0, qRgb(7, 7, 7));
  grey.setPixel(1, 0, qRgb(200, 200, 200));
  const QImage ramp = CreateDIB(dir.Write("grey.png", EncodeWithQt(grey)), 0, qRgb(0, 255, 0));
  ASSERT_FALSE(ramp.isNull());
  EXPECT_EQ(ramp.pixelIndex(0, 0), 7);
  EXPECT_EQ(ramp.pixelIndex(1, 0), 200);
  EXPECT_EQ(ramp.color(200), qRgb(200, 200, 200));
}

TEST(PngDecode, PaletteImagesKeepTheirPalette) {
  QImage source(4, 2, QImage::Format_Indexed8);
  source.setColorTable({qRgb(250, 10, 10), qRgb(10, 250, 10), qRgb(17, 33, 99)});
  const int indexes[2][4] = {{0, 1, 2, 1}, {2, 2, 0, 1}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) source.setPixel(x, y, indexes[y][x]);
  TTempDir dir;
  const QImage image = CreateDIB(dir.Write("palette.png", EncodeWithQt(source)), 0);
  ASSERT_FALSE(image.isNull());
  ASSERT_EQ(image.colorTable(), source.colorTable());
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(image.pixelIndex(x, y), indexes[y][x]) << x << "," << y;
}

// ---- streams that give no picture --------------------------------------------------

TEST(PngDecode, UnreadableStreamsGiveNone) {
  const std::string png = TinyPng(5, 4);
  const std::string junk = "not a picture at all, just text of some length...";
  TTempDir dir;
  // The PNG in the middle of a bigger file, as in a hint file.
  const std::string embedded = dir.Write("embedded.bin", junk + png + junk);
  const auto at = static_cast<std::int64_t>(junk.size());
  EXPECT_EQ(CreateDIB(embedded, at).size(), QSize(5, 4));
  EXPECT_EQ(CreateDIB(dir.Write("black.png", BlackPng(300, 2)), 0).pixel(299, 1), qRgb(0, 0, 0));

  const std::size_t iend = png.size() - 12;
  struct TCase {
    const char* What;
    std::string Path;
    std::int64_t Offset;
  };
  const TCase cases[] = {
      {"missing file", (dir.Path() / "absent.png").string(), 0},
      {"empty file", dir.Write("empty.png", ""), 0},
      {"negative offset", embedded, -1},
      {"offset inside the stream", embedded, at + 1},
      {"offset before the stream", embedded, at - 1},
      {"offset at the end of the file", embedded, static_cast<std::int64_t>(junk.size() * 2 + png.size())},
      {"offset beyond the file", embedded, 1'000'000},
      {"signature only", dir.Write("sig.png", png.substr(0, 8)), 0},
      {"cut inside IHDR", dir.Write("ihdr.png", png.substr(0, 20)), 0},
      {"cut inside the image data", dir.Write("idat.png", png.substr(0, iend - 10)), 0},
      {"no IEND", dir.Write("noend.png", png.substr(0, iend)), 0},
      {"header claiming a huge size", dir.Write("huge.png", WithSize(png, 20000, 20000)), 0},
      {"valid image just beyond the bound", dir.Write("big.png", BlackPng(8193, 8193)), 0},
      {"wider than libpng allows", dir.Write("wide.png", WithSize(png, 0x7fffffff, 1)), 0},
  };
  const int openFiles = OpenFileCount();
  for (const TCase& c : cases) EXPECT_TRUE(CreateDIB(c.Path, c.Offset).isNull()) << c.What;
  EXPECT_EQ(OpenFileCount(), openFiles) << "a failed decode left its file open";
}

// ---- overlays ----------------------------------------------------------------------

namespace {

QImage Filled(int width, int height, const QList<QRgb>& table, int index) {
  QImage image(width, height, QImage::Format_Indexed8);
  image.setColorTable(table);
  image.fill(index);
  return image;
}

}  // namespace

TEST(DrawOverlay, CopiesOpaquelyAndClipsToTheBase) {
  const QList<QRgb> table = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(255, 0, 0)};
  struct TCase {
    int X, Y;
    QRect Covered;  // in base pixels
  };
  // The base's rows have no padding, so a write past a row's start or end
  // shows in the neighbouring row.
  const TCase cases[] = {
      {2, 1, QRect(2, 1, 3, 2)},  {-2, -1, QRect(0, 0, 1, 1)}, {-1, 2, QRect(0, 2, 2, 2)},
      {6, 5, QRect(6, 5, 2, 1)},  {7, 3, QRect(7, 3, 1, 2)},   {-3, 2, QRect()},
      {8, 0, QRect()},            {0, -2, QRect()},            {0, 6, QRect()},
  };
  for (const TCase& c : cases) {
    QImage base = Filled(8, 6, table, 1);
    QImage overlay = Filled(3, 2, table, 2);
    overlay.setPixel(0, 0, 0);  // one pixel of another colour, top left
    DrawOverlay(base, overlay, c.X, c.Y);
    EXPECT_EQ(base.colorTable(), table);
    for (int y = 0; y < base.height(); ++y) {
      for (int x = 0; x < base.width(); ++x) {
        int expected = 1;
        if (c.Covered.contains(x, y)) expected = (x == c.X && y == c.Y) ? 0 : 2;
        ASSERT_EQ(base.pixelIndex(x, y), expected)
            << "overlay at " << c.X << "," << c.Y << " pixel " << x << "," << y;
      }
    }
  }
}

TEST(DrawOverlay, MapsColoursIntoTheBaseTable) {
  // Overlay entries: equal to a base entry, new, and unused.
  const QList<QRgb> overlayTable = {qRgb(9, 9, 9), qRgb(255, 0, 0), qRgb(1, 2, 3), qRgb(40, 200, 40)};
  QImage overlay = Filled(3, 1, overlayTable, 1);
  overlay.setPixel(1, 0, 3);
  overlay.setPixel(2, 0, 1);

  // A base with room: the new colour gets an entry, the equal one is reused.
  QImage roomy = Filled(4, 1, {qRgb(0, 0, 0), qRgb(40, 200, 40)}, 0);
  DrawOverlay(roomy, overlay, 0, 0);
  ASSERT_EQ(roomy.colorTable(), (QList<QRgb>{qRgb(0, 0, 0), qRgb(40, 200, 40), qRgb(255, 0, 0)}));
  EXPECT_EQ(roomy.pixelIndex(0, 0), 2);
  EXPECT_EQ(roomy.pixelIndex(1, 0), 1);
  EXPECT_EQ(roomy.pixelIndex(2, 0), 2);
  EXPECT_EQ(roomy.pixelIndex(3, 0), 0);

  // A full base (the true-colour table): the new colour goes to its nearest entry.
  QImage blue(4, 1, QImage::Format_RGB32);
  blue.fill(qRgb(0, 0, 255));
  TTempDir dir;
  QImage full = CreateDIB(dir.Write("full.png", EncodeWithQt(blue)), 0);
  ASSERT_EQ(full.colorCount(), 256);
  DrawOverlay(full, overlay, 1, 0);
  EXPECT_EQ(full.colorCount(), 256);
  EXPECT_EQ(full.pixel(0, 0), qRgb(0, 0, 255));
  EXPECT_EQ(full.pixel(1, 0), qRgb(255, 0, 0));
  EXPECT_EQ(full.pixel(2, 0), CubeColour(1, 4, 1));  // (40, 200, 40) is nearest to (51, 204, 51)
  EXPECT_EQ(full.pixel(3, 0), qRgb(255, 0, 0));

  // Anything but two indexed images is left alone.
  QImage rgb(2, 2, QImage::Format_RGB32);
  rgb.fill(Qt::white);
  const QImage before = rgb;
  DrawOverlay(rgb, overlay, 0, 0);
  EXPECT_EQ(rgb, before);
}
