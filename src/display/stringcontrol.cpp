#include "display/stringcontrol.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "display/colors.h"
#include "display/displaycontext.h"
#include "display/pngdecode.h"
#include "display/stringchild.h"
#include "display/tabkeys.h"
#include "display/textmeasure.h"
#include "model/datahunks.h"
#include "model/itemshunk.h"
#include "model/pngobject.h"
#include "settings/options.h"

namespace {
// The overlays drawn into a picture, each with its decoded image (null when
// decoding failed: the overlay is tried again at the next request).
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

TStringControl::TStringControl(QScrollArea* scrollBox, TItemsHunk* node, TStringForm* form)
    : QWidget(scrollBox), ScrollBox(scrollBox), Form(form), Node(node) {
  setFocusPolicy(Qt::StrongFocus);
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

QImage* TStringControl::Picture(const TZEBObject& item) const {
  if (item.KindCode() != Kind::PngObject) return nullptr;
  auto* picture = static_cast<TPictureImage*>(static_cast<const TPNGObject&>(item).Bitmap.get());
  return picture != nullptr ? &picture->Image : nullptr;
}

bool TStringControl::IsJustAGraphic() const { return ::IsJustAGraphic(Node); }

void TStringControl::Resize(int height, int width) {
  Layout.LayoutWidth = width;
  WrapTextFrom(QSize(width, height));
}

void TStringControl::WrapText() { WrapTextFrom(size()); }

void TStringControl::WrapTextFrom(QSize base) {
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
  for (const TWrapInfo& piece : Layout.Pieces()) {
    TZEBObject* item = piece.Item;
    if (item->IsRule) continue;
    if (item->KindCode() == Kind::PngObject) {
      for (const TRegion& region : static_cast<TPNGObject*>(item)->Regions) {
        const TRect rect{region.Left + piece.Rect.Left, region.Top + piece.Rect.Top, region.Right + piece.Rect.Left,
                         region.Bottom + piece.Rect.Top};
        LinkList.push_back({rect, region.Target});
      }
    } else if (item->IsNode() || IsFileEntry(*item)) {
      LinkList.push_back({piece.Rect, item});
    }
  }
}

void TStringControl::paintEvent(QPaintEvent*) {
  if (PaintSuspended) return;
  BoxesDrawn = false;
  const TOptions& options = DisplayOptions();
  QPainter painter(this);
  const QFont mainFont = MakeFont(options.MainFont);
  const QFont fixedFont = MakeFont(options.FixedFont);
  painter.setFont(mainFont);
  const int lineHeight = QFontMetrics(mainFont).height();
  const QColor linkColor = ToQColor(options.TextColor);
  const QColor textColor = ToQColor(options.FontColor);
  const bool stretched = IsJustAGraphic() && options.StretchGraphics;

  for (const TWrapInfo& piece : Layout.Pieces()) {
    const TZEBObject& item = *piece.Item;
    const TRect& r = piece.Rect;
    if (item.IsRule) {
      painter.setPen(textColor);
      painter.drawLine(r.Left, r.Top + lineHeight / 2, r.Left + width() - 16, r.Top + lineHeight / 2);
      continue;
    }
    if (item.KindCode() == Kind::PngObject) {
      if (const QImage* image = Picture(item)) {
        if (stretched && image->width() > 0 && image->height() > 0) {
          const double scale = std::min(double(width() - 16) / image->width(), double(height() - 16) / image->height());
          const QRect target(8, 8, static_cast<int>(image->width() * scale), static_cast<int>(image->height() * scale));
          painter.drawImage(target, *image);
        } else {
          painter.drawImage(QPoint(r.Left, r.Top), *image);
        }
      }
      continue;
    }
    painter.setFont(item.UseFixedFont ? fixedFont : mainFont);
    painter.setPen(item.IsNode() || IsFileEntry(item) ? linkColor : textColor);
    const QString text = ItemText(item).mid(piece.Start, piece.Length);
    painter.drawText(QRect(r.Left, r.Top, std::max(r.Width(), 1) + 4, lineHeight),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
  }
  if (hasFocus() && Focused != nullptr) {
    for (const TLinkInfo& link : LinkList) {
      if (link.Target != Focused) continue;
      QStyleOptionFocusRect option;
      option.initFrom(this);
      option.rect = QRect(link.Rect.Left - 3, link.Rect.Top, link.Rect.Width() + 6, link.Rect.Height());
      option.backgroundColor = ToQColor(options.WindowBackColor);
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
      BoxesDrawn = true;
    }
  }
}

void TStringControl::DrawBoxes(bool scroll) {
  if (!hasFocus()) return;
  if (scroll && ScrollBox != nullptr) {
    int top = 10000;
    int bottom = 0;
    for (const TLinkInfo& link : LinkList) {
      if (link.Target != Focused) continue;
      top = std::min(top, link.Rect.Top);
      bottom = std::max(bottom, link.Rect.Bottom);
    }
    QScrollBar* bar = ScrollBox->verticalScrollBar();
    if (top < bar->value()) bar->setValue(top);
    const int clientHeight = ScrollBox->viewport()->height();
    if (bar->value() < bottom - clientHeight) bar->setValue(bottom - clientHeight);
  }
  update();
}

void TStringControl::ClearBoxes() {
  if (BoxesDrawn && hasFocus()) update();
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
  for (std::size_t i = 0; i < LinkList.size(); ++i)
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

void TStringControl::keyPressEvent(QKeyEvent* event) {
  const int page = ScrollBox != nullptr ? ScrollBox->viewport()->height() : 0;
  QScrollBar* vertical = ScrollBox != nullptr ? ScrollBox->verticalScrollBar() : nullptr;
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (Focused != nullptr) Activate(Focused);
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      int i = 0;
      for (std::size_t k = 0; k < LinkList.size(); ++k)
        if (LinkList[k].Target == Focused) {
          i = static_cast<int>(k);
          break;
        }
      ClearBoxes();
      if (IsBackTab(*event)) {
        LastTab(i - 1);
      } else {
        NextTab(i + 1);
      }
      DrawBoxes(true);
      break;
    }
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
    case Qt::Key_Escape:
      if (Form != nullptr) Form->CloseWindow();
      break;
    case Qt::Key_Space:
      if (Form != nullptr) Form->HintButtonClick();
      break;
    default:
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

void TStringControl::DisplayOverlay(TOverlayHunk& overlay) {
  if (overlay.Owner == nullptr || overlay.Owner->KindCode() != Kind::PngObject) return;
  auto& picture = *static_cast<TPNGObject*>(overlay.Owner);
  if (!picture.Overlays) picture.Overlays = std::make_unique<TOverlayList>();
  auto& records = static_cast<TOverlayList&>(*picture.Overlays).Records;
  for (const TDIBInfo& record : records)
    if (record.Overlay == &overlay && !record.Bitmap.isNull()) return;  // already drawn
  const QRgb background = ToQColor(DisplayOptions().WindowBackColor).rgb();
  QImage image = CreateDIB(RootFileName(overlay), overlay.DataOffset, background);
  records.push_back({&overlay, image});
  if (image.isNull()) return;
  if (QImage* base = Picture(picture)) {
    DrawOverlay(*base, image, overlay.X, overlay.Y);
    update();
  }
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
