#include "display/stringcontrol.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include "display/controlaccessible.h"
#include "display/focusbox.h"
#include "settings/qtvalues.h"
#include "display/displaycontext.h"
#include "display/piecepainter.h"
#include "display/pngdecode.h"
#include "display/stringchild.h"
#include "display/tabkeys.h"
#include "display/textmeasure.h"
#include "model/datahunks.h"
#include "model/itemshunk.h"
#include "model/pngobject.h"
#include "settings/options.h"

namespace {
// The overlays drawn into a picture, each with its decoded image.
struct TDIBInfo {
  TOverlayHunk* Overlay;
  QImage Bitmap;
};

class TOverlayList : public TPictureData {
 public:
  std::vector<TDIBInfo> Records;
};

TFontMeasure Measure() {
  const TOptions& options = DisplayOptions();
  return TFontMeasure(MakeFont(options.MainFont), MakeFont(options.FixedFont));
}

bool IsFileEntry(const TZEBObject& item) { return item.KindCode() == Kind::FileInfo; }
}  // namespace

// What painting one piece needs, set up once per paint.

void TRowIndex::Reset(std::size_t reserve) {
  RunningBottom.clear();
  LowestTopFrom.clear();
  RunningBottom.reserve(reserve);
  LowestTopFrom.reserve(reserve);
}

void TRowIndex::Add(int top, int bottom) {
  RunningBottom.push_back(RunningBottom.empty() ? bottom : std::max(RunningBottom.back(), bottom));
  LowestTopFrom.push_back(top);
}

void TRowIndex::Finish() {
  for (std::size_t i = LowestTopFrom.size(); i-- > 1;)
    LowestTopFrom[i - 1] = std::min(LowestTopFrom[i - 1], LowestTopFrom[i]);
}

std::size_t TRowIndex::First(int top) const {
  return static_cast<std::size_t>(std::lower_bound(RunningBottom.begin(), RunningBottom.end(), top) -
                                  RunningBottom.begin());
}

std::size_t TRowIndex::End(int bottom) const {
  return static_cast<std::size_t>(std::upper_bound(LowestTopFrom.begin(), LowestTopFrom.end(), bottom) -
                                  LowestTopFrom.begin());
}

TStringControl::TStringControl(QScrollArea* scrollBox, TItemsHunk* node, TStringForm* form)
    : QWidget(scrollBox), ScrollBox(scrollBox), Form(form), Node(node) {
  InstallControlAccessibility();
  setFocusPolicy(Qt::StrongFocus);
  // The frame of a focused view without a selected link stays on the
  // view's edges: scrolling would move it with the text.
  if (scrollBox != nullptr) {
    for (QScrollBar* bar : {scrollBox->verticalScrollBar(), scrollBox->horizontalScrollBar()})
      connect(bar, &QScrollBar::valueChanged, this, [this] {
        if (hasFocus() && Focused == nullptr) update();
      });
  }
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  Layout.Document = node;
  Layout.ImageSize = [this](const TZEBObject& item) {
    const QImage* image = Picture(item);
    return image != nullptr ? image->size() : QSize();
  };
  const QRgb background = ToQColor(DisplayOptions().WindowBackColor).rgb();
  if (node != nullptr) {
    for (TZEBObject* item : node->Items) {
      if (item->KindCode() != Kind::PngObject) continue;
      auto* picture = static_cast<TPNGObject*>(item);
      const QImage image = CreateDIB(RootFileName(*picture), picture->DataOffset, background);
      picture->Bitmap = image.isNull() ? nullptr : std::make_unique<TPictureImage>(image);
      picture->Overlays = std::make_unique<TOverlayList>();
    }
  }
}

TStringControl::~TStringControl() = default;

void TStringControl::ClearDocument() {
  Node = nullptr;
  Layout.Document = nullptr;
  Layout.ClearPieces();
  LinkList.clear();
  Focused = nullptr;
}

QImage* TStringControl::Picture(const TZEBObject& item) const { return DecodedPicture(item); }

bool TStringControl::IsJustAGraphic() const { return ::IsJustAGraphic(Node); }

double TStringControl::StretchScale() const {
  if (!IsJustAGraphic() || !DisplayOptions().StretchGraphics) return 0;
  const QImage* image = Picture(*Node->Items.front());
  if (image == nullptr || image->width() <= 0 || image->height() <= 0) return 0;
  return std::min(double(width() - 16) / image->width(), double(height() - 16) / image->height());
}

void TStringControl::Resize(int height, int width) {
  Layout.LayoutWidth = width;
  WrapTextFrom(QSize(width, height));
}

void TStringControl::WrapText() { WrapTextFrom(size()); }

void TStringControl::WrapTextFrom(QSize base) {
  ++Layouts;
  Layout.StretchGraphics = DisplayOptions().StretchGraphics;
  const QSize size = Layout.WrapText(Measure(), base);
  if (size != this->size()) resize(size);
  // Links derive from the pieces alone; building them here keeps clicks
  // and keys right even before the next paint.
  BuildLinks();
  update();
}

void TStringControl::BuildLinks() {
  LinkList.clear();
  PieceRows.Reset(Layout.Pieces().size());
  // A stretched picture's hot regions grow with it, so they stay on what
  // they mark.
  const double stretch = StretchScale();
  const auto scaled = [stretch](int at, int origin) {
    return stretch > 0 ? 8 + static_cast<int>(at * stretch) : at + origin;
  };
  for (const TWrapInfo& piece : Layout.Pieces()) {
    PieceRows.Add(piece.Rect.Top, stretch > 0 ? height() : piece.Rect.Bottom);
    TZEBObject* item = piece.Item;
    if (item->IsRule) continue;
    if (item->KindCode() == Kind::PngObject) {
      for (const TRegion& region : static_cast<TPNGObject*>(item)->Regions) {
        const TRect rect{scaled(region.Left, piece.Rect.Left), scaled(region.Top, piece.Rect.Top),
                         scaled(region.Right, piece.Rect.Left), scaled(region.Bottom, piece.Rect.Top)};
        LinkList.push_back({rect, region.Target});
      }
    } else if (item->IsNode() || IsFileEntry(*item)) {
      LinkList.push_back({piece.Rect, item});
    }
  }
  PieceRows.Finish();
  LinkRows.Reset(LinkList.size());
  for (const TLinkInfo& link : LinkList) LinkRows.Add(link.Rect.Top, link.Rect.Bottom);
  LinkRows.Finish();
}

void TStringControl::paintEvent(QPaintEvent* event) {
  if (PaintSuspended) return;
  BoxesDrawn = false;
  const TOptions& options = DisplayOptions();
  QPainter painter(this);
  TPieceStyle style;
  style.MainFont = MakeFont(options.MainFont);
  style.FixedFont = MakeFont(options.FixedFont);
  const QFontMetrics mainMetrics(style.MainFont);
  style.LineHeight = mainMetrics.height();
  style.Baseline = mainMetrics.ascent();
  style.LinkColor = ToQColor(options.TextColor);
  style.TextColor = ToQColor(options.FontColor);
  style.RuleRight = width() - 16;
  style.FileEntriesAreLinks = true;
  style.Picture = [](const TZEBObject& item) {
    const QImage* image = DecodedPicture(item);
    return image != nullptr ? *image : QImage();
  };
  // A lone picture stretched to the window, when the settings say so.
  const double stretch = StretchScale();
  style.PictureRect = [stretch](const QImage& image, const TRect& r) {
    if (stretch > 0)
      return QRect(8, 8, static_cast<int>(image.width() * stretch), static_cast<int>(image.height() * stretch));
    return QRect(QPoint(r.Left, r.Top), image.size());
  };
  painter.setFont(style.MainFont);

  // Only the pieces that meet the area to repaint.
  const QRect exposed = event->rect();
  const std::vector<TWrapInfo>& pieces = Layout.Pieces();
  const std::size_t first = stretch > 0 ? 0 : PieceRows.First(exposed.top());
  const std::size_t end = stretch > 0 ? pieces.size() : std::min(pieces.size(), PieceRows.End(exposed.bottom()));
  for (std::size_t i = first; i < end; ++i) PaintPiece(painter, pieces[i], style);

  if (!hasFocus()) return;
  for (const TLinkInfo& link : LinkList) {
    if (link.Target != Focused || Focused == nullptr) continue;
    DrawFocusBox(painter, QRect(link.Rect.Left - 3, link.Rect.Top, link.Rect.Width() + 6, link.Rect.Height()));
    BoxesDrawn = true;
  }
  // With no link selected (a new window, or one focused by a click), the
  // view itself shows that it has the keyboard.
  if (!BoxesDrawn) DrawFocusBox(painter, visibleRegion().boundingRect());
}

void TStringControl::DrawBoxes(bool scroll) {
  if (!hasFocus()) return;
  if (scroll && ScrollBox != nullptr) {
    // The focused link's rectangles, if it has any: without one there is
    // nothing to bring into view.
    bool found = false;
    int top = 0;
    int bottom = 0;
    for (const TLinkInfo& link : LinkList) {
      if (link.Target != Focused || Focused == nullptr) continue;
      top = found ? std::min(top, link.Rect.Top) : link.Rect.Top;
      bottom = found ? std::max(bottom, link.Rect.Bottom) : link.Rect.Bottom;
      found = true;
    }
    if (!found) {
      update();
      return;
    }
    QScrollBar* bar = ScrollBox->verticalScrollBar();
    if (top < bar->value()) bar->setValue(top);
    const int clientHeight = ScrollBox->viewport()->height();
    if (bar->value() < bottom - clientHeight) bar->setValue(bottom - clientHeight);
  }
  update();
}

bool TStringControl::FocusedLinkInView() const {
  const QRect view = visibleRegion().boundingRect();
  for (const TLinkInfo& link : LinkList)
    if (link.Target == Focused &&
        view.intersects(QRect(link.Rect.Left, link.Rect.Top, std::max(link.Rect.Width(), 1), std::max(link.Rect.Height(), 1))))
      return true;
  return false;
}

void TStringControl::ClearBoxes() {
  if (BoxesDrawn && hasFocus()) update();
}

void TStringControl::StepTab(bool back, bool fromTheEnds) {
  int i = 0;
  for (std::size_t k = 0; k < LinkList.size(); ++k)
    if (LinkList[k].Target == Focused) {
      i = static_cast<int>(k);
      break;
    }
  ClearBoxes();
  if (fromTheEnds) {
    back ? LastTab(-2) : NextTab(0);
  } else {
    back ? LastTab(i - 1) : NextTab(i + 1);
  }
  DrawBoxes(true);
}

TZEBObject* TStringControl::NextTab(int start) {
  TZEBObject* old = Focused;
  Focused = nullptr;
  for (int i = std::max(start, 0); i < static_cast<int>(LinkList.size()); ++i) {
    if (LinkList[i].Target != old) {
      Focused = LinkList[i].Target;
      break;
    }
  }
  if (Focused == nullptr && start != 0 && Form != nullptr) Form->FocusHintButton();
  return Focused;
}

TZEBObject* TStringControl::LastTab(int start) {
  TZEBObject* old = Focused;
  Focused = nullptr;
  const int last = static_cast<int>(LinkList.size()) - 1;
  const bool fromLast = start == -2 || start == last;
  if (start == -2) start = last;
  for (int i = std::min(start, last); i >= 0; --i) {
    if (LinkList[i].Target != old) {
      Focused = LinkList[i].Target;
      break;
    }
  }
  if (Focused == nullptr && !fromLast && Form != nullptr) Form->FocusHintButton();
  return Focused;
}

void TStringControl::Activate(TZEBObject* target) {
  if (target != nullptr) target->Open();
}

int TStringControl::LinkAt(int x, int y) const {
  const std::size_t end = std::min(LinkList.size(), LinkRows.End(y));
  for (std::size_t i = LinkRows.First(y); i < end; ++i)
    if (LinkList[i].Rect.ContainsInclusive(x, y)) return static_cast<int>(i);
  return -1;
}

void TStringControl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  setCursor(LinkAt(at.x(), at.y()) >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TStringControl::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const int link = LinkAt(at.x(), at.y());
  if (link >= 0) Activate(LinkList[link].Target);
}

void TStringControl::ScrollBy(int dx, int dy) {
  if (ScrollBox == nullptr || (dx == 0 && dy == 0)) return;
  ClearBoxes();
  ScrollBox->horizontalScrollBar()->setValue(ScrollBox->horizontalScrollBar()->value() + dx);
  ScrollBox->verticalScrollBar()->setValue(ScrollBox->verticalScrollBar()->value() + dy);
  DrawBoxes(false);
}

bool TStringControl::ScrollWithKey(int key) {
  const int page = ScrollBox != nullptr ? ScrollBox->viewport()->height() : 0;
  QScrollBar* vertical = ScrollBox != nullptr ? ScrollBox->verticalScrollBar() : nullptr;
  switch (key) {
    case Qt::Key_PageUp:
      ScrollBy(0, -page);
      break;
    case Qt::Key_PageDown:
      ScrollBy(0, page);
      break;
    case Qt::Key_Home:
      if (vertical != nullptr) ScrollBy(0, -vertical->value());
      break;
    case Qt::Key_End:
      if (vertical != nullptr) ScrollBy(0, vertical->maximum());
      break;
    case Qt::Key_Up:
      ScrollBy(0, -10);
      break;
    case Qt::Key_Down:
      ScrollBy(0, 10);
      break;
    case Qt::Key_Left:
      ScrollBy(-10, 0);
      break;
    case Qt::Key_Right:
      ScrollBy(10, 0);
      break;
    default:
      return false;
  }
  return true;
}

void TStringControl::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Only a link whose focus box the user can see is opened; a selected
      // link scrolled out of view is first brought back into it.
      if (Focused != nullptr) {
        if (FocusedLinkInView()) {
          Activate(Focused);
        } else {
          DrawBoxes(true);
        }
      }
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      // Nothing selected yet (the focus came by a click or a new window):
      // Tab starts at the first link, Shift+Tab at the last.
      StepTab(IsBackTab(*event), Focused == nullptr && !LinkList.empty());
      break;
    case Qt::Key_Escape:
      if (Form != nullptr) Form->CloseWindow();
      break;
    case Qt::Key_Space:
      if (Form != nullptr) Form->HintButtonClick();
      break;
    default:
      if (ScrollWithKey(event->key())) break;
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

bool TStringControl::event(QEvent* event) {
  // Tab and Shift+Tab step through the links instead of moving the focus.
  if (QKeyEvent* tab = TabKeyPress(event)) {
    keyPressEvent(tab);
    return true;
  }
  return QWidget::event(event);
}

bool TStringControl::focusNextPrevChild(bool) { return false; }

void TStringControl::focusInEvent(QFocusEvent* event) {
  update();
  QWidget::focusInEvent(event);
}

void TStringControl::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

bool TStringControl::DisplayOverlay(TOverlayHunk& overlay) {
  if (overlay.Owner == nullptr || overlay.Owner->KindCode() != Kind::PngObject) return false;
  auto& picture = *static_cast<TPNGObject*>(overlay.Owner);
  if (!picture.Overlays) picture.Overlays = std::make_unique<TOverlayList>();
  auto& records = static_cast<TOverlayList&>(*picture.Overlays).Records;
  for (const TDIBInfo& record : records)
    if (record.Overlay == &overlay) return true;  // already drawn
  // Only an overlay drawn into a picture is recorded: one that could not be
  // decoded, or had no picture to go into, is tried again at the next
  // request and leaves no record behind.
  QImage* base = Picture(picture);
  if (base == nullptr) return false;
  const QRgb background = ToQColor(DisplayOptions().WindowBackColor).rgb();
  QImage image = CreateDIB(RootFileName(overlay), overlay.DataOffset, background);
  if (image.isNull()) return false;
  DrawOverlay(*base, image, overlay.X, overlay.Y);
  records.push_back({&overlay, std::move(image)});
  update();
  return true;
}

bool TStringControl::PicturesShown() const {
  if (Node == nullptr) return true;
  for (const TZEBObject* item : Node->Items)
    if (item->KindCode() == Kind::PngObject && Picture(*item) == nullptr) return false;
  return true;
}

void TStringControl::DeleteBitmaps() {
  if (Node == nullptr) return;
  for (TZEBObject* item : Node->Items) {
    if (item->KindCode() != Kind::PngObject) continue;
    auto* picture = static_cast<TPNGObject*>(item);
    picture->Bitmap.reset();
    picture->Overlays.reset();
  }
}
