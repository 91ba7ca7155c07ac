// INFO hunks with their file-information page, and INCENTIVE lists that take
// hunks out of the tree.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/encodings.h"
#include "model/incentivehunk.h"
#include "model/infohunk.h"
#include "model/loader.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"
#include "support/fixtures.h"
#include "support/treehelpers.h"

namespace {

TInfoHunk* InfoOf(const TLoaded& loaded) { return dynamic_cast<TInfoHunk*>(FindByKind(loaded.List, Kind::Info)); }

std::vector<std::string> LineTexts(const std::vector<std::unique_ptr<THunkLine>>& lines) {
  std::vector<std::string> texts;
  for (const auto& line : lines) texts.push_back(line->Text);
  return texts;
}

// A file with a root SUBJECT and further top-level hunks.
THintFileWriter FileWith(std::vector<TWHunkPtr> topLevel) {
  THintFileWriter writer;
  writer.Hunks = {Subject("Game", {Hint("Q", {"a"})})};
  for (auto& hunk : topLevel) writer.Hunks.push_back(std::move(hunk));
  return writer;
}

}  // namespace

// ---- INFO fields -------------------------------------------------------------------

TEST(InfoHunkFields, NamesAnyCaseValuesKeepTheirCase) {
  struct TCase {
    std::vector<std::string> Lines;
    std::string Author, Publisher, Date, Time;
    std::vector<std::string> Copyright, AuthorNotes, GameNotes;
  };
  const TCase cases[] = {
      {{"author=Jo"}, "Jo", "", "", "", {}, {}, {}},
      {{"AUTHOR=Jo"}, "Jo", "", "", "", {}, {}, {}},
      {{"aUtHoR=MiXeD Case"}, "MiXeD Case", "", "", "", {}, {}, {}},
      {{"Author=Jo", "AUTHOR=Kim"}, "Kim", "", "", "", {}, {}, {}},
      {{"AUTHOR=a=b"}, "a=b", "", "", "", {}, {}, {}},
      {{"AUTHOR =Jo", "AUTHOR:Jo", " AUTHOR=Jo", "WRITER=Jo"}, "", "", "", "", {}, {}, {}},
      {{"publisher=Acme", "Date=1999-01-02", "time=10:30"}, "", "Acme", "1999-01-02", "10:30", {}, {}, {}},
      {{"copyright=(c) 1999", "COPYRIGHT=All rights", "Author-Note=Writes hints", "game-note=Long"},
       "", "", "", "", {"(c) 1999", "All rights"}, {"Writes hints"}, {"Long"}},
      // Each test runs on what the earlier ones left of the line.
      {{"LENGTH=copyright=(c) Jo"}, "", "", "", "", {"(c) Jo"}, {}, {}},
      {{"COPYRIGHT=GAME-NOTE=both"}, "", "", "", "", {"GAME-NOTE=both"}, {}, {"both"}},
      {{"AUTHOR-NOTE=x"}, "", "", "", "", {}, {"x"}, {}},
      {{"AUTHOR="}, "", "", "", "", {}, {}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.Lines));
    THintFileWriter writer = FileWith({PlainHunk("INFO", "Info", c.Lines)});
    TLoaded loaded;
    LoadOk(writer, loaded);
    TInfoHunk* info = InfoOf(loaded);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Author, c.Author);
    EXPECT_EQ(info->Publisher, c.Publisher);
    EXPECT_EQ(info->Date, c.Date);
    EXPECT_EQ(info->Time, c.Time);
    EXPECT_EQ(info->FileLength, 0);
    EXPECT_EQ(LineTexts(info->CopyrightLines), c.Copyright);
    EXPECT_EQ(LineTexts(info->AuthorNotes), c.AuthorNotes);
    EXPECT_EQ(LineTexts(info->GameNotes), c.GameNotes);
  }
}

TEST(InfoHunkFields, LengthIsTheLeadingNumber) {
  const struct {
    const char* Line;
    std::int32_t Length;
  } cases[] = {
      {"LENGTH=1234", 1234}, {"length=  42", 42},   {"LENGTH=-7", -7},   {"LENGTH=+7", 7},
      {"LENGTH=12abc", 12},  {"LENGTH=  -3x", -3}, {"LENGTH=abc", 0},   {"LENGTH=", 0},
      {"LENGTH=-", 0},       {"LENGTH =5", 0},     {"Length=0099", 99},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Line);
    TInfoHunk info("", nullptr);
    info.ReadField(c.Line);
    EXPECT_EQ(info.FileLength, c.Length);
  }
}

TEST(InfoHunkFields, LengthLineOfTheFileIsRead) {
  auto info = MakeHunk("INFO", "Info");
  info->Pieces({TWPiece::Literal("Length=   "), TWPiece::LengthOfFile()});
  THintFileWriter writer = FileWith({info});
  TLoaded loaded;
  const std::string bytes = LoadOk(writer, loaded);
  ASSERT_NE(InfoOf(loaded), nullptr);
  EXPECT_EQ(InfoOf(loaded)->FileLength, static_cast<std::int32_t>(bytes.size()));
}

// ---- the file-information page -----------------------------------------------------

namespace {
// Labels of fields end their line; " " lines stand on a line of their own.
void ExpectPage(const TInfoHunk& info, const std::vector<std::string>& expected) {
  ASSERT_EQ(ItemTexts(info), expected);
  static const std::vector<std::string> labels = {"Author:", "Game Publisher:", "Time Created:", "ZEB Version:",
                                                  "Copyright:", "About the Author:", "About the Game:",
                                                  "Compiler Info:"};
  for (std::size_t i = 0; i < info.ItemCount(); ++i) {
    const TZEBObject* item = info.ItemAt(i);
    SCOPED_TRACE(item->Text);
    EXPECT_FALSE(item->IsNode());
    const bool isLabel = std::find(labels.begin(), labels.end(), item->Text) != labels.end();
    if (isLabel || item->Text == " ") {
      EXPECT_EQ(item->EndsLine, 1);
    }
  }
}
}  // namespace

TEST(InfoHunkPage, FieldsAndBlocksInOrder) {
  auto version = PlainHunk("VERSION", "96a", {"Compiler 2.1 for the hint files of this year", "built today"});
  auto info = PlainHunk("INFO", "Ignored title",
                        {"GAME-NOTE=A long game.", "AUTHOR-NOTE=Jo writes hints.", "COPYRIGHT=(c) 1999 Jo",
                         "TIME=10:30", "DATE=1999-01-02", "PUBLISHER=Acme", "AUTHOR=Jo Smith",
                         "COPYRIGHT=All rights reserved", "UNKNOWN=ignored", "LENGTH=0"});
  THintFileWriter writer = FileWith({version, info});
  TLoaded loaded;
  LoadOk(writer, loaded);
  TInfoHunk* infoNode = InfoOf(loaded);
  ASSERT_NE(infoNode, nullptr);
  EXPECT_EQ(infoNode->Text, "Game File Information");
  EXPECT_EQ(infoNode->Owner, RootOf(loaded));
  ExpectPage(*infoNode, {"Author:", "Jo Smith", " ",
                         "Game Publisher:", "Acme", " ",
                         "Time Created:", "1999-01-02 10:30", " ",
                         "Copyright:", "(c) 1999 Jo", "All rights reserved", " ",
                         "About the Author:", "Jo writes hints.", " ",
                         "About the Game:", "A long game.", " ",
                         "ZEB Version:", "96a", " ",
                         "Compiler Info:", "Compiler 2.1 for the hint files of this year", "built today"});
  // The page holds copies: the VERSION node keeps its own lines.
  auto* versionNode = dynamic_cast<TMetaTextHunk*>(FindByKind(loaded.List, Kind::VerHunk));
  ASSERT_NE(versionNode, nullptr);
  ASSERT_EQ(versionNode->ItemCount(), 2u);
  for (const TZEBObject* item : infoNode->Items) {
    EXPECT_NE(item, versionNode->ItemAt(0));
    EXPECT_NE(item, versionNode->ItemAt(1));
  }
  // The block lines are copies too.
  ASSERT_EQ(infoNode->CopyrightLines.size(), 2u);
  for (const TZEBObject* item : infoNode->Items) EXPECT_NE(item, infoNode->CopyrightLines[0].get());
}

TEST(InfoHunkPage, PartialPages) {
  const auto version = [] { return PlainHunk("VERSION", "96a", {"cc 1"}); };
  struct TCase {
    const char* Name;
    std::vector<TWHunkPtr> TopLevel;
    std::vector<std::string> Page;
  };
  const std::vector<std::string> versionPage = {"ZEB Version:", "96a", " ", "Compiler Info:", "cc 1"};
  TCase cases[] = {
      {"date without time", {PlainHunk("INFO", "i", {"DATE=1999-01-02", "AUTHOR=Jo"})}, {"Author:", "Jo", " "}},
      {"time without date", {PlainHunk("INFO", "i", {"TIME=10:30"})}, {}},
      {"only a length line", {PlainHunk("INFO", "i", {"LENGTH=0"})}, {}},
      {"only a length line, version before", {version(), PlainHunk("INFO", "i", {"LENGTH=0"})}, versionPage},
      {"version after the INFO hunk", {PlainHunk("INFO", "i", {"AUTHOR=Jo"}), version()}, {"Author:", "Jo", " "}},
      {"no INFO hunk", {version()}, versionPage},
      {"no INFO hunk, no version", {}, {}},
      {"version without title",
       {PlainHunk("VERSION", "", {"cc 1", "cc 2"}), PlainHunk("INFO", "i", {})},
       {"Compiler Info:", "cc 1", "cc 2"}},
  };
  for (TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    THintFileWriter writer = FileWith(c.TopLevel);
    TLoaded loaded;
    LoadOk(writer, loaded);
    TInfoHunk* info = InfoOf(loaded);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Text, "Game File Information");
    ExpectPage(*info, c.Page);
  }
}

TEST(InfoHunkPage, DefaultInfoNodeEndsTheList) {
  THintFileWriter writer = FileWith({PlainHunk("COMMENT", "Remark", {"r"})});
  TLoaded loaded;
  LoadOk(writer, loaded);
  ASSERT_EQ(loaded.List.size(), 4u);
  auto* info = dynamic_cast<TInfoHunk*>(loaded.List.back().get());
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(FindByKind(loaded.List, Kind::Info), info);
  EXPECT_EQ(info->Owner, RootOf(loaded));
  EXPECT_EQ(info->Text, "Game File Information");
  EXPECT_EQ(info->FileLength, 0);
  EXPECT_EQ(info->ItemCount(), 0u);
}

// ---- INCENTIVE ------------------------------------------------------------------------

namespace {
// An INCENTIVE line written piece by piece, for spacing the writer would not choose.
TWHunkPtr IncentiveLine(std::vector<TWPiece> pieces) {
  auto hunk = MakeHunk("INCENTIVE", "Incentive");
  hunk->Pieces(std::move(pieces), TWEncoding::MaskIncentive);
  return hunk;
}
}  // namespace

TEST(IncentiveHunks, RemovesNodesOfClassYAndZ) {
  auto h1 = Hint("H1", {"1"});
  auto h2 = Hint("H2", {"2"});
  auto h3 = Hint("H3", {"3"});
  auto h4 = Hint("H4", {"4"});
  auto h5 = Hint("H5", {"5"});
  auto h6 = Hint("H6", {"6"});
  auto section = Subject("Section", {h4});
  auto version = PlainHunk("VERSION", "96a", {"cc"});
  THintFileWriter writer;
  auto incentive = Incentive("Incentive", {{{h1, 0, 'Y'}, {h2, 0, 'X'}, {h3, 0, 'Z'}, {section, 0, 'Y'}},
                                           {{h5, 0, 'y'}, {h6, 0, 'A'}, {nullptr, 999, 'Y'}}});
  writer.Hunks = {Subject("Game", {h1, h2, h3, section, h5, h6}), version, incentive};
  TLoaded loaded;
  LoadOk(writer, loaded);
  TItemsHunk* root = RootOf(loaded);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(ItemTexts(*root), (std::vector<std::string>{"H2", "H5", "H6"}));
  EXPECT_EQ(root->FindByLine(h4->LineNumber), nullptr);  // went with its SUBJECT

  auto* node = dynamic_cast<TIncentiveHunk*>(FindByKind(loaded.List, Kind::Incentive));
  ASSERT_NE(node, nullptr);
  // The items stay scrambled; decoded with the root's title they are the list.
  ASSERT_EQ(node->ItemCount(), 2u);
  std::string first = node->ItemAt(0)->Text;
  EXPECT_NE(first.find_first_not_of("0123456789XYZ "), std::string::npos);
  DecodeWithMask(first, TitleMask("Game"), TMaskVariant::NestedHint);
  EXPECT_EQ(first, std::to_string(h1->LineNumber) + "Y " + std::to_string(h2->LineNumber) + "X " +
                       std::to_string(h3->LineNumber) + "Z " + std::to_string(section->LineNumber) + "Y");
}

TEST(IncentiveHunks, TokenForms) {
  // Each case removes some of H1, H2 and H3 with one hand-written line.
  struct TCase {
    const char* Name;
    std::vector<TWPiece> (*Pieces)(const TWHunkPtr&, const TWHunkPtr&, const TWHunkPtr&);
    std::vector<std::string> Left;
  };
  using P = TWPiece;
  const TCase cases[] = {
      {"two spaces", [](auto& a, auto& b, auto&) { return std::vector<P>{P::LineOf(a), P::Literal("Y  "), P::LineOf(b), P::Literal("Z")}; },
       {"H3"}},
      {"three spaces", [](auto& a, auto& b, auto&) { return std::vector<P>{P::LineOf(a), P::Literal("Y   "), P::LineOf(b), P::Literal("Z")}; },
       {"H3"}},
      {"trailing space", [](auto& a, auto&, auto&) { return std::vector<P>{P::LineOf(a), P::Literal("Z ")}; },
       {"H2", "H3"}},
      {"leading space", [](auto& a, auto& b, auto&) { return std::vector<P>{P::Literal(" "), P::LineOf(a), P::Literal("Y "), P::LineOf(b), P::Literal("Y")}; },
       {"H2", "H3"}},
      {"class after other letters", [](auto&, auto& b, auto&) { return std::vector<P>{P::LineOf(b), P::Literal("XZ")}; },
       {"H1", "H3"}},
      {"no number", [](auto&, auto&, auto&) { return std::vector<P>{P::Literal("Y Z")}; },
       {"H1", "H2", "H3"}},
      {"named twice", [](auto& a, auto&, auto& c) { return std::vector<P>{P::LineOf(a), P::Literal("Y "), P::LineOf(a), P::Literal("Z "), P::LineOf(c), P::Literal("Y")}; },
       {"H2"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto h1 = Hint("H1", {"1"});
    auto h2 = Hint("H2", {"2"});
    auto h3 = Hint("H3", {"3"});
    THintFileWriter writer;
    writer.Hunks = {Subject("Game", {h1, h2, h3}), IncentiveLine(c.Pieces(h1, h2, h3))};
    TLoaded loaded;
    LoadOk(writer, loaded);
    ASSERT_NE(RootOf(loaded), nullptr);
    EXPECT_EQ(ItemTexts(*RootOf(loaded)), c.Left);
  }
}

TEST(IncentiveHunks, TokenNamingAnAlreadyRemovedNodeChangesNothing) {
  auto inner = Hint("Inner", {"i"});
  auto section = Subject("Section", {inner});
  auto other = Hint("Other", {"o"});
  THintFileWriter writer;
  writer.Hunks = {Subject("Game", {section, other}),
                  Incentive("Incentive", {{{section, 0, 'Y'}, {section, 0, 'Z'}}, {{inner, 0, 'Y'}}})};
  TLoaded loaded;
  LoadOk(writer, loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  EXPECT_EQ(ItemTexts(*RootOf(loaded)), std::vector<std::string>{"Other"});
}

TEST(IncentiveHunks, RemovedRegionTargetTakesItsRegionAlong) {
  THintFileWriter writer;
  auto spotA = Hint("Spot A", {"a"});
  auto spotB = Hint("Spot B", {"b"});
  auto spotC = Subject("Spot C", {Hint("Inside C", {"c"})});
  auto map = writer.HyperPng("Map", TinyPng(4, 4), {{0, 0, 1, 1, spotA}, {2, 2, 3, 3, spotB}, {4, 4, 5, 5, spotC}});
  auto inside = spotC->Body.front().Nested;
  writer.Hunks = {Subject("Game", {map}), Incentive("Incentive", {{{spotA, 0, 'Y'}, {inside, 0, 'Z'}}})};
  TLoaded loaded;
  LoadOk(writer, loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  auto* hyper = dynamic_cast<THyperPNGHunk*>(RootOf(loaded)->FindByTitle("Map"));
  ASSERT_NE(hyper, nullptr);
  TPNGObject* picture = hyper->Image();
  ASSERT_NE(picture, nullptr);
  ASSERT_EQ(ItemTexts(*picture), (std::vector<std::string>{"Spot B", "Spot C"}));
  ASSERT_EQ(picture->Regions.size(), 2u);
  EXPECT_EQ(picture->Regions[0].Target, picture->ItemAt(0));
  EXPECT_EQ(picture->Regions[0].Left, 2);
  EXPECT_EQ(picture->Regions[1].Target, picture->ItemAt(1));
  EXPECT_EQ(picture->Regions[1].Left, 4);
  // Removing a node below a region's target leaves the region alone.
  auto* c = dynamic_cast<TItemsHunk*>(picture->ItemAt(1));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->ItemCount(), 0u);
}

TEST(IncentiveHunks, RootAndNodesOutsideItsSubtreeStay) {
  THintFileWriter writer;
  auto root = Subject("Game", {Hint("Q", {"a"})});
  auto version = PlainHunk("VERSION", "96a", {"cc"});
  auto extra = Subject("Extra", {Hint("X", {"x"})});
  writer.Hunks = {root, version, extra,
                  Incentive("Incentive", {{{root, 0, 'Y'}, {version, 0, 'Z'}, {extra, 0, 'Y'},
                                           {extra->Body.front().Nested, 0, 'Y'}}})};
  TLoaded loaded;
  LoadOk(writer, loaded);
  TItemsHunk* rootNode = RootOf(loaded);
  ASSERT_NE(rootNode, nullptr);
  EXPECT_EQ(rootNode->Text, "Game");
  EXPECT_EQ(ItemTexts(*rootNode), std::vector<std::string>{"Q"});
  // 88a node, root, VERSION, Extra, INCENTIVE, INFO.
  ASSERT_EQ(loaded.List.size(), 6u);
  EXPECT_EQ(loaded.List[2]->KindCode(), Kind::VerHunk);
  auto* extraNode = dynamic_cast<TItemsHunk*>(loaded.List[3].get());
  ASSERT_NE(extraNode, nullptr);
  EXPECT_EQ(ItemTexts(*extraNode), std::vector<std::string>{"X"});
}
