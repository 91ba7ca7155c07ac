// The hint file format as the reader sees it: lines and the end of the text
// part, hunk headers, line 3 numbers, and the places the checksum may sit.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/checksum.h"
#include "model/datahunks.h"
#include "model/hintreader.h"
#include "model/itemshunk.h"
#include "model/loader.h"
#include "model/pngobject.h"
#include "model/texthunk.h"
#include "support/fixtures.h"
#include "support/treehelpers.h"

namespace {

TItemsHunk* ItemsOf(TZEBObject* object) { return dynamic_cast<TItemsHunk*>(object); }
THunk* NodeOf(TZEBObject* object) { return dynamic_cast<THunk*>(object); }

// One line per object: kind, title or text, line number and count, flags.
void Dump(const TZEBObject& object, int depth, std::ostringstream& out) {
  out << std::string(2 * depth, ' ') << int(object.KindCode()) << " [" << object.Text << "]";
  if (const auto* node = dynamic_cast<const THunk*>(&object)) out << " @" << node->LineNumber << "/" << node->LineCount;
  out << " e" << int(object.EndsLine) << " r" << int(object.IsRule) << " f" << int(object.UseFixedFont) << "\n";
  if (const auto* items = dynamic_cast<const TItemsHunk*>(&object))
    for (const TZEBObject* item : items->Items) Dump(*item, depth + 1, out);
}

std::string DumpList(const TObjectList& list) {
  std::ostringstream out;
  for (const auto& object : list) Dump(*object, 0, out);
  return out.str();
}

std::vector<std::string> ReadAllLines(const std::string& bytes) {
  TTempDir dir;
  THintReader reader;
  EXPECT_TRUE(reader.Open(dir.Write("lines.zeb", bytes)));
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) {
    lines.push_back(line);
    if (lines.size() > bytes.size() + 1) break;  // a reader that never ends
  }
  return lines;
}

}  // namespace

// ---- lines and the end of the text part ------------------------------------

TEST(HintReaderLines, LineEndsAndEndOfText) {
  const std::string longLine(THintReader::MaxLine, 'x');
  // Lines that put a CR and its LF on either side of 64 KiB.
  const std::string filler = std::string(9998, 'f') + "\r\n";
  std::string beforeEdge;
  for (int i = 0; i < 6; ++i) beforeEdge += filler;
  const std::string atBufferEdge(65535 - beforeEdge.size(), 'y');
  struct TCase {
    const char* What;
    std::string Bytes;
    std::vector<std::string> Lines;
  } cases[] = {
      {"CR LF is one line end", "a\r\nb\r\n", {"a", "b"}},
      {"LF alone ends a line; the last line needs no end", "a\nb", {"a", "b"}},
      {"a lone CR is an ordinary character", "a\rb\r\n", {"a\rb"}},
      {"only the CR right before LF belongs to the end", "a\r\r\nb", {"a\r", "b"}},
      {"a CR at the very end stays", "tail\r", {"tail\r"}},
      {"empty lines are lines", "\r\n\r\nx", {"", "", "x"}},
      {"the text ends at the first 0x1A", "one\r\ntwo\x1a" "three\r\n\x1a", {"one", "two"}},
      {"a CR before 0x1A is ordinary", "a\r\x1a\n", {"a\r"}},
      {"0x1A first: no text at all", "\x1a" "a\r\n", {}},
      {"empty file", "", {}},
      {"lines of the longest length are read whole", longLine + "\r\n" + longLine + "\n" + longLine,
       {longLine, longLine, longLine}},
      {"CR LF across a buffer edge", beforeEdge + atBufferEdge + "\r\nz",
       {filler.substr(0, 9998), filler.substr(0, 9998), filler.substr(0, 9998), filler.substr(0, 9998),
        filler.substr(0, 9998), filler.substr(0, 9998), atBufferEdge, "z"}},
      {"0x1A after a long line", longLine + "\x1a" "after\r\n", {longLine}},
  };
  for (const TCase& c : cases) EXPECT_EQ(ReadAllLines(c.Bytes), c.Lines) << c.What;
}

// A line longer than a line may be fails the reader after little more than
// that length: reading never holds a whole file without line feeds.
TEST(HintReaderLines, ALineLongerThanTheLongestFailsTheReader) {
  const std::size_t max = THintReader::MaxLine;
  struct TCase {
    const char* What;
    std::string Bytes;
    std::size_t GoodLines;  // lines read before the long one
  } cases[] = {
      {"one byte too long, with CR LF", "a\r\n" + std::string(max + 1, 'x') + "\r\nb\r\n", 1},
      {"one byte too long, with LF", std::string(max + 1, 'x') + "\nb\n", 0},
      {"one byte too long at the end of the text", "a\n" + std::string(max + 1, 'x') + "\x1a", 1},
      {"a CR that is no line end counts", std::string(max, 'x') + "\r\r\n", 0},
      {"far longer than the buffer", "a\n" + std::string(300000, 'x') + "\n", 1},
  };
  TTempDir dir;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    for (const bool view : {false, true}) {
      THintReader reader;
      ASSERT_TRUE(reader.Open(dir.Write("long.zeb", c.Bytes)));
      std::string line;
      std::string scratch;
      std::string_view seen;
      const auto next = [&] { return view ? reader.ReadLineView(seen, scratch) : reader.ReadLine(line); };
      for (std::size_t i = 0; i < c.GoodLines; ++i) ASSERT_TRUE(next());
      EXPECT_FALSE(next());
      EXPECT_TRUE(reader.Failed());
      EXPECT_TRUE(reader.LineTooLong());
      EXPECT_FALSE(next());  // and stays failed
    }
  }
  // Blanks before a number are part of a line too.
  THintReader reader;
  ASSERT_TRUE(reader.Open(dir.Write("blanks.zeb", std::string(max + 2, ' ') + "7\r\n")));
  std::int32_t value = 0;
  EXPECT_FALSE(reader.ReadNumber(value));
  EXPECT_TRUE(reader.LineTooLong());
  THintReader lines;
  ASSERT_TRUE(lines.Open(dir.Write("lines.zeb", std::string(max, ' ') + "\r\n" + std::string(max, ' ') + "7\r\n")));
  EXPECT_TRUE(lines.ReadNumber(value));
  EXPECT_EQ(value, 7);
}

// A file of several gigabytes without a line feed (sparse: it costs no disk)
// is read only as far as its first line may reach.
TEST(HintReaderLines, AHugeFileWithoutLineFeedsIsReadOnlyAsFarAsALine) {
  TTempDir dir;
  const std::string path = (dir.Path() / "huge.zeb").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << "ZEB\r\nTitle\r\n";
  }
  std::filesystem::resize_file(path, std::uintmax_t{4} << 30);
  THintReader reader;
  ASSERT_TRUE(reader.Open(path));
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_TRUE(reader.LineTooLong());
  EXPECT_LT(reader.Tell(), static_cast<std::int64_t>(THintReader::MaxLine) + 2 * 65536);
  EXPECT_LT(line.capacity(), THintReader::MaxLine + 2 * 65536);
}

TEST(HintReaderLines, NumbersSkipBlanksAndLineEndsAndStopAtEndOfText) {
  TTempDir dir;
  THintReader reader;
  ASSERT_TRUE(reader.Open(dir.Write("n.zeb", " 12\r\n\r\n\t7 3\nrest\r\n45\x1a" "67")));
  std::int32_t a = 0, b = 0, c = 0;
  ASSERT_TRUE(reader.ReadNumber(a));
  ASSERT_TRUE(reader.ReadNumber(b));
  ASSERT_TRUE(reader.ReadNumber(c));
  EXPECT_EQ(a, 12);
  EXPECT_EQ(b, 7);
  EXPECT_EQ(c, 3);
  std::string line;
  reader.ReadLine(line);  // the rest of the line of the 3
  EXPECT_EQ(line, "");
  reader.ReadLine(line);
  EXPECT_EQ(line, "rest");
  std::int32_t d = 0;
  ASSERT_TRUE(reader.ReadNumber(d));
  EXPECT_EQ(d, 45);  // not 4567: the 0x1A ends the text
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_FALSE(reader.ReadNumber(d));
  EXPECT_TRUE(reader.Failed());
}

TEST(HintReaderLines, ANumberFollowedByOtherCharactersFails) {
  TTempDir dir;
  THintReader reader;
  ASSERT_TRUE(reader.Open(dir.Write("n.zeb", "12x\r\n")));
  std::int32_t value = 0;
  EXPECT_FALSE(reader.ReadNumber(value));
  EXPECT_TRUE(reader.Failed());
}

// ---- whole files -------------------------------------------------------

TEST(FirstLine, OnlyExactlyZebOpensAFile) {
  struct TCase {
    std::string FirstLine;
    int Code;
  } cases[] = {
      {"ZEB\r\n", LoadResult::Loaded},
      {"ZEB\n", LoadResult::Loaded},
      {"ZEB \r\n", LoadResult::NotHintFile},
      {" ZEB\r\n", LoadResult::NotHintFile},
      {"zeb\r\n", LoadResult::NotHintFile},
      {"ZEB\r\r\n", LoadResult::NotHintFile},  // the line is "ZEB" and a CR
      {"ZEBRA\r\n", LoadResult::NotHintFile},
      {"\r\n", LoadResult::NotHintFile},
      {"P\r\n", LoadResult::NotHintFile},
      {"Pk\r\n", LoadResult::NotHintFile},
      {"PK\r\n", LoadResult::ZipArchive},
      {std::string("PK\x03\x04\x14\x00\x00\x00", 8), LoadResult::ZipArchive},
  };
  for (const TCase& c : cases) {
    // The rest is an oldest-generation file, which needs no checksum.
    auto loaded = LoadFile(c.FirstLine + "Title\r\n1 0\r\nnote\r\n");
    EXPECT_EQ(loaded->Code, c.Code) << "first line [" << c.FirstLine << "]";
    EXPECT_EQ(loaded->List.empty(), c.Code != LoadResult::Loaded) << c.FirstLine;
  }
}

namespace {
// A newer file with a varied tree: every line kind the reader meets.
THintFileWriter VariedFile() {
  THintFileWriter w;
  w.Subjects = {{"Where", {{"How do I start?", {"Look around.", "Open the door."}}}}};
  w.NoteLines = {"Thanks for reading."};
  auto inner = Hint("Inner", {"Hidden deeper"});
  auto question = Hint("Question", {"First hint", "-", "Second hint #p-fixed#p+ text"});
  w.Hunks = {
      Subject("Root", {question, NestHint("Nested", {"Masked text line", "-", inner, "After"}),
                       PlainHunk("COMMENT", "Remark", {"a\rb", "plain comment"}), w.Text("Notes", 1, {"Data line"}),
                       w.HyperPng("Picture", TinyPng(2, 2), {{0, 0, 1, 1, Link("To question", question)}})}),
      PlainHunk("VERSION", "96a", {"compiler 1"}),
      PlainHunk("INFO", "Credits", {"AUTHOR=Someone"}),
  };
  return w;
}
}  // namespace

TEST(LineEnds, FileWithLfOnlyLoadsTheSameTreeAsWithCrLf) {
  THintFileWriter crlf = VariedFile();
  THintFileWriter lf = VariedFile();
  lf.LineEnd = "\n";
  auto a = LoadFile(crlf.Build());
  auto b = LoadFile(lf.Build());
  ASSERT_EQ(a->Code, LoadResult::Loaded);
  ASSERT_EQ(b->Code, LoadResult::Loaded);
  const std::string tree = DumpList(a->List);
  EXPECT_EQ(DumpList(b->List), tree);
  // The comparison means something only if the tree was read in full.
  for (const char* text : {"[Open the door.]", "[Hidden deeper]", "[After]", "[Data line]", "[a\rb]", "[To question]"})
    EXPECT_NE(tree.find(text), std::string::npos) << text;
}

TEST(LineEnds, NothingAfterTheFirst0x1AIsReadAsText) {
  THintFileWriter w;
  auto comment = PlainHunk("COMMENT", "Short", {"only line"});
  comment->CountOverride = 8;  // claims lines that would lie past the 0x1A
  w.Hunks = {Subject("Root", {comment})};
  // Data that looks like lines of text, after the 0x1A.
  w.AddBlob("more\r\n3 COMMENT\r\nHidden\r\nline\r\n");
  auto loaded = LoadFile(w.Build());
  ASSERT_EQ(loaded->Code, LoadResult::Loaded);
  TItemsHunk* root = NewerRoot(*loaded);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->ItemCount(), 1u);
  auto* read = ItemsOf(root->ItemAt(0));
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(read->ItemCount(), 1u);
  EXPECT_EQ(read->ItemAt(0)->Text, "only line");
  EXPECT_EQ(DumpList(loaded->List).find("Hidden"), std::string::npos);
  EXPECT_EQ(loaded->List.size(), 3u);  // 88a node, root, default INFO
}

// ---- hunk headers ------------------------------------------------------

TEST(HunkHeader, KeywordIsTheRestOfTheLineAfterOneSeparator) {
  struct TCase {
    std::string Separator;
    std::string Keyword;
    std::uint8_t Kind;
  } cases[] = {
      {" ", "SUBJECT", Kind::Subject},
      {" ", "subject", Kind::Subject},
      {" ", "SuBjEcT", Kind::Subject},
      {"\t", "SUBJECT", Kind::Subject},    // the one separator may be any character
      {"  ", "HINT", Kind::Unknown},       // keyword " HINT"
      {"  ", "SUBJECT", Kind::Unknown},    // keyword " SUBJECT"
      {" ", "SUBJECT ", Kind::Unknown},    // trailing space
      {" ", "SUBJECTS", Kind::Unknown},
      {" ", "", Kind::Unknown},
      {" ", "C0MMENT", Kind::Unknown},
      {" ", std::string(79, 'X'), Kind::Unknown},
  };
  for (const TCase& c : cases) {
    THintFileWriter w;
    auto probe = MakeHunk(c.Keyword, "Probe");
    probe->Separator = c.Separator;
    probe->Nest(PlainHunk("COMMENT", "Inner", {"inner line"}));
    auto after = PlainHunk("COMMENT", "After", {"x"});
    w.Hunks = {Subject("Root", {probe, after})};
    auto loaded = LoadFile(w.Build());
    const std::string what = "[" + c.Separator + "][" + c.Keyword + "]";
    ASSERT_EQ(loaded->Code, LoadResult::Loaded) << what;
    TItemsHunk* root = NewerRoot(*loaded);
    ASSERT_NE(root, nullptr) << what;
    ASSERT_EQ(root->ItemCount(), 2u) << what;
    THunk* read = NodeOf(root->ItemAt(0));
    ASSERT_NE(read, nullptr) << what;
    EXPECT_EQ(read->KindCode(), c.Kind) << what;
    EXPECT_EQ(read->Text, "Probe") << what;
    EXPECT_EQ(read->LineCount, 5) << what;
    if (c.Kind == Kind::Subject) {
      ASSERT_EQ(ItemsOf(read)->ItemCount(), 1u) << what;
      EXPECT_EQ(ItemsOf(read)->ItemAt(0)->Text, "Inner") << what;
    }
    // Whatever the kind, the body was consumed exactly: the next hunk starts right after it.
    THunk* next = NodeOf(root->ItemAt(1));
    ASSERT_NE(next, nullptr) << what;
    EXPECT_EQ(next->Text, "After") << what;
    EXPECT_EQ(next->LineNumber, after->LineNumber) << what;
    EXPECT_EQ(next->LineNumber, read->LineNumber + 5) << what;
  }
}

TEST(HunkHeader, LinkReadsThreeLinesWhateverItsCountSays) {
  THintFileWriter w;
  auto target = PlainHunk("COMMENT", "Target", {"t"});
  auto link = Link("Go", target);
  link->CountOverride = 5;
  auto hint = Hint("Question", {"Answer"});
  w.Hunks = {Subject("Root", {target, link, hint})};
  auto loaded = LoadFile(w.Build());
  ASSERT_EQ(loaded->Code, LoadResult::Loaded);
  TItemsHunk* root = NewerRoot(*loaded);
  ASSERT_NE(root, nullptr);
  // Lines 4 and 5 of the "5 LINK" hunk are the header and title of the HINT.
  ASSERT_EQ(root->ItemCount(), 3u);
  auto* readLink = dynamic_cast<TLinkHunk*>(root->ItemAt(1));
  ASSERT_NE(readLink, nullptr);
  EXPECT_EQ(readLink->LineCount, 5);
  EXPECT_EQ(readLink->TargetLine, target->LineNumber);
  THunk* readHint = NodeOf(root->ItemAt(2));
  ASSERT_NE(readHint, nullptr);
  EXPECT_EQ(readHint->KindCode(), Kind::Hint);
  EXPECT_EQ(readHint->Text, "Question");
  EXPECT_EQ(readHint->LineNumber, readLink->LineNumber + 3);
  ASSERT_EQ(ItemsOf(readHint)->ItemCount(), 1u);
  EXPECT_EQ(ItemsOf(readHint)->ItemAt(0)->Text, "Answer");
}

// ---- numbers on line 3 -------------------------------------------------

TEST(LineThreeNumbers, OneTrailingCharacterIsSkippedWithTheLineEnd) {
  struct TCase {
    const char* What;
    std::function<TWHunkPtr(THintFileWriter&)> Make;
    std::function<void(TZEBObject*, const TWHunkPtr&)> Check;
  };
  const auto dataLength = [](std::int32_t expected) {
    return [expected](TZEBObject* object, const TWHunkPtr&) {
      std::int32_t length = -1;
      if (auto* data = dynamic_cast<TDataHunk*>(object)) length = data->DataLength;
      if (auto* overlay = dynamic_cast<TOverlayHunk*>(object)) length = overlay->DataLength;
      if (auto* png = dynamic_cast<THyperPNGHunk*>(object)) length = png->Image() ? png->Image()->DataLength : -2;
      EXPECT_EQ(length, expected);
    };
  };
  const std::string png = TinyPng(3, 2);
  TCase cases[] = {
      {"GIFA", [](THintFileWriter& w) { return w.Gifa("G", std::string(11, 'g')); }, dataLength(11)},
      {"SOUND", [](THintFileWriter& w) { return w.Sound("S", std::string(7, 's')); }, dataLength(7)},
      {"OVERLAY", [&](THintFileWriter& w) { return w.Overlay("O", png, 1, 2); }, dataLength(std::int32_t(png.size()))},
      {"HYPERPNG", [&](THintFileWriter& w) { return w.HyperPng("P", png); }, dataLength(std::int32_t(png.size()))},
      {"TEXT", [](THintFileWriter& w) { return w.Text("T", 0, {"Text data"}); },
       [](TZEBObject* object, const TWHunkPtr&) {
         auto* text = dynamic_cast<TTextHunk*>(object);
         ASSERT_NE(text, nullptr);
         ASSERT_EQ(text->ItemCount(), 1u);
         EXPECT_EQ(text->ItemAt(0)->Text, "Text data");
       }},
      {"LINK", [](THintFileWriter&) { return LinkToLine("L", 1); },
       [](TZEBObject* object, const TWHunkPtr&) {
         auto* link = dynamic_cast<TLinkHunk*>(object);
         ASSERT_NE(link, nullptr);
         EXPECT_EQ(link->TargetLine, 1);
       }},
  };
  for (const TCase& c : cases) {
    for (const char* lineEnd : {"\r\n", "\n"}) {
      for (const char* trailing : {"", " ", "\t"}) {
        THintFileWriter w;
        w.LineEnd = lineEnd;
        TWHunkPtr probe = c.Make(w);
        probe->Body.front().Pieces.push_back(TWPiece::Literal(trailing));
        auto after = PlainHunk("COMMENT", "After", {"x"});
        w.Hunks = {Subject("Root", {probe, after})};
        auto loaded = LoadFile(w.Build());
        const std::string what = std::string(c.What) + (lineEnd[0] == '\n' ? " LF" : " CRLF") + " [" + trailing + "]";
        ASSERT_EQ(loaded->Code, LoadResult::Loaded) << what;
        TItemsHunk* root = NewerRoot(*loaded);
        ASSERT_NE(root, nullptr) << what;
        ASSERT_EQ(root->ItemCount(), 2u) << what;
        SCOPED_TRACE(what);
        c.Check(root->ItemAt(0), probe);
        THunk* next = NodeOf(root->ItemAt(1));
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->Text, "After");
        EXPECT_EQ(next->LineNumber, after->LineNumber);
      }
    }
  }
}

// ---- where the checksum may sit ------------------------------------------

namespace {
// The picture's data lies between the 0x1A and the end of the file, so that
// the file end and the place right after the 0x1A are different candidates.
THintFileWriter SmallNewerFile() {
  THintFileWriter w;
  w.Hunks = {Subject("Root", {Hint("Question", {"Answer"}), w.HyperPng("Picture", TinyPng(2, 2))})};
  return w;
}

// A file whose only checksum is the last two bytes of its GIFA data, with the
// GIFA hunk placed by `place` (inside the root's subtree or not).
std::string ChecksumInGifaData(bool insideRoot) {
  THintFileWriter w;
  w.Checksum = THintFileWriter::TChecksum::None;
  auto gifa = w.Gifa("Animation", std::string(16, 'g'));
  if (insideRoot) {
    w.Hunks = {Subject("Root", {Subject("Deeper", {gifa})})};
  } else {
    w.Hunks = {Subject("Root", {Hint("Question", {"Answer"})}), gifa};
  }
  std::string file = w.Build();  // the GIFA data is last
  const std::uint16_t sum = HintChecksum(std::string_view(file).substr(0, file.size() - 2));
  file[file.size() - 2] = static_cast<char>(sum & 0xFF);
  file[file.size() - 1] = static_cast<char>(sum >> 8);
  return file + "JUNK";
}

std::string WithLengthLine(std::vector<TWPiece> value, bool junkAfter) {
  THintFileWriter w = SmallNewerFile();
  auto info = MakeHunk("INFO", "Credits");
  std::vector<TWPiece> pieces = {TWPiece::Literal("LENGTH=")};
  for (TWPiece& piece : value) pieces.push_back(std::move(piece));
  info->Pieces(std::move(pieces));
  w.Hunks.push_back(info);
  return w.Build() + (junkAfter ? "trailing bytes" : "");
}
}  // namespace

TEST(ChecksumPlaces, AcceptedAtAnyCandidateAndOnlyThere) {
  using TWriter = THintFileWriter;
  struct TCase {
    const char* What;
    std::function<std::string()> Bytes;
    int Code;
  } cases[] = {
      {"at the end of the file", [] { return SmallNewerFile().Build(); }, LoadResult::Loaded},
      {"at the end, then trailing bytes",
       [] { return SmallNewerFile().Build() + "xy"; }, LoadResult::BadChecksum},
      {"right after the 0x1A, data and trailing bytes after it",
       [] {
         TWriter w;
         w.ChecksumPlace = TWriter::TChecksumPlace::AfterEndOfText;
         w.Hunks = {Subject("Root", {w.HyperPng("Picture", TinyPng(4, 4)), w.Text("Notes", 0, {"Data"})})};
         return w.Build() + "trailing";
       },
       LoadResult::Loaded},
      {"at the end of the last GIFA data in the root's subtree", [] { return ChecksumInGifaData(true); },
       LoadResult::Loaded},
      {"GIFA data outside the root's subtree does not count", [] { return ChecksumInGifaData(false); },
       LoadResult::BadChecksum},
      {"LENGTH= names the true end, trailing bytes after it",
       [] { return WithLengthLine({TWPiece::LengthOfFile()}, true); }, LoadResult::Loaded},
      {"LENGTH= replaces the file end even where that would match",
       [] { return WithLengthLine({TWPiece::Number(40)}, false); }, LoadResult::BadChecksum},
      {"LENGTH= beyond the file", [] { return WithLengthLine({TWPiece::Number(1 << 30)}, false); },
       LoadResult::BadChecksum},
      {"LENGTH=0 replaces nothing", [] { return WithLengthLine({TWPiece::Number(0)}, false); }, LoadResult::Loaded},
      {"wrong checksum", [] {
         TWriter w = SmallNewerFile();
         w.Checksum = TWriter::TChecksum::Wrong;
         return w.Build();
       },
       LoadResult::BadChecksum},
      {"wrong checksum after the 0x1A", [] {
         TWriter w = SmallNewerFile();
         w.Checksum = TWriter::TChecksum::Wrong;
         w.ChecksumPlace = TWriter::TChecksumPlace::AfterEndOfText;
         return w.Build();
       },
       LoadResult::BadChecksum},
      {"no checksum", [] {
         TWriter w = SmallNewerFile();
         w.Checksum = TWriter::TChecksum::None;
         return w.Build();
       },
       LoadResult::BadChecksum},
      {"no 0x1A: the last two bytes", [] {
         TWriter w;  // no data either: PNG data holds a 0x1A of its own
         w.Hunks = {Subject("Root", {Hint("Question", {"Answer"})})};
         w.EndOfTextByte = false;
         return w.Build();
       },
       LoadResult::Loaded},
      {"no 0x1A and a wrong checksum", [] {
         TWriter w;  // no data either: PNG data holds a 0x1A of its own
         w.Hunks = {Subject("Root", {Hint("Question", {"Answer"})})};
         w.EndOfTextByte = false;
         w.Checksum = TWriter::TChecksum::Wrong;
         return w.Build();
       },
       LoadResult::BadChecksum},
      {"oldest generation: nothing to check", [] {
         TWriter w;
         w.Subjects = {{"S", {{"Q", {"H"}}}}};
         w.NoteLines = {"note"};
         w.EndMarker = false;
         return w.Build() + "\x1a" "anything";
       },
       LoadResult::Loaded},
  };
  for (const TCase& c : cases) {
    auto loaded = LoadFile(c.Bytes());
    EXPECT_EQ(loaded->Code, c.Code) << c.What;
    // A rejected file leaves nothing behind.
    EXPECT_EQ(loaded->List.empty(), c.Code != LoadResult::Loaded) << c.What;
  }
}
