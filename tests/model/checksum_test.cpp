#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/checksum.h"
#include "model/checksumthread.h"
#include "model/loadcontext.h"
#include "model/loader.h"
#include "support/fixtures.h"

TEST(Checksum, KnownValues) {
  // Before the adjustment: CRC-16/ARC with its 16 bits reversed.
  EXPECT_EQ(RawChecksum("123456789"), 0xBCDD);
  EXPECT_EQ(HintChecksum("123456789"), 0xBDDD);
  EXPECT_EQ(RawChecksum("abc"), 0x1CE9);
  EXPECT_EQ(HintChecksum("abc"), 0x1CE9);
  EXPECT_EQ(HintChecksum(""), 0x0000);
}

TEST(Checksum, AdjustmentOnlyForHighValuesWithNonZeroLowByte) {
  EXPECT_EQ(AdjustChecksum(0x8000), 0x8000);
  EXPECT_EQ(AdjustChecksum(0x7FFF), 0x7FFF);
  EXPECT_EQ(AdjustChecksum(0x8001), 0x8101);
  EXPECT_EQ(AdjustChecksum(0xFFFF), 0x00FF);
}

namespace {
// The checksum bit by bit, as its definition reads: CRC-16 with the
// generator 0x8005, most significant bit first, over bit-reversed bytes.
std::uint16_t BitwiseChecksum(std::string_view bytes) {
  std::uint16_t crc = 0;
  for (const char c : bytes) {
    unsigned char b = static_cast<unsigned char>(c);
    unsigned char reversed = 0;
    for (int i = 0; i < 8; ++i) reversed = static_cast<unsigned char>(reversed | (((b >> i) & 1) << (7 - i)));
    crc = static_cast<std::uint16_t>(crc ^ (reversed << 8));
    for (int i = 0; i < 8; ++i) crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x8005 : crc << 1);
  }
  return crc;
}

std::string Bytes(std::size_t count, unsigned seed) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(seed >> 16);
  }
  return bytes;
}

std::string Stored(std::uint16_t value) {
  return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}
}  // namespace

// Every length up to a few multiples of the sixteen bytes the loop takes at
// once, and a long run, against the definition; and a run taken in parts.
TEST(Checksum, AgreesWithTheBitwiseDefinitionAtEveryLength) {
  const std::string bytes = Bytes(5000, 7);
  for (std::size_t n = 0; n <= 70; ++n)
    ASSERT_EQ(RawChecksum(std::string_view(bytes).substr(0, n)), BitwiseChecksum(bytes.substr(0, n))) << n;
  EXPECT_EQ(RawChecksum(bytes), BitwiseChecksum(bytes));
  const std::uint16_t first = RawChecksum(std::string_view(bytes).substr(0, 1237));
  EXPECT_EQ(RawChecksum(std::string_view(bytes).substr(1237), first), BitwiseChecksum(bytes));
}

// The loader hands the checker the checksum of the bytes it read (a trail);
// whatever part of the file the trail covers, the result is the one of a
// check that reads the whole file.
TEST(ChecksumTrail, GivesTheResultOfReadingTheWholeFile) {
  const std::string text = Bytes(3000, 11);
  std::string head = text;
  for (char& c : head)
    if (c == 0x1A) c = 'x';
  struct TCase {
    const char* Name;
    std::string File;
    std::int64_t DataEnd;
    std::int32_t Length;
    bool Valid;
  };
  const std::string atEnd = head + Stored(HintChecksum(head));
  const std::string ofText = head + "\x1A";
  const std::string afterText = ofText + Stored(HintChecksum(ofText)) + Bytes(900, 3);
  const std::string withData = head + Stored(HintChecksum(head)) + Bytes(700, 5);
  std::string damaged = atEnd;
  damaged[1500] = static_cast<char>(damaged[1500] ^ 0x20);
  const std::vector<TCase> cases = {
      {"at the end of the file", atEnd, 0, 0, true},
      {"after the end-of-text byte", afterText, 0, 0, true},
      {"at the end of the embedded data", withData, static_cast<std::int64_t>(head.size()) + 2, 0, true},
      {"at LENGTH", withData, 0, static_cast<std::int32_t>(head.size()) + 2, true},
      {"LENGTH replaces the other places", atEnd, 0, 1000, false},
      {"a damaged byte", damaged, 0, 0, false},
  };
  TTempDir dir;
  for (const TCase& c : cases) {
    const std::string path = dir.Write("file.zeb", c.File);
    for (const std::size_t covered : {std::size_t{0}, std::size_t{1}, std::size_t{1499}, c.File.size() - 2,
                                      c.File.size()}) {
      for (const std::size_t step : {std::size_t{1}, std::size_t{64}, std::size_t{4096}}) {
        SCOPED_TRACE(std::string(c.Name) + ", trail of " + std::to_string(covered) + " bytes in steps of " +
                     std::to_string(step));
        TChecksumTrail trail;
        for (std::size_t at = 0; at < covered; at += step)
          trail.Add(static_cast<std::int64_t>(at), std::string_view(c.File).substr(at, std::min(step, covered - at)));
        trail.Add(5, "out of order: ignored");
        EXPECT_EQ(trail.End(), static_cast<std::int64_t>(covered));
        EXPECT_EQ(VerifyFileChecksum(path, c.DataEnd, c.Length, &trail), c.Valid);
      }
    }
    EXPECT_EQ(VerifyFileChecksum(path, c.DataEnd, c.Length), c.Valid) << c.Name;
  }
}

// The trail a second thread takes of a whole file is the trail of its bytes,
// and a large file is checked with it as a small one is without it.
TEST(ChecksumThread, TrailsTheWholeFileAndALargeDamagedFileStillFails) {
  TTempDir dir;
  std::string bytes;
  for (int i = 0; bytes.size() < 300000; ++i) bytes += "line " + std::to_string(i) + "\n";
  bytes[123456] = 0x1A;
  const std::string path = dir.Write("plain.bin", bytes);
  TChecksumThread thread(path);
  const TChecksumTrail& trail = thread.Trail();
  EXPECT_EQ(trail.End(), static_cast<std::int64_t>(bytes.size()));
  EXPECT_EQ(trail.EndOfText(), 123456);
  EXPECT_EQ(trail.Checkpoints().back().second, RawChecksum(bytes));

  TChecksumThread missing((dir.Path() / "missing.zeb").string());
  EXPECT_EQ(missing.Trail().End(), 0);

  // A large file: the loader takes the checksum on the second thread.
  THintFileWriter writer;
  std::vector<TWHunkPtr> questions;
  for (int q = 0; q < 75000; ++q)
    questions.push_back(Hint("Q" + std::to_string(q), {"A hint text of question " + std::to_string(q) + " that runs on a while",
                                                       "and a second line of it, as long as the first one"}));
  writer.Hunks = {Subject("Root", questions)};
  std::string file = writer.Build();
  ASSERT_GE(static_cast<std::int64_t>(file.size()), TLoadContext::LargeFile);
  TObjectList list;
  EXPECT_EQ(LoadHintFile(dir.Write("large.zeb", file), list, false).Code, LoadResult::Loaded);
  ClearList(list);
  // A byte of a hint in the middle and one of the last hint: hint lines are
  // kept scrambled in the file, so their plain words are not found there.
  for (const std::size_t at : {file.size() / 2, file.rfind("Q74999") + 3}) {
    ASSERT_LT(at, file.size());
    std::string damaged = file;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
    EXPECT_EQ(LoadHintFile(dir.Write("damaged.zeb", damaged), list, false).Code, LoadResult::BadChecksum) << at;
    EXPECT_TRUE(list.empty());
  }
}
