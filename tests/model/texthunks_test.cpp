// Hunks that carry text: SUBJECT, HINT, NESTHINT, COMMENT, CREDIT, VERSION,
// TEXT with its embedded data, and hunks with a keyword the reader does not know.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "authoring/encoders.h"
#include "authoring/hintwriter.h"
#include "model/encodings.h"
#include "model/loader.h"
#include "model/metatexthunk.h"
#include "model/texthunk.h"
#include "support/fixtures.h"
#include "support/treehelpers.h"

namespace {

// A file whose root is a SUBJECT with the given children.
THintFileWriter FileWith(std::vector<TWHunkPtr> children, const std::string& rootTitle = "Game") {
  THintFileWriter writer;
  writer.Hunks = {Subject(rootTitle, std::move(children))};
  return writer;
}

}  // namespace

// ---- SUBJECT ---------------------------------------------------------------

TEST(TextHunksSubject, ChildrenInFileOrderWithOwnersAndLineNumbers) {
  auto q1 = Hint("First question?", {"one"});
  auto q2 = Hint("Second question?", {"two"});
  auto inner = Subject("Chapter", {q1, q2});
  auto comment = PlainHunk("COMMENT", "A remark", {"plain"});
  THintFileWriter writer = FileWith({inner, comment});
  TLoaded loaded;
  LoadOk(writer, loaded);
  TItemsHunk* root = RootOf(loaded);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->KindCode(), Kind::Subject);
  EXPECT_EQ(root->Text, "Game");
  EXPECT_EQ(root->LineNumber, 1);
  ASSERT_EQ(root->ItemCount(), 2u);

  auto* chapter = ItemAs<TMetaTextHunk>(*root, 0);
  ASSERT_NE(chapter, nullptr);
  EXPECT_EQ(chapter->Kind, Kind::Subject);
  EXPECT_EQ(chapter->Text, "Chapter");
  EXPECT_EQ(chapter->Owner, root);
  EXPECT_EQ(chapter->LineNumber, inner->LineNumber);
  EXPECT_EQ(chapter->LineCount, inner->Lines());
  ASSERT_EQ(chapter->ItemCount(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    auto* question = ItemAs<TMetaTextHunk>(*chapter, i);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->Kind, Kind::Hint);
    EXPECT_EQ(question->Owner, chapter);
    EXPECT_EQ(question->LineNumber, (i == 0 ? q1 : q2)->LineNumber);
    EXPECT_EQ(question->LineCount, 3);
  }
  EXPECT_EQ(ItemTexts(*ItemAs(*chapter, 1)), std::vector<std::string>{"two"});

  auto* remark = ItemAs<TMetaTextHunk>(*root, 1);
  ASSERT_NE(remark, nullptr);
  EXPECT_EQ(remark->Kind, Kind::Comment);
  EXPECT_EQ(remark->LineNumber, comment->LineNumber);
}

// The body ends when the children have used up the count: i is checked
// before each child, so a count that ends inside a child still reads it whole.
TEST(TextHunksSubject, LineCountDecidesWhichHunksAreChildren) {
  struct TCase {
    std::optional<std::int32_t> Count;
    std::vector<std::string> Children;
    std::vector<std::string> TopLevel;  // after the root, before the INFO node
  };
  const TCase cases[] = {
      {std::nullopt, {"Q1", "Q2"}, {}},
      {2, {}, {"Q1", "Q2"}},
      {5, {"Q1"}, {"Q2"}},
      {6, {"Q1", "Q2"}, {}},
      // Runs past the end of the text: loaded with what was read.
      {99, {"Q1", "Q2"}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Count ? *c.Count : -1);
    THintFileWriter writer = FileWith({Hint("Q1", {"a"}), Hint("Q2", {"b"})});
    writer.Hunks[0]->CountOverride = c.Count;
    TLoaded loaded;
    LoadOk(writer, loaded);
    TItemsHunk* root = RootOf(loaded);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(ItemTexts(*root), c.Children);
    ASSERT_EQ(loaded.List.size(), 3 + c.TopLevel.size());
    for (std::size_t i = 0; i < c.TopLevel.size(); ++i) {
      EXPECT_EQ(loaded.List[2 + i]->Text, c.TopLevel[i]);
      EXPECT_EQ(loaded.List[2 + i]->Owner, root);
    }
    EXPECT_EQ(loaded.List.back()->KindCode(), Kind::Info);
  }
}

// ---- HINT and NESTHINT ---------------------------------------------------------

namespace {
struct TExpectedItem {
  std::string Text;
  int IsRule;
  int EndsLine;  // -1: not checked
};

void ExpectItems(const TItemsHunk& node, const std::vector<TExpectedItem>& expected) {
  ASSERT_EQ(node.ItemCount(), expected.size()) << ::testing::PrintToString(ItemTexts(node));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    const TZEBObject* item = node.ItemAt(i);
    EXPECT_FALSE(item->IsNode());
    EXPECT_EQ(item->Text, expected[i].Text);
    EXPECT_EQ(item->IsRule, expected[i].IsRule);
    if (expected[i].EndsLine >= 0) {
      EXPECT_EQ(item->EndsLine, expected[i].EndsLine);
    }
  }
}
}  // namespace

TEST(TextHunksHint, LinesDecodedAndSeparated) {
  const std::string flowing = "A long first hint that flows on";
  struct TCase {
    bool Nested;  // NESTHINT instead of HINT
    std::vector<std::string> Lines;
    std::vector<TExpectedItem> Items;
  };
  const TCase cases[] = {
      {false, {"A", "-", "B"}, {{"A", 0, 1}, {"-", 1, 1}, {"B", 0, 1}}},
      {false, {"-", "B"}, {{"-", 1, 1}, {"B", 0, 1}}},
      {false, {"A", "-", "-", "B"}, {{"A", 0, 1}, {"-", 1, 1}, {"-", 1, 1}, {"B", 0, 1}}},
      // In flowing paragraphs only the separator ends the hint before it.
      {false, {"#w+", flowing, "-", "B"}, {{flowing, 0, 1}, {"-", 1, -1}, {"B", 0, 0}}},
      {true, {"A", "-", "B"}, {{"A", 0, 1}, {"-", 1, 1}, {"B", 0, 1}}},
      // A NESTHINT drops a "-" on its first body line, but not on the second.
      {true, {"-", "B"}, {{"B", 0, 1}}},
      {true, {"-", "-", "B"}, {{"-", 1, 1}, {"B", 0, 1}}},
      {true, {"#w+", flowing, "-", "B"}, {{flowing, 0, 1}, {"-", 1, -1}, {"B", 0, 0}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.Lines) + (c.Nested ? " NESTHINT" : " HINT"));
    std::vector<TWNestItem> nestItems(c.Lines.begin(), c.Lines.end());
    THintFileWriter writer = FileWith({c.Nested ? NestHint("Question?", nestItems) : Hint("Question?", c.Lines)});
    TLoaded loaded;
    LoadOk(writer, loaded);
    ASSERT_NE(RootOf(loaded), nullptr);
    auto* node = ItemAs<TMetaTextHunk>(*RootOf(loaded), 0);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Kind, c.Nested ? Kind::NestHint : Kind::Hint);
    ExpectItems(*node, c.Items);
  }
}

TEST(TextHunksHint, SeparatorLeavesOtherNodesAlone) {
  // The first HINT's only item flows (20 characters or more); a separator that
  // opens the next HINT must not end its line.
  const std::string flowing = "This line flows into the next";
  THintFileWriter writer = FileWith({Hint("Q1", {flowing}), Hint("Q2", {"-", "B"})});
  TLoaded loaded;
  LoadOk(writer, loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  auto* first = ItemAs(*RootOf(loaded), 0);
  auto* second = ItemAs(*RootOf(loaded), 1);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  ExpectItems(*first, {{flowing, 0, 0}});
  ExpectItems(*second, {{"-", 1, 1}, {"B", 0, 1}});
}

TEST(TextHunksHint, DecodesWith88aSubstitutionAndAppliesMarkup) {
  const std::string plain = "Look under the mat: {~} 42!";
  auto hint = Hint("Where is the key?", {plain, "Press ## twice"});
  // A scrambled line that decodes to "-" is text, not a separator.
  hint->Scrambled88a("-");
  THintFileWriter writer = FileWith({hint});
  TLoaded loaded;
  const std::string bytes = LoadOk(writer, loaded);
  EXPECT_EQ(bytes.find(plain), std::string::npos) << "the writer did not scramble";
  ASSERT_NE(RootOf(loaded), nullptr);
  auto* node = ItemAs(*RootOf(loaded), 0);
  ASSERT_NE(node, nullptr);
  ExpectItems(*node, {{plain, 0, 0}, {"Press # twice", 0, 1}, {"-", 0, 1}});
}

TEST(TextHunksNestHint, DecodesWithTheRootTitleMask) {
  // The NESTHINT sits two levels below the root; its own title and its
  // parent's title must not enter the mask.
  const std::string plain = "Behind the painting: 42 {~} and more text";
  auto nest = NestHint("Where?", {plain, "Use #p-LOOK#p+ here"});
  THintFileWriter writer = FileWith({Subject("Chapter", {nest})}, "Masked Root Title");
  TLoaded loaded;
  const std::string bytes = LoadOk(writer, loaded);
  EXPECT_EQ(bytes.find(plain), std::string::npos) << "the writer did not scramble";
  ASSERT_NE(RootOf(loaded), nullptr);
  auto* node = dynamic_cast<TMetaTextHunk*>(RootOf(loaded)->FindByTitle("Where?"));
  ASSERT_NE(node, nullptr);
  ASSERT_EQ(ItemTexts(*node), (std::vector<std::string>{plain, "Use ", "LOOK", " here"}));
  EXPECT_EQ(node->ItemAt(2)->UseFixedFont, 1);
  EXPECT_EQ(node->ItemAt(3)->UseFixedFont, 0);
}

TEST(TextHunksNestHint, NestedHunkStandsAtItsPlace) {
  auto inner = Hint("Sub", {"x"});
  auto deeper = NestHint("Inner", {"deep text inside the nesting"});
  auto nest = NestHint("Q", {"A", inner, "B", deeper, "C"});
  auto after = Hint("After", {"y"});
  THintFileWriter writer = FileWith({nest, after});
  TLoaded loaded;
  LoadOk(writer, loaded);
  TItemsHunk* root = RootOf(loaded);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(ItemTexts(*root), (std::vector<std::string>{"Q", "After"}));
  auto* node = ItemAs(*root, 0);
  ASSERT_NE(node, nullptr);
  ASSERT_EQ(ItemTexts(*node), (std::vector<std::string>{"A", "Sub", "B", "Inner", "C"}));

  auto* sub = ItemAs<TMetaTextHunk>(*node, 1);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->Kind, Kind::Hint);
  EXPECT_EQ(sub->Owner, node);
  EXPECT_EQ(sub->LineNumber, inner->LineNumber);
  EXPECT_EQ(ItemTexts(*sub), std::vector<std::string>{"x"});

  // A NESTHINT inside a NESTHINT still decodes with the root's title.
  auto* innerNest = ItemAs<TMetaTextHunk>(*node, 3);
  ASSERT_NE(innerNest, nullptr);
  EXPECT_EQ(innerNest->Kind, Kind::NestHint);
  EXPECT_EQ(ItemTexts(*innerNest), std::vector<std::string>{"deep text inside the nesting"});

  EXPECT_EQ(ItemLine(*root, 1), after->LineNumber);
}

TEST(TextHunksNestHint, NestMarkAtTheEndOfTheTextStopsTheBody) {
  auto nest = NestHint("Q", {"A"});
  nest->Plain("=");  // no hunk follows: the text ends here
  THintFileWriter writer = FileWith({Hint("Before", {"b"}), nest});
  TLoaded loaded;
  LoadOk(writer, loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  auto* node = ItemAs(*RootOf(loaded), 1);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(ItemTexts(*node), std::vector<std::string>{"A"});
}

TEST(TextHunksNestHint, EmptyRootTitleLeavesLinesAsTheyAre) {
  auto nest = MakeHunk("NESTHINT", "Q");
  nest->Plain("left as it is");
  THintFileWriter writer = FileWith({nest}, "");
  TLoaded loaded;
  LoadOk(writer, loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  auto* node = ItemAs(*RootOf(loaded), 0);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(ItemTexts(*node), std::vector<std::string>{"left as it is"});
}

// ---- COMMENT, CREDIT, VERSION -----------------------------------------------

TEST(TextHunksPlain, LinesStayUndecodedAndCarryMarkup) {
  const struct {
    const char* Keyword;
    std::uint8_t Kind;
  } kinds[] = {{"COMMENT", Kind::Comment}, {"CREDIT", Kind::Credit}, {"VERSION", Kind::VerHunk},
               {"comment", Kind::Comment}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.Keyword);
    auto hunk = PlainHunk(k.Keyword, "96a", {"Plain words here.", "Use ## for a hash", "#w-", "one", "two  spaced"});
    THintFileWriter writer = FileWith({hunk});
    TLoaded loaded;
    LoadOk(writer, loaded);
    ASSERT_NE(RootOf(loaded), nullptr);
    auto* node = ItemAs<TMetaTextHunk>(*RootOf(loaded), 0);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Kind, k.Kind);
    EXPECT_EQ(node->Text, "96a");
    EXPECT_EQ(node->LineCount, 7);
    ASSERT_NO_FATAL_FAILURE(ExpectItems(*node, {{"Plain words here.", 0, 1}, {"Use # for a hash", 0, 0}, {"one", 0, 1}, {"two  spaced", 0, 1}}));
    // "#w-" made every later line a fixed line that never breaks.
    EXPECT_EQ(node->LineMode, 1);
    EXPECT_EQ(node->ItemAt(1)->Wraps, 1);
    EXPECT_EQ(node->ItemAt(2)->Wraps, 0);
    EXPECT_EQ(node->ItemAt(3)->Wraps, 0);
  }
}

// ---- TEXT ------------------------------------------------------------------------

TEST(TextHunksText, FlagsSetTheModesOfEveryLine) {
  // Longer than the root title, so that the text-data variant of the mask matters.
  const std::vector<std::string> lines = {"The quick brown fox jumps over the dog", "short", "  two  spaces  "};
  for (const std::int32_t flags : {0, 1, 2, 3}) {
    SCOPED_TRACE(flags);
    THintFileWriter writer;
    auto text = writer.Text("Readme", flags, lines);
    text->Plain("a body line that is dropped");
    auto after = Hint("After", {"y"});
    writer.Hunks = {Subject("Game", {text, after})};
    TLoaded loaded;
    const std::string bytes = LoadOk(writer, loaded);
    TItemsHunk* root = RootOf(loaded);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(ItemTexts(*root), (std::vector<std::string>{"Readme", "After"}));
    EXPECT_EQ(ItemLine(*root, 1), after->LineNumber);

    auto* node = ItemAs<TTextHunk>(*root, 0);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->KindCode(), Kind::Text);
    EXPECT_EQ(node->LineCount, 4);
    EXPECT_EQ(node->TextFlags, flags);
    std::int32_t length = 0;
    for (const std::string& line : lines) length += static_cast<std::int32_t>(line.size()) + 2;
    EXPECT_EQ(node->DataLength, length);
    ASSERT_GE(node->DataOffset, 0);
    ASSERT_LE(static_cast<std::size_t>(node->DataOffset) + length, bytes.size());
    EXPECT_EQ(bytes.substr(node->DataOffset + length - 2, 2), "\r\n");

    EXPECT_EQ(ItemTexts(*node), lines);
    EXPECT_EQ(node->LineMode, 1);
    EXPECT_EQ(node->BreakMode, (flags & 2) ? 2 : 0);
    EXPECT_EQ(node->FontMode, (flags & 1) ? 1 : 0);
    for (const TZEBObject* item : node->Items) {
      EXPECT_EQ(item->EndsLine, 1);
      EXPECT_EQ(item->UseFixedFont, (flags & 1) ? 1 : 0);
      EXPECT_EQ(item->Wraps, (flags & 2) ? 0 : 1);
    }
  }
}

TEST(TextHunksText, DataLengthBoundsTheLinesRead) {
  THintFileWriter writer;
  auto empty = writer.Text("Empty", 3, {});
  // Data is there, but the hunk gives it the length 0.
  const int blob = writer.AddTextBlob({"never read"});
  auto zero = MakeHunk("TEXT", "Zero");
  zero->Pieces({TWPiece::Literal("0 3 "), TWPiece::OffsetOf(blob), TWPiece::Literal(" 0")});
  writer.Hunks = {Subject("Game", {empty, zero})};
  TLoaded loaded;
  LoadOk(writer, loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  for (std::size_t i = 0; i < 2; ++i) {
    auto* node = ItemAs<TTextHunk>(*RootOf(loaded), i);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->DataLength, 0);
    EXPECT_EQ(node->ItemCount(), 0u);
  }
}

TEST(TextHunksText, LineFeedOnlyDataLeavesTheLastLinesUnread) {
  // Each line counts two line-end bytes but has one: eight lines of one
  // character hold 16 bytes, and after six lines the count has reached 18.
  const std::vector<std::string> lines = {"a", "b", "c", "d", "e", "f", "g", "h"};
  const std::string mask = TitleMask("Game");
  std::string data;
  for (const std::string& line : lines) data += EncodeWithMask(line, mask, TMaskVariant::TextData) + "\n";
  THintFileWriter writer;
  const int blob = writer.AddBlob(data);
  auto text = MakeHunk("TEXT", "Unix text");
  text->Pieces({TWPiece::Literal("0 0 "), TWPiece::OffsetOf(blob), TWPiece::Literal(" "), TWPiece::LengthOf(blob)});
  writer.Hunks = {Subject("Game", {text})};
  TLoaded loaded;
  LoadOk(writer, loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  auto* node = ItemAs<TTextHunk>(*RootOf(loaded), 0);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->DataLength, 16);
  EXPECT_EQ(ItemTexts(*node), (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
}

TEST(TextHunksText, OnlyTheRootsSubtreeGetsText) {
  THintFileWriter writer;
  auto deep = writer.Text("Deep", 0, {"deep line"});
  auto inPicture = writer.Text("In picture", 0, {"picture line"});
  auto picture = writer.HyperPng("Map", TinyPng(2, 2), {{0, 0, 1, 1, inPicture}});
  auto outside = writer.Text("Outside", 0, {"outside line"});
  writer.Hunks = {Subject("Game", {Subject("Chapter", {deep}), picture}), outside};
  TLoaded loaded;
  LoadOk(writer, loaded);
  TItemsHunk* root = RootOf(loaded);
  ASSERT_NE(root, nullptr);

  auto* deepNode = dynamic_cast<TTextHunk*>(root->FindByTitle("Deep"));
  ASSERT_NE(deepNode, nullptr);
  EXPECT_EQ(ItemTexts(*deepNode), std::vector<std::string>{"deep line"});
  auto* pictureText = dynamic_cast<TTextHunk*>(root->FindByTitle("In picture"));
  ASSERT_NE(pictureText, nullptr);
  EXPECT_EQ(ItemTexts(*pictureText), std::vector<std::string>{"picture line"});

  ASSERT_EQ(loaded.List.size(), 4u);  // 88a node, root, TEXT, INFO
  auto* outsideNode = dynamic_cast<TTextHunk*>(loaded.List[2].get());
  ASSERT_NE(outsideNode, nullptr);
  EXPECT_EQ(outsideNode->Text, "Outside");
  EXPECT_GT(outsideNode->DataLength, 0);
  EXPECT_EQ(outsideNode->ItemCount(), 0u);
}

TEST(TextHunksText, EmptyRootTitleLeavesDataAsItIs) {
  THintFileWriter writer;
  const int blob = writer.AddBlob("stored plain\r\n");
  auto text = MakeHunk("TEXT", "Plain data");
  text->Pieces({TWPiece::Literal("0 0 "), TWPiece::OffsetOf(blob), TWPiece::Literal(" "), TWPiece::LengthOf(blob)});
  writer.Hunks = {Subject("", {text})};
  TLoaded loaded;
  LoadOk(writer, loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  auto* node = ItemAs<TTextHunk>(*RootOf(loaded), 0);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(ItemTexts(*node), std::vector<std::string>{"stored plain"});
}

// ---- unknown keywords ---------------------------------------------------------------

TEST(TextHunksUnknown, KeepsItsPlaceAndItsLinesAreSkipped) {
  const struct {
    const char* Separator;
    const char* Keyword;
  } headers[] = {{" ", "FROB"}, {"  ", "HINT"}, {" ", "HINTS"}, {" ", "HINT "}, {" ", ""}};
  for (const auto& h : headers) {
    SCOPED_TRACE(std::string("[") + h.Separator + h.Keyword + "]");
    // Body lines that look like a hunk must not be read as one.
    auto odd = PlainHunk(h.Keyword, "Odd one", {"3 HINT", "fake", "x"});
    odd->Separator = h.Separator;
    auto after = Hint("After", {"b"});
    THintFileWriter writer = FileWith({Hint("Before", {"a"}), odd, after});
    TLoaded loaded;
    LoadOk(writer, loaded);
    TItemsHunk* root = RootOf(loaded);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(ItemTexts(*root), (std::vector<std::string>{"Before", "Odd one", "After"}));
    const TZEBObject* unknown = root->ItemAt(1);
    EXPECT_EQ(unknown->KindCode(), Kind::Unknown);
    EXPECT_TRUE(unknown->IsNode());
    EXPECT_EQ(dynamic_cast<const TItemsHunk*>(unknown), nullptr);
    EXPECT_EQ(static_cast<const THunk*>(unknown)->LineNumber, odd->LineNumber);
    EXPECT_EQ(static_cast<const THunk*>(unknown)->LineCount, 5);
    auto* afterNode = ItemAs(*root, 2);
    ASSERT_NE(afterNode, nullptr);
    EXPECT_EQ(afterNode->LineNumber, after->LineNumber);
    EXPECT_EQ(ItemTexts(*afterNode), std::vector<std::string>{"b"});
  }
}
