// Hint windows: revealing the hints of a node one at a time with the hint
// button (captions, the counter, the remembered count), and the life of a
// node's window (one per node, closing, the tree going away).
#include <gtest/gtest.h>

#include <QPointer>

#include "display/stringchild.h"
#include "display/stringcontrol.h"
#include "model/metatexthunk.h"
#include "windowfixture.h"

using namespace wintest;

namespace {

class HintWindow : public WindowTest {
 protected:
  // A HINT node of three hints of `lines` lines each: the view has to
  // scroll once a hint is longer than the window.
  TMetaTextHunk& ThreeHints(int lines = 25) {
    TMetaTextHunk& node = MakeNode("Where is the key?", Kind::Hint);
    for (int hint = 1; hint <= 3; ++hint) {
      for (int line = 1; line <= lines; ++line)
        AddText(node, "Hint " + std::to_string(hint) + ", line " + std::to_string(line) + ".");
      if (hint < 3) {
        AddSeparator(node);
        (hint == 1 ? S1 : S2) = static_cast<int>(node.ItemCount()) - 1;
      }
    }
    return node;
  }

  void PressHintButton(THintForm* form) {
    THintButton* button = form->HintButton();
    ASSERT_GT(button->height(), 0) << "the hint button is hidden";
    Click(button, button->rect().center());
    Settle();
  }

  int S1 = -1;
  int S2 = -1;
};

struct TRevealCase {
  bool Counting;
  const char* Captions[3];  // after the first, second and third hint
};

void PrintTo(const TRevealCase& c, std::ostream* out) { *out << (c.Counting ? "Counting on" : "Counting off"); }

class HintWindowReveal : public HintWindow, public ::testing::WithParamInterface<TRevealCase> {};

TEST_P(HintWindowReveal, ThreeHintsOneAtATime) {
  const TRevealCase& c = GetParam();
  Options.Counting = c.Counting;
  TMetaTextHunk& node = ThreeHints();
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  QPointer<THintForm> alive(form);
  EXPECT_EQ(form->HintCount, 3);
  EXPECT_GT(form->Panel()->height(), 0);
  EXPECT_EQ(QApplication::focusWidget(), form->HintButton()) << "the button has the focus when the window shows";

  const int shown[3] = {S1 + 1, S2 + 1, static_cast<int>(node.ItemCount())};
  for (int step = 0; step < 3; ++step) {
    SCOPED_TRACE(step + 1);
    if (step > 0) PressHintButton(form);
    ASSERT_FALSE(alive.isNull());
    EXPECT_EQ(form->HintsRevealed, step + 1);
    EXPECT_EQ(node.HintsShown, step + 1) << "Memory is on: every reveal is remembered";
    EXPECT_EQ(form->Control()->ShownCount(), shown[step]);
    EXPECT_EQ(form->HintButton()->text(), QString(c.Captions[step]));
    // The separator ending the revealed hint is laid out; nothing after it.
    const TZEBObject* last = form->Control()->Pieces().back().Item;
    EXPECT_EQ(last, node.ItemAt(static_cast<std::size_t>(shown[step] - 1)));
    // The view jumps to the end, where the new hint is.
    QScrollBar* bar = VerticalBar(form);
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
  }

  // "No more hints." pressed: a window of three hints closes.
  PressHintButton(form);
  EXPECT_EQ(node.Window, nullptr);
  EXPECT_EQ(ClosedForms, std::vector<TStringForm*>{form});
  EXPECT_TRUE(alive.isNull()) << "the window is freed when it closes";
}

INSTANTIATE_TEST_SUITE_P(Captions, HintWindowReveal,
                         ::testing::Values(TRevealCase{true,
                                                       {"Hint 1 of 3.  Another hint?", "Hint 2 of 3.  Another hint?",
                                                        "No more hints."}},
                                           TRevealCase{false, {"Another hint?", "Another hint?", "No more hints."}}),
                         [](const auto& info) { return info.param.Counting ? "Counting" : "NoCounting"; });

TEST_F(HintWindow, ReopeningWithMemoryShowsTheHintsRevealedBefore) {
  TMetaTextHunk& node = ThreeHints();
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  PressHintButton(form);
  ASSERT_EQ(node.HintsShown, 2);
  Key(form->HintButton(), Qt::Key_Escape);
  Settle();
  ASSERT_EQ(node.Window, nullptr);

  form = Open(node);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->HintCount, 3);
  EXPECT_EQ(form->HintsRevealed, 2);
  EXPECT_EQ(form->LastShown, S2);
  EXPECT_EQ(form->Control()->ShownCount(), S2 + 1) << "hints 1 and 2 are shown again";
  EXPECT_EQ(form->HintButton()->text(), QString("Hint 2 of 3.  Another hint?"));
  EXPECT_EQ(node.HintsShown, 2);
  QScrollBar* bar = VerticalBar(form);
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum()) << "the view shows the end of hint 2";
  PressHintButton(form);
  EXPECT_EQ(node.HintsShown, 3);
  EXPECT_EQ(form->HintButton()->text(), QString("No more hints."));
}

TEST_F(HintWindow, WithoutMemoryTheRememberedCountIsNeitherReadNorWritten) {
  Options.Memory = false;
  TMetaTextHunk& node = ThreeHints(3);
  node.HintsShown = 2;
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->HintsRevealed, 1);
  EXPECT_EQ(form->Control()->ShownCount(), S1 + 1);
  EXPECT_EQ(form->HintButton()->text(), QString("Hint 1 of 3.  Another hint?"));
  PressHintButton(form);
  PressHintButton(form);
  EXPECT_EQ(form->HintsRevealed, 3);
  EXPECT_EQ(node.HintsShown, 2);
}

TEST_F(HintWindow, DocumentWithoutSeparatorsShowsEverythingAndKeepsTheButtonHidden) {
  TMetaTextHunk& node = MakeNode("Long answer", Kind::Hint);
  for (int line = 1; line <= 60; ++line) AddText(node, "Line " + std::to_string(line) + " of the only hint.");
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->HintCount, 1);
  EXPECT_EQ(form->Panel()->height(), 0);
  EXPECT_EQ(form->Control()->ShownCount(), 60);
  EXPECT_EQ(form->HintButton()->text(), QString("No more hints."));
  QScrollBar* bar = VerticalBar(form);
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), 0) << "the view stays at the top";

  // One hint: "No more hints." does not close the window.
  form->HintButtonClick();
  Type(Qt::Key_Space);  // the key of the hint button, wherever the focus is
  Settle();
  EXPECT_EQ(node.Window, form);
  EXPECT_EQ(form->HintsRevealed, 1);
  EXPECT_EQ(form->Control()->ShownCount(), 60);
  EXPECT_TRUE(ClosedForms.empty());
}

TEST_F(HintWindow, SeparatorAsLastItemCountsOneMoreEmptyHint) {
  TMetaTextHunk& node = MakeNode("Two and a half", Kind::Hint);
  AddText(node, "first");
  AddSeparator(node);
  AddText(node, "second");
  AddSeparator(node);
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->HintCount, 3);
  const int shown[] = {2, 4, 4};
  const char* captions[] = {"Hint 1 of 3.  Another hint?", "Hint 2 of 3.  Another hint?", "No more hints."};
  for (int step = 0; step < 3; ++step) {
    SCOPED_TRACE(step + 1);
    if (step > 0) PressHintButton(form);
    EXPECT_EQ(form->Control()->ShownCount(), shown[step]);
    EXPECT_EQ(form->HintButton()->text(), QString(captions[step]));
  }
  // Enter on the button presses it: the window closes.
  Key(form->HintButton(), Qt::Key_Return);
  Settle();
  EXPECT_EQ(node.Window, nullptr);
}

// ---- one window per node ----------------------------------------------------------------

class NodeWindows : public WindowTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (GetParam()) UseArea();
  }
};

TEST_P(NodeWindows, OpeningTwiceBringsTheSameWindowForward) {
  TMetaTextHunk& node = MakeNode("Subject", Kind::Subject);
  TMetaTextHunk& other = AddChild(node, "Other");
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  ASSERT_NE(Open(other), nullptr);

  Frame(form)->showMinimized();
  Settle();
  EXPECT_EQ(Open(node), form);
  EXPECT_FALSE(Frame(form)->isMinimized()) << "the window is restored to its normal state";
  EXPECT_TRUE(form->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == form);
  if (Area != nullptr) {
    EXPECT_EQ(Area->subWindowList().size(), 2);
    EXPECT_EQ(Area->activeSubWindow(), form->SubWindow());
  }
  int windows = 0;
  for (QWidget* widget : QApplication::allWidgets())
    if (auto* shown = qobject_cast<TStringForm*>(widget); shown != nullptr && shown->Node() == &node) ++windows;
  EXPECT_EQ(windows, 1);
}

TEST_P(NodeWindows, ClosingTheWindowClearsTheNodesWindow) {
  TMetaTextHunk& node = MakeNode("Subject", Kind::Subject);
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  QPointer<QWidget> frame(Frame(form));
  Type(Qt::Key_Escape);
  Settle();
  EXPECT_EQ(node.Window, nullptr);
  EXPECT_EQ(ClosedForms, std::vector<TStringForm*>{form});
  EXPECT_TRUE(frame.isNull());
  if (Area != nullptr) {
    EXPECT_TRUE(Area->subWindowList().empty());
  }
  // Opening again makes a new window.
  EXPECT_NE(Open(node), nullptr);
}

TEST_P(NodeWindows, DeletingTheTreeClosesItsWindows) {
  THintFileWriter writer;
  writer.Hunks = {Subject("Game", {Subject("Chapter", {Hint("Question", {"a", "-", "b"})})})};
  TItemsHunk* root = Load(writer);
  ASSERT_NE(root, nullptr);
  THunk* chapter = root->FindByTitle("Chapter");
  THunk* question = root->FindByTitle("Question");
  ASSERT_NE(chapter, nullptr);
  ASSERT_NE(question, nullptr);
  QPointer<QWidget> windows[] = {Frame(Open(*root)), Frame(Open(*chapter)), Frame(Open(*question))};
  for (const auto& window : windows) ASSERT_FALSE(window.isNull());

  ClearList(List);
  Settle();
  for (const auto& window : windows) EXPECT_TRUE(window.isNull());
  EXPECT_EQ(ClosedForms.size(), 3u);
  if (Area != nullptr) {
    EXPECT_TRUE(Area->subWindowList().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, NodeWindows, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "InWindowArea" : "TopLevel"; });

// A results document belongs to its window: closing the window deletes it.
TEST_F(WindowTest, WindowOwningItsDocumentDeletesItOnClose) {
  struct TTracked : TMetaTextHunk {
    explicit TTracked(bool& deleted) : TMetaTextHunk("Results", nullptr, Kind::Subject), Deleted(deleted) {}
    ~TTracked() override { Deleted = true; }
    bool& Deleted;
  };
  bool deleted = false;
  auto* results = new TTracked(deleted);
  AddText(*results, "row");
  THintForm* form = ShowHintWindow(*results, true);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(results->Window, form);
  Settle();
  form->CloseWindow();
  Settle();
  EXPECT_TRUE(deleted);
  EXPECT_EQ(ClosedForms, std::vector<TStringForm*>{form});
}

}  // namespace
