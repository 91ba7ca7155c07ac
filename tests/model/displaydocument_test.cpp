// Display documents and text output: the flat, fully revealed form of a tree
// that decoding and printing use, its clean-up, and the text writer that wraps
// at 75 columns with CR LF line ends.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <utility>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/datahunks.h"
#include "model/displaydocument.h"
#include "model/hunk.h"
#include "model/loader.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"
#include "model/texthunk.h"
#include "support/fixtures.h"

namespace {

constexpr const char* NotRecognized =
    "This data type was not recognized.  You may need to upgrade your ZEB reader.";
constexpr const char* UnsupportedImage =
    "This section contains image data in an unsupported format.  You will need to get a newer version of "
    "this hint file to display the image.";
constexpr const char* SoundData =
    "This section contains sound data.  You will need to open it from within the reader to play the sound.";
constexpr const char* CannotConvert = "This section contains graphics or sounds that cannot be converted to text.";

// Each line followed by CR LF.
std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Loads the writer's file; the root node, or none (with a failure) when it did not load.
THunk* LoadRoot(THintFileWriter& writer, TLoaded& loaded, bool inlineImages = false) {
  LoadBytes(writer.Build(), loaded, inlineImages);
  EXPECT_EQ(loaded.Code, LoadResult::Loaded);
  return ListRootNode(loaded.List);
}

THunk* LoadRoot(TWHunkPtr root, TLoaded& loaded, bool inlineImages = false) {
  THintFileWriter writer;
  writer.Hunks = {std::move(root)};
  return LoadRoot(writer, loaded, inlineImages);
}

// A display document of a tree, built the way decoding builds it and freed
// the way decoding frees it.
class TBuiltDocument {
 public:
  explicit TBuiltDocument(THunk& root) : Document(MakeDocument("Hints for " + root.GetText())) {
    root.AssignLabels("");
    root.AppendDisplay(*Document);
  }
  ~TBuiltDocument() { FreeDocument(std::move(Document)); }

  std::string Written() const {
    std::ostringstream out;
    Document->WriteText(out, -1);
    return out.str();
  }

  std::unique_ptr<TMetaTextHunk> Document;
};

// One item of a document: made while building (owned by the document) or borrowed.
struct TDocItem {
  std::string Text;
  int EndsLine;
  bool Made;
  bool operator==(const TDocItem&) const = default;
};

void PrintTo(const TDocItem& item, std::ostream* out) {
  *out << (item.Made ? "made" : "borrowed") << " \"" << item.Text << "\" EndsLine " << item.EndsLine;
}

std::vector<TDocItem> Describe(const TMetaTextHunk& document) {
  std::vector<TDocItem> items;
  for (const TZEBObject* item : document.Items)
    items.push_back({item->Text, item->EndsLine, item->Owner == &document});
  return items;
}

TDocItem Made(std::string text, int endsLine = 1) { return {std::move(text), endsLine, true}; }
TDocItem Borrowed(std::string text, int endsLine = 1) { return {std::move(text), endsLine, false}; }

// A snapshot of everything in a tree except the outline numbers, which
// building a document is allowed to change.
void Snapshot(const TZEBObject& object, std::ostream& out, int depth = 0) {
  out << std::string(depth * 2, ' ') << object.ClassName() << " kind " << int(object.KindCode()) << " \""
      << object.Text << "\" flags " << int(object.EndsLine) << int(object.IsRule) << int(object.Wraps)
      << int(object.UseFixedFont) << int(object.SpaceAfter) << " owner " << object.Owner << " at " << &object;
  if (object.IsNode()) {
    const auto& node = static_cast<const THunk&>(object);
    out << " line " << node.LineNumber << " count " << node.LineCount << " window " << node.Window << " shown "
        << node.GetHintsShown();
  }
  out << "\n";
  if (const auto* items = dynamic_cast<const TItemsHunk*>(&object)) {
    out << std::string(depth * 2, ' ') << " modes " << int(items->LineMode) << int(items->BreakMode)
        << int(items->FontMode) << " owns " << int(items->OwnsItems) << "\n";
    for (const TZEBObject* item : items->Items) Snapshot(*item, out, depth + 1);
  }
}

std::string Snapshot(const TZEBObject& object) {
  std::ostringstream out;
  Snapshot(object, out);
  return out.str();
}

void CollectTree(TZEBObject* object, std::set<const TZEBObject*>& found) {
  found.insert(object);
  if (auto* items = dynamic_cast<TItemsHunk*>(object))
    for (TZEBObject* item : items->Items) CollectTree(item, found);
}

// ---------------------------------------------------------------------------
// Headings

struct TTreeCase {
  const char* Name;
  std::function<TWHunkPtr()> Root;
  std::string Body;  // the document written as text
};

void PrintTo(const TTreeCase& c, std::ostream* out) { *out << c.Name; }

class DisplayDocumentText : public ::testing::TestWithParam<TTreeCase> {};

TEST_P(DisplayDocumentText, WrittenDocument) {
  TLoaded loaded;
  THunk* root = LoadRoot(GetParam().Root(), loaded);
  ASSERT_NE(root, nullptr);
  TBuiltDocument built(*root);
  EXPECT_EQ(built.Written(), GetParam().Body);
}

const TTreeCase HeadingCases[] = {
    {"FirstSubjectUnderASubjectHasNoBlankLinesTheSecondHasTwo",
     [] {
       return Subject("Game", {Subject("Alpha", {Hint("Question", {"Short line"})}),
                               Subject("Beta", {PlainHunk("COMMENT", "Gamma", {"Note"})})});
     },
     Lines({"1. Alpha", "", "", "1.1. Question", "", "Short line", "", "", "2. Beta", "", "", "2.1. Gamma", "",
            "Note"})},
    {"NodesOtherThanSubjectsGetOneBlankLineAfterTheHeading",
     [] { return Subject("Game", {Hint("First", {"One"}), PlainHunk("CREDIT", "Second", {"Two"})}); },
     Lines({"1. First", "", "One", "", "", "2. Second", "", "Two"})},
    {"LabelOneUnderANodeThatIsNoSubjectGetsTwoBlankLines",
     [] { return NestHint("Game", {"Intro", Hint("Inner", {"Deep"})}); },
     Lines({"Intro", "Inner [see 1.]", "", "", "1. Inner", "", "Deep"})},
    {"BlankAndLinkTakeNoNumberAndShowNothing",
     [] {
       auto first = Hint("First", {"One"});
       return Subject("Game", {PlainHunk("BLANK", "ignored"), first, Link("Back", first), Hint("Second", {"Two"})});
     },
     Lines({"1. First", "", "One", "", "", "2. Second", "", "Two"})},
};

INSTANTIATE_TEST_SUITE_P(Headings, DisplayDocumentText, ::testing::ValuesIn(HeadingCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------
// Hint lists: bullets and cross references

const TTreeCase HintListCases[] = {
    {"HintsWithASeparatorGetBullets", [] { return Subject("Game", {Hint("Q", {"Alpha", "-", "Beta"})}); },
     Lines({"1. Q", "", "* Alpha", "* Beta"})},
    {"HintsWithoutSeparatorGetNoBullet", [] { return Subject("Game", {Hint("Q", {"Alpha", "Beta"})}); },
     Lines({"1. Q", "", "Alpha", "Beta"})},
    {"NestHintGetsBulletsToo", [] { return Subject("Game", {NestHint("Q", {"Alpha", "-", "Beta"})}); },
     Lines({"1. Q", "", "* Alpha", "* Beta"})},
    {"DashInACommentIsABulletButTheFirstLineHasNone",
     [] { return Subject("Game", {PlainHunk("COMMENT", "C", {"Alpha", "-", "Beta"})}); },
     Lines({"1. C", "", "Alpha", "* Beta"})},
    {"LastHintThatFlowsIsEndedByAnEmptyItem",
     [] { return Subject("Game", {Hint("Q", {"Alpha", "-", "A long last hint that flows on"})}); },
     Lines({"1. Q", "", "* Alpha", "* A long last hint that flows on "})},
    {"NestedNodeIsReferencedAmongTheHintsAndShownAfterThem",
     [] {
       return Subject("Game", {PlainHunk("COMMENT", "One", {"x"}), PlainHunk("COMMENT", "Two", {"y"}),
                               NestHint("Three", {"First", "-", "Second", Hint("Deep", {"Down"}), "-", "Last"})});
     },
     Lines({"1. One", "", "x", "", "", "2. Two", "", "y", "", "", "3. Three", "", "* First", "* Second",
            "Deep [see 3.1.]", "* Last", "", "", "3.1. Deep", "", "Down"})},
};

INSTANTIATE_TEST_SUITE_P(HintLists, DisplayDocumentText, ::testing::ValuesIn(HintListCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DisplayDocument, BulletsAreMadeItemsAndHintLinesAreBorrowed) {
  TLoaded loaded;
  THunk* root = LoadRoot(Subject("Game", {Hint("Q", {"Alpha", "-", "Beta"})}), loaded);
  ASSERT_NE(root, nullptr);
  TBuiltDocument built(*root);
  const std::vector<TDocItem> expected = {Made("1. Q"), Made(""),    Made("* ", 0),
                                          Borrowed("Alpha"), Made("* ", 0), Borrowed("Beta")};
  EXPECT_EQ(Describe(*built.Document), expected);

  // Made items carry the flags of construction.
  for (const TZEBObject* item : built.Document->Items) {
    if (item->Owner != built.Document.get()) continue;
    EXPECT_EQ(item->IsRule, 0) << item->Text;
    EXPECT_EQ(item->Wraps, 1) << item->Text;
    EXPECT_EQ(item->UseFixedFont, 0) << item->Text;
    EXPECT_EQ(item->SpaceAfter, 0) << item->Text;
  }
}

TEST(DisplayDocument, CrossReferenceKeepsTheNestedNodesEndsLineAndNamesALinksTarget) {
  TLoaded loaded;
  auto first = Hint("First", {"One"});
  THunk* root = LoadRoot(
      Subject("Game", {first, NestHint("Second", {"Alpha", "-", Hint("Deep", {"Down"}), Link("Back", first)})}),
      loaded);
  ASSERT_NE(root, nullptr);
  auto* nest = static_cast<TMetaTextHunk*>(root->FindByTitle("Second"));
  ASSERT_NE(nest, nullptr);
  ASSERT_EQ(nest->Items.size(), 4u);
  nest->Items[2]->EndsLine = 0;  // the reference takes the node's own flag

  TBuiltDocument built(*root);
  const std::vector<TDocItem> expected = {
      Made("1. First"), Made(""), Borrowed("One"),                                  // 1.
      Made(""), Made(""), Made("2. Second"), Made(""), Made("* ", 0),               // 2. and its first bullet
      Borrowed("Alpha"), Made("* ", 0), Made("Deep [see 2.1.]", 0), Made("Back [see 1.]"),
      Made(""), Made(""), Made("2.1. Deep"), Made(""), Borrowed("Down")};           // the nested node after the hints
  EXPECT_EQ(Describe(*built.Document), expected);
}

TEST(DisplayDocument, PictureAmongHintsStandsInPlaceAndIsNotRepeated) {
  THintFileWriter writer;
  writer.Hunks = {Subject("Game", {NestHint("Q", {"Look at this.", writer.HyperPng("Map", TinyPng(2, 2)),
                                                  "-", "Second"})})};
  TLoaded loaded;
  THunk* root = LoadRoot(writer, loaded, /*inlineImages=*/true);
  ASSERT_NE(root, nullptr);
  auto* nest = static_cast<TMetaTextHunk*>(root->FindByTitle("Q"));
  ASSERT_NE(nest, nullptr);
  ASSERT_EQ(nest->Items.size(), 4u);
  const TZEBObject* picture = nest->Items[1];
  ASSERT_EQ(picture->KindCode(), Kind::PngObject);

  TBuiltDocument built(*root);
  const auto& items = built.Document->Items;
  ASSERT_EQ(items.size(), 7u);
  EXPECT_EQ(items[3]->Text, "Look at this.");
  EXPECT_EQ(items[4], picture);  // the picture itself, where it stands
  EXPECT_EQ(items[5]->Text, "* ");
  EXPECT_EQ(items[6]->Text, "Second");
}

// ---------------------------------------------------------------------------
// Nodes without text of their own

TEST(DisplayDocument, DataNodesAppendTheirHeadingAndFixedTexts) {
  struct TCase {
    const char* Name;
    std::function<TWHunkPtr(THintFileWriter&)> Node;
    std::vector<TDocItem> Expected;
  };
  const std::string png = TinyPng(2, 2);
  const TCase cases[] = {
      {"Unknown", [](THintFileWriter&) { return PlainHunk("ODDITY", "Odd", {"whatever"}); },
       {Made("1. Odd"), Made(""), Made(NotRecognized)}},
      {"Gifa", [](THintFileWriter& w) { return w.Gifa("Moon", "GIF89a-not-really"); },
       {Made("1. Moon"), Made(""), Made(UnsupportedImage)}},
      {"Sound", [](THintFileWriter& w) { return w.Sound("Bell", "RIFF-not-really"); },
       {Made("1. Bell"), Made(""), Made(SoundData)}},
      // An overlay takes the number of the counted node before it: 0. when first.
      {"OverlayHeadingOnly", [&](THintFileWriter& w) { return w.Overlay("Panel", png, 1, 1); },
       {Made(""), Made(""), Made("0. Panel"), Made("")}},
      {"Link", [](THintFileWriter&) { return LinkToLine("Nowhere", 1); }, {}},
      {"Blank", [](THintFileWriter&) { return PlainHunk("BLANK", "Not shown"); }, {}},
      {"TextLinesThemselves", [](THintFileWriter& w) { return w.Text("Rota", 1, {"MON  Cook", "TUE  Maid"}); },
       {Made("1. Rota"), Made(""), Borrowed("MON  Cook"), Borrowed("TUE  Maid")}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    THintFileWriter writer;
    writer.Hunks = {Subject("Game", {c.Node(writer)})};
    TLoaded loaded;
    THunk* root = LoadRoot(writer, loaded);
    ASSERT_NE(root, nullptr);
    TBuiltDocument built(*root);
    EXPECT_EQ(Describe(*built.Document), c.Expected);
  }
}

TEST(DisplayDocument, PictureAppendsItselfAndTheDisplayOfItsRegionsButNotOverlays) {
  THintFileWriter writer;
  const std::string png = TinyPng(4, 4);
  writer.Hunks = {Subject("Game", {writer.HyperPng("Hall", png,
                                                   {{0, 0, 1, 1, Hint("Throne", {"Crown"})},
                                                    {2, 2, 3, 3, writer.Overlay("Panel", png, 1, 1)},
                                                    {0, 2, 1, 3, LinkToLine("Away", 1)}})})};
  TLoaded loaded;
  THunk* root = LoadRoot(writer, loaded);
  ASSERT_NE(root, nullptr);
  auto* hyper = dynamic_cast<THyperPNGHunk*>(root->FindByTitle("Hall"));
  ASSERT_NE(hyper, nullptr);
  ASSERT_NE(hyper->Image(), nullptr);

  TBuiltDocument built(*root);
  const auto& items = built.Document->Items;
  ASSERT_EQ(items.size(), 8u);
  EXPECT_EQ(items[2], hyper->Image());  // borrowed: the picture itself
  const std::vector<TDocItem> expected = {Made("1. Hall"), Made(""),         Borrowed(""), Made(""),
                                          Made(""),        Made("1.1.1. Throne"), Made(""), Borrowed("Crown")};
  EXPECT_EQ(Describe(*built.Document), expected);
  EXPECT_EQ(built.Written(), Lines({"1. Hall", "", "", "", "", "1.1.1. Throne", "", "Crown"}));
}

TEST(WriteTextOfANode, NodesWithoutItemsWriteOneFixedLine) {
  THintFileWriter writer;
  const std::string png = TinyPng(2, 2);
  auto target = Hint("Q", {"a"});
  writer.Hunks = {Subject("Game", {PlainHunk("ODDITY", "Odd"), writer.Gifa("Moon", "gif"),
                                   writer.Sound("Bell", "wav"), writer.Overlay("Panel", png, 0, 0),
                                   Link("Go", target), PlainHunk("BLANK", "b"), target})};
  TLoaded loaded;
  THunk* root = LoadRoot(writer, loaded);
  ASSERT_NE(root, nullptr);
  auto* game = static_cast<TItemsHunk*>(root);
  ASSERT_EQ(game->Items.size(), 7u);
  for (std::size_t i = 0; i < 6; ++i) {
    const auto* node = static_cast<const THunk*>(game->Items[i]);
    std::ostringstream out;
    node->WriteText(out, -1);
    EXPECT_EQ(out.str(), std::string(i == 0 ? NotRecognized : CannotConvert) + "\r\n") << node->ClassName();
  }
}

TEST(WriteTextOfANode, HintListWritesBulletsForTheFirstCountItems) {
  TLoaded loaded;
  THunk* root =
      LoadRoot(Subject("Game", {Hint("Q", {"Alpha", "-", "Beta", "-", "Gamma"}),
                                PlainHunk("COMMENT", "C", {"Alpha", "-", "Beta"})}),
               loaded);
  ASSERT_NE(root, nullptr);
  const THunk* hint = root->FindByTitle("Q");
  const THunk* comment = root->FindByTitle("C");
  ASSERT_NE(hint, nullptr);
  ASSERT_NE(comment, nullptr);
  const struct {
    const THunk* Node;
    int Count;
    std::string Expected;
  } cases[] = {
      {hint, 1, Lines({"Alpha"})},  // no separator among the first item: no bullet
      {hint, 3, Lines({"* Alpha", "* Beta"})},
      {hint, -1, Lines({"* Alpha", "* Beta", "* Gamma"})},
      {comment, -1, Lines({"Alpha", "-", "Beta"})},  // only hint lists write bullets
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    c.Node->WriteText(out, c.Count);
    EXPECT_EQ(out.str(), c.Expected) << c.Node->Text << " count " << c.Count;
  }
}

// ---------------------------------------------------------------------------
// Clean-up and the tree left as it was

// Items of a hand-made tree that count their deletions.
int DeletedTreeItems = 0;
class TCountedLine : public THunkLine {
 public:
  using THunkLine::THunkLine;
  ~TCountedLine() override { ++DeletedTreeItems; }
};
class TCountedPicture : public TPNGObject {
 public:
  using TPNGObject::TPNGObject;
  ~TCountedPicture() override { ++DeletedTreeItems; }
};

TEST(DisplayDocument, FreeDocumentDeletesOnlyTheItemsItMade) {
  DeletedTreeItems = 0;
  auto root = std::make_unique<TMetaTextHunk>("Game", nullptr, Kind::Subject);
  auto* nest = new TMetaTextHunk("Question", root.get(), Kind::NestHint);
  root->AddLine(nest);
  nest->AddLine(new TCountedLine("Alpha", nullptr));
  nest->AddLine(MakeSeparator());
  nest->AddLine(new TCountedPicture("", nest));
  nest->AddLine(new TCountedLine("A second hint that flows on", nullptr));
  const std::string before = Snapshot(*root);
  std::set<const TZEBObject*> tree;
  CollectTree(root.get(), tree);

  auto document = MakeDocument("Hints for Game");
  root->AssignLabels("");
  root->AppendDisplay(*document);
  int made = 0;
  int borrowed = 0;
  for (const TZEBObject* item : document->Items) {
    if (item->Owner == document.get()) {
      ++made;
    } else {
      ++borrowed;
      EXPECT_TRUE(tree.count(item)) << "\"" << item->Text << "\" is neither made nor a tree item";
    }
  }
  EXPECT_EQ(borrowed, 3);  // Alpha, the picture, the second hint
  EXPECT_GT(made, 0);

  FreeDocument(std::move(document));
  EXPECT_EQ(DeletedTreeItems, 0);
  EXPECT_EQ(Snapshot(*root), before);  // a fresh walk finds every item as it was
  root.reset();
  EXPECT_EQ(DeletedTreeItems, 3);
}

// A tree with every kind of node that a document shows.
void RichFile(THintFileWriter& writer) {
  const std::string png = TinyPng(4, 4);
  auto moat = Hint("How do I cross the moat?", {"Is there anything that floats nearby?", "-",
                                                "Push the barrel into the water and ride it across the moat "
                                                "before the guards come back from their very long lunch."});
  writer.Hunks = {Subject(
      "Moonfall",
      {PlainHunk("COMMENT", "Before You Start", {"Words to type look like #p-OPEN GATE#p+.", " ", "Enjoy."}),
       Subject("Outside",
               {moat,
                NestHint("How do I open the portcullis?",
                         {"The winch is on the other side.", "-", Hint("Something small?", {"The kitten."}), "-",
                          "Send the kitten."}),
                Link("Back to the moat", moat), PlainHunk("BLANK", "")}),
       Subject("Inside", {writer.Text("Rota", 3, {"MON  Cook", "TUE  Maid"}),
                          writer.HyperPng("Hall", png,
                                          {{0, 0, 1, 1, Hint("Throne?", {"Crown"})},
                                           {2, 2, 3, 3, writer.Overlay("Panel", png, 2, 2)}}),
                          writer.Gifa("Moon", "gif"), writer.Sound("Bell", "wav"), PlainHunk("ODDITY", "Odd")}),
       PlainHunk("CREDIT", "Thanks", {"To everyone."})})};
}

TEST(DecodeToText, HeaderThenTwoEmptyLinesThenTheFirstHeading) {
  THintFileWriter writer;
  RichFile(writer);
  TLoaded loaded;
  THunk* root = LoadRoot(writer, loaded);
  ASSERT_NE(root, nullptr);
  std::ostringstream out;
  DecodeToText(*root, out);
  EXPECT_EQ(out.str().rfind("ZEB: Hints for Moonfall\r\n\r\n\r\n1. Before You Start\r\n\r\n", 0), 0u)
      << out.str().substr(0, 80);
}

TEST(DecodeToText, TwiceGivesTheSameBytesAndLeavesTheTreeAsItWas) {
  THintFileWriter writer;
  RichFile(writer);
  TLoaded loaded;
  THunk* root = LoadRoot(writer, loaded);
  ASSERT_NE(root, nullptr);
  // Revealed-hint counts of open windows must survive decoding.
  root->FindByTitle("How do I cross the moat?")->SetHintsShown(2);
  root->FindByTitle("How do I open the portcullis?")->SetHintsShown(1);
  std::string before;
  for (const auto& object : loaded.List) before += Snapshot(*object);

  std::ostringstream first;
  std::ostringstream second;
  DecodeToText(*root, first);
  DecodeToText(*root, second);
  EXPECT_EQ(first.str(), second.str());
  EXPECT_NE(first.str().find("* Send the kitten."), std::string::npos);
  EXPECT_NE(first.str().find(std::string(SoundData).substr(0, 30)), std::string::npos);

  std::string after;
  for (const auto& object : loaded.List) after += Snapshot(*object);
  EXPECT_EQ(after, before);
  EXPECT_EQ(root->FindByTitle("How do I cross the moat?")->GetHintsShown(), 2);
}

// Decoding writes the items while it builds the display, without holding the
// document: the bytes must be those of the document built whole and written,
// and the tree's compact lines must stay compact.
TEST(DecodeToText, WritesWhatTheWholeDocumentWritesAndMakesNoLineObjects) {
  std::vector<std::pair<std::string, std::function<void(THintFileWriter&)>>> files = {
      {"rich file", [](THintFileWriter& writer) { RichFile(writer); }}};
  const auto addCases = [&files](const auto& cases) {
    for (const TTreeCase& c : cases) files.emplace_back(c.Name, [&c](THintFileWriter& writer) { writer.Hunks = {c.Root()}; });
  };
  addCases(HeadingCases);
  addCases(HintListCases);
  for (const auto& [name, make] : files) {
    SCOPED_TRACE(name);
    THintFileWriter writer;
    make(writer);
    TLoaded loaded;
    THunk* root = LoadRoot(writer, loaded);
    ASSERT_NE(root, nullptr);
    std::ostringstream streamed;
    DecodeToText(*root, streamed);

    std::vector<const TItemsHunk*> nodes;
    const std::function<void(const TZEBObject&)> collect = [&](const TZEBObject& object) {
      const auto* items = dynamic_cast<const TItemsHunk*>(&object);
      if (items == nullptr) return;
      nodes.push_back(items);
      for (std::size_t i = 0; i < items->Items.size(); ++i)
        if (const TZEBObject* child = items->Items.ObjectAt(i)) collect(*child);
    };
    collect(*root);
    std::size_t compact = 0;
    for (const TItemsHunk* node : nodes)
      for (std::size_t i = 0; i < node->Items.size(); ++i) compact += node->Items.ObjectAt(i) == nullptr ? 1 : 0;
    EXPECT_GT(compact, 0u) << "the file has plain lines";

    TBuiltDocument built(*root);
    EXPECT_EQ(streamed.str(), "ZEB: " + built.Document->Text + "\r\n\r\n\r\n" + built.Written());
  }
}

// ---------------------------------------------------------------------------
// Text output of a document

struct TLine {
  std::string Text;
  int EndsLine;
  int SpaceAfter;
};

// A document of hand-made items, written with WriteText.
std::string WriteItems(const std::vector<TLine>& lines, std::ostream* sink = nullptr) {
  auto document = MakeDocument("Test");
  for (const TLine& line : lines) {
    auto* item = new THunkLine(line.Text, document.get());
    item->EndsLine = static_cast<std::uint8_t>(line.EndsLine);
    item->SpaceAfter = static_cast<std::uint8_t>(line.SpaceAfter);
    document->Append(item);
  }
  std::ostringstream out;
  try {
    document->WriteText(sink != nullptr ? *sink : out, -1);
  } catch (...) {
    FreeDocument(std::move(document));
    throw;
  }
  FreeDocument(std::move(document));
  return out.str();
}

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

struct TWrapCase {
  const char* Name;
  std::vector<TLine> Items;
  std::string Expected;
};

void PrintTo(const TWrapCase& c, std::ostream* out) { *out << c.Name; }

class WriteTextWrapping : public ::testing::TestWithParam<TWrapCase> {};

TEST_P(WriteTextWrapping, Output) { EXPECT_EQ(WriteItems(GetParam().Items), GetParam().Expected); }

const TWrapCase WrapCases[] = {
    {"LongWordAtLineStartIsWrittenWhole", {{Repeat('x', 80), 1, 0}}, Lines({Repeat('x', 80)})},
    {"LongWordInMidLineFirstEndsTheLine",
     {{"Look:", 0, 1}, {Repeat('x', 80), 1, 0}},
     Lines({"Look: ", Repeat('x', 80)})},
    {"BreaksAtTheLastSpaceWithinSeventyFiveColumns",
     {{Repeat('a', 70) + " bbbb cc", 1, 0}},
     Lines({Repeat('a', 70) + " bbbb", "cc"})},
    {"SpaceJustPastTheWidthBreaksAtTheOneBefore",
     {{Repeat('a', 70) + " bbbbb cc", 1, 0}},
     Lines({Repeat('a', 70), "bbbbb cc"})},
    {"ColumnCarriesIntoTheNextItem",
     {{Repeat('a', 60), 0, 1}, {"one two three four", 1, 0}},
     Lines({Repeat('a', 60) + " one two three", "four"})},
    {"SpaceOnlyWhereSpaceAfterIsSet",
     {{"Alpha", 0, 1}, {"beta", 0, 0}, {"gamma", 1, 0}},
     Lines({"Alpha betagamma"})},
    {"EmptyItemThatEndsTheLineWritesAnEmptyLine",
     {{"Alpha", 1, 0}, {"", 1, 0}, {"Beta", 1, 0}},
     Lines({"Alpha", "", "Beta"})},
    {"LastItemEndsTheLineWithoutTrailingSpace", {{"Alpha", 0, 1}}, Lines({"Alpha"})},
    {"FullLineThenSpaceThenTheNextItemOnANewLine",
     {{Repeat('a', 75), 0, 1}, {"next", 1, 0}},
     Lines({Repeat('a', 75) + " ", "next"})},
    {"LongTextWrapsOverSeveralLines",
     {{"The quick brown fox jumps over the lazy dog and then it runs far away into the woods where "
       "nobody can find it ever again until the very end of the story.",
       1, 0}},
     Lines({"The quick brown fox jumps over the lazy dog and then it runs far away into",
            "the woods where nobody can find it ever again until the very end of the", "story."})},
};

INSTANTIATE_TEST_SUITE_P(Cases, WriteTextWrapping, ::testing::ValuesIn(WrapCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A stream buffer that refuses to take more than a limit, so that a writer
// that makes no progress stops with an error instead of running forever.
class TLimitedBuffer : public std::stringbuf {
 protected:
  int_type overflow(int_type c) override {
    Take(1);
    return std::stringbuf::overflow(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    Take(n);
    return std::stringbuf::xsputn(s, n);
  }

 private:
  void Take(std::streamsize n) {
    Written += n;
    if (Written > (1 << 16)) throw std::length_error("the writer makes no progress");
  }
  std::streamsize Written = 0;
};

std::string WithoutSpacesAndLineEnds(const std::string& text) {
  std::string kept;
  for (char c : text)
    if (c != ' ' && c != '\r' && c != '\n') kept += c;
  return kept;
}

TEST(WriteText, TextStartingWithASpaceAndNoOtherBreakStillFinishes) {
  const std::string word = Repeat('x', 80);
  const std::vector<std::vector<TLine>> cases = {
      {{" " + word, 1, 0}},                       // at the start of a line
      {{" " + word + " and more", 1, 0}},         // with a later space
      {{"Hi", 0, 1}, {" " + word + " tail", 1, 0}},  // in mid-line
      {{"Hi", 0, 0}, {"  " + word, 1, 0}},
  };
  for (const auto& items : cases) {
    std::string input;
    for (const TLine& line : items) input += line.Text;
    SCOPED_TRACE(input);
    TLimitedBuffer buffer;
    std::ostream out(&buffer);
    out.exceptions(std::ios::badbit);
    ASSERT_NO_THROW(WriteItems(items, &out));
    const std::string written = buffer.str();
    EXPECT_EQ(WithoutSpacesAndLineEnds(written), WithoutSpacesAndLineEnds(input));
    EXPECT_NE(written.find(word), std::string::npos);  // the long word stays whole
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ(written.substr(written.size() - 2), "\r\n");
  }
}

// ---------------------------------------------------------------------------
// WrapPiece

TEST(WrapPiece, TakesOnePieceOffTheFront) {
  const struct {
    const char* Text;
    int Width;
    bool AtLineStart;
    const char* Piece;
    const char* Rest;
  } cases[] = {
      {"hello world", 0, true, "", "hello world"},  // no room: nothing taken
      {"hello world", -4, false, "", "hello world"},
      {"hello", 5, false, "hello", ""},  // fits exactly
      {"", 5, true, "", ""},
      {"hello world", 8, false, "hello", "world"},  // the space is dropped
      {"hello world", 5, true, "hello", "world"},   // a space right at the width
      {"hello world", 4, false, "", "hello world"}, // no space in reach, mid-line
      {"helloworld more", 5, true, "helloworld", "more"},  // at line start: up to the first space
      {"helloworld", 5, true, "helloworld", ""},            // no space at all
      {"abcdef ", 6, false, "abcdef", ""},                  // the space at the end goes too
      {"one two three", 9, false, "one two", "three"},      // the last space within the width
  };
  for (const auto& c : cases) {
    std::string_view text = c.Text;
    const std::string_view piece = WrapPiece(text, c.Width, c.AtLineStart);
    EXPECT_EQ(piece, c.Piece) << '"' << c.Text << "\" width " << c.Width << " start " << c.AtLineStart;
    EXPECT_EQ(text, c.Rest) << '"' << c.Text << "\" width " << c.Width << " start " << c.AtLineStart;
  }
}

}  // namespace
