// The display control inside a hint window: Tab and Shift+Tab through the
// links and back to the hint button, Enter and Escape, the scrolling keys,
// clicks on links (edges included) and the LINK nodes they may lead to.
#include <gtest/gtest.h>

#include <algorithm>

#include "display/stringchild.h"
#include "display/stringcontrol.h"
#include "model/datahunks.h"
#include "model/metatexthunk.h"
#include "windowfixture.h"

using namespace wintest;

namespace {

class DisplayControl : public WindowTest {};

class TabOrder : public WindowTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (GetParam()) UseArea();
  }
};

TEST_P(TabOrder, TabStepsThroughTheLinksAndBackToTheHintButton) {
  TMetaTextHunk& node = MakeNode("Cellar", Kind::NestHint);
  AddText(node, "Look at these first:");
  TMetaTextHunk& alpha = AddChild(node, "Alpha");
  TMetaTextHunk& beta = AddChild(node,
                                 "The long way round through the cellar, the kitchen, the garden, the orchard and "
                                 "the old stables behind the house, then back again");
  TMetaTextHunk& gamma = AddChild(node, "Gamma");
  AddSeparator(node);
  AddText(node, "The second hint.");
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  TStringControl* control = form->Control();
  THintButton* button = form->HintButton();
  ASSERT_GE(LinksTo(*control, &beta).size(), 2u) << "the long title wraps into two links";
  ASSERT_EQ(QApplication::focusWidget(), button);

  struct TStep {
    bool Back;
    const TZEBObject* Selected;  // none: the focus is back on the button
  };
  const TStep steps[] = {{false, &alpha}, {false, &beta}, {false, &gamma}, {false, nullptr},
                         {true, &gamma},  {true, &beta},  {true, &alpha},  {true, nullptr},
                         {false, &alpha}};
  int number = 0;
  for (const TStep& step : steps) {
    SCOPED_TRACE(::testing::Message() << "step " << ++number << (step.Back ? " Shift+Tab" : " Tab"));
    if (step.Back) {
      TypeBacktab();
    } else {
      Type(Qt::Key_Tab);
    }
    EXPECT_EQ(control->FocusTarget(), step.Selected);
    EXPECT_EQ(QApplication::focusWidget(), step.Selected != nullptr ? static_cast<QWidget*>(control) : button);
  }

  // The selection survives a reveal (Space is the hint button's key).
  Type(Qt::Key_Space);
  EXPECT_EQ(form->HintsRevealed, 2);
  EXPECT_EQ(control->ShownCount(), static_cast<int>(node.ItemCount()));
  EXPECT_EQ(control->FocusTarget(), &alpha);

  // Enter opens the selected link's node; Escape closes that window again.
  Type(Qt::Key_Tab);
  ASSERT_EQ(control->FocusTarget(), &beta);
  Type(Qt::Key_Return);
  THintForm* betaForm = FormOf(beta);
  ASSERT_NE(betaForm, nullptr);
  EXPECT_EQ(alpha.Window, nullptr);
  ASSERT_TRUE(Activate(betaForm));
  Type(Qt::Key_Escape);
  Settle();
  EXPECT_EQ(beta.Window, nullptr);
  EXPECT_EQ(node.Window, form);

  // Escape on the control closes its own window.
  ASSERT_TRUE(Activate(form));
  control->setFocus();
  Key(control, Qt::Key_Escape);
  Settle();
  EXPECT_EQ(node.Window, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Windows, TabOrder, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "InWindowArea" : "TopLevel"; });

TEST_F(DisplayControl, WithoutLinksTabVisitsTheControlWithNothingSelected) {
  TMetaTextHunk& node = MakeNode("Plain", Kind::Hint);
  AddText(node, "No links here.");
  AddSeparator(node);
  AddText(node, "Nor here.");
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(QApplication::focusWidget(), form->HintButton());
  Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form->Control());
  EXPECT_EQ(form->Control()->FocusTarget(), nullptr);
  Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form->HintButton());
}

// Tab into a window without links selects nothing, and so moves nothing:
// the view far down a long text stays where it is.
TEST_F(DisplayControl, TabWithoutALinkLeavesAViewFarDownWhereItIs) {
  TMetaTextHunk& node = MakeNode("Long story", Kind::Hint);
  for (int line = 1; line <= 1500; ++line) AddText(node, "Line " + std::to_string(line) + " of the story.");
  AddSeparator(node);
  AddText(node, "The end.");
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  QScrollBar* bar = VerticalBar(form);
  ASSERT_GT(bar->maximum(), 12000);
  bar->setValue(bar->maximum());
  Settle();
  ASSERT_EQ(QApplication::focusWidget(), form->HintButton());
  Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form->Control());
  EXPECT_EQ(bar->value(), bar->maximum()) << "the view jumped";
  Type(Qt::Key_Return);
  EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(DisplayControl, SelectingALinkScrollsItIntoViewAndKeysScroll) {
  TMetaTextHunk& node = MakeNode("Long", Kind::Subject);
  TMetaTextHunk& nearLink = AddChild(node, "Near");
  for (int line = 1; line <= 80; ++line) AddText(node, "Filler line " + std::to_string(line));
  TMetaTextHunk& farLink = AddChild(node, "Far");
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  TStringControl* control = form->Control();
  QScrollBar* bar = VerticalBar(form);
  const int page = form->ScrollBox()->viewport()->height();
  ASSERT_GT(bar->maximum(), 2 * page);
  ASSERT_EQ(bar->value(), 0);
  const TRect nearRect = LinksTo(*control, &nearLink).at(0).Rect;
  const TRect farRect = LinksTo(*control, &farLink).at(0).Rect;

  Type(Qt::Key_Tab);
  ASSERT_EQ(control->FocusTarget(), &nearLink);
  EXPECT_EQ(bar->value(), 0) << "a link in view does not move the view";
  Type(Qt::Key_Tab);
  ASSERT_EQ(control->FocusTarget(), &farLink);
  EXPECT_EQ(bar->value(), farRect.Bottom - page) << "a link below the view comes to its lower edge";
  Type(Qt::Key_Tab);
  TypeBacktab();
  ASSERT_EQ(control->FocusTarget(), &farLink);
  EXPECT_EQ(bar->value(), farRect.Bottom - page);
  TypeBacktab();
  ASSERT_EQ(control->FocusTarget(), &nearLink);
  EXPECT_EQ(bar->value(), nearRect.Top) << "a link above the view comes to its upper edge";
  ASSERT_EQ(QApplication::focusWidget(), control);

  struct TScroll {
    int Key;
    int Expected;
    const char* Name;
  };
  const int max = bar->maximum();
  const TScroll keys[] = {{Qt::Key_Home, 0, "Home"},
                          {Qt::Key_Down, 10, "Down"},
                          {Qt::Key_PageDown, 10 + page, "Page Down"},
                          {Qt::Key_Up, page, "Up"},
                          {Qt::Key_End, max, "End"},
                          {Qt::Key_PageUp, max - page, "Page Up"},
                          {Qt::Key_PageDown, max, "Page Down at the end"},
                          {Qt::Key_Home, 0, "Home again"},
                          {Qt::Key_Up, 0, "Up at the top"}};
  for (const TScroll& key : keys) {
    SCOPED_TRACE(key.Name);
    Type(key.Key);
    EXPECT_EQ(bar->value(), key.Expected);
  }
  EXPECT_EQ(control->FocusTarget(), &nearLink) << "scrolling keeps the selection";

  // Enter on a selected link scrolled out of view shows it before it opens.
  Type(Qt::Key_End);
  ASSERT_FALSE(control->visibleRegion().boundingRect().intersects(nearRect.ToQRect()));
  Type(Qt::Key_Return);
  EXPECT_EQ(nearLink.Window, nullptr) << "a link the user could not see was opened";
  EXPECT_EQ(bar->value(), nearRect.Top);
  Type(Qt::Key_Return);
  EXPECT_NE(nearLink.Window, nullptr);
}

struct TClickCase {
  const char* Name;
  int Dx, Dy;  // from the corner below
  bool FromBottomRight;
  Qt::MouseButton Button;
  bool Opens;
};

void PrintTo(const TClickCase& c, std::ostream* out) { *out << c.Name; }

class LinkClicks : public DisplayControl, public ::testing::WithParamInterface<TClickCase> {};

TEST_P(LinkClicks, EdgesAreInclusive) {
  const TClickCase& c = GetParam();
  TMetaTextHunk& node = MakeNode("Links", Kind::Subject);
  AddText(node, "Some text above.");
  TMetaTextHunk& alpha = AddChild(node, "Alpha");
  AddText(node, "Some text below.");
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  TStringControl* control = form->Control();
  const std::vector<TLinkInfo> links = LinksTo(*control, &alpha);
  ASSERT_EQ(links.size(), 1u);
  ASSERT_EQ(control->Links().size(), 1u);
  const TRect r = links[0].Rect;
  const QPoint at = c.FromBottomRight ? QPoint(r.Right + c.Dx, r.Bottom + c.Dy) : QPoint(r.Left + c.Dx, r.Top + c.Dy);

  Move(control, at);
  EXPECT_EQ(control->cursor().shape(), c.Opens ? Qt::PointingHandCursor : Qt::ArrowCursor);
  Click(control, at, c.Button);
  Settle();
  EXPECT_EQ(alpha.Window != nullptr, c.Opens);
  EXPECT_EQ(node.Window, form);
}

INSTANTIATE_TEST_SUITE_P(Points, LinkClicks,
                         ::testing::Values(TClickCase{"TopLeft", 0, 0, false, Qt::LeftButton, true},
                                           TClickCase{"BottomRight", 0, 0, true, Qt::LeftButton, true},
                                           TClickCase{"RightEdge", 0, -3, true, Qt::LeftButton, true},
                                           TClickCase{"RightButton", -2, -2, true, Qt::RightButton, true},
                                           TClickCase{"RightOfIt", 1, -3, true, Qt::LeftButton, false},
                                           TClickCase{"BelowIt", -2, 1, true, Qt::LeftButton, false},
                                           TClickCase{"LeftOfIt", -1, 2, false, Qt::LeftButton, false},
                                           TClickCase{"AboveIt", 2, -1, false, Qt::LeftButton, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- LINK nodes ---------------------------------------------------------------------------

TEST_F(DisplayControl, LinkNodeOpensTheNodeItRefersTo) {
  auto answer = Hint("The answer", {"Behind the painting."});
  THintFileWriter writer;
  writer.Hunks = {Subject("Game", {Subject("Chapter", {answer}), Link("See the answer", answer),
                                   LinkToLine("Nowhere", 9999)})};
  TItemsHunk* root = Load(writer);
  ASSERT_NE(root, nullptr);
  auto* link = dynamic_cast<TLinkHunk*>(root->FindByTitle("See the answer"));
  auto* nowhere = dynamic_cast<TLinkHunk*>(root->FindByTitle("Nowhere"));
  THunk* target = root->FindByTitle("The answer");
  ASSERT_NE(link, nullptr);
  ASSERT_NE(nowhere, nullptr);
  ASSERT_NE(target, nullptr);
  THintForm* form = Open(*root);
  ASSERT_NE(form, nullptr);
  TStringControl* control = form->Control();

  Click(control, Centre(LinksTo(*control, nowhere).at(0).Rect));
  Settle();
  EXPECT_EQ(nowhere->Window, nullptr);
  EXPECT_EQ(target->Window, nullptr) << "a link to no node opens nothing";

  Click(control, Centre(LinksTo(*control, link).at(0).Rect));
  Settle();
  EXPECT_EQ(link->Window, nullptr) << "a link has no window of its own";
  THintForm* answerForm = FormOf(*target);
  ASSERT_NE(answerForm, nullptr);
  EXPECT_EQ(answerForm->Node(), target);
  EXPECT_EQ(answerForm->windowTitle(), QString("The answer"));
}

// A ring of links in a damaged file must not make opening recurse without end.
TEST_F(DisplayControl, RingOfLinksOpensNothingAndEnds) {
  auto round = MakeHunk("LINK", "Round");
  auto back = Link("And back", round);
  round->Pieces({TWPiece::LineOf(back)});
  auto self = MakeHunk("LINK", "Self");
  self->Pieces({TWPiece::LineOf(self)});
  THintFileWriter writer;
  writer.Hunks = {Subject("Game", {round, back, self})};
  TItemsHunk* root = Load(writer);
  ASSERT_NE(root, nullptr);
  THintForm* form = Open(*root);
  ASSERT_NE(form, nullptr);

  // Count the nesting of open requests; stop them far beyond any sane chain.
  int depth = 0;
  int deepest = 0;
  bool cut = false;
  THunk::OpenHandler = [&](THunk& node) {
    if (depth >= 1000) {
      cut = true;
      return;
    }
    ++depth;
    deepest = std::max(deepest, depth);
    OpenNode(node);
    --depth;
  };
  for (const char* title : {"Round", "Self"}) {
    SCOPED_TRACE(title);
    THunk* link = root->FindByTitle(title);
    ASSERT_NE(link, nullptr);
    cut = false;
    deepest = 0;
    Click(form->Control(), Centre(LinksTo(*form->Control(), link).at(0).Rect));
    Settle();
    EXPECT_FALSE(cut) << "opening the link went " << deepest << " requests deep and was still going";
  }
  int forms = 0;
  for (QWidget* widget : QApplication::allWidgets())
    if (qobject_cast<TStringForm*>(widget) != nullptr) ++forms;
  EXPECT_EQ(forms, 1) << "no window opens for a ring of links";
}

}  // namespace

namespace {

// Words in the fixed font inside a line stand on the same baseline as the
// words around them: the lowest row of ink of "xxxx" in either font is the
// same row (x has a flat foot on the baseline).
TEST_F(DisplayControl, FixedFontWordsShareTheLinesBaseline) {
  for (const char* mainFont : {"Arial,10,400,0", "Arial,20,400,0"}) {
    SCOPED_TRACE(mainFont);
    Options.MainFont = TextToFont(mainFont);
    TMetaTextHunk& node = MakeNode("Mixed", Kind::Comment);
    auto* before = new THunkLine("xxxx", &node);
    auto* fixed = new THunkLine("xxxx", &node);
    fixed->UseFixedFont = 1;
    fixed->SpaceAfter = 1;
    before->SpaceAfter = 1;
    auto* after = new THunkLine("xxxx", &node);
    after->EndsLine = 1;
    node.Append(before);
    node.Append(fixed);
    node.Append(after);
    THintForm* form = Open(node);
    ASSERT_NE(form, nullptr);
    TStringControl* control = form->Control();
    ASSERT_EQ(control->Pieces().size(), 3u);
    const QImage image = control->grab().toImage();
    // The lowest row with dark pixels inside a piece's rectangle.
    const auto foot = [&image](const TRect& rect) {
      for (int y = std::min(rect.Bottom + 4, image.height() - 1); y >= std::max(rect.Top - 4, 0); --y)
        for (int x = rect.Left; x < rect.Right && x < image.width(); ++x)
          if (qGray(image.pixel(x, y)) < 100) return y;
      return -1;
    };
    const int mainFoot = foot(control->Pieces()[0].Rect);
    ASSERT_GT(mainFoot, 0);
    EXPECT_EQ(foot(control->Pieces()[1].Rect), mainFoot);
    EXPECT_EQ(foot(control->Pieces()[2].Rect), mainFoot);
    form->CloseWindow();
    Settle();
  }
}

// The row index finds exactly the entries that meet a band of rows, with
// pieces ordered by line but of any height (a tall picture beside text).
TEST(RowIndex, FindsTheEntriesThatMeetABand) {
  // {top, bottom} of each entry, in layout order.
  const std::vector<std::pair<int, int>> entries = {{8, 24}, {24, 40}, {24, 300}, {40, 56}, {300, 316}, {316, 332}};
  TRowIndex index;
  index.Reset(entries.size());
  for (const auto& [top, bottom] : entries) index.Add(top, bottom);
  index.Finish();
  for (int from = 0; from < 340; from += 7) {
    for (int to = from; to < 340; to += 13) {
      std::vector<std::size_t> expected;
      for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].second >= from && entries[i].first <= to) expected.push_back(i);
      std::vector<std::size_t> found;
      for (std::size_t i = index.First(from); i < index.End(to); ++i)
        if (entries[i].second >= from && entries[i].first <= to) found.push_back(i);
      EXPECT_EQ(found, expected) << from << ".." << to;
    }
  }
  TRowIndex empty;
  empty.Finish();
  EXPECT_EQ(empty.First(0), 0u);
  EXPECT_EQ(empty.End(1000), 0u);
}

// In a window of many thousand rows, a click far down opens the row under
// the pointer, and the row's neighbours are left alone.
TEST_F(DisplayControl, ClicksFarDownALongWindowHitTheRowUnderThePointer) {
  TMetaTextHunk& node = MakeNode("Results", Kind::Subject);
  std::vector<TMetaTextHunk*> rows;
  for (int i = 0; i < 20000; ++i) rows.push_back(&AddChild(node, "Row " + std::to_string(i)));
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  TStringControl* control = form->Control();
  const TRect target = LinksTo(*control, rows[17321]).at(0).Rect;
  ASSERT_GT(target.Top, 100000);
  VerticalBar(form)->setValue(target.Top - 50);
  Settle();
  Click(control, Centre(target));
  Settle();
  EXPECT_NE(rows[17321]->Window, nullptr);
  EXPECT_EQ(rows[17320]->Window, nullptr);
  EXPECT_EQ(rows[17322]->Window, nullptr);
}

}  // namespace
