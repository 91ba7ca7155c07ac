// The keyboard focus as the user sees it: a dotted frame in black and white
// on a hot region of a picture, on the view of a new window that has no
// link selected yet, and on the hint button.
#include <gtest/gtest.h>

#include <QImage>

#include "authoring/hintwriter.h"
#include "display/stringchild.h"
#include "display/stringcontrol.h"
#include "windowfixture.h"

using namespace wintest;

namespace {

struct TInk {
  int Black = 0;
  int White = 0;
};

// The black and the white pixels along the outline of rect in the image.
TInk InkAlong(const QImage& image, const QRect& rect) {
  TInk ink;
  const auto look = [&](int x, int y) {
    if (!image.rect().contains(x, y)) return;
    const QColor c = image.pixelColor(x, y);
    if (c.red() < 40 && c.green() < 40 && c.blue() < 40) ++ink.Black;
    if (c.red() > 220 && c.green() > 220 && c.blue() > 220) ++ink.White;
  };
  for (int x = rect.left(); x <= rect.right(); ++x) {
    look(x, rect.top());
    look(x, rect.bottom());
  }
  for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
    look(rect.left(), y);
    look(rect.right(), y);
  }
  return ink;
}

QImage Shot(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

class FocusBoxes : public WindowTest {};

}  // namespace

// A hot region selected with Tab is framed by dots of both black and white,
// so that the frame shows on any picture; without the focus it is gone.
TEST_F(FocusBoxes, AHotRegionSelectedWithTabIsFramedInBlackAndWhite) {
  UseArea();
  Options.StretchGraphics = false;
  THintFileWriter writer;
  // A mid-grey picture: the style's faint tint would not show on it.
  auto map = writer.HyperPng("Map", TinyPng(120, 80), {{20, 20, 60, 50, Hint("Spot", {"Under the rug."})}});
  writer.Hunks = {Subject("Game", {map})};
  TItemsHunk* root = Load(writer);
  ASSERT_NE(root, nullptr);
  THintForm* form = Open(*root->FindByTitle("Map"));
  ASSERT_NE(form, nullptr);
  TStringControl* control = form->Control();
  control->setFocus();
  Settle();
  Type(Qt::Key_Tab);
  ASSERT_NE(control->FocusTarget(), nullptr);
  const std::vector<TLinkInfo> links = LinksTo(*control, control->FocusTarget());
  ASSERT_EQ(links.size(), 1u);
  const TRect& r = links[0].Rect;
  const QRect box(r.Left - 3, r.Top, r.Width() + 6, r.Height());
  const TInk focused = InkAlong(Shot(control), box);
  EXPECT_GT(focused.White, box.width() / 2) << "the frame has no white dots to show on dark pictures";

  form->HintButton()->setFocus();  // the focus elsewhere: the frame goes
  Settle();
  const TInk unfocused = InkAlong(Shot(control), box);
  EXPECT_GT(focused.Black, unfocused.Black + box.width() / 2);
}

// A newly opened window without hints gives its view the keyboard, and the
// view shows it before any Tab; the frame stays on the view's edges when
// the text scrolls.
TEST_F(FocusBoxes, ANewWindowShowsItsFocusBeforeAnyTab) {
  UseArea();
  TMetaTextHunk& node = MakeNode("Long subject", Kind::Subject);
  for (int i = 0; i < 80; ++i) AddChild(node, "Question " + std::to_string(i));
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  TStringControl* control = form->Control();
  ASSERT_TRUE(control->hasFocus());
  ASSERT_EQ(control->FocusTarget(), nullptr);
  QWidget* view = form->ScrollBox()->viewport();
  const QRect edge = view->rect();
  const TInk atTop = InkAlong(Shot(view), edge);
  EXPECT_GT(atTop.Black, edge.width() / 2) << "the view shows no focus";

  VerticalBar(form)->setValue(VerticalBar(form)->maximum() / 2);
  Settle();
  const TInk scrolled = InkAlong(Shot(view), edge);
  EXPECT_GT(scrolled.Black, edge.width() / 2) << "the frame did not stay on the view's edges";
  // Within the view, away from its edges, no frame was dragged along.
  const TInk inside = InkAlong(Shot(view), edge.adjusted(40, 40, -40, -40));
  EXPECT_LT(inside.Black, edge.height() / 4);
}

// The hint button draws its focus frame however it got the focus (a new
// window gives it the focus without a key).
TEST_F(FocusBoxes, TheHintButtonShowsItsFocus) {
  UseArea();
  TMetaTextHunk& node = MakeNode("Where is the key?", Kind::Hint);
  AddText(node, "Near the door.");
  AddSeparator(node);
  AddText(node, "Under the mat.");
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  QPushButton* button = form->HintButton();
  ASSERT_TRUE(button->hasFocus());
  const QImage focused = Shot(button);
  form->Control()->setFocus();
  Settle();
  const QImage unfocused = Shot(button);
  ASSERT_EQ(focused.size(), unfocused.size());
  int darkened = 0;
  for (int y = 0; y < focused.height(); ++y)
    for (int x = 0; x < focused.width(); ++x)
      if (qGray(focused.pixel(x, y)) < 40 && qGray(unfocused.pixel(x, y)) >= 40) ++darkened;
  EXPECT_GT(darkened, button->width() / 2) << "the focused button draws no frame";
}
