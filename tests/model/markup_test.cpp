// Adding lines and child nodes to a node: the "#" text markup and the layout
// flags that the display reads.

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "model/itemshunk.h"
#include "model/metatexthunk.h"
#include "model/zebobject.h"

namespace {

// One thing added with AddLine: a text line, or a child node with that title.
struct TInput {
  std::string Text;
  bool IsNode = false;
  TInput(const char* text) : Text(text) {}
  TInput(std::string text, bool isNode = false) : Text(std::move(text)), IsNode(isNode) {}
};
TInput Node(const char* title) { return TInput(title, true); }

// The flags of one resulting item. Piece: split off before a command, so the
// node is its owner; the rest of a line keeps the owner it was read with.
struct TItem {
  std::string Text;
  int EndsLine;
  int SpaceAfter;
  int UseFixedFont = 0;
  int Wraps = 1;
  bool Piece = false;
};

struct TModes {
  std::uint8_t Line = 0, Break = 0, Font = 0;
  bool operator==(const TModes&) const = default;
};

struct TMarkupCase {
  const char* Name;
  std::vector<TInput> Inputs;
  std::vector<TItem> Items;
  TModes After;
  TModes Before = {};
};

std::ostream& operator<<(std::ostream& out, const TMarkupCase& c) { return out << c.Name; }

constexpr const char* Long = "A line that flows into the next";  // 31 characters

const TMarkupCase Cases[] = {
    {"TryTheLookCommand",
     {"Try the #p-LOOK#p+ command."},
     {{"Try the ", 0, 0, 0, 1, true}, {"LOOK", 0, 0, 1, 1, true}, {" command.", 0, 1, 0, 1}},
     {0, 0, 2}},
    {"EmptyLineAddsNothing", {""}, {}, {}},
    {"EmptyLineLeavesThePreviousItemAlone", {Long, ""}, {{Long, 0, 1}}, {}},
    {"LoneWMinusAddsNothingAndJoinsThePreviousItem",
     {Long, "#w-"},
     {{Long, 0, 0}},
     {1, 2, 0}},
    {"CommandsOnlyLineAddsNothing", {"#p-#W+"}, {}, {2, 1, 1}},
    {"TrailingCommandKeepsOnlyThePiece",
     {"Look here #p-"},
     {{"Look here ", 0, 0, 0, 1, true}},
     {0, 0, 1}},
    {"DoubleHashIsOneHash", {"Press ## to continue"}, {{"Press # to continue", 0, 1}}, {}},
    {"DoubleHashEscapesACommand", {"a##+b"}, {{"a#+b", 0, 1}}, {}},
    {"TripleHash", {"###"}, {{"##", 0, 1}}, {}},
    {"HashDigitStaysButCountsAsMarkup", {"Page #5 of the manual"}, {{"Page #5 of the manual", 0, 1}}, {}},
    {"ShortLineWithHashDigitNeverEndsByLength", {"Page #5"}, {{"Page #5", 0, 1}}, {}},
    {"HashCharHashStaysInTheText", {"a#x#b"}, {{"a#x#b", 0, 1}}, {}},
    {"TerminatorTooFarIsOrdinaryText", {"#ab+"}, {{"#ab+", 1, 1}}, {}},
    {"HashWithoutTerminatorIsOrdinaryText", {"end #"}, {{"end #", 1, 1}}, {}},
    {"NineteenCharactersEndTheLine", {"1234567890123456789"}, {{"1234567890123456789", 1, 1}}, {}},
    {"TwentyCharactersFlow", {"12345678901234567890"}, {{"12345678901234567890", 0, 1}}, {}},
    {"OneCharacterEndsItselfAndThePreviousItem",
     {Long, " "},
     {{Long, 1, 1}, {" ", 1, 1}},
     {}},
    {"ChildNodeInAutomaticModeEndsBothLines",
     {Long, Node("Child")},
     {{Long, 1, 1}, {"Child", 1, 1}},
     {}},
    {"ChildNodeWithALongTitleStillEndsItsLine",
     {Node("A child node with a long title")},
     {{"A child node with a long title", 1, 1}},
     {}},
    {"ChildNodeInParagraphModeFlows",
     {"#w+", Long, Node("Child")},
     {{Long, 0, 1}, {"Child", 0, 1}},
     {2, 1, 0}},
    {"ChildNodeTakesTheFontAndBreakModes",
     {"#W-", "#P-", Node("Child")},
     {{"Child", 1, 1, 1, 0}},
     {1, 2, 1}},
    {"LowerWPlusFlowsEvenOneCharacter",
     {"#w+", "short", "x"},
     {{"short", 0, 1}, {"x", 0, 1}},
     {2, 1, 0}},
    {"UpperWMinusEndsEveryLineAndStopsBreaking",
     {"#W-", Long, "short"},
     {{Long, 1, 1, 0, 0}, {"short", 1, 1, 0, 0}},
     {1, 2, 0}},
    {"UpperWPlus", {"#W+", "short"}, {{"short", 0, 1}}, {2, 1, 0}},
    {"LowerWMinus", {"#w-", "x"}, {{"x", 1, 1, 0, 0}}, {1, 2, 0}},
    {"LowerWDotBackToAutomatic", {"#w.", "short"}, {{"short", 1, 1}}, {0, 0, 2}, {1, 2, 2}},
    {"UpperWDotBackToAutomatic", {"#W.", Long}, {{Long, 0, 1, 1, 1}}, {0, 0, 1}, {2, 1, 1}},
    {"LowerPMinusFixedFont", {"#p-", "code"}, {{"code", 1, 1, 1, 1}}, {0, 0, 1}},
    {"UpperPMinusFixedFont", {"#P-", "code"}, {{"code", 1, 1, 1, 1}}, {0, 0, 1}},
    {"UpperPPlusProportional", {"#P+", "text"}, {{"text", 1, 1, 0, 1}}, {0, 0, 2}, {0, 0, 1}},
    {"LowerPPlusProportional", {"#p+", "text"}, {{"text", 0, 1, 0, 1}}, {2, 1, 2}, {2, 1, 1}},
    {"ModeAppliesToTheRestOfTheSameLine",
     {"abc#w-def"},
     {{"abc", 0, 0, 0, 1, true}, {"def", 1, 1, 0, 0}},
     {1, 2, 0}},
    {"OtherCommandsSplitButChangeNoMode",
     {"a#x.b#+c#q-d"},
     {{"a", 0, 0, 0, 1, true}, {"b", 0, 0, 0, 1, true}, {"c", 0, 0, 0, 1, true}, {"d", 0, 1}},
     {0, 0, 0}},
    {"OtherLettersAreNoModeCommands", {"#v+", "#q-"}, {}, {1, 2, 1}, {1, 2, 1}},
    // The commands-only line also joins "two" to what follows it.
    {"ModesHoldForLaterLines",
     {"#p-#w+", "one", "two", "#p+#w.", "three"},
     {{"one", 0, 1, 1, 1}, {"two", 0, 0, 1, 1}, {"three", 1, 1, 0, 1}},
     {0, 0, 2}},
};

class Markup : public ::testing::TestWithParam<TMarkupCase> {};

TEST_P(Markup, AddLineGivesTheseItems) {
  const TMarkupCase& c = GetParam();
  TMetaTextHunk node("node", nullptr, Kind::Hint);
  node.LineMode = c.Before.Line;
  node.BreakMode = c.Before.Break;
  node.FontMode = c.Before.Font;
  for (const TInput& input : c.Inputs) {
    if (input.IsNode)
      node.AddLine(new TMetaTextHunk(input.Text, &node, Kind::Subject));
    else
      node.AddLine(new THunkLine(input.Text, nullptr));
  }

  ASSERT_EQ(node.ItemCount(), c.Items.size());
  for (std::size_t i = 0; i < c.Items.size(); ++i) {
    SCOPED_TRACE("item " + std::to_string(i));
    const TZEBObject& item = *node.ItemAt(i);
    const TItem& want = c.Items[i];
    EXPECT_EQ(item.Text, want.Text);
    EXPECT_EQ(item.EndsLine, want.EndsLine);
    EXPECT_EQ(item.SpaceAfter, want.SpaceAfter);
    EXPECT_EQ(item.UseFixedFont, want.UseFixedFont);
    EXPECT_EQ(item.Wraps, want.Wraps);
    EXPECT_EQ(item.IsRule, 0);
    if (!item.IsNode()) {
      EXPECT_EQ(item.Owner, want.Piece ? &node : nullptr);
    }
  }
  EXPECT_EQ((TModes{node.LineMode, node.BreakMode, node.FontMode}), c.After);
}

INSTANTIATE_TEST_SUITE_P(Cases, Markup, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The rest of a line is the line object that was passed in; a line that held
// nothing but commands is deleted (checked under the sanitizers).
TEST(MarkupLines, RestOfALineIsTheObjectPassedIn) {
  TMetaTextHunk node("node", nullptr, Kind::Hint);
  auto* line = new THunkLine("x#p-rest", nullptr);
  node.AddLine(line);
  ASSERT_EQ(node.ItemCount(), 2u);
  EXPECT_EQ(node.ItemAt(1), line);
  EXPECT_EQ(line->Text, "rest");
  node.AddLine(new THunkLine("#w-#p+", nullptr));
  EXPECT_EQ(node.ItemCount(), 2u);
}

// AddItem on its own: the split-piece and had-markup arguments.
TEST(MarkupAddItem, FlagsFromTheArguments) {
  struct TCase {
    const char* Name;
    std::string Text;
    bool SplitPiece, HadMarkup;
    bool Added;
    int EndsLine, SpaceAfter;
    int PreviousEndsLine, PreviousSpaceAfter;
  };
  const TCase cases[] = {
      {"plain short", "short", false, false, true, 1, 1, 0, 1},
      {"plain one character", "x", false, false, true, 1, 1, 1, 1},
      {"piece one character", "x", true, false, true, 0, 0, 0, 1},
      {"rest one character", "x", false, true, true, 0, 1, 0, 1},
      {"empty piece joins the previous item", "", true, false, false, 0, 0, 0, 0},
      {"empty piece after markup", "", true, true, false, 0, 0, 0, 1},
      {"empty line", "", false, false, false, 0, 0, 0, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TMetaTextHunk node("node", nullptr, Kind::Hint);
    node.AddItem(new THunkLine(Long, nullptr), false, false);
    auto* item = new THunkLine(c.Text, nullptr);
    item->Wraps = 0;
    item->UseFixedFont = 1;
    node.AddItem(item, c.SplitPiece, c.HadMarkup);
    ASSERT_EQ(node.ItemCount(), c.Added ? 2u : 1u);
    EXPECT_EQ(node.ItemAt(0)->EndsLine, c.PreviousEndsLine);
    EXPECT_EQ(node.ItemAt(0)->SpaceAfter, c.PreviousSpaceAfter);
    if (!c.Added) continue;
    EXPECT_EQ(item->EndsLine, c.EndsLine);
    EXPECT_EQ(item->SpaceAfter, c.SpaceAfter);
    EXPECT_EQ(item->Wraps, 1) << "set from the node's modes";
    EXPECT_EQ(item->UseFixedFont, 0) << "set from the node's modes";
  }
}

TEST(MarkupLongLines, ManyEscapesAndDigitsStayCorrect) {
  std::string line;
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    line += "a##b#5 ";
    expected += "a#b#5 ";
  }
  TMetaTextHunk node("node", nullptr, Kind::Hint);
  node.AddLine(new THunkLine(line, nullptr));
  ASSERT_EQ(node.ItemCount(), 1u);
  EXPECT_EQ(node.ItemAt(0)->Text, expected);
  EXPECT_EQ(node.ItemAt(0)->EndsLine, 0);
  EXPECT_EQ(node.ItemAt(0)->SpaceAfter, 1);
}

TEST(MarkupLongLines, ManyCommandsSplitIntoManyPieces) {
  const int pairs = 5000;
  std::string line;
  for (int i = 0; i < pairs; ++i) line += "f" + std::to_string(i) + "#p-p" + std::to_string(i) + "#p+";
  line += "end";
  TMetaTextHunk node("node", nullptr, Kind::Hint);
  node.AddLine(new THunkLine(line, nullptr));
  ASSERT_EQ(node.ItemCount(), static_cast<std::size_t>(2 * pairs + 1));
  for (int i = 0; i < pairs; ++i) {
    const TZEBObject& fixedBefore = *node.ItemAt(2 * i);
    const TZEBObject& fixedAfter = *node.ItemAt(2 * i + 1);
    ASSERT_EQ(fixedBefore.Text, "f" + std::to_string(i));
    ASSERT_EQ(fixedBefore.UseFixedFont, 0);
    ASSERT_EQ(fixedAfter.Text, "p" + std::to_string(i));
    ASSERT_EQ(fixedAfter.UseFixedFont, 1);
  }
  EXPECT_EQ(node.Items.back()->Text, "end");
  EXPECT_EQ(node.Items.back()->SpaceAfter, 1);
  EXPECT_EQ(node.FontMode, 2);
}

}  // namespace
