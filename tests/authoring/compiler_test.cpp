// The authoring compiler: a source compiles into the hint file it describes,
// the documented example is the example file, and errors name their line.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include "authoring/compiler.h"
#include "authoring/encoders.h"
#include "model/datahunks.h"
#include "model/encodings.h"
#include "model/hunk.h"
#include "model/incentivehunk.h"
#include "model/infohunk.h"
#include "model/loader.h"
#include "model/textcase.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"
#include "model/texthunk.h"
#include "support/fixtures.h"

namespace fs = std::filesystem;

namespace {

const fs::path DocsDir = fs::path(__FILE__).parent_path().parent_path().parent_path() / "docs";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << path;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> Texts(const TZEBObject* node) {
  std::vector<std::string> texts;
  if (const auto* items = dynamic_cast<const TItemsHunk*>(node))
    for (const TZEBObject* item : items->Items) texts.push_back(item->Text);
  return texts;
}

const TItemsHunk* Items(const TZEBObject* object) { return dynamic_cast<const TItemsHunk*>(object); }

using TTexts = std::vector<std::string>;

// The docs example, compiled and loaded.
class CompiledExample : public ::testing::Test {
 protected:
  void SetUp() override {
    Source = ReadFile(DocsDir / "authoring-example.zebsrc");
    ASSERT_FALSE(Source.empty());
    Bytes = CompileHintSource(Source, DocsDir.string());
    LoadBytes(Bytes, Loaded);
    ASSERT_EQ(Loaded.Code, LoadResult::Loaded);
    ASSERT_EQ(Loaded.List.size(), 5u);  // 88a node, root, VERSION, INFO, INCENTIVE
    Root = static_cast<THunk*>(Loaded.List[1].get());
  }

  const THunk* Find(const std::string& title) const { return Root->FindByTitle(title); }

  std::string Source;
  std::string Bytes;
  TLoaded Loaded;
  THunk* Root = nullptr;
};

TEST_F(CompiledExample, The88aSectionHoldsItsSubjectQuestionAndNote) {
  const TZEBObject* top = Loaded.List[0].get();
  EXPECT_EQ(top->KindCode(), Kind::Subject);
  EXPECT_EQ(top->Text, "The Castle");
  const auto* items = Items(top);
  ASSERT_NE(items, nullptr);
  ASSERT_EQ(items->Items.size(), 2u);
  const TZEBObject* moat = items->Items[0];
  EXPECT_EQ(moat->KindCode(), Kind::Subject);
  EXPECT_EQ(moat->Text, "The Moat");
  ASSERT_EQ(Items(moat)->Items.size(), 1u);
  const TZEBObject* question = Items(moat)->Items[0];
  EXPECT_EQ(question->KindCode(), Kind::Hint);
  EXPECT_EQ(question->Text, "How do I cross the moat?");
  EXPECT_EQ(Texts(question), (TTexts{"Is there anything that floats nearby?", "-",
                                     "Push the barrel into the water and ride it across."}));
  EXPECT_EQ(items->Items[1]->KindCode(), Kind::Credit);
  EXPECT_EQ(Texts(items->Items[1]), (TTexts{"The full hints are in the newer part of this file."}));
}

TEST_F(CompiledExample, RootHoldsTheEntriesOfTheSource) {
  EXPECT_EQ(Root->KindCode(), Kind::Subject);
  EXPECT_EQ(Root->Text, "The Castle");
  const auto* root = Items(Root);
  ASSERT_EQ(root->Items.size(), 4u);
  const std::uint8_t kinds[] = {Kind::Comment, Kind::Subject, Kind::Subject, Kind::Credit};
  const char* titles[] = {"How to Use These Hints", "Outside", "Inside", "Thanks"};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(root->Items[i]->KindCode(), kinds[i]) << i;
    EXPECT_EQ(root->Items[i]->Text, titles[i]) << i;
  }

  // A blank line between text lines is a " " line; markup passes through.
  const TZEBObject* howTo = root->Items[0];
  EXPECT_EQ(Texts(howTo), (TTexts{"Each question shows one hint at a time.", " ", "Words to type look like ",
                                  "OPEN GATE", "."}));
  EXPECT_EQ(Items(howTo)->Items[3]->UseFixedFont, 1);
  EXPECT_EQ(Texts(root->Items[3]), (TTexts{"To everyone who tested these hints."}));
}

TEST_F(CompiledExample, HintsNestedHintsAndTheLinkByLabel) {
  const THunk* moat = Find("How do I cross the moat?");
  ASSERT_NE(moat, nullptr);
  EXPECT_EQ(moat->KindCode(), Kind::Hint);
  EXPECT_EQ(Texts(moat), (TTexts{"Is there anything that floats nearby?", "-",
                                 "Push the barrel into the water and ride it across."}));

  const THunk* portcullis = Find("How do I open the portcullis?");
  ASSERT_NE(portcullis, nullptr);
  EXPECT_EQ(portcullis->KindCode(), Kind::NestHint);
  EXPECT_EQ(Texts(portcullis),
            (TTexts{"The winch is on the other side.", "-", "Something small could get through the bars.",
                    "Where do I find something small?", "-",
                    "Send the kitten through the bars with the rope; it pulls the lever."}));
  const TZEBObject* nested = Items(portcullis)->Items[3];
  EXPECT_EQ(nested->KindCode(), Kind::Hint);
  EXPECT_EQ(Texts(nested), (TTexts{"The kitten in the stables follows anyone with milk."}));

  const auto* link = dynamic_cast<const TLinkHunk*>(Find("Back to the moat"));
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->TargetLine, moat->LineNumber);
  EXPECT_EQ(link->Target(), moat);
}

TEST_F(CompiledExample, TextPictureRegionsOverlayAndBlank) {
  const auto* inside = Items(Find("Inside"));
  ASSERT_NE(inside, nullptr);
  ASSERT_EQ(inside->Items.size(), 3u);  // the draft comment is gone

  const auto* rota = dynamic_cast<const TTextHunk*>(inside->Items[0]);
  ASSERT_NE(rota, nullptr);
  EXPECT_EQ(rota->Text, "The Servants' Rota");
  EXPECT_EQ(rota->TextFlags, 3);  // fixed and nowrap
  EXPECT_EQ(Texts(rota), (TTexts{"MON  Cook     Butler", "TUE  Butler   Maid"}));
  for (const TZEBObject* line : rota->Items) {
    EXPECT_EQ(line->UseFixedFont, 1);
    EXPECT_EQ(line->Wraps, 0);
  }

  const auto* hall = dynamic_cast<const THyperPNGHunk*>(inside->Items[1]);
  ASSERT_NE(hall, nullptr);
  EXPECT_EQ(hall->Text, "The Great Hall");
  const TPNGObject* picture = hall->Image();
  ASSERT_NE(picture, nullptr);
  const std::string hallPng = ReadFile(DocsDir / "hall.png");
  EXPECT_EQ(Bytes.substr(picture->DataOffset, picture->DataLength), hallPng);
  ASSERT_EQ(picture->Regions.size(), 2u);
  const TRegion& throne = picture->Regions[0];
  EXPECT_EQ((std::vector<int>{throne.Left, throne.Top, throne.Right, throne.Bottom}), (std::vector<int>{0, 0, 15, 15}));
  ASSERT_NE(throne.Target, nullptr);
  EXPECT_EQ(throne.Target->KindCode(), Kind::Hint);
  EXPECT_EQ(throne.Target->Text, "What is on the throne?");
  EXPECT_EQ(Texts(throne.Target), (TTexts{"A crown, but it is only painted on."}));

  const TRegion& panelRegion = picture->Regions[1];
  EXPECT_EQ((std::vector<int>{panelRegion.Left, panelRegion.Top, panelRegion.Right, panelRegion.Bottom}),
            (std::vector<int>{16, 0, 31, 15}));
  const auto* panel = dynamic_cast<const TOverlayHunk*>(panelRegion.Target);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->Text, "The Secret Panel");
  EXPECT_EQ(panel->X, 16);
  EXPECT_EQ(panel->Y, 0);
  EXPECT_EQ(Bytes.substr(panel->DataOffset, panel->DataLength), ReadFile(DocsDir / "panel.png"));

  EXPECT_EQ(inside->Items[2]->KindCode(), Kind::Blank);
}

TEST_F(CompiledExample, VersionInfoAndLengthOfTheFile) {
  const TZEBObject* version = Loaded.List[2].get();
  EXPECT_EQ(version->KindCode(), Kind::VerHunk);
  EXPECT_EQ(version->Text, "96a");
  EXPECT_EQ(Texts(version), (TTexts{"Written with zebtool build"}));

  const auto* info = dynamic_cast<const TInfoHunk*>(Loaded.List[3].get());
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->Author, "A. Writer");
  EXPECT_EQ(info->Publisher, "Example Games");
  EXPECT_EQ(info->Date, "01-Jan-27");
  EXPECT_EQ(info->Time, "09:30");
  EXPECT_EQ(info->FileLength, static_cast<std::int32_t>(Bytes.size()));  // LENGTH=auto
  ASSERT_EQ(info->CopyrightLines.size(), 1u);
  EXPECT_EQ(info->CopyrightLines[0]->Text, "Free to copy.");
}

// Every hunk header of the newer section ("<count> <keyword>") names a known
// kind in lower case, as hint files in the wild do.
TEST_F(CompiledExample, HunkHeadersCarryLowerCaseKeywords) {
  const std::set<std::string> known = {"comment", "credit",   "gifa", "hint",     "subject",
                                       "version", "blank",    "incentive", "info", "link",
                                       "nesthint", "text",    "hyperpng",  "overlay", "sound"};
  std::set<std::string> seen;
  std::istringstream lines(Bytes.substr(Bytes.find(EndOf88aMarker)));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t space = line.find(' ');
    if (space == std::string::npos || space == 0) continue;
    if (line.find_first_not_of("0123456789") != space) continue;
    const std::string keyword = line.substr(space + 1);
    if (known.count(LowerCaseAtoZ(keyword)) == 0) continue;
    EXPECT_EQ(keyword, LowerCaseAtoZ(keyword)) << line;
    seen.insert(keyword);
  }
  for (const char* kind : {"subject", "hint", "nesthint", "text", "hyperpng", "overlay", "link", "version", "info",
                           "incentive"})
    EXPECT_EQ(seen.count(kind), 1u) << kind;
}

TEST_F(CompiledExample, IncentiveNamesTheLabelledEntryByItsLine) {
  EXPECT_EQ(Root->FindByTitle("Draft Notes"), nullptr);

  // Without the incentive list the entry stays, at the same line.
  std::string kept = Source;
  const std::size_t incentive = kept.find("@incentive");
  ASSERT_NE(incentive, std::string::npos);
  kept.erase(incentive);
  TLoaded withDraft;
  LoadBytes(CompileHintSource(kept, DocsDir.string()), withDraft);
  ASSERT_EQ(withDraft.Code, LoadResult::Loaded);
  const THunk* draft = static_cast<THunk*>(withDraft.List[1].get())->FindByTitle("Draft Notes");
  ASSERT_NE(draft, nullptr);
  EXPECT_EQ(draft->KindCode(), Kind::Comment);

  const auto* list = dynamic_cast<const TIncentiveHunk*>(Loaded.List[4].get());
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->Items.size(), 1u);
  std::string entry = list->Items[0]->Text;
  DecodeWithMask(entry, TitleMask(Root->Text), TMaskVariant::NestedHint);
  EXPECT_EQ(entry, std::to_string(draft->LineNumber) + "Y");
}

TEST(AuthoringDocs, ContainTheExampleVerbatim) {
  const std::string example = ReadFile(DocsDir / "authoring-example.zebsrc");
  const std::string docs = ReadFile(DocsDir / "authoring.md");
  ASSERT_FALSE(example.empty());
  EXPECT_NE(docs.find("```\n" + example + "```\n"), std::string::npos)
      << "docs/authoring.md must show docs/authoring-example.zebsrc as one fenced block, unchanged";
}

// ---------------------------------------------------------------------------
// The directives the docs example leaves out

TEST(CompileSource, DataFilesUnknownHunksEscapesAndNumberedTargets) {
  TTempDir dir;
  const std::string gif = "GIF89a\x01\x02\x03 not a real picture";
  const std::string wav = std::string("RIFF\0\0\0\0WAVE", 12) + "sound";
  dir.Write("moon.gif", gif);
  dir.Write("bell.wav", wav);
  const std::string source =
      "@rem Directives the docs example leaves out.\n"
      "@subject Root\n"
      "@hint Escapes\n"
      "@@home is where the heart is\n"
      "@end\n"
      "@nesthint Nesting\n"
      "First hint.\n"
      "-\n"
      "@subject Deeper\n"
      "@comment Inner page\n"
      "Inner text.\n"
      "@end\n"
      "@end\n"
      "@link Numbered -> 1\n"
      "@end\n"
      "@text Plain\n"
      "A line\n"
      "@end\n"
      "@text Fixed\n"
      "@flags fixed\n"
      "A line\n"
      "@end\n"
      "@gifa Moon\n"
      "@file moon.gif\n"
      "@end\n"
      "@sound Bell\n"
      "@file bell.wav\n"
      "@end\n"
      "@unknown WIDGET Strange thing\n"
      "raw line\n"
      "@end\n"
      "@comment[gone] Gone\n"
      "Removed.\n"
      "@end\n"
      "@comment[kept] Kept\n"
      "Stays.\n"
      "@end\n"
      "@end\n"
      "@incentive\n"
      "gone:Z kept:X\n"
      "@end\n";
  const std::string bytes = CompileHintSource(source, dir.Path().string());
  TLoaded loaded;
  LoadBytes(bytes, loaded);
  ASSERT_EQ(loaded.Code, LoadResult::Loaded);
  EXPECT_EQ(loaded.List[0]->Text, "Root");  // the 88a section takes the root's title
  auto* root = ListRootNode(loaded.List);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->LineNumber, 1);

  EXPECT_EQ(Texts(root->FindByTitle("Escapes")), (TTexts{"@home is where the heart is"}));

  const THunk* nesting = root->FindByTitle("Nesting");
  ASSERT_NE(nesting, nullptr);
  EXPECT_EQ(Texts(nesting), (TTexts{"First hint.", "-", "Deeper", "Numbered"}));
  const THunk* deeper = root->FindByTitle("Deeper");
  ASSERT_NE(deeper, nullptr);
  EXPECT_EQ(deeper->KindCode(), Kind::Subject);
  EXPECT_EQ(Texts(root->FindByTitle("Inner page")), (TTexts{"Inner text."}));
  const auto* numbered = dynamic_cast<const TLinkHunk*>(root->FindByTitle("Numbered"));
  ASSERT_NE(numbered, nullptr);
  EXPECT_EQ(numbered->TargetLine, 1);
  EXPECT_EQ(numbered->Target(), root);

  const auto* plain = dynamic_cast<const TTextHunk*>(root->FindByTitle("Plain"));
  const auto* fixed = dynamic_cast<const TTextHunk*>(root->FindByTitle("Fixed"));
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(plain->TextFlags, 0);
  EXPECT_EQ(fixed->TextFlags, 1);
  EXPECT_EQ(Texts(plain), (TTexts{"A line"}));

  const auto* moon = dynamic_cast<const TGIFaHunk*>(root->FindByTitle("Moon"));
  const auto* bell = dynamic_cast<const TSoundHunk*>(root->FindByTitle("Bell"));
  ASSERT_NE(moon, nullptr);
  ASSERT_NE(bell, nullptr);
  EXPECT_EQ(bytes.substr(moon->DataOffset, moon->DataLength), gif);
  EXPECT_EQ(bytes.substr(bell->DataOffset, bell->DataLength), wav);

  const THunk* strange = root->FindByTitle("Strange thing");
  ASSERT_NE(strange, nullptr);
  EXPECT_EQ(strange->KindCode(), Kind::Unknown);
  EXPECT_NE(bytes.find(" WIDGET\r\nStrange thing\r\nraw line\r\n"), std::string::npos);

  EXPECT_EQ(root->FindByTitle("Gone"), nullptr);  // class Z goes
  EXPECT_NE(root->FindByTitle("Kept"), nullptr);  // other classes stay
}

TEST(CompileSource, OldestGenerationIsThe88aSectionAlone) {
  const std::string bytes = CompileHintSource(
      "@88a Old Game\n@subject Cellar\n@question Where is the lamp\nLook up.\nOn the hook.\n@end\n@end\n"
      "@oldest\n@end\n",
      ".");
  EXPECT_EQ(bytes.find(EndOf88aMarker), std::string::npos);
  TLoaded loaded;
  LoadBytes(bytes, loaded);
  ASSERT_EQ(loaded.Code, LoadResult::Loaded);
  ASSERT_EQ(loaded.List.size(), 1u);
  const auto* top = static_cast<THunk*>(loaded.List[0].get());
  EXPECT_EQ(top->Text, "Old Game");
  const THunk* question = const_cast<THunk*>(top)->FindByTitle("Where is the lamp?");
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(Texts(question), (TTexts{"Look up.", "-", "On the hook."}));
}

TEST(CompileSource, BlankLinesBetweenTextLinesBecomeSpaceLines) {
  const std::string source =
      "@subject Root\n"
      "@comment Page\n"
      "\n"
      "First line\n"
      "\n"
      "Second line\n"
      "\n"
      "\n"
      "Third line\n"
      "\n"
      "@end\n"
      "@hint Question\n"
      "Answer one\n"
      "\n"
      "-\n"
      "\n"
      "Answer two\n"
      "@end\n"
      "@text Rota\n"
      "MON\n"
      "\n"
      "TUE\n"
      "@end\n"
      "@end\n";
  TLoaded loaded;
  LoadBytes(CompileHintSource(source, "."), loaded);
  ASSERT_EQ(loaded.Code, LoadResult::Loaded);
  auto* root = ListRootNode(loaded.List);
  ASSERT_NE(root, nullptr);
  // Only blank lines between two text lines count; each one is one line.
  EXPECT_EQ(Texts(root->FindByTitle("Page")), (TTexts{"First line", " ", "Second line", " ", " ", "Third line"}));
  EXPECT_EQ(Texts(root->FindByTitle("Question")), (TTexts{"Answer one", "-", "Answer two"}));
  EXPECT_EQ(Texts(root->FindByTitle("Rota")), (TTexts{"MON", " ", "TUE"}));
}

// ---------------------------------------------------------------------------
// Errors

// A byte above 127 that the 88a substitution cannot carry.
std::optional<char> Uncarriable88aByte() {
  for (int b = 128; b < 256; ++b) {
    try {
      Encode88a(std::string(1, static_cast<char>(b)));
    } catch (const TWriterError&) {
      return static_cast<char>(b);
    }
  }
  return std::nullopt;
}

TEST(CompileErrors, NameTheSourceLine) {
  const std::optional<char> bad = Uncarriable88aByte();
  ASSERT_TRUE(bad.has_value()) << "expected at least one byte the 88a substitution cannot carry";
  const struct {
    const char* Name;
    std::string Source;
    int Line;
  } cases[] = {
      {"TextOutsideAHunk", "loose text\n@subject R\n@end\n", 1},
      {"UnknownDirective", "@subject R\n@frobnicate X\n@end\n", 2},
      {"TextInASubject", "@subject R\nloose text\n@end\n", 2},
      {"MissingEnd", "@subject R\n@hint Q\nanswer\n@end\n", 1},
      {"UnknownLabel", "@subject R\n@hint Q\na\n@end\n@link Go -> nowhere\n@end\n", 5},
      {"DuplicateLabel", "@subject R\n@hint[a] Q\nx\n@end\n@hint[a] Q2\ny\n@end\n@end\n", 5},
      {"LinkWithoutTarget", "@subject R\n@link Nowhere\n@end\n", 2},
      {"RegionWithoutEntry", "@subject R\n@picture P\n@file hall.png\n@region 0 0 1 1\n@end\n@end\n", 5},
      {"FileThatCannotBeRead", "@subject R\n@picture P\n@file no-such-file.png\n@end\n@end\n", 3},
      {"ByteTheHintScramblingCannotCarry",
       "@subject R\n@hint Q\nfine\nbad " + std::string(1, *bad) + " byte\n@end\n@end\n", 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      CompileHintSource(c.Source, DocsDir.string());
      ADD_FAILURE() << "compiled without error";
    } catch (const TCompileError& e) {
      EXPECT_EQ(e.Line, c.Line) << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("line " + std::to_string(c.Line) + ": ", 0), 0u) << e.what();
    }
  }
}

// Subjects nested inside each other, levels deep below the top subject,
// the deepest holding a hint.
std::string NestedSource(int levels) {
  std::string source;
  for (int i = 0; i <= levels; ++i) source += "@subject Level " + std::to_string(i) + "\n";
  source += "@hint Deepest question\nDeepest answer\n@end\n";
  for (int i = 0; i <= levels; ++i) source += "@end\n";
  return source;
}

// The reader follows hunks 255 levels below the top and no deeper: a source
// that nests deeper is refused at the hunk that goes too far, however deep
// it goes, and what compiles loads whole.
TEST(CompileErrors, NestingDeeperThanTheReaderFollows) {
  {
    TLoaded loaded;
    LoadBytes(CompileHintSource(NestedSource(254), DocsDir.string()), loaded);
    ASSERT_EQ(loaded.Code, LoadResult::Loaded);
    auto* root = dynamic_cast<TItemsHunk*>(ListRoot(loaded.List));
    ASSERT_NE(root, nullptr);
    EXPECT_NE(root->FindByTitle("Deepest question"), nullptr);
  }
  for (const int levels : {255, 10000}) {
    SCOPED_TRACE(levels);
    try {
      CompileHintSource(NestedSource(levels), DocsDir.string());
      ADD_FAILURE() << "compiled without error";
    } catch (const TCompileError& e) {
      // Line 257 opens the hunk at level 256 (the top subject is level 0).
      EXPECT_EQ(e.Line, 257) << e.what();
      EXPECT_NE(std::string(e.what()).find("more than 255 levels deep"), std::string::npos) << e.what();
    }
  }
}

// The 88a section scrambles its subjects, questions and hints with the 88a
// substitution too; a byte it cannot carry is reported at its own line.
TEST(CompileErrors, UncarriableByteIn88aSectionNamesItsLine) {
  const std::optional<char> bad = Uncarriable88aByte();
  ASSERT_TRUE(bad.has_value());
  const std::string b(1, *bad);
  const struct {
    const char* Name;
    std::string Source;
    int Line;
  } cases[] = {
      {"Hint", "@88a T\n@subject S\n@question Q\nbad " + b + " byte\n@end\n@end\n@end\n@subject R\n@end\n", 4},
      {"Question", "@88a T\n@subject S\n@question Q" + b + "\nfine\n@end\n@end\n@end\n@subject R\n@end\n", 3},
      {"Subject", "@88a T\n@subject S" + b + "\n@question Q\nfine\n@end\n@end\n@end\n@subject R\n@end\n", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      CompileHintSource(c.Source, ".");
      ADD_FAILURE() << "compiled without error";
    } catch (const TCompileError& e) {
      EXPECT_EQ(e.Line, c.Line) << e.what();
    }
  }
}

TEST(CompileErrors, UncarriableByteNamesItsPosition) {
  const std::optional<char> bad = Uncarriable88aByte();
  ASSERT_TRUE(bad.has_value());
  try {
    CompileHintSource("@subject R\n@hint Q\nab" + std::string(1, *bad) + "\n@end\n@end\n", ".");
    ADD_FAILURE() << "compiled without error";
  } catch (const TCompileError& e) {
    EXPECT_EQ(e.Line, 3);
    EXPECT_NE(std::string(e.what()).find("position 2"), std::string::npos) << e.what();
  }
}

}  // namespace
