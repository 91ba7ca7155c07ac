// The scramblers and the file writer: everything a scheme can carry comes
// back unchanged through the reader's decoders, everything else is refused
// with a clear error, and the writer's layout options give the files the
// tests of the reader rely on.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "authoring/encoders.h"
#include "authoring/hintwriter.h"
#include "model/checksum.h"
#include "model/datahunks.h"
#include "model/encodings.h"
#include "model/incentivehunk.h"
#include "model/infohunk.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"
#include "model/texthunk.h"
#include "support/fixtures.h"

namespace {

const std::string PngSignature("\x89PNG\r\n\x1a\n", 8);

// ---- scrambling schemes ------------------------------------------------------

using TByteSet = std::array<bool, 256>;

struct TScheme {
  std::string Name;
  std::function<std::string(std::string_view)> Encode;
  std::function<void(std::string&)> Decode;
  std::string Avoid;  // further bytes the scrambled text must not hold
};

std::vector<TScheme> Schemes() {
  std::vector<TScheme> schemes;
  schemes.push_back({"88a", [](std::string_view plain) { return Encode88a(plain); }, [](std::string& line) { Decode88a(line); }, ""});
  const std::vector<std::string> titles = {"Q", "The Tower", std::string("\xE9t\xE9 \xC0 Paris \xFF"),
                                           "A title that is rather longer than most titles are"};
  for (const std::string& title : titles) {
    const std::string mask = TitleMask(title);
    for (const auto& [variantOfLoop, name] : {std::pair{TMaskVariant::NestedHint, "nested"},
                                              std::pair{TMaskVariant::TextData, "text data"}}) {
      const TMaskVariant variant = variantOfLoop;
      for (const std::string avoid : {"", "#"}) {
        schemes.push_back({std::string("mask ") + name + " of \"" + title + "\"" + (avoid.empty() ? "" : " avoiding #"),
                           [mask, variant, avoid](std::string_view plain) {
                             return EncodeWithMask(plain, mask, variant, avoid);
                           },
                           [mask, variant](std::string& line) { DecodeWithMask(line, mask, variant); }, avoid});
      }
    }
  }
  return schemes;
}

// The plain bytes each position of a line can hold: the decodings of every
// scrambled byte that neither breaks a line nor is to be avoided.
std::vector<TByteSet> Carriable(const TScheme& scheme, std::size_t length) {
  std::vector<TByteSet> carriable(length, TByteSet{});
  for (int e = 0; e < 256; ++e) {
    const char byte = static_cast<char>(e);
    if (LineBreakingBytes.find(byte) != std::string_view::npos) continue;
    if (scheme.Avoid.find(byte) != std::string::npos) continue;
    std::string line(length, byte);
    scheme.Decode(line);
    for (std::size_t i = 0; i < length; ++i) carriable[i][static_cast<unsigned char>(line[i])] = true;
  }
  return carriable;
}

unsigned char FirstCarriable(const TByteSet& set) {
  for (int b = 'a'; b < 256; ++b)
    if (set[b]) return static_cast<unsigned char>(b);
  for (int b = 0; b < 256; ++b)
    if (set[b]) return static_cast<unsigned char>(b);
  return 0;
}

// A line that holds `byte` wherever the scheme can carry it, and filler elsewhere.
std::string LineOf(const std::vector<TByteSet>& carriable, unsigned char byte) {
  std::string line;
  for (const TByteSet& set : carriable) line += static_cast<char>(set[byte] ? byte : FirstCarriable(set));
  return line;
}

std::string HexName(unsigned char byte) {
  char name[8];
  std::snprintf(name, sizeof name, "0x%02X", byte);
  return name;
}

constexpr std::size_t LineLength = 300;  // past the mask length and past i + 40 > 255

}  // namespace

TEST(Scrambling, EveryCarriableByteRoundTripsAtEveryPosition) {
  for (const TScheme& scheme : Schemes()) {
    SCOPED_TRACE(scheme.Name);
    const std::vector<TByteSet> carriable = Carriable(scheme, LineLength);
    for (int byte = 0; byte < 256; ++byte) {
      const std::string plain = LineOf(carriable, static_cast<unsigned char>(byte));
      std::string scrambled;
      ASSERT_NO_THROW(scrambled = scheme.Encode(plain)) << HexName(byte);
      ASSERT_EQ(scrambled.size(), plain.size());
      EXPECT_EQ(scrambled.find_first_of(std::string(LineBreakingBytes) + scheme.Avoid), std::string::npos)
          << HexName(byte);
      std::string decoded = scrambled;
      scheme.Decode(decoded);
      ASSERT_EQ(decoded, plain) << HexName(byte);
    }
  }
}

TEST(Scrambling, AByteTheSchemeCannotCarryIsAClearError) {
  for (const TScheme& scheme : Schemes()) {
    SCOPED_TRACE(scheme.Name);
    const std::vector<TByteSet> carriable = Carriable(scheme, LineLength);
    for (const std::size_t at : {std::size_t{0}, std::size_t{1}, std::size_t{8}, std::size_t{215}, LineLength - 1}) {
      for (int byte = 0; byte < 256; ++byte) {
        if (carriable[at][byte]) continue;
        std::string plain = LineOf(carriable, 'a');
        plain[at] = static_cast<char>(byte);
        try {
          scheme.Encode(plain);
          ADD_FAILURE() << HexName(byte) << " at " << at << " was accepted";
        } catch (const TWriterError& error) {
          const std::string message = error.what();
          EXPECT_NE(message.find(HexName(static_cast<unsigned char>(byte))), std::string::npos) << message;
          EXPECT_NE(message.find("position " + std::to_string(at)), std::string::npos) << message;
        }
      }
    }
  }
}

TEST(Scrambling, The88aSubstitutionCarriesAllButEvenHighBytesAndLineBreaks) {
  // Scrambled bytes 32 to 79 give the even characters below 127, 80 and up
  // give odd characters only, and bytes below 32 pass unchanged; LF and 0x1A
  // would end the line or the text.
  const TScheme scheme = Schemes().front();
  const TByteSet carriable = Carriable(scheme, 1).front();
  for (int byte = 0; byte < 256; ++byte) {
    const bool expected = !(byte >= 0x80 && byte % 2 == 0) && byte != '\n' && byte != 0x1A;
    EXPECT_EQ(carriable[byte], expected) << HexName(byte);
  }
  EXPECT_THROW(Encode88a("caf\xE8"), TWriterError);
  EXPECT_THROW(Encode88a("two\nlines"), TWriterError);
  std::string cr = Encode88a("a\rb");  // CR is carried by a byte that is not CR
  EXPECT_EQ(cr.find('\r'), std::string::npos);
  Decode88a(cr);
  EXPECT_EQ(cr, "a\rb");
}

// ---- the writer: lines it refuses ---------------------------------------------

TEST(Writer, RefusesLinesThatWouldBreakTheFile) {
  struct TCase {
    const char* Name;
    std::function<void(THintFileWriter&)> Damage;
  };
  const std::vector<TCase> cases = {
      {"LF in a plain body line", [](THintFileWriter& f) { f.Hunks.front()->Plain("one\ntwo"); }},
      {"LF in a title", [](THintFileWriter& f) { f.Hunks.push_back(PlainHunk("COMMENT", "a\nb")); }},
      {"final CR in a plain line", [](THintFileWriter& f) { f.Hunks.front()->Plain("ends in CR\r"); }},
      {"0x1A in a plain line", [](THintFileWriter& f) { f.Hunks.front()->Plain("stop\x1ahere"); }},
      {"LF in an author's note", [](THintFileWriter& f) { f.NoteLines = {"a\nb"}; }},
      {"LF in the 88a title", [](THintFileWriter& f) { f.Title88a = "a\nb"; }},
      {"LF in a HINT line", [](THintFileWriter& f) { f.Hunks.front()->Nest(Hint("Q", {"a\nb"})); }},
      {"even high byte in a HINT line", [](THintFileWriter& f) { f.Hunks.front()->Nest(Hint("Q", {"caf\xE8"})); }},
      {"even high byte in an 88a hint", [](THintFileWriter& f) { f.Subjects = {{"S", {{"Q", {"caf\xE8"}}}}}; }},
      {"note line equal to the end marker", [](THintFileWriter& f) { f.NoteLines = {EndOf88aMarker}; }},
  };
  for (const TCase& c : cases) {
    THintFileWriter file;
    file.Hunks = {Subject("Root", {Hint("Fine?", {"Yes."})})};
    c.Damage(file);
    EXPECT_THROW(file.Build(), TWriterError) << c.Name;
  }
}

// ---- scrambled lines that must not look like structure -----------------------

namespace {

// Nodes of a loaded list in file order, the list's own objects included.
void CollectNodes(TZEBObject* object, std::vector<THunk*>& nodes) {
  if (!object->IsNode()) return;
  nodes.push_back(static_cast<THunk*>(object));
  if (auto* items = dynamic_cast<TItemsHunk*>(object))
    for (TZEBObject* item : items->Items) CollectNodes(item, nodes);
}

std::vector<THunk*> NodesOf(const TObjectList& list) {
  std::vector<THunk*> nodes;
  for (const auto& object : list) CollectNodes(object.get(), nodes);
  return nodes;
}

THunk* NodeTitled(const TObjectList& list, const std::string& title) {
  for (THunk* node : NodesOf(list))
    if (node->Text == title) return node;
  return nullptr;
}

const std::vector<std::string> RootTitles = {"A", "The Tower", "~~~", std::string("\x80\xFE"), "- = -", "zebra"};

}  // namespace

TEST(Writer, OneCharacterNestHintLinesNeverReadAsSeparatorOrNesting) {
  for (const std::string& title : RootTitles) {
    SCOPED_TRACE(title);
    // A one-character line can be carried when a scrambled byte other than a
    // line break, "-" or "=" decodes to it at position 0.
    const std::string mask = TitleMask(title);
    TByteSet carriable{};
    for (int e = 0; e < 256; ++e) {
      if (std::string_view("\n\r\x1a-=").find(static_cast<char>(e)) != std::string_view::npos) continue;
      std::string line(1, static_cast<char>(e));
      DecodeWithMask(line, mask, TMaskVariant::NestedHint);
      carriable[static_cast<unsigned char>(line[0])] = true;
    }
    std::vector<TWNestItem> lines;
    std::vector<std::string> expected;
    for (int c = 0x20; c < 256; ++c) {
      const std::string line(1, static_cast<char>(c));
      if (line == "-") continue;  // written as the separator
      if (!carriable[c]) {
        THintFileWriter alone;
        alone.Hunks = {Subject(title, {NestHint("Q", {line})})};
        EXPECT_THROW(alone.Build(), TWriterError) << HexName(static_cast<unsigned char>(c));
        continue;
      }
      lines.emplace_back(line);
      expected.push_back(line);
    }
    for (const char c : std::string_view("09AZaz.?!'\" ")) EXPECT_TRUE(carriable[static_cast<unsigned char>(c)]) << c;
    THintFileWriter file;
    file.Hunks = {Subject(title, {NestHint("Q", lines)})};
    TLoaded loaded;
    LoadBytes(file.Build(), loaded);
    ASSERT_EQ(loaded.Code, LoadResult::Loaded);
    const auto* hint = dynamic_cast<const TMetaTextHunk*>(NodeTitled(loaded.List, "Q"));
    ASSERT_NE(hint, nullptr);
    std::vector<std::string> texts;
    for (const TZEBObject* item : hint->Items) {
      EXPECT_FALSE(item->IsNode());
      EXPECT_FALSE(item->IsRule);
      texts.push_back(item->Text);
    }
    EXPECT_EQ(texts, expected);
  }
}

TEST(Writer, IncentiveLinesHoldNoMarkupSign) {
  for (const std::string& title : RootTitles) {
    SCOPED_TRACE(title);
    THintFileWriter file;
    std::vector<std::vector<TWIncentiveEntry>> lines;
    std::vector<std::string> expected;
    // Many lengths and digits, so that every position meets many keys; the
    // classes are not Y or Z, so the list removes nothing.
    for (int n = 0; n < 40; ++n) {
      std::vector<TWIncentiveEntry> entries;
      std::string text;
      for (int k = 0; k <= n % 9; ++k) {
        const std::int32_t line = 1 + n * 37 + k * 1001;
        const char letter = static_cast<char>('A' + (n + k) % 24);  // A to X
        entries.push_back({.Target = nullptr, .Line = line, .Class = letter});
        text += (k == 0 ? "" : " ") + std::to_string(line) + letter;
      }
      lines.push_back(entries);
      expected.push_back(text);
    }
    file.Hunks = {Subject(title, {Hint("Kept?", {"Yes."})}), Incentive("List", lines)};
    TLoaded loaded;
    LoadBytes(file.Build(), loaded);
    ASSERT_EQ(loaded.Code, LoadResult::Loaded);
    const auto* list = dynamic_cast<const TIncentiveHunk*>(FindByKind(loaded.List, Kind::Incentive));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      std::string text = list->Items[i]->Text;
      EXPECT_EQ(text.find('#'), std::string::npos) << i;
      DecodeWithMask(text, TitleMask(title), TMaskVariant::NestedHint);
      EXPECT_EQ(text, expected[i]);
    }
  }
}

// ---- layout options -------------------------------------------------------------

namespace {

// A file with nesting at every level that can hold it, and embedded data.
struct TSampleFile {
  THintFileWriter Writer;
  std::map<std::string, TWHunkPtr> Hunks;  // by title
  std::string Png = TinyPng(5, 4);
  std::string OverlayPng = TinyPng(2, 2);
  std::string GifaBytes = "GIF89a: not decoded";
  std::string SoundBytes = std::string(300, '\x01');
  std::vector<std::string> TextLines = {"First line", "Second, longer line of the text", "3"};

  TSampleFile() {
    const auto keep = [this](TWHunkPtr hunk) {
      Hunks[hunk->Title] = hunk;
      return hunk;
    };
    Writer.Title88a = "Old title";
    Writer.Subjects = {{"Old subject", {{"Old question", {"Old hint", "Another"}}}}};
    auto hint = keep(Hint("Hint", {"One", "-", "Two"}));
    auto nested = keep(Hint("Nested", {"Inside"}));
    auto nest = keep(NestHint("Nest", {"Line", "-", nested, "After"}));
    auto overlay = keep(Writer.Overlay("Overlay", OverlayPng, 1, 2));
    auto regionHint = keep(Hint("Region", {"Here"}));
    auto picture = keep(Writer.HyperPng("Picture", Png, {{0, 0, 2, 2, regionHint}, {2, 2, 5, 4, overlay}}));
    auto text = keep(Writer.Text("Text", 1, TextLines));
    auto gifa = keep(Writer.Gifa("Gifa", GifaBytes));
    auto sound = keep(Writer.Sound("Sound", SoundBytes));
    auto inner = keep(Subject("Inner", {hint, nest, keep(Link("Link", hint))}));
    auto root = keep(Subject("Root", {inner, picture, text, gifa, sound, keep(PlainHunk("BLANK", "Blank"))}));
    Writer.Hunks = {root, keep(PlainHunk("VERSION", "96a", {"compiler"})), keep(MakeHunk("INFO", "Info")),
                    keep(PlainHunk("COMMENT", "Last", {"a", "b"}))};
  }
};

std::size_t TextEnd(const std::string& bytes) { return bytes.find('\x1a'); }

// The lines of the newer section, after the end marker.
std::size_t NewerSectionLines(const std::string& bytes, const std::string& lineEnd) {
  const std::string text = bytes.substr(0, TextEnd(bytes));
  const std::size_t start = text.find(std::string(EndOf88aMarker) + lineEnd) + std::string(EndOf88aMarker).size() +
                            lineEnd.size();
  std::size_t lines = 0;
  for (std::size_t at = start; (at = text.find(lineEnd, at)) != std::string::npos; at += lineEnd.size()) ++lines;
  return lines;
}

std::uint16_t StoredAt(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) +
                                    256 * static_cast<unsigned char>(bytes[at + 1]));
}

}  // namespace

TEST(Writer, LineCountsAndNumbersAreTheRealLines) {
  for (const std::string lineEnd : {"\r\n", "\n"}) {
    SCOPED_TRACE(lineEnd.size() == 1 ? "LF" : "CR LF");
    TSampleFile sample;
    sample.Writer.LineEnd = lineEnd;
    const std::string bytes = sample.Writer.Build();
    if (lineEnd == "\n") {
      EXPECT_EQ(bytes.substr(0, TextEnd(bytes)).find('\r'), std::string::npos);
    }

    std::int64_t total = 0;
    for (const TWHunkPtr& hunk : sample.Writer.Hunks) total += hunk->Lines();
    EXPECT_EQ(static_cast<std::int64_t>(NewerSectionLines(bytes, lineEnd)), total);

    TLoaded loaded;
    LoadBytes(bytes, loaded);
    ASSERT_EQ(loaded.Code, LoadResult::Loaded);
    std::size_t checked = 0;
    for (const auto& [title, hunk] : sample.Hunks) {
      const THunk* node = title == "Info" ? static_cast<THunk*>(FindByKind(loaded.List, Kind::Info))
                                          : NodeTitled(loaded.List, title);
      ASSERT_NE(node, nullptr) << title;
      EXPECT_EQ(node->LineCount, hunk->Lines()) << title;
      EXPECT_EQ(node->LineNumber, hunk->LineNumber) << title;
      ++checked;
    }
    EXPECT_EQ(checked, sample.Hunks.size());
    // A link names the header line of its target.
    const auto* link = dynamic_cast<const TLinkHunk*>(NodeTitled(loaded.List, "Link"));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->TargetLine, sample.Hunks["Hint"]->LineNumber);
  }
}

TEST(Writer, DamagedHeadersAsAsked) {
  THintFileWriter file;
  auto shortened = PlainHunk("COMMENT", "Short", {"a", "b", "c"});
  shortened->CountOverride = 2;
  auto spaced = Hint("Spaced", {"x"});
  spaced->Separator = "  ";
  file.Hunks = {Subject("Root", {spaced}), shortened};
  const std::string bytes = file.Build();
  EXPECT_NE(bytes.find("\r\n2 COMMENT\r\nShort\r\na\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n3  HINT\r\nSpaced\r\n"), std::string::npos);

  TLoaded loaded;
  LoadBytes(bytes, loaded);
  ASSERT_EQ(loaded.Code, LoadResult::Loaded);
  const THunk* comment = NodeTitled(loaded.List, "Short");
  ASSERT_NE(comment, nullptr);
  EXPECT_EQ(comment->LineCount, 2);
  const THunk* unknown = NodeTitled(loaded.List, "Spaced");
  ASSERT_NE(unknown, nullptr);
  EXPECT_EQ(unknown->KindCode(), Kind::Unknown);
}

TEST(Writer, ChecksumOptions) {
  struct TCase {
    const char* Name;
    THintFileWriter::TChecksum Checksum;
    THintFileWriter::TChecksumPlace Place;
    int Code;
  };
  const TCase cases[] = {
      {"correct at the end", THintFileWriter::TChecksum::Correct, THintFileWriter::TChecksumPlace::FileEnd, 0},
      {"wrong at the end", THintFileWriter::TChecksum::Wrong, THintFileWriter::TChecksumPlace::FileEnd, 2},
      {"correct after the text", THintFileWriter::TChecksum::Correct,
       THintFileWriter::TChecksumPlace::AfterEndOfText, 0},
      {"wrong after the text", THintFileWriter::TChecksum::Wrong, THintFileWriter::TChecksumPlace::AfterEndOfText, 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TSampleFile sample;
    sample.Writer.Checksum = c.Checksum;
    sample.Writer.ChecksumPlace = c.Place;
    const std::string bytes = sample.Writer.Build();
    const std::size_t z = TextEnd(bytes);
    ASSERT_NE(z, std::string::npos);
    const std::size_t at = c.Place == THintFileWriter::TChecksumPlace::FileEnd ? bytes.size() - 2 : z + 1;
    const bool matches = StoredAt(bytes, at) == HintChecksum(std::string_view(bytes).substr(0, at));
    EXPECT_EQ(matches, c.Checksum == THintFileWriter::TChecksum::Correct);
    if (c.Place == THintFileWriter::TChecksumPlace::AfterEndOfText) {
      // The data follows the checksum: the picture starts right after it.
      EXPECT_EQ(bytes.substr(z + 3, 8), PngSignature);
    }
    TLoaded loaded;
    LoadBytes(bytes, loaded);
    EXPECT_EQ(loaded.Code, c.Code);
  }
}

TEST(Writer, TextLimitCutsTheTextPart) {
  TSampleFile full;
  const std::string whole = full.Writer.Build();
  for (const std::size_t limit : {std::size_t{0}, std::size_t{5}, std::size_t{120}, TextEnd(whole) - 1}) {
    TSampleFile sample;
    sample.Writer.TextLimit = limit;
    const std::string bytes = sample.Writer.Build();
    ASSERT_EQ(TextEnd(bytes), limit);
    // The cut text is the start of the whole text (numbers aside, which
    // follow the data as it moves); the data still follows the 0x1A.
    EXPECT_EQ(bytes.substr(0, std::min<std::size_t>(limit, 60)), whole.substr(0, std::min<std::size_t>(limit, 60)));
    EXPECT_EQ(bytes.substr(limit + 1, 8), PngSignature);
    TLoaded loaded;
    LoadBytes(bytes, loaded);
    EXPECT_GE(loaded.Code, 0);
    EXPECT_LE(loaded.Code, 4);
  }
}

TEST(Writer, LengthLineNamesTheChecksumPlace) {
  for (const auto place : {THintFileWriter::TChecksumPlace::FileEnd, THintFileWriter::TChecksumPlace::AfterEndOfText}) {
    TSampleFile sample;
    sample.Writer.ChecksumPlace = place;
    sample.Hunks["Info"]->Plain("AUTHOR=Me").Pieces({TWPiece::Literal("LENGTH="), TWPiece::LengthOfFile()});
    const std::string bytes = sample.Writer.Build();
    const std::size_t expected =
        place == THintFileWriter::TChecksumPlace::FileEnd ? bytes.size() : TextEnd(bytes) + 3;
    TLoaded loaded;
    LoadBytes(bytes, loaded);
    ASSERT_EQ(loaded.Code, LoadResult::Loaded);
    const auto* info = dynamic_cast<const TInfoHunk*>(FindByKind(loaded.List, Kind::Info));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->FileLength, static_cast<std::int32_t>(expected));
    EXPECT_EQ(info->Author, "Me");
  }
}

TEST(Writer, EmbeddedDataOffsetsPointAtTheData) {
  for (const auto place : {THintFileWriter::TChecksumPlace::FileEnd, THintFileWriter::TChecksumPlace::AfterEndOfText}) {
    TSampleFile sample;
    sample.Writer.ChecksumPlace = place;
    // Enough text that the offsets need more digits than a first guess.
    for (int i = 0; i < 40; ++i) sample.Hunks["Last"]->Plain(std::string(200, 'x'));
    const std::string bytes = sample.Writer.Build();
    TLoaded loaded;
    LoadBytes(bytes, loaded);
    ASSERT_EQ(loaded.Code, LoadResult::Loaded);

    const auto* picture = dynamic_cast<const THyperPNGHunk*>(NodeTitled(loaded.List, "Picture"));
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(picture->Image(), nullptr);
    EXPECT_EQ(bytes.substr(picture->Image()->DataOffset, 8), PngSignature);
    EXPECT_EQ(bytes.substr(picture->Image()->DataOffset, picture->Image()->DataLength), sample.Png);

    const auto* overlay = dynamic_cast<const TOverlayHunk*>(NodeTitled(loaded.List, "Overlay"));
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(bytes.substr(overlay->DataOffset, 8), PngSignature);
    EXPECT_EQ(bytes.substr(overlay->DataOffset, overlay->DataLength), sample.OverlayPng);
    EXPECT_EQ(overlay->X, 1);
    EXPECT_EQ(overlay->Y, 2);

    for (const auto& [title, data] : {std::pair{"Gifa", sample.GifaBytes}, std::pair{"Sound", sample.SoundBytes}}) {
      const auto* node = dynamic_cast<const TDataHunk*>(NodeTitled(loaded.List, title));
      ASSERT_NE(node, nullptr) << title;
      EXPECT_EQ(bytes.substr(node->DataOffset, node->DataLength), data) << title;
    }

    const auto* text = dynamic_cast<const TTextHunk*>(NodeTitled(loaded.List, "Text"));
    ASSERT_NE(text, nullptr);
    std::size_t length = 0;
    for (const std::string& line : sample.TextLines) length += line.size() + 2;
    EXPECT_EQ(text->DataLength, static_cast<std::int32_t>(length));
    EXPECT_EQ(text->TextFlags, 1);
    std::vector<std::string> lines;
    for (const TZEBObject* item : text->Items) lines.push_back(item->Text);
    EXPECT_EQ(lines, sample.TextLines);
  }
}

// ---- TinyPng ------------------------------------------------------------------

namespace {

std::uint32_t Crc32Bitwise(const std::string& bytes) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (const char ch : bytes) {
    c ^= static_cast<unsigned char>(ch);
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ ((c & 1) ? 0xEDB88320u : 0);
  }
  return ~c;
}

std::uint32_t Big32(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
  return v;
}

// The image bytes of a zlib stream made of stored deflate blocks.
std::string InflateStored(const std::string& zlib) {
  EXPECT_EQ((static_cast<unsigned char>(zlib[0]) * 256 + static_cast<unsigned char>(zlib[1])) % 31, 0u);
  EXPECT_EQ(zlib[0] & 0x0F, 8);  // deflate
  std::string raw;
  std::size_t at = 2;
  for (bool last = false; !last;) {
    const unsigned char header = static_cast<unsigned char>(zlib.at(at));
    last = header & 1;
    EXPECT_EQ((header >> 1) & 3, 0) << "only stored blocks are expected";
    const std::size_t n = static_cast<unsigned char>(zlib.at(at + 1)) + 256 * static_cast<unsigned char>(zlib.at(at + 2));
    const std::size_t nn = static_cast<unsigned char>(zlib.at(at + 3)) + 256 * static_cast<unsigned char>(zlib.at(at + 4));
    EXPECT_EQ(n ^ 0xFFFF, nn);
    raw += zlib.substr(at + 5, n);
    at += 5 + n;
  }
  std::uint32_t a = 1, b = 0;
  for (const char ch : raw) {
    a = (a + static_cast<unsigned char>(ch)) % 65521;
    b = (b + a) % 65521;
  }
  EXPECT_EQ(Big32(zlib, at), (b << 16) | a) << "Adler-32";
  EXPECT_EQ(at + 4, zlib.size());
  return raw;
}

}  // namespace

TEST(TinyPng, IsAWellFormedGreyImage) {
  for (const auto& [width, height] : {std::pair{1, 1}, std::pair{8, 6}, std::pair{300, 250}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    const std::string png = TinyPng(width, height);
    ASSERT_EQ(png.substr(0, 8), PngSignature);
    std::vector<std::string> types;
    std::string idat;
    for (std::size_t at = 8; at < png.size();) {
      const std::uint32_t length = Big32(png, at);
      ASSERT_LE(at + 12 + length, png.size());
      const std::string typed = png.substr(at + 4, 4 + length);
      EXPECT_EQ(Big32(png, at + 8 + length), Crc32Bitwise(typed)) << typed.substr(0, 4);
      types.push_back(typed.substr(0, 4));
      const std::string data = typed.substr(4);
      if (types.back() == "IHDR") {
        ASSERT_EQ(data.size(), 13u);
        EXPECT_EQ(Big32(data, 0), static_cast<std::uint32_t>(width));
        EXPECT_EQ(Big32(data, 4), static_cast<std::uint32_t>(height));
        EXPECT_EQ(data.substr(8), std::string("\x08\x00\x00\x00\x00", 5));  // 8-bit grey
      }
      if (types.back() == "IDAT") idat += data;
      at += 12 + length;
    }
    EXPECT_EQ(types.front(), "IHDR");
    EXPECT_EQ(types.back(), "IEND");
    const std::string raw = InflateStored(idat);
    EXPECT_EQ(raw.size(), static_cast<std::size_t>(height) * (width + 1));  // a filter byte per row
  }
}
