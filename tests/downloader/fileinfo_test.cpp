// The header summary of a hint file: the line scan of its header, the
// eight-line cache record, and the title order of the by-title listing.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "downloader/fileinfo.h"
#include "model/loader.h"
#include "support/fixtures.h"

namespace {

// A file of the newer generation. The hunk keywords are written in lower
// case, the way the header scan looks for them.
std::string NewerFile(const std::string& title88a, const std::string& rootTitle, const std::string& version,
                      const std::vector<std::string>& infoLines) {
  THintFileWriter file;
  file.Title88a = title88a;
  file.Subjects = {{"Start", {{"Where do I begin?", {"Here."}}}}};
  TWHunkPtr root = Subject(rootTitle, {Hint("A question", {"A hint."})});
  root->Keyword = "subject";
  file.Hunks = {root, PlainHunk("version", version, {"compiled by hand"}), PlainHunk("info", "Info", infoLines)};
  return file.Build();
}

std::string OldFile(const std::string& title88a) {
  THintFileWriter file;
  file.Title88a = title88a;
  file.Subjects = {{"Start", {{"Where do I begin?", {"Here."}}}}};
  file.NoteLines = {"The author's note."};
  file.EndMarker = false;
  return file.Build();
}

// Raw header text: the 88a lines, the end marker, then the given lines.
std::string AfterMarker(const std::string& lines) {
  return "ZEB\r\nOld Title\r\n3 3\r\nx\r\n3\r\nh\r\n" + std::string(EndOf88aMarker) + "\r\n" + lines;
}

struct TSummary {
  std::string Title, Version, Author, Publisher, Date, Time;
  std::int32_t FileLength;
};

void ExpectSummary(const TFileInfo& info, const TSummary& want) {
  EXPECT_EQ(info.Title, want.Title);
  EXPECT_EQ(info.Version, want.Version);
  EXPECT_EQ(info.Author, want.Author);
  EXPECT_EQ(info.Publisher, want.Publisher);
  EXPECT_EQ(info.Date, want.Date);
  EXPECT_EQ(info.Time, want.Time);
  EXPECT_EQ(info.FileLength, want.FileLength);
}

TEST(HeaderScan, ReadsTheHeaderFieldsOfEachGeneration) {
  struct TCase {
    const char* Name;
    std::string Bytes;
    TSummary Want;  // FileLength -1 stands for the file's size
  };
  const TCase cases[] = {
      {"old generation: 88a title without leading spaces", OldFile("   Old Mine"),
       {"Old Mine", "88a", "", "", "", "", -1}},
      {"newer generation: root title and version text, credits from INFO",
       NewerFile("Line Two Title", " Moonfall", "96a",
                 {"author=Someone", "Publisher=Big Games", "DATE=07-Mar-00", "tImE=12:30"}),
       {" Moonfall", "96a", "Someone", "Big Games", "07-Mar-00", "12:30", -1}},
      {"LENGTH= replaces the size; values keep case and blanks; the later key wins",
       NewerFile("T", "Moonfall", "96a",
                 {"AUTHOR=First", "Author= Ann MacLeod ", "AUTHORS=not a key", "COPYRIGHT=1999", "length=999"}),
       {"Moonfall", "96a", " Ann MacLeod ", "", "", "", 999}},
      {"LENGTH= with no number gives 0", NewerFile("T", "Moonfall", "96a", {"LENGTH=many"}),
       {"Moonfall", "96a", "", "", "", "", 0}},
      {"header with leading number 0 or none is not taken",
       AfterMarker("0 subject\r\nWrong\r\nx subject\r\nWrong too\r\n2 subject\r\nRight\r\n"),
       {"Right", "88a", "", "", "", "", -1}},
      {"a version node before the first subject is not found",
       AfterMarker("2 version\r\n96a\r\n2 subject\r\nTitle\r\n3 info\r\nInfo\r\nAUTHOR=A\r\n"),
       {"Title", "88a", "", "", "", "", -1}},
      {"INFO reads only as many lines as its count",
       AfterMarker("2 subject\r\nT\r\n2 version\r\n96b\r\n3 info\r\nInfo\r\nAUTHOR=A\r\nPUBLISHER=P\r\nDATE=D\r\n"),
       {"T", "96b", "A", "P", "", "", -1}},
      {"INFO count is read before the first space: a header starting with a blank has none",
       AfterMarker("2 subject\r\nT\r\n2 version\r\n96b\r\n 3 info\r\nInfo\r\nAUTHOR=A\r\n"),
       {"T", "96b", "", "", "", "", -1}},
      {"cut short after the subject header: earlier fields stay", AfterMarker("2 subject\r\n"),
       {"Old Title", "88a", "", "", "", "", -1}},
      {"LF line ends", "ZEB\nTitle\n1 1\n" + std::string(EndOf88aMarker) + "\n2 subject\nNew\n2 version\n96a\n",
       {"New", "96a", "", "", "", "", -1}},
      {"last line without a line end", "ZEB\n  Only", {"Only", "88a", "", "", "", "", -1}},
      {"a lone CR is part of the line", "ZEB\r\nA\rB\r\n", {"A\rB", "88a", "", "", "", "", -1}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    const std::string path = dir.Write("game.zeb", c.Bytes);
    const TFileInfo info(path, static_cast<std::int64_t>(c.Bytes.size()));
    EXPECT_EQ(info.FileName, "game.zeb");
    TSummary want = c.Want;
    if (want.FileLength == -1) want.FileLength = static_cast<std::int32_t>(c.Bytes.size());
    ExpectSummary(info, want);
  }
}

TEST(HeaderScan, WhatIsNoHintFileKeepsOnlyNameAndSize) {
  const std::string zip("PK\x03\x04\x14\x00\x00\x00\x08\x00ZEB\r\nTitle\r\n", 22);
  const std::string notHint[] = {"ZEB \r\nTitle\r\n", "zeb\r\nTitle\r\n", " ZEB\r\nTitle\r\n", zip, "",
                                 std::string("\0\0\0ZEB\r\n", 8)};
  for (const std::string& bytes : notHint) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    TTempDir dir;
    const TFileInfo info(dir.Write("NOTHINT.ZEB", bytes), 4321);
    EXPECT_EQ(info.FileName, "NOTHINT.ZEB");
    ExpectSummary(info, {"", "", "", "", "", "", 4321});
  }
}

TEST(HeaderScan, UnreadableFileKeepsOnlyNameAndSize) {
  TTempDir dir;
  const TFileInfo missing((dir.Path() / "missing.zeb").string(), 77);
  EXPECT_EQ(missing.FileName, "missing.zeb");
  ExpectSummary(missing, {"", "", "", "", "", "", 77});

  std::filesystem::create_directory(dir.Path() / "folder.zeb");
  const TFileInfo folder((dir.Path() / "folder.zeb").string(), 4096);
  EXPECT_EQ(folder.FileName, "folder.zeb");
  ExpectSummary(folder, {"", "", "", "", "", "", 4096});
}

TEST(FileInfoItem, IsADisplayItemOfItsOwnKindShowingItsTitle) {
  TFileInfo info;
  info.Title = "Moonfall";
  EXPECT_EQ(info.KindCode(), 18);
  EXPECT_FALSE(info.IsNode());
  EXPECT_EQ(info.GetText(), "Moonfall");
  EXPECT_TRUE(info.EndsLine);
  EXPECT_TRUE(info.Wraps);
  EXPECT_EQ(info.Text, "");
  info.SetText("Other");
  EXPECT_EQ(info.Title, "Moonfall");
}

TFileInfo FullSummary() {
  TFileInfo info;
  info.FileName = "moon.zeb";
  info.Title = "Moonfall";
  info.FileLength = 12345;
  info.Version = "96a";
  info.Author = "Ann";
  info.Publisher = "Big Games";
  info.Date = "07-Mar-00";
  info.Time = "12:30";
  return info;
}

void ExpectSameFields(const TFileInfo& a, const TFileInfo& b) {
  EXPECT_EQ(a.FileName, b.FileName);
  ExpectSummary(a, {b.Title, b.Version, b.Author, b.Publisher, b.Date, b.Time, b.FileLength});
}

TEST(FileInfoItem, CopyTakesAllEightFields) {
  const TFileInfo original = FullSummary();
  const TFileInfo copy(original);
  ExpectSameFields(copy, original);
}

TEST(CacheRecord, WritesEightCrLfLinesAndReadsThemBack) {
  const TFileInfo full = FullSummary();
  TFileInfo sparse;  // what a file that is no hint file leaves
  sparse.FileName = "empty.zeb";
  sparse.FileLength = 0;

  std::ostringstream out;
  full.WriteRecord(out);
  EXPECT_EQ(out.str(), "moon.zeb\r\nMoonfall\r\n12345\r\n96a\r\nAnn\r\nBig Games\r\n07-Mar-00\r\n12:30\r\n");
  sparse.WriteRecord(out);

  std::istringstream in(out.str());
  TFileInfo first, second, third;
  ASSERT_TRUE(first.ReadRecord(in));
  ExpectSameFields(first, full);
  ASSERT_TRUE(second.ReadRecord(in));
  ExpectSameFields(second, sparse);
  EXPECT_FALSE(third.ReadRecord(in));
}

TEST(CacheRecord, LengthLineMustBeADecimalNumberEndingTheLine) {
  struct TCase {
    const char* Line;
    bool Valid;
    std::int32_t Length;
  };
  const TCase cases[] = {
      {"1234", true, 1234}, {"   1234", true, 1234}, {"0", true, 0},        {"1234 ", false, 0},
      {"", false, 0},       {"12a", false, 0},       {"abc", false, 0},     {"12 34", false, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Line);
    std::istringstream in(std::string("a.zeb\r\nTitle\r\n") + c.Line + "\r\n96a\r\n\r\n\r\n\r\n\r\n");
    TFileInfo info;
    EXPECT_EQ(info.ReadRecord(in), c.Valid);
    if (c.Valid) {
      EXPECT_EQ(info.FileLength, c.Length);
    }
  }
}

TEST(CacheRecord, AcceptsLfLineEnds) {
  std::istringstream in("a.zeb\nTitle\n99\n96a\nAuthor\nPub\nDate\nTime\n");
  TFileInfo info;
  ASSERT_TRUE(info.ReadRecord(in));
  EXPECT_EQ(info.Title, "Title");
  EXPECT_EQ(info.FileLength, 99);
  EXPECT_EQ(info.Time, "Time");
}

// The catalog cuts records from the cache file's bytes: record by record it
// takes what reading the stream takes, and stops where the stream does.
TEST(CacheRecord, RecordsFromBytesAreThoseReadFromTheStream) {
  const std::string cases[] = {
      "a.zeb\r\nTitle\r\n12\r\n96a\r\nA\r\nP\r\nD\r\nT\r\nb.zeb\nB\n7\nv\n\n\n\n\n",
      "a.zeb\nTitle\n12\n96a\nA\nP\nD\nlast line without its end",
      "a.zeb\nTitle\n12\n96a\nA\nP\nD\nT\r",
      "a.zeb\nTitle\n12\n96a\nA\nP\nD\n",
      "a.zeb\r\n\r\n 3\r\n\r\n\r\n\r\n\r\n\r\n\r\nnext\r\n",
      "\r\r\n\r\n-4\r\n\r\n\r\n\r\n\r\n\r\n",
      "a.zeb\nTitle\nx12\n96a\nA\nP\nD\nT\nb.zeb\nB\n7\nv\n\n\n\n\n",
      "",
  };
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(bytes);
    std::istringstream in(bytes);
    std::string_view rest = bytes;
    for (int record = 0; record < 4; ++record) {
      TFileInfo fromStream;
      const bool streamRead = fromStream.ReadRecord(in);
      TRecordLines lines;
      TFileInfo fromBytes;
      const bool bytesRead = TakeRecordLines(rest, lines) && fromBytes.SetFromRecord(lines);
      ASSERT_EQ(bytesRead, streamRead) << "record " << record;
      if (!streamRead) break;
      ExpectSameFields(fromBytes, fromStream);
    }
  }
}

TEST(CacheRecord, TruncatedRecordFails) {
  std::ostringstream out;
  FullSummary().WriteRecord(out);
  const std::string record = out.str();
  std::size_t end = 0;
  for (int lines = 0; lines < 8; ++lines) {
    SCOPED_TRACE(lines);
    std::istringstream in(record.substr(0, end));
    TFileInfo info;
    EXPECT_FALSE(info.ReadRecord(in));
    end = record.find('\n', end) + 1;
  }
}

TEST(TitleOrder, SortKeyMovesLeadingArticlesToTheEnd) {
  const std::pair<std::string, std::string> cases[] = {
      {"The Castle", "CASTLE, THE"},
      {"A Bridge", "BRIDGE, A"},
      {"Moonfall", "MOONFALL"},
      {"A THE CASTLE", "CASTLE, A, THE"},
      {"THE A Road", "A ROAD, THE"},  // "A " is moved only when it comes first
      {"the lost key", "LOST KEY, THE"},
      {"A", "A"},
      {"THE", "THE"},
      {"A ", ", A"},
      {"Theatre", "THEATRE"},
      {"Anchor", "ANCHOR"},
      {"caf\xe9 [\xe0]", "CAF\xe9 [\xe0]"},  // only a to z change
      {"", ""},
  };
  for (const auto& [title, key] : cases) EXPECT_EQ(TitleSortKey(title), key) << title;
}

std::vector<std::string> SortedTitles(const std::vector<std::string>& titles) {
  std::vector<TFileInfo> infos(titles.size());
  for (std::size_t i = 0; i < titles.size(); ++i) infos[i].Title = titles[i];
  std::vector<const TFileInfo*> order;
  for (const TFileInfo& info : infos) order.push_back(&info);
  std::stable_sort(order.begin(), order.end(), [](const TFileInfo* a, const TFileInfo* b) { return TitleLess(*a, *b); });
  std::vector<std::string> sorted;
  for (const TFileInfo* info : order) sorted.push_back(info->Title);
  return sorted;
}

TEST(TitleOrder, TitleLessComparesKeysByteByByte) {
  EXPECT_EQ(SortedTitles({"The Castle", "A Bridge", "Moonfall"}),
            (std::vector<std::string>{"A Bridge", "The Castle", "Moonfall"}));
  // Bytes from 0x80 up sort after every ASCII letter; a prefix sorts first;
  // letters are compared in upper case, so "a" (0x41) comes before "[" (0x5B).
  EXPECT_EQ(SortedTitles({"\xc4pfel", "Zebra", "Moonfall", "Moon", "[Bracket]", "apple", "\x7f"}),
            (std::vector<std::string>{"apple", "Moon", "Moonfall", "Zebra", "[Bracket]", "\x7f", "\xc4pfel"}));
  TFileInfo a, b;
  a.Title = "The Castle";
  b.Title = "castle, the";
  EXPECT_FALSE(TitleLess(a, b));
  EXPECT_FALSE(TitleLess(b, a));
}

}  // namespace
