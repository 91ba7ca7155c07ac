// The two scramblings of hint text, checked against a plain re-implementation
// of their loops: signed 8-bit bytes, 32-bit arithmetic, "while" corrections.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/encodings.h"

namespace {

// ---- reference decoders, written the slow, literal way -------------------

int Signed8(char c) { return static_cast<signed char>(c); }

std::string ReferenceMask(const std::string& title) {
  const std::string salt = "qix";
  std::string mask;
  for (int i = 0; i < static_cast<int>(title.size()); ++i) {
    int v = Signed8(title[i]) + (Signed8(salt[i % 3]) ^ (i + 40));
    while (v > 127) v = v - 96;
    mask.push_back(static_cast<char>(v & 0xFF));
  }
  return mask;
}

std::string ReferenceDecode(const std::string& line, const std::string& mask, TMaskVariant variant) {
  const int n = static_cast<int>(mask.size());
  std::string out;
  for (int i = 0; i < static_cast<int>(line.size()); ++i) {
    const int mixer = variant == TMaskVariant::NestedHint ? i : i % n;
    const int k = Signed8(mask[i % n]) ^ (mixer + 40);
    int d = Signed8(line[i]) - k;
    while (d < 32) d = d + 96;
    out.push_back(static_cast<char>(d & 0xFF));
  }
  return out;
}

std::string Decoded(std::string line, const std::string& mask, TMaskVariant variant) {
  DecodeWithMask(line, mask, variant);
  return line;
}

// Deterministic byte strings; `low`..`high` bounds every byte.
class TBytes {
 public:
  explicit TBytes(unsigned seed) : Engine(seed) {}
  std::string Make(std::size_t length, int low = 0, int high = 255) {
    std::string s;
    for (std::size_t i = 0; i < length; ++i)
      s.push_back(static_cast<char>(low + static_cast<int>(Engine() % static_cast<unsigned>(high - low + 1))));
    return s;
  }
  std::size_t Length(std::size_t low, std::size_t high) { return low + Engine() % (high - low + 1); }

 private:
  std::mt19937 Engine;
};

// Every byte value, repeated, so each value meets many positions of a line.
std::string AllBytes(int repeats) {
  std::string s;
  for (int r = 0; r < repeats; ++r)
    for (int b = 0; b < 256; ++b) s.push_back(static_cast<char>(b));
  return s;
}

constexpr TMaskVariant BothVariants[] = {TMaskVariant::NestedHint, TMaskVariant::TextData};

}  // namespace

// ---- 88a substitution ----------------------------------------------------

TEST(Encoding88a, TableMapsRangesAsWritten) {
  const auto& table = Table88a();
  for (int v = 0; v < 256; ++v) {
    int expected = v;
    if (v >= 32) expected = (v <= 79 ? 2 * v - 32 : 2 * v - 127) & 0xFF;
    EXPECT_EQ(table[v], expected) << "scrambled byte " << v;
  }
  // 32..79 give the even characters 32..126, 80..126 the odd ones 33..125:
  // together every printable character exactly once; 127 stays.
  std::vector<int> hits(256, 0);
  for (int v = 32; v <= 126; ++v) {
    const int c = table[v];
    EXPECT_EQ(c % 2, v <= 79 ? 0 : 1) << v;
    ++hits[c];
  }
  for (int c = 32; c <= 126; ++c) EXPECT_EQ(hits[c], 1) << "character " << c;
  EXPECT_EQ(table[127], 127);
  EXPECT_EQ(table[31], 31);
  EXPECT_EQ(table[0], 0);
}

TEST(Encoding88a, DecodesLinesBytewise) {
  std::string hi = "4t";
  Decode88a(hi);
  EXPECT_EQ(hi, "Hi");

  // A line of control bytes only decodes to itself.
  const std::string control("\t\x01\x1f\x00\x1b", 5);
  std::string line = control;
  Decode88a(line);
  EXPECT_EQ(line, control);

  // Bytes from 0x80 up are indexed unsigned and keep the line's length.
  std::string high = "\x80\xff" "4";
  Decode88a(high);
  ASSERT_EQ(high.size(), 3u);
  EXPECT_EQ(static_cast<unsigned char>(high[0]), (2 * 0x80 - 127) & 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(high[1]), (2 * 0xFF - 127) & 0xFF);
  EXPECT_EQ(high[2], 'H');

  std::string empty;
  Decode88a(empty);
  EXPECT_EQ(empty, "");
}

// ---- title mask ----------------------------------------------------------

TEST(TitleMask, MatchesLiteralLoopsForManyTitles) {
  TBytes bytes(20240601);
  std::vector<std::string> titles = {"Zork Zero", "A", "The Lurking Horror", std::string("\x80\xff\x7f", 3),
                                     std::string(200, '~'), std::string(150, '\xff')};
  for (int i = 0; i < 300; ++i) titles.push_back(bytes.Make(bytes.Length(1, 140)));
  for (const std::string& title : titles) {
    const std::string mask = TitleMask(title);
    ASSERT_EQ(mask.size(), title.size());
    EXPECT_EQ(mask, ReferenceMask(title)) << "title of length " << title.size();
  }
  EXPECT_EQ(TitleMask(""), "");
}

TEST(TitleMask, HighTitleBytesEnterAsNegativeValues) {
  // 0xC8 is -56: -56 + ('q' xor 40) = -56 + 89 = 33. Read unsigned it would be
  // 200 + 89 = 289, cut down by 96 twice to 97.
  const std::string mask = TitleMask("\xc8");
  ASSERT_EQ(mask.size(), 1u);
  EXPECT_EQ(static_cast<unsigned char>(mask[0]), 33);
  // 'Z' + ('q' xor 40) = 90 + 89 = 179 > 127: 96 is taken off once.
  EXPECT_EQ(static_cast<unsigned char>(TitleMask("Z")[0]), 83);
}

// ---- masked decoding -----------------------------------------------------

TEST(MaskDecoding, MatchesLiteralLoopsForManyLines) {
  TBytes bytes(77);
  for (int t = 0; t < 120; ++t) {
    // Half the titles printable, half with bytes from 0x80 up.
    const std::string title = t % 2 == 0 ? bytes.Make(bytes.Length(1, 100), 32, 126) : bytes.Make(bytes.Length(1, 100));
    const std::string mask = TitleMask(title);
    for (int l = 0; l < 6; ++l) {
      const std::string line = bytes.Make(bytes.Length(0, 400));
      for (TMaskVariant variant : BothVariants) {
        const std::string got = Decoded(line, mask, variant);
        ASSERT_EQ(got.size(), line.size());
        EXPECT_EQ(got, ReferenceDecode(line, mask, variant))
            << "title " << t << " line " << l << " variant " << static_cast<int>(variant);
      }
    }
  }
}

TEST(MaskDecoding, EveryByteValueAtEveryPositionMatchesLiteralLoops) {
  // Positions 0 to 10,239: past where the keys grow too large for the
  // arithmetic shortcut and decoding goes on byte by byte.
  const std::string line = AllBytes(40);
  for (const std::string& title : {std::string("Zork"), std::string("\x81\xfe\x00\x7f", 4), std::string(97, 'x')}) {
    const std::string mask = TitleMask(title);
    for (TMaskVariant variant : BothVariants)
      EXPECT_EQ(Decoded(line, mask, variant), ReferenceDecode(line, mask, variant)) << title.size();
  }
}

TEST(MaskDecoding, NeverYieldsAControlByte) {
  // 96 is added until the value reaches 32. With printable titles the mask
  // bytes stay positive, so this holds at every position of any line; titles
  // with high bytes keep it while the mixer (i + 40) stays below 128.
  TBytes bytes(5);
  const std::string line = AllBytes(3);
  for (int t = 0; t < 60; ++t) {
    const std::string printable = TitleMask(bytes.Make(bytes.Length(1, 90), 32, 126));
    const std::string high = TitleMask(bytes.Make(bytes.Length(1, 87), 128, 255));
    for (TMaskVariant variant : BothVariants) {
      const std::string a = Decoded(line, printable, variant);
      for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_GE(static_cast<unsigned char>(a[i]), 32) << "printable title " << t << " position " << i;
      const std::string b = Decoded(line.substr(0, 88), high, variant);
      for (std::size_t i = 0; i < b.size(); ++i)
        ASSERT_GE(static_cast<unsigned char>(b[i]), 32) << "high title " << t << " position " << i;
    }
  }
}

TEST(MaskDecoding, VariantsAgreeBelowMaskLengthAndDifferFromIt) {
  TBytes bytes(9);
  for (int t = 0; t < 100; ++t) {
    const std::string mask = TitleMask(bytes.Make(bytes.Length(1, 40)));
    const std::string line = bytes.Make(120);
    const std::string nested = Decoded(line, mask, TMaskVariant::NestedHint);
    const std::string text = Decoded(line, mask, TMaskVariant::TextData);
    for (std::size_t i = 0; i < mask.size(); ++i) ASSERT_EQ(nested[i], text[i]) << t << " " << i;
  }
  // A plain title and a plain line: the keys part from position n on, and
  // so does every decoded character of this line. (Keys that differ by a
  // multiple of 96 would decode alike; none do here.)
  const std::string mask = TitleMask("Zork Zero");
  const std::string line = "Look under the rug in the study, then go north.";
  const std::string nested = Decoded(line, mask, TMaskVariant::NestedHint);
  const std::string text = Decoded(line, mask, TMaskVariant::TextData);
  EXPECT_EQ(nested.substr(0, 9), text.substr(0, 9));
  for (std::size_t i = 9; i < line.size(); ++i) EXPECT_NE(nested[i], text[i]) << "position " << i;
}

TEST(MaskDecoding, LongLinesReuseTheMaskFromItsStart) {
  TBytes bytes(31);
  for (int t = 0; t < 50; ++t) {
    const std::string mask = TitleMask(bytes.Make(bytes.Length(1, 12)));
    // Nested-hint keys depend on the mask byte i mod n only: a mask spelled
    // out to the line's length must give the same line.
    std::string spelledOut;
    const std::string line = bytes.Make(200);
    for (std::size_t i = 0; i < line.size(); ++i) spelledOut.push_back(mask[i % mask.size()]);
    EXPECT_EQ(Decoded(line, mask, TMaskVariant::NestedHint), Decoded(line, spelledOut, TMaskVariant::NestedHint));
    // Text-data keys repeat every n positions: a repeated block decodes to a repeated block.
    const std::string block = bytes.Make(mask.size());
    std::string repeated;
    for (int r = 0; r < 5; ++r) repeated += block;
    const std::string once = Decoded(block, mask, TMaskVariant::TextData);
    std::string expected;
    for (int r = 0; r < 5; ++r) expected += once;
    EXPECT_EQ(Decoded(repeated, mask, TMaskVariant::TextData), expected);
  }
}

TEST(MaskDecoding, EmptyMaskLeavesTheLineAsItIs) {
  const std::string line = AllBytes(1);
  for (TMaskVariant variant : BothVariants) EXPECT_EQ(Decoded(line, "", variant), line);
  EXPECT_EQ(Decoded("", TitleMask("Zork"), TMaskVariant::NestedHint), "");
}
