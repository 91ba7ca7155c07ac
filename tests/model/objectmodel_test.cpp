// The object tree of a hint file: classes and kind codes, construction,
// navigation, outline numbering, ownership and node windows.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/datahunks.h"
#include "model/hunk.h"
#include "model/incentivehunk.h"
#include "model/infohunk.h"
#include "model/itemshunk.h"
#include "model/loader.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"
#include "model/texthunk.h"
#include "model/zebobject.h"
#include "support/fixtures.h"

namespace {

using TLog = std::vector<std::string>;

// A text item that writes "delete <text>" to a log when it goes.
class TLoggedLine : public THunkLine {
 public:
  TLoggedLine(std::string text, TZEBObject* owner, TLog& log)
      : THunkLine(std::move(text), owner), Log(log) {}
  ~TLoggedLine() override { Log.push_back("delete " + Text); }

 private:
  TLog& Log;
};

// A node window that writes "close <name>" to a log when the model closes it.
class TFakeWindow : public TNodeWindow {
 public:
  TFakeWindow(std::string name, TLog& log) : Name(std::move(name)), Log(log) {}
  void CloseNodeWindow() override { Log.push_back("close " + Name); }

 private:
  std::string Name;
  TLog& Log;
};

TMetaTextHunk* AddNode(TItemsHunk& parent, const std::string& title, std::uint8_t kind,
                       std::int32_t line) {
  auto* node = new TMetaTextHunk(title, &parent, kind);
  node->LineNumber = line;
  parent.AddLine(node);
  return node;
}

template <class T>
T* AddLeaf(TItemsHunk& parent, const std::string& title, std::int32_t line) {
  auto* node = new T(title, &parent);
  node->LineNumber = line;
  parent.AddLine(node);
  return node;
}

std::vector<std::string> Texts(const TItemsHunk& node) {
  std::vector<std::string> texts;
  for (const TZEBObject* item : node.Items) texts.push_back(item->Text);
  return texts;
}

// ---------------------------------------------------------------------------
// Classes and kind codes

TEST(ObjectModel, EachClassReportsItsKindCode) {
  struct TCase {
    const char* Name;
    std::function<TZEBObject*()> Make;
    std::uint8_t Kind;
    bool IsNode;
  };
  const std::vector<TCase> cases = {
      {"TZEBObject", [] { return new TZEBObject("t", nullptr, false); }, Kind::Abstract, false},
      {"THunkLine", [] { return new THunkLine("t", nullptr); }, Kind::Abstract, false},
      {"THunk", [] { return new THunk("t", nullptr); }, Kind::Unknown, true},
      {"TItemsHunk", [] { return new TItemsHunk("t", nullptr); }, Kind::Unknown, true},
      {"TBlankHunk", [] { return new TBlankHunk("t", nullptr); }, Kind::Blank, true},
      {"TLinkHunk", [] { return new TLinkHunk("t", nullptr); }, Kind::Link, true},
      {"TOverlayHunk", [] { return new TOverlayHunk("t", nullptr); }, Kind::Overlay, true},
      {"TGIFaHunk", [] { return new TGIFaHunk("t", nullptr); }, Kind::Gifa, true},
      {"TSoundHunk", [] { return new TSoundHunk("t", nullptr); }, Kind::Sound, true},
      {"TTextHunk", [] { return new TTextHunk("t", nullptr); }, Kind::Text, true},
      {"THyperPNGHunk", [] { return new THyperPNGHunk("t", nullptr); }, Kind::HyperPng, true},
      {"TPNGObject", [] { return new TPNGObject("t", nullptr); }, Kind::PngObject, true},
      {"TInfoHunk", [] { return new TInfoHunk("t", nullptr); }, Kind::Info, true},
      {"TIncentiveHunk", [] { return new TIncentiveHunk("t", nullptr); }, Kind::Incentive, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::unique_ptr<TZEBObject> object(c.Make());
    EXPECT_EQ(object->KindCode(), c.Kind);
    EXPECT_EQ(object->IsNode(), c.IsNode);
  }
}

TEST(ObjectModel, MetaTextNodeReportsTheKindItWasGiven) {
  // The class serves SUBJECT, HINT, NESTHINT, COMMENT, CREDIT and VERSION
  // nodes and display documents alike.
  for (std::uint8_t kind : {Kind::Comment, Kind::Credit, Kind::Hint, Kind::Subject,
                            Kind::VerHunk, Kind::NestHint}) {
    TMetaTextHunk node("t", nullptr, kind);
    EXPECT_EQ(node.KindCode(), kind);
    EXPECT_EQ(node.Kind, kind);
  }
  TMetaTextHunk node("t", nullptr, Kind::Hint);
  node.Kind = Kind::Subject;
  EXPECT_EQ(node.KindCode(), Kind::Subject) << "KindCode reads the member, not a copy";
}

TEST(ObjectModel, KindNamesFollowTheCodes) {
  const char* const expected[] = {"COMMENT", "CREDIT",  "GIFA",     "HINT",     "SUBJECT",
                                  "VERHUNK", "BLANK",   "INCENTIVE", "INFO",    "LINK",
                                  "NESTHINT", "TEXT",   "HYPERPNG", "OVERLAY",  "SOUND",
                                  "UNKNOWN", "PNGOBJECT", "ABSTRACT"};
  for (int code = 0; code < 18; ++code) EXPECT_STREQ(KindNames[code], expected[code]) << code;
}

TEST(ObjectModel, BlankNodeHasNoTextButKeepsItsTitle) {
  TBlankHunk blank("title line", nullptr);
  EXPECT_EQ(blank.GetText(), "");
  EXPECT_EQ(blank.Text, "title line");
  TMetaTextHunk subject("Subject", nullptr, Kind::Subject);
  EXPECT_EQ(subject.GetText(), "Subject");
}

// ---------------------------------------------------------------------------
// Construction

TEST(ObjectModel, ConstructionDefaults) {
  TMetaTextHunk owner("owner", nullptr, Kind::Subject);
  TZEBObject object("text", &owner, true);
  EXPECT_EQ(object.Text, "text");
  EXPECT_EQ(object.Owner, &owner);
  EXPECT_EQ(object.EndsLine, 1);
  EXPECT_EQ(object.IsRule, 0);
  EXPECT_EQ(object.Wraps, 1);
  EXPECT_EQ(object.UseFixedFont, 0);
  EXPECT_EQ(object.SpaceAfter, 0);

  THunkLine line("line", &owner);
  EXPECT_EQ(line.EndsLine, 0);
  EXPECT_EQ(line.Wraps, 1);
  EXPECT_EQ(line.Owner, &owner);

  TMetaTextHunk node("Title", &owner, Kind::Hint);
  EXPECT_EQ(node.Text, "Title");
  EXPECT_EQ(node.Owner, &owner);
  EXPECT_EQ(node.EndsLine, 0);
  EXPECT_EQ(node.Wraps, 1);
  EXPECT_EQ(node.LineNumber, 0);
  EXPECT_EQ(node.LineCount, 0);
  EXPECT_EQ(node.Window, nullptr);
  EXPECT_EQ(node.Label, "");
  EXPECT_EQ(node.LineMode, 0);
  EXPECT_EQ(node.BreakMode, 0);
  EXPECT_EQ(node.FontMode, 0);
  EXPECT_EQ(node.OwnsItems, 1);
  EXPECT_TRUE(node.Items.empty());
  EXPECT_EQ(node.HintsShown, 0);
}

TEST(ObjectModel, SetOwnsItemsStoresAFlagAndReturnsIt) {
  TItemsHunk node("n", nullptr);
  EXPECT_FALSE(node.SetOwnsItems(false));
  EXPECT_EQ(node.OwnsItems, 0);
  EXPECT_TRUE(node.SetOwnsItems(true));
  EXPECT_EQ(node.OwnsItems, 1);
}

// ---------------------------------------------------------------------------
// Navigation

// root(1) -+- A(3) --- deep(20, "Twin")
//          +- "text line"  (a line whose text equals a title)
//          +- B(20, "Twin") --- C(30)
//          +- link(40)
class NavigationTree : public ::testing::Test {
 protected:
  void SetUp() override {
    Root.LineNumber = 1;
    A = AddNode(Root, "A", Kind::Subject, 3);
    Deep = AddNode(*A, "Twin", Kind::Hint, 20);
    Root.AddLine(new THunkLine("C", nullptr));
    B = AddNode(Root, "Twin", Kind::Subject, 20);
    C = AddNode(*B, "C", Kind::Hint, 30);
    Link = AddLeaf<TLinkHunk>(Root, "link", 40);
  }

  TMetaTextHunk Root{"Root", nullptr, Kind::Subject};
  TMetaTextHunk* A = nullptr;
  TMetaTextHunk* Deep = nullptr;
  TMetaTextHunk* B = nullptr;
  TMetaTextHunk* C = nullptr;
  TLinkHunk* Link = nullptr;
};

TEST_F(NavigationTree, FindByLineIsDepthFirstInItemOrder) {
  EXPECT_EQ(Root.FindByLine(1), &Root);
  EXPECT_EQ(Root.FindByLine(3), A);
  EXPECT_EQ(Root.FindByLine(30), C);
  EXPECT_EQ(Root.FindByLine(40), Link);
  // Two nodes share 20: the one inside A comes first in the file.
  EXPECT_EQ(Root.FindByLine(20), Deep);
  EXPECT_EQ(B->FindByLine(20), B);
  EXPECT_EQ(Root.FindByLine(2), nullptr);
  EXPECT_EQ(Root.FindByLine(-1), nullptr);
  EXPECT_EQ(A->FindByLine(30), nullptr) << "only the node's own subtree is searched";
  EXPECT_EQ(Link->FindByLine(40), Link);
  EXPECT_EQ(Link->FindByLine(41), nullptr);
}

TEST_F(NavigationTree, FindByTitleComparesExactlyAndSkipsTextLines) {
  EXPECT_EQ(Root.FindByTitle("Root"), &Root);
  EXPECT_EQ(Root.FindByTitle("Twin"), Deep);
  EXPECT_EQ(Root.FindByTitle("C"), C) << "the text line \"C\" is not a node";
  EXPECT_EQ(Root.FindByTitle("link"), Link);
  EXPECT_EQ(Root.FindByTitle("twin"), nullptr);
  EXPECT_EQ(Root.FindByTitle("Twin "), nullptr);
  EXPECT_EQ(Root.FindByTitle("Missing"), nullptr);
}

TEST_F(NavigationTree, RootFollowsOwnersToTheTop) {
  EXPECT_EQ(C->Root(), &Root);
  EXPECT_EQ(C->RootNode(), &Root);
  EXPECT_EQ(Root.Root(), &Root);
  THunkLine loose("loose", nullptr);
  EXPECT_EQ(loose.Root(), &loose);
  THunkLine piece("piece", C);
  EXPECT_EQ(piece.Root(), &Root);
}

TEST(ObjectModel, RootNodeIsNoneWhenTheTopIsNotANode) {
  THunkLine top("top", nullptr);
  TMetaTextHunk node("n", &top, Kind::Subject);
  EXPECT_EQ(node.Root(), &top);
  EXPECT_EQ(node.RootNode(), nullptr);
}

// ---------------------------------------------------------------------------
// Outline numbering

TEST(AssignLabels, BlankTakesTheNumberOfTheSiblingBefore) {
  TMetaTextHunk subject("S", nullptr, Kind::Subject);
  auto* blank = AddLeaf<TBlankHunk>(subject, "", 2);
  auto* inner = AddNode(subject, "Inner", Kind::Subject, 3);
  auto* hint = AddNode(subject, "Hint", Kind::Hint, 4);
  subject.AssignLabels("");
  EXPECT_EQ(subject.Label, "");
  EXPECT_EQ(blank->Label, "0.");
  EXPECT_EQ(inner->Label, "1.");
  EXPECT_EQ(hint->Label, "2.");
}

TEST(AssignLabels, NestedNodesExtendTheirParentsNumber) {
  // root -+- S1 -+- H "1.1." -+- link "1.1." -+- "text" -+- N "1.2." --- H "1.2.1."
  //       |      +- overlay "1.2."
  //       +- "text"
  //       +- S2 --- link "2.0." --- H "2.1."
  TMetaTextHunk root("root", nullptr, Kind::Subject);
  auto* s1 = AddNode(root, "S1", Kind::Subject, 2);
  auto* h11 = AddNode(*s1, "H", Kind::Hint, 3);
  auto* link11 = AddLeaf<TLinkHunk>(*s1, "L", 4);
  s1->AddLine(new THunkLine("text", nullptr));
  auto* n12 = AddNode(*s1, "N", Kind::NestHint, 5);
  auto* h121 = AddNode(*n12, "H", Kind::Hint, 6);
  auto* overlay12 = AddLeaf<TOverlayHunk>(*s1, "O", 7);
  root.AddLine(new THunkLine("text", nullptr));
  auto* s2 = AddNode(root, "S2", Kind::Subject, 8);
  auto* link20 = AddLeaf<TLinkHunk>(*s2, "L", 9);
  auto* h21 = AddNode(*s2, "H", Kind::Hint, 10);

  root.AssignLabels("");
  const std::vector<std::pair<THunk*, std::string>> expected = {
      {s1, "1."},         {h11, "1.1."},  {link11, "1.1."}, {n12, "1.2."}, {h121, "1.2.1."},
      {overlay12, "1.2."}, {s2, "2."},    {link20, "2.0."}, {h21, "2.1."}};
  for (const auto& [node, label] : expected) EXPECT_EQ(node->Label, label) << node->Text;
  EXPECT_EQ(h121->GetLabel(), "1.2.1.");

  // Numbering again from another prefix replaces every label.
  s2->AssignLabels("7.");
  EXPECT_EQ(h21->Label, "7.1.");
  EXPECT_EQ(link20->Label, "7.0.");
}

// ---------------------------------------------------------------------------
// Ownership

TEST(RemoveItem, RemovesOnlyTheLastOccurrence) {
  TLog log;
  TItemsHunk node("n", nullptr);
  node.SetOwnsItems(false);
  auto* x = new TLoggedLine("x", nullptr, log);
  THunkLine a("a", nullptr);
  THunkLine b("b", nullptr);
  node.Append(x);
  node.Append(&a);
  node.Append(x);
  node.Append(&b);
  node.RemoveItem(x);
  ASSERT_EQ(node.ItemCount(), 3u);
  EXPECT_EQ(node.ItemAt(0), x);
  EXPECT_EQ(node.ItemAt(1), &a);
  EXPECT_EQ(node.ItemAt(2), &b);
  EXPECT_TRUE(log.empty()) << "a node that does not own its items deletes nothing";
  node.RemoveItem(x);
  EXPECT_EQ(Texts(node), (std::vector<std::string>{"a", "b"}));
  delete x;
}

TEST(RemoveItem, DeletesTheItemOnlyWhenTheNodeOwnsIt) {
  TLog log;
  TItemsHunk node("n", nullptr);
  auto* a = new TLoggedLine("a", nullptr, log);
  auto* b = new TLoggedLine("b", nullptr, log);
  node.Append(a);
  node.Append(b);
  node.RemoveItem(a);
  EXPECT_EQ(log, (TLog{"delete a"}));
  EXPECT_EQ(Texts(node), (std::vector<std::string>{"b"}));

  // An item that is not in the list: nothing happens.
  TLoggedLine stranger("stranger", nullptr, log);
  node.RemoveItem(&stranger);
  EXPECT_EQ(log, (TLog{"delete a"}));
  EXPECT_EQ(node.ItemCount(), 1u);
}

TEST(Ownership, DeletingANodeDeletesItsItemsInOrder) {
  TLog log;
  auto* node = new TMetaTextHunk("n", nullptr, Kind::Subject);
  node->Append(new TLoggedLine("first", node, log));
  node->Append(new TLoggedLine("second", node, log));
  node->Append(new TLoggedLine("third", nullptr, log));
  delete node;
  EXPECT_EQ(log, (TLog{"delete first", "delete second", "delete third"}));
}

TEST(Ownership, DisplayDocumentLeavesBorrowedItemsIntact) {
  TLog log;
  TMetaTextHunk tree("Tree", nullptr, Kind::Subject);
  tree.AddLine(new TLoggedLine("tree line", nullptr, log));
  TMetaTextHunk* hint = AddNode(tree, "Question", Kind::Hint, 5);
  hint->AddLine(new TLoggedLine("hint line", nullptr, log));

  // The builder's way: borrowed items and items it made, owned by the document.
  auto* document = new TMetaTextHunk("Document", nullptr, Kind::Subject);
  document->Append(new TLoggedLine("made heading", document, log));
  document->Append(tree.ItemAt(0));
  document->Append(hint);
  document->Append(hint->ItemAt(0));
  document->Append(new TLoggedLine("made rule", document, log));

  // The builder deletes what it made, clears OwnsItems, then deletes the document.
  for (TZEBObject* item : document->Items)
    if (item->Owner == document) delete item;
  EXPECT_FALSE(document->SetOwnsItems(false));
  delete document;

  EXPECT_EQ(log, (TLog{"delete made heading", "delete made rule"}));
  ASSERT_EQ(tree.ItemCount(), 2u);
  EXPECT_EQ(tree.ItemAt(0)->Text, "tree line");
  EXPECT_EQ(tree.ItemAt(1), hint);
  ASSERT_EQ(hint->ItemCount(), 1u);
  EXPECT_EQ(hint->ItemAt(0)->Text, "hint line");
  EXPECT_EQ(tree.FindByLine(5), hint);
}

// ---------------------------------------------------------------------------
// Node windows

TEST(NodeWindow, DeletingANodeClosesItsWindowBeforeItsItemsGo) {
  TLog log;
  TFakeWindow window("node", log);
  auto* node = new TMetaTextHunk("n", nullptr, Kind::Hint);
  node->Window = &window;
  node->Append(new TLoggedLine("item", node, log));
  delete node;
  EXPECT_EQ(log, (TLog{"close node", "delete item"}));
}

TEST(NodeWindow, DeletingATreeClosesTheWindowOfEveryNode) {
  TLog log;
  TFakeWindow rootWindow("root", log);
  TFakeWindow hintWindow("hint", log);
  TFakeWindow linkWindow("link", log);
  auto* root = new TMetaTextHunk("root", nullptr, Kind::Subject);
  TMetaTextHunk* subject = AddNode(*root, "S", Kind::Subject, 2);
  TMetaTextHunk* hint = AddNode(*subject, "H", Kind::Hint, 3);
  TLinkHunk* link = AddLeaf<TLinkHunk>(*root, "L", 4);
  root->Window = &rootWindow;
  hint->Window = &hintWindow;
  link->Window = &linkWindow;
  delete root;
  EXPECT_EQ(log, (TLog{"close root", "close hint", "close link"}));
}

TEST(NodeWindow, CloseWindowClosesOnceAndForgetsTheWindow) {
  TLog log;
  TFakeWindow window("w", log);
  TBlankHunk node("b", nullptr);
  EXPECT_EQ(node.CloseWindow(), 0) << "no window: nothing to close";
  node.Window = &window;
  EXPECT_EQ(node.CloseWindow(), 0);
  EXPECT_EQ(node.Window, nullptr);
  EXPECT_EQ(node.CloseWindow(), 0);
  EXPECT_EQ(log, (TLog{"close w"}));
}

class OpenHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override { Saved = THunk::OpenHandler; }
  void TearDown() override { THunk::OpenHandler = Saved; }
  std::function<void(THunk&)> Saved;
};

TEST_F(OpenHandlerTest, OpenPassesTheNodeToTheDisplay) {
  std::vector<THunk*> opened;
  THunk::OpenHandler = [&opened](THunk& node) { opened.push_back(&node); };
  TMetaTextHunk subject("S", nullptr, Kind::Subject);
  TLinkHunk link("L", nullptr);
  THunkLine line("line", nullptr);
  EXPECT_EQ(subject.Open(), 0);
  EXPECT_EQ(link.Open(), 0);
  EXPECT_EQ(line.Open(), 0);
  EXPECT_EQ(opened, (std::vector<THunk*>{&subject, &link})) << "a text line opens nothing";

  THunk::OpenHandler = nullptr;
  EXPECT_EQ(subject.Open(), 0) << "without a display, opening does nothing";
  EXPECT_EQ(opened.size(), 2u);
}

// ---------------------------------------------------------------------------
// Links

class LinkLabels : public ::testing::Test {
 protected:
  void SetUp() override {
    Root.LineNumber = 1;
    Subject = AddNode(Root, "S", Kind::Subject, 3);
    Hint = AddNode(*Subject, "H", Kind::Hint, 5);
    Root.AssignLabels("");
  }
  TLinkHunk* MakeLink(std::int32_t line, std::int32_t target) {
    TLinkHunk* link = AddLeaf<TLinkHunk>(Root, "link", line);
    link->TargetLine = target;
    return link;
  }
  TMetaTextHunk Root{"Root", nullptr, Kind::Subject};
  TMetaTextHunk* Subject = nullptr;
  TMetaTextHunk* Hint = nullptr;
};

TEST_F(LinkLabels, LinkTakesTheLabelOfItsTarget) {
  ASSERT_EQ(Hint->Label, "1.1.");
  EXPECT_EQ(MakeLink(50, 5)->GetLabel(), "1.1.");
  EXPECT_EQ(MakeLink(51, 3)->GetLabel(), "1.");
  EXPECT_EQ(MakeLink(52, 999)->GetLabel(), "") << "no node has that line";
}

TEST_F(LinkLabels, LinkToALinkTakesTheLabelAtTheEndOfTheChain) {
  MakeLink(60, 5);
  MakeLink(61, 60);
  EXPECT_EQ(MakeLink(62, 61)->GetLabel(), "1.1.");
}

TEST_F(LinkLabels, CycleOfLinksEndsWithoutALabel) {
  TLinkHunk* self = MakeLink(70, 70);
  EXPECT_EQ(self->GetLabel(), "");
  TLinkHunk* first = MakeLink(71, 72);
  TLinkHunk* second = MakeLink(72, 71);
  EXPECT_EQ(first->GetLabel(), "");
  EXPECT_EQ(second->GetLabel(), "");
  EXPECT_EQ(MakeLink(73, 71)->GetLabel(), "") << "a chain that runs into a cycle";
}

TEST_F(LinkLabels, OnlyTheRootsSubtreeIsSearched) {
  // A later top-level node has the root as owner but is not among its items.
  TMetaTextHunk later("Later", &Root, Kind::Subject);
  later.LineNumber = 80;
  later.Label = "9.";
  EXPECT_EQ(MakeLink(81, 80)->GetLabel(), "");
}

TEST(LinkLabelsLoaded, LinkResolvesThroughTheLineNumbersOfTheFile) {
  THintFileWriter writer;
  TWHunkPtr question = Hint("Where is the key?", {"Look down.", "-", "Under the mat."});
  TWHunkPtr other = Hint("Other question", {"Nothing."});
  writer.Hunks = {Subject("Root", {Subject("Keys", {other, question}), Link("See", question)})};
  TLoaded loaded;
  LoadBytes(writer.Build(), loaded);
  ASSERT_EQ(loaded.Code, LoadResult::Loaded);
  auto* root = ListRootNode(loaded.List);
  ASSERT_NE(root, nullptr);
  root->AssignLabels("");

  THunk* found = root->FindByLine(question->LineNumber);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->Text, "Where is the key?");
  EXPECT_EQ(found->Label, "1.2.");
  EXPECT_EQ(root->FindByTitle("Where is the key?"), found);

  THunk* link = root->FindByTitle("See");
  ASSERT_NE(link, nullptr);
  ASSERT_EQ(link->KindCode(), Kind::Link);
  EXPECT_EQ(link->GetLabel(), "1.2.");
}

// ---------------------------------------------------------------------------
// Top-level lists

TEST(TopLevelList, ListRootDependsOnTheNumberOfObjects) {
  TObjectList list;
  EXPECT_EQ(ListRoot(list), nullptr);
  list.push_back(std::make_unique<TMetaTextHunk>("88a", nullptr, Kind::Subject));
  EXPECT_EQ(ListRoot(list), list[0].get());
  list.push_back(std::make_unique<TMetaTextHunk>("root", nullptr, Kind::Subject));
  EXPECT_EQ(ListRoot(list), list[1].get());
  list.push_back(std::make_unique<TInfoHunk>("info", list[1].get()));
  EXPECT_EQ(ListRoot(list), list[1].get());
  ClearList(list);
}

TEST(TopLevelList, FindByKindReturnsTheFirstObjectOfThatKind) {
  TObjectList list;
  EXPECT_EQ(FindByKind(list, Kind::Subject), nullptr);
  list.push_back(std::make_unique<TMetaTextHunk>("88a", nullptr, Kind::Subject));
  list.push_back(std::make_unique<TMetaTextHunk>("root", nullptr, Kind::Subject));
  list.push_back(std::make_unique<TMetaTextHunk>("v1", nullptr, Kind::VerHunk));
  list.push_back(std::make_unique<TMetaTextHunk>("v2", nullptr, Kind::VerHunk));
  list.push_back(std::make_unique<TInfoHunk>("info", nullptr));
  EXPECT_EQ(FindByKind(list, Kind::Subject), list[0].get());
  EXPECT_EQ(FindByKind(list, Kind::VerHunk), list[2].get());
  EXPECT_EQ(FindByKind(list, Kind::Info), list[4].get());
  EXPECT_EQ(FindByKind(list, Kind::Incentive), nullptr);
  ClearList(list);
}

TEST(TopLevelList, ClearListDeletesEveryObjectInOrder) {
  TLog log;
  TObjectList list;
  TFakeWindow window("root", log);
  auto root = std::make_unique<TMetaTextHunk>("root", nullptr, Kind::Subject);
  root->Window = &window;
  root->Append(new TLoggedLine("root item", root.get(), log));
  list.push_back(std::make_unique<TLoggedLine>("88a", nullptr, log));
  list.push_back(std::move(root));
  list.push_back(std::make_unique<TLoggedLine>("last", nullptr, log));
  ClearList(list);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(log, (TLog{"delete 88a", "close root", "delete root item", "delete last"}));
  ClearList(list);  // an empty list stays empty
  EXPECT_TRUE(list.empty());
}

}  // namespace
