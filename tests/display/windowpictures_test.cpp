// Pictures in hint windows: hot regions that draw overlays (decoded once,
// retried after a failure) or open nodes, pictures freed when the window
// closes, and the size of a window that shows nothing but one picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "display/pngdecode.h"
#include "display/stringchild.h"
#include "display/stringcontrol.h"
#include "model/datahunks.h"
#include "model/pngobject.h"
#include "windowfixture.h"

using namespace wintest;

namespace {

// TinyPng's picture has grey columns: column x of a w-wide picture has the
// grey x * 255 / (w - 1).
int ColumnGrey(int x, int width) { return x * 255 / (width - 1); }

class WindowPictures : public WindowTest {
 protected:
  static constexpr int Width = 40;
  static constexpr int Height = 30;
  static constexpr int OverlayX = 12;
  static constexpr int OverlayY = 6;

  // "Map": a 40 x 30 picture whose first region draws the 4 x 4 overlay
  // "Lamp" at (12, 6) and whose second region opens the hint "Spot".
  void Build(const std::string& overlayPng = TinyPng(4, 4), const std::string& mapPng = TinyPng(Width, Height)) {
    THintFileWriter writer;
    auto lamp = writer.Overlay("Lamp", overlayPng, OverlayX, OverlayY);
    auto map = writer.HyperPng("Map", mapPng,
                               {{10, 5, 20, 15, lamp}, {25, 5, 35, 15, Hint("Spot", {"Under the rug."})}});
    writer.Hunks = {Subject("Game", {map})};
    TItemsHunk* root = Load(writer);
    ASSERT_NE(root, nullptr);
    Map = dynamic_cast<THyperPNGHunk*>(root->FindByTitle("Map"));
    ASSERT_NE(Map, nullptr);
    Picture = Map->Image();
    ASSERT_NE(Picture, nullptr);
    ASSERT_EQ(Picture->Regions.size(), 2u);
    Lamp = dynamic_cast<TOverlayHunk*>(Picture->Regions[0].Target);
    Spot = Picture->Regions[1].Target;
    ASSERT_NE(Lamp, nullptr);
    ASSERT_NE(Spot, nullptr);
  }

  QImage* Bitmap() const {
    auto* image = dynamic_cast<TPictureImage*>(Picture->Bitmap.get());
    return image != nullptr ? &image->Image : nullptr;
  }
  int GreyAt(int x, int y) const { return qGray(Bitmap()->pixel(x, y)); }

  // A click on the first region of the lone picture, where the window
  // shows it (stretched to the window).
  void ClickLampRegion(THintForm* form) {
    const TRect& region = form->Control()->Links().at(0).Rect;
    Click(form->Control(), QPoint(region.Left, region.Top));
    Settle();
  }

  THyperPNGHunk* Map = nullptr;
  TPNGObject* Picture = nullptr;
  TOverlayHunk* Lamp = nullptr;
  THunk* Spot = nullptr;
};

TEST_F(WindowPictures, OverlayRegionDrawsItsOverlayOnce) {
  Build();
  THintForm* form = Open(*Map);
  ASSERT_NE(form, nullptr);
  ASSERT_NE(Bitmap(), nullptr);
  ASSERT_NE(Picture->Overlays, nullptr);
  ASSERT_EQ(form->Control()->Links().size(), 2u);
  EXPECT_EQ(GreyAt(OverlayX, OverlayY), ColumnGrey(OverlayX, Width));
  EXPECT_EQ(GreyAt(OverlayX + 2, OverlayY + 3), ColumnGrey(OverlayX + 2, Width));

  ClickLampRegion(form);
  EXPECT_EQ(Map->Window, form) << "the overlay is drawn in the window that shows the picture";
  EXPECT_EQ(Lamp->Window, nullptr);
  // The overlay's own columns: 0, 85, 170, 255.
  EXPECT_EQ(GreyAt(OverlayX, OverlayY), 0);
  EXPECT_EQ(GreyAt(OverlayX + 2, OverlayY + 3), 170);
  EXPECT_EQ(GreyAt(OverlayX + 4, OverlayY), ColumnGrey(OverlayX + 4, Width)) << "nothing beyond the overlay";

  // Mark a pixel under the overlay: drawing the overlay again would cover it.
  Bitmap()->setPixel(OverlayX, OverlayY, 200);
  ASSERT_EQ(GreyAt(OverlayX, OverlayY), 200);
  ClickLampRegion(form);
  EXPECT_EQ(GreyAt(OverlayX, OverlayY), 200) << "the second click decoded and drew the overlay again";

  // The other region opens its node.
  const TRect& spot = form->Control()->Links().at(1).Rect;
  Click(form->Control(), QPoint(spot.Right, spot.Bottom));
  Settle();
  EXPECT_NE(FormOf(*Spot), nullptr);
}

TEST_F(WindowPictures, OverlayThatFailedToDecodeIsTriedAgain) {
  std::string broken = TinyPng(4, 4);
  // A byte of the pixel data: the chunk's CRC no longer matches.
  constexpr std::size_t Damaged = 50;
  const char good = broken[Damaged];
  broken[Damaged] = static_cast<char>(good ^ 0x55);
  Build(broken);
  THintForm* form = Open(*Map);
  ASSERT_NE(form, nullptr);
  ASSERT_NE(Bitmap(), nullptr);

  ClickLampRegion(form);
  EXPECT_EQ(GreyAt(OverlayX, OverlayY), ColumnGrey(OverlayX, Width)) << "a failed overlay draws nothing";

  {
    std::fstream file(FilePath, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(Lamp->DataOffset + static_cast<std::streamoff>(Damaged));
    file.put(good);
  }
  ClickLampRegion(form);
  EXPECT_EQ(GreyAt(OverlayX, OverlayY), 0) << "the repaired overlay is decoded at the next request";
}

// A good overlay on a picture that could not be shown is not drawn, and
// is not taken for drawn at the next request either: each says so.
TEST_F(WindowPictures, AnOverlayWithoutItsPictureIsNeverTakenForDrawn) {
  std::string broken = TinyPng(Width, Height);
  broken[50] = static_cast<char>(broken[50] ^ 0x55);
  Build(TinyPng(4, 4), broken);
  THintForm* form = Open(*Map);
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(Bitmap(), nullptr) << "the picture was expected not to decode";
  for (int attempt = 1; attempt <= 3; ++attempt)
    EXPECT_FALSE(form->Control()->DisplayOverlay(*Lamp)) << "attempt " << attempt;
}

TEST_F(WindowPictures, ClosingFreesThePicturesAndReopeningDecodesAgain) {
  Build();
  THintForm* form = Open(*Map);
  ASSERT_NE(form, nullptr);
  ClickLampRegion(form);
  ASSERT_EQ(GreyAt(OverlayX, OverlayY), 0);

  form->CloseWindow();
  Settle();
  EXPECT_EQ(Map->Window, nullptr);
  EXPECT_EQ(Picture->Bitmap, nullptr);
  EXPECT_EQ(Picture->Overlays, nullptr);

  form = Open(*Map);
  ASSERT_NE(form, nullptr);
  ASSERT_NE(Bitmap(), nullptr);
  ASSERT_NE(Picture->Overlays, nullptr);
  EXPECT_EQ(GreyAt(OverlayX, OverlayY), ColumnGrey(OverlayX, Width)) << "the overlays drawn before are gone";
  ClickLampRegion(form);
  EXPECT_EQ(GreyAt(OverlayX, OverlayY), 0) << "and can be drawn again";
}

TEST_F(WindowPictures, OpeningAnOverlayOpensThePictureWindowFirst) {
  Build();
  ASSERT_EQ(Map->Window, nullptr);
  Lamp->Open();
  Settle();
  THintForm* form = FormOf(*Map);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Lamp->Window, nullptr);
  ASSERT_NE(Bitmap(), nullptr);
  EXPECT_EQ(GreyAt(OverlayX, OverlayY), 0);
  // Opening it again neither opens another window nor draws again.
  Bitmap()->setPixel(OverlayX, OverlayY, 200);
  Lamp->Open();
  Settle();
  EXPECT_EQ(FormOf(*Map), form);
  EXPECT_EQ(GreyAt(OverlayX, OverlayY), 200);
}

// Loaded with inline images, the picture stands among its owner's items: its
// regions move with the place the layout gives it.
TEST_F(WindowPictures, InlinePictureRegionsFollowThePicture) {
  THintFileWriter writer;
  auto lamp = writer.Overlay("Lamp", TinyPng(4, 4), OverlayX, OverlayY);
  auto map = writer.HyperPng("Map", TinyPng(Width, Height), {{10, 5, 20, 15, lamp}});
  writer.Hunks = {Subject("Game", {Hint("Before", {"b"}), map, Hint("After", {"a"})})};
  TItemsHunk* root = Load(writer, true);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->ItemCount(), 3u);
  Picture = dynamic_cast<TPNGObject*>(root->ItemAt(1));
  ASSERT_NE(Picture, nullptr);
  THintForm* form = Open(*root);
  ASSERT_NE(form, nullptr);
  ASSERT_NE(Bitmap(), nullptr);
  TStringControl* control = form->Control();
  const TWrapInfo* placed = nullptr;
  for (const TWrapInfo& piece : control->Pieces())
    if (piece.Item == Picture) placed = &piece;
  ASSERT_NE(placed, nullptr);
  ASSERT_GT(placed->Rect.Top, 8) << "the picture stands below the first line";
  const TRect region{placed->Rect.Left + 10, placed->Rect.Top + 5, placed->Rect.Left + 20, placed->Rect.Top + 15};
  const std::vector<TLinkInfo> links = LinksTo(*control, Picture->Regions[0].Target);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].Rect, region);

  Click(control, QPoint(region.Right, region.Bottom));
  Settle();
  EXPECT_EQ(root->Window, form);
  EXPECT_EQ(GreyAt(OverlayX, OverlayY), 0) << "the overlay is drawn in the window of the picture's owner";
}

// ---- a window of one picture ---------------------------------------------------------------

class LonePicture : public WindowTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (GetParam()) UseArea();
  }
};

TEST_P(LonePicture, WindowFitsThePictureAndStretchingKeepsTheViewSize) {
  constexpr int W = 300;
  constexpr int H = 200;
  THintFileWriter writer;
  auto map = writer.HyperPng("Big map", TinyPng(W, H), {{20, 30, 60, 70, Hint("Spot", {"s"})}});
  writer.Hunks = {Subject("Game", {map})};
  TItemsHunk* root = Load(writer);
  ASSERT_NE(root, nullptr);
  auto* hyper = dynamic_cast<THyperPNGHunk*>(root->FindByTitle("Big map"));
  ASSERT_NE(hyper, nullptr);
  THintForm* form = Open(*hyper);
  ASSERT_NE(form, nullptr);
  TStringControl* control = form->Control();
  ASSERT_TRUE(control->IsJustAGraphic());
  ASSERT_NE(hyper->Image()->Bitmap, nullptr);

  EXPECT_EQ(form->size(), QSize(W + 20, H + 20)) << "the client area is the picture plus 20";
  QWidget* viewport = form->ScrollBox()->viewport();
  EXPECT_EQ(control->size(), viewport->size()) << "StretchGraphics: the control keeps the view's size";

  Frame(form)->resize(Frame(form)->size() + QSize(200, 150));
  Settle();
  EXPECT_EQ(control->size(), viewport->size());
  // The hot region grows with the drawn picture, so it stays on what it marks.
  const double scale = std::min(double(control->width() - 16) / W, double(control->height() - 16) / H);
  ASSERT_GT(scale, 1.5);
  EXPECT_DOUBLE_EQ(control->StretchScale(), scale);
  const auto at = [scale](int v) { return 8 + static_cast<int>(v * scale); };
  const TRect expected{at(20), at(30), at(60), at(70)};
  ASSERT_EQ(control->Links().size(), 1u);
  EXPECT_EQ(control->Links()[0].Rect, expected);
  // A click on the middle of the drawn region opens its node; a click where
  // the region would lie unscaled, outside the drawn one, does nothing.
  THunk* spot = static_cast<THunk*>(control->Links()[0].Target);
  Click(control, QPoint(8 + 25, 8 + 35));
  Settle();
  EXPECT_EQ(spot->Window, nullptr);
  Click(control, QPoint((expected.Left + expected.Right) / 2, (expected.Top + expected.Bottom) / 2));
  Settle();
  EXPECT_NE(spot->Window, nullptr);
  if (spot->Window != nullptr) static_cast<TStringForm*>(spot->Window)->CloseWindow();
  Settle();

  Options.StretchGraphics = false;
  Frame(form)->resize(Frame(form)->size() - QSize(300, 230));
  Settle();
  ASSERT_LT(viewport->width(), 8 + W + 8);
  EXPECT_GE(control->width(), 8 + W + 8);
  EXPECT_GE(control->height(), 8 + H + 8);
  EXPECT_GT(form->ScrollBox()->horizontalScrollBar()->maximum(), 0);
}

// Dragging one edge of a stretched lone picture's window makes the other
// follow, so the picture keeps its proportions.
TEST_F(WindowTest, LonePictureWindowKeepsItsProportionsWhenResized) {
  constexpr int W = 200;
  constexpr int H = 100;
  THintFileWriter writer;
  writer.Hunks = {Subject("Game", {writer.HyperPng("Wide", TinyPng(W, H))})};
  UseArea();
  TItemsHunk* root = Load(writer);
  ASSERT_NE(root, nullptr);
  auto* hyper = dynamic_cast<THyperPNGHunk*>(root->FindByTitle("Wide"));
  ASSERT_NE(hyper, nullptr);
  THintForm* form = Open(*hyper);
  ASSERT_NE(form, nullptr);
  QWidget* frame = Frame(form);
  // The picture's share of the window's client area: all of it less 20.
  const auto pictureSize = [&] { return form->size() - QSize(20, 20); };
  ASSERT_EQ(pictureSize(), QSize(W, H));

  frame->resize(frame->width() + 200, frame->height());  // the right edge dragged
  Settle();
  EXPECT_EQ(pictureSize().width(), W + 200);
  EXPECT_NEAR(pictureSize().height(), (W + 200) * H / W, 1);

  frame->resize(frame->width(), frame->height() - 100);  // the bottom edge dragged
  Settle();
  EXPECT_NEAR(pictureSize().height(), (W + 200) * H / W - 100, 1);
  EXPECT_NEAR(pictureSize().width(), pictureSize().height() * W / H, 2);

  Options.StretchGraphics = false;  // without stretching the window is free
  const QSize free = frame->size() + QSize(50, 0);
  frame->resize(free);
  Settle();
  EXPECT_EQ(frame->size(), free);
}

INSTANTIATE_TEST_SUITE_P(Windows, LonePicture, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "InWindowArea" : "TopLevel"; });

}  // namespace
