#include "display/stringchild.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QVBoxLayout>

#include "display/controlaccessible.h"
#include "display/focusbox.h"
#include "settings/qtvalues.h"
#include "display/displaycontext.h"
#include "display/pngdecode.h"
#include "display/stringcontrol.h"
#include "display/tabkeys.h"
#include "display/textcodec.h"
#include "model/datahunks.h"
#include "model/itemshunk.h"
#include "model/pngobject.h"
#include "settings/options.h"

namespace {
// The window icon for a node's kind; kinds not listed keep the default.
QString IconFor(std::uint8_t kind) {
  switch (kind) {
    case Kind::Credit:
    case Kind::Comment:
    case Kind::VerHunk:
    case Kind::Info:
      return ":/icons/Z_CREDIT_ICON";
    case Kind::Hint:
    case Kind::NestHint:
      return ":/icons/Z_HINT_ICON";
    case Kind::Subject:
      return ":/icons/Z_SUBJECT_ICON";
    case Kind::Text:
      return ":/icons/Z_TEXT_ICON";
    case Kind::HyperPng:
      return ":/icons/Z_HYPERPNG_ICON";
    default:
      return QString();
  }
}

bool IsSeparator(const TZEBObject& item) { return !item.IsNode() && item.Text == "-"; }

// Height of the button panel when it shows.
int PanelHeight(const QWidget* widget) {
  return widget->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2 + 24;
}
}  // namespace

// ---- the hint button ---------------------------------------------------------

THintButton::THintButton(QWidget* parent, TStringForm* form) : QPushButton("Another hint?", parent), Form(form) {
  // Its name for screen readers is its caption, which tells how many hints are shown.
  setAccessibleDescription("Reveals the next hint of this list");
}

bool THintButton::event(QEvent* event) {
  // The button takes Tab itself: it moves into the links of the window.
  if (QKeyEvent* tab = TabKeyPress(event)) {
    keyPressEvent(tab);
    return true;
  }
  return QPushButton::event(event);
}

void THintButton::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  DrawFocusBox(painter, style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this));
}

void THintButton::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      // From the button, Tab enters the links at the first, Shift+Tab at the last.
      Form->Control()->setFocus(Qt::TabFocusReason);
      Form->Control()->StepTab(IsBackTab(*event), true);
      break;
    }
    case Qt::Key_Escape:
      Form->CloseWindow();
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Form->HintButtonClick();
      break;
    default:
      // The scrolling keys move the text above the button, as they do
      // when the text has the focus.
      if (Form->Control()->ScrollWithKey(event->key())) break;
      QPushButton::keyPressEvent(event);
      return;
  }
  event->accept();
}

// ---- the window ---------------------------------------------------------------

TStringForm::TStringForm(TItemsHunk* node, bool ownsNode) : NodeShown(node), OwnsNode(ownsNode) {
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  Scroll = new QScrollArea(this);
  Scroll->setWidgetResizable(false);
  Scroll->setFocusPolicy(Qt::NoFocus);
  QPalette palette = Scroll->viewport()->palette();
  palette.setColor(QPalette::Window, ToQColor(DisplayOptions().WindowBackColor));
  Scroll->viewport()->setPalette(palette);
  Scroll->viewport()->setAutoFillBackground(true);
  ControlWidget = new TStringControl(Scroll, node, this);
  Scroll->setWidget(ControlWidget);
  Scroll->viewport()->installEventFilter(this);
  layout->addWidget(Scroll, 1);

  ButtonPanel = new QWidget(this);
  auto* panelLayout = new QVBoxLayout(ButtonPanel);
  panelLayout->setContentsMargins(0, 0, 0, 0);
  Button = new THintButton(ButtonPanel, this);
  panelLayout->addWidget(Button, 0, Qt::AlignBottom);
  connect(Button, &QPushButton::clicked, this, [this] { HintButtonClick(); });
  layout->addWidget(ButtonPanel, 0);
  ShowPanel(false);

  if (node != nullptr) {
    setWindowTitle(FromCp1252(node->GetText()));
    const QString icon = IconFor(node->KindCode());
    if (!icon.isEmpty()) setWindowIcon(QIcon(icon));
  }
}

TStringForm::~TStringForm() { FormClose(); }

QSize TStringForm::sizeHint() const { return QSize(480, 320); }

QMdiSubWindow* TStringForm::SubWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

void TStringForm::ShowPanel(bool shown) {
  // A window without hints has no button at all: none to reach with Tab,
  // none for a screen reader.
  ButtonPanel->setFixedHeight(shown ? PanelHeight(this) : 0);
  ButtonPanel->setVisible(shown);
}

void TStringForm::HintButtonClick() {}

void TStringForm::FocusHintButton() {
  if (ButtonPanel->isHidden()) {
    // No button: the view keeps the keyboard, showing it with its frame.
    ControlWidget->update();
    return;
  }
  Button->setFocus(Qt::TabFocusReason);
}

void TStringForm::CloseWindow() {
  if (QMdiSubWindow* sub = SubWindow()) {
    sub->close();
  } else {
    close();
  }
}

void TStringForm::ShowWindow() {
  QMdiSubWindow* sub = SubWindow();
  QWidget* window = sub != nullptr ? static_cast<QWidget*>(sub) : this;
  // A maximised window stays maximised; only a minimised one is restored.
  if (window->isMinimized()) {
    window->showNormal();
  } else {
    window->show();
  }
  window->raise();
  if (sub != nullptr && sub->mdiArea() != nullptr) sub->mdiArea()->setActiveSubWindow(sub);
  activateWindow();
  FocusContent();
}

void TStringForm::FocusContent() {
  if (!ButtonPanel->isHidden()) {
    FocusHintButton();
  } else {
    ControlWidget->setFocus(Qt::OtherFocusReason);
  }
}

void TStringForm::CloseNodeWindow() {
  // The node is going: forget it at once, then close.
  FormClose();
  CloseWindow();
}

void TStringForm::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TStringForm::FormClose() {
  if (Closed) return;
  Closed = true;
  ControlWidget->DeleteBitmaps();
  TItemsHunk* node = NodeShown;
  if (node != nullptr) node->Window = nullptr;
  const TDisplayContext& context = DisplayContext();
  if (context.WindowClosed) context.WindowClosed(*this);
  NodeShown = nullptr;
  ControlWidget->ClearDocument();
  if (OwnsNode) delete node;
}

bool TStringForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Scroll->viewport() && event->type() == QEvent::Resize && !Closed) {
    const QSize client = Scroll->viewport()->size();
    ControlWidget->Resize(client.height(), client.width());
  }
  // A minimised window reached with Ctrl+Tab comes back with Enter, as a
  // double click on its icon brings it back.
  if (watched == SubWindow() && event->type() == QEvent::KeyPress && SubWindow()->isMinimized()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      SubWindow()->showNormal();
      FocusContent();
      return true;
    }
  }
  if (watched == SubWindow() && event->type() == QEvent::Resize && !Closed && !Adjusting &&
      !DisplayContext().Arranging) {
    auto* resize = static_cast<QResizeEvent*>(event);
    const QSize kept = KeepPictureAspect(resize->oldSize(), resize->size());
    if (kept != resize->size()) {
      Adjusting = true;
      SubWindow()->resize(kept);
      Adjusting = false;
    }
  }
  return QWidget::eventFilter(watched, event);
}

QSize TStringForm::KeepPictureAspect(QSize before, QSize proposed) const {
  if (!before.isValid() || !ControlWidget->IsJustAGraphic() || !DisplayOptions().StretchGraphics) return proposed;
  const QImage* image = DecodedPicture(*NodeShown->Items.front());
  // The window's client area (this form) has already taken the proposed size.
  const QSize client = size();
  if (image == nullptr || image->isNull() || client.isEmpty()) return proposed;
  // The frame around the picture: window minus client area, plus the margins.
  const int frameW = proposed.width() - client.width() + 20;
  const int frameH = proposed.height() - client.height() + 20;
  const double sx = double(proposed.width() - frameW) / image->width();
  const double sy = double(proposed.height() - frameH) / image->height();
  // The edge that moved decides; a corner (both) takes the larger scale.
  const bool widthMoved = proposed.width() != before.width();
  const bool heightMoved = proposed.height() != before.height();
  const double scale = widthMoved && heightMoved ? std::max(sx, sy) : widthMoved ? sx : sy;
  if (scale <= 0) return proposed;
  return QSize(static_cast<int>(image->width() * scale + frameW),
               static_cast<int>(image->height() * scale + frameH));
}

// ---- revealing hints ----------------------------------------------------------

THintForm::THintForm(TItemsHunk* node, bool ownsNode) : TStringForm(node, ownsNode) {
  const TOptions& options = DisplayOptions();
  const int remembered = node != nullptr ? node->GetHintsShown() : 0;
  HintsRevealed = options.Memory && remembered != 0 ? remembered - 1 : 0;
  if (node != nullptr) {
    for (std::size_t i = 0; i < node->Items.size(); ++i) {
      if (!IsSeparator(*node->Items[i])) continue;
      if (HintsRevealed >= HintCount) LastShown = static_cast<int>(i);
      ++HintCount;
    }
  }
  if (HintCount != 1) ShowPanel(true);
}

void THintForm::showEvent(QShowEvent* event) {
  TStringForm::showEvent(event);
  if (ShownOnce) return;
  ShownOnce = true;
  // The button when it shows; otherwise the text itself, so the scrolling
  // keys work at once.
  FocusContent();
  RevealNextHint();
  TStringControl* control = Control();
  if (control->IsJustAGraphic()) {
    if (const QImage* image = DecodedPicture(*Node()->Items.front())) {
      const QSize client(image->width() + 20, image->height() + 20);
      if (QMdiSubWindow* sub = SubWindow()) {
        sub->resize(client + (sub->size() - size()));
      } else {
        resize(client);
      }
    }
  }
}

void THintForm::RevealNextHint() {
  TItemsHunk* node = Node();
  if (node == nullptr) return;
  const TOptions& options = DisplayOptions();
  ++HintsRevealed;
  if (options.Memory) node->SetHintsShown(HintsRevealed);
  const int count = static_cast<int>(node->Items.size());
  int next = -1;
  for (int i = LastShown + 1; i < count; ++i)
    if (IsSeparator(*node->Items[i])) {
      next = i;
      break;
    }
  LastShown = next >= 0 ? next : count - 1;
  if (HintsRevealed == HintCount) {
    HintButton()->setText("No more hints.");
  } else if (options.Counting) {
    HintButton()->setText(QString("Hint %1 of %2.  Another hint?").arg(HintsRevealed).arg(HintCount));
  }
  const QString before = AccessibleText(*Control());
  Control()->SetShownCount(LastShown + 1);
  Control()->WrapText();
  // Screen readers hear the text the reveal added.
  const QString after = AccessibleText(*Control());
  int common = 0;
  while (common < before.size() && common < after.size() && before[common] == after[common]) ++common;
  AnnounceAddedText(Control(), common, after.mid(common));
  ScrollToHint();
  // A scroll bar that appears changes the width and the layout once more:
  // jump again when that has settled.
  QTimer::singleShot(0, this, [this] { ScrollToHint(); });
}

void THintForm::ScrollToHint() {
  QScrollBar* bar = ScrollBox()->verticalScrollBar();
  bar->setValue(HintCount == 1 ? 0 : bar->maximum());
}

void THintForm::HintButtonClick() {
  if (HintsRevealed < HintCount) {
    RevealNextHint();
  } else if (HintCount >= 2) {
    CloseWindow();
  }
}

// ---- opening nodes ----------------------------------------------------------------

void ShowFormWindow(TStringForm& form) {
  if (TItemsHunk* node = form.Node()) node->Window = &form;
  if (QMdiArea* area = DisplayContext().Area) {
    // While the windows are maximised a new one opens maximised too; it is
    // shown at its own size first, which is the size it restores to.
    const QMdiSubWindow* active = area->activeSubWindow();
    const bool maximised = active != nullptr && active->isMaximized();
    QMdiSubWindow* sub = area->addSubWindow(&form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    if (!form.windowIcon().isNull()) sub->setWindowIcon(form.windowIcon());
    LeaveMenuShortcutsToMainWindow(*sub);
    sub->installEventFilter(&form);
    // However a window comes to the front or grows (Ctrl+Tab, its
    // title-bar buttons, its menu), the keys go to what it shows.
    QObject::connect(sub, &QMdiSubWindow::windowStateChanged, &form,
                     [&form, sub](Qt::WindowStates, Qt::WindowStates now) {
                       if (!(now & (Qt::WindowActive | Qt::WindowMaximized)) || (now & Qt::WindowMinimized)) return;
                       QTimer::singleShot(0, &form, [&form, sub] {
                         if (sub->isMinimized() || sub->mdiArea() == nullptr || sub->mdiArea()->activeSubWindow() != sub)
                           return;
                         if (!form.isAncestorOf(QApplication::focusWidget())) form.FocusContent();
                       });
                     });
    sub->show();
    if (maximised) sub->showMaximized();
    area->setActiveSubWindow(sub);
    if (!sub->isMinimized()) form.FocusContent();
  } else {
    form.show();
  }
}

THintForm* ShowHintWindow(TItemsHunk& node, bool ownsNode) {
  auto* form = new THintForm(&node, ownsNode);
  ShowFormWindow(*form);
  return form;
}

void LeaveMenuShortcutsToMainWindow(QMdiSubWindow& window) {
  // The child window's menu closes it with Ctrl+F4 and, on some desktops,
  // Ctrl+W; Ctrl+W is the main window's Show Top Window, which must win.
  const QKeySequence showTop(Qt::CTRL | Qt::Key_W);
  if (window.systemMenu() == nullptr) return;
  for (QAction* action : window.systemMenu()->actions()) {
    QList<QKeySequence> keys = action->shortcuts();
    if (keys.removeAll(showTop) > 0) action->setShortcuts(keys);
  }
}

namespace {
// The hint window of a node: the open one brought forward, or a new one.
TStringForm* OpenWindow(THunk& node) {
  if (node.Window != nullptr) {
    auto* form = static_cast<TStringForm*>(node.Window);
    form->ShowWindow();
    return form;
  }
  auto* items = dynamic_cast<TItemsHunk*>(&node);
  return items != nullptr ? ShowHintWindow(*items) : nullptr;
}
}  // namespace

void OpenNode(THunk& node) {
  if (HasOwnWindow(node.KindCode())) {
    TStringForm* form = OpenWindow(node);
    if (node.KindCode() == Kind::HyperPng && form != nullptr && !form->Control()->PicturesShown())
      ShowStatusNote(PictureNotShownNote);
    return;
  }
  switch (node.KindCode()) {
    case Kind::Link:
      if (THunk* target = static_cast<TLinkHunk&>(node).FinalTarget()) target->Open();
      break;
    case Kind::Overlay: {
      // The picture's window is that of the node holding the picture.
      TZEBObject* picture = node.Owner;
      TZEBObject* holder = picture != nullptr ? picture->Owner : nullptr;
      if (holder == nullptr || !holder->IsNode()) break;
      if (TStringForm* form = OpenWindow(*static_cast<THunk*>(holder)))
        if (!form->Control()->DisplayOverlay(static_cast<TOverlayHunk&>(node))) ShowStatusNote(PictureNotShownNote);
      break;
    }
    case Kind::Sound:
      ShowStatusNote(SoundNotPlayedNote);
      break;
    case Kind::Gifa:
      ShowStatusNote(OldPictureNote);
      break;
    default:
      break;
  }
}

void InstallNodeOpening() {
  THunk::OpenHandler = [](THunk& node) { OpenNode(node); };
}
