// The Windows menu: cascade, tile, arrange icons, close all, show top
// window, and the list of open windows.

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>

#include "dialogs/dialogs.h"
#include "display/displaycontext.h"
#include "model/hunk.h"
#include "shell/main.h"

namespace {
// Windows listed in the menu itself; the rest are reached through "More Windows...".
constexpr int MenuWindowCount = 9;

// Lone pictures' windows take the size the arrangement gives them.
class TArranging {
 public:
  TArranging() { DisplayContext().Arranging = true; }
  ~TArranging() { DisplayContext().Arranging = false; }
  TArranging(const TArranging&) = delete;
  TArranging& operator=(const TArranging&) = delete;
};

QList<QMdiSubWindow*> VisibleWindows(const QMdiArea& area) {
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* window : area.subWindowList())
    if (!window->isHidden()) windows.push_back(window);
  return windows;
}
}  // namespace

void TZEBMain::ShowSubWindow(QMdiSubWindow* window) {
  if (!Area->subWindowList().contains(window)) return;
  if (window->isMinimized()) window->showNormal();
  Area->setActiveSubWindow(window);
}

void TZEBMain::ListWindowsIn(QMenu& menu) {
  for (QAction* action : menu.actions())
    if (action->property("windowEntry").toBool()) delete action;
  const QList<QMdiSubWindow*> windows = Area->subWindowList();
  if (windows.isEmpty()) return;
  QAction* separator = menu.addSeparator();
  separator->setProperty("windowEntry", true);
  // The active window is always listed and checked: beyond the first nine,
  // it takes the ninth place.
  QMdiSubWindow* active = Area->currentSubWindow();
  QList<QMdiSubWindow*> listed = windows.mid(0, MenuWindowCount);
  if (active != nullptr && !listed.contains(active)) listed.back() = active;
  for (int i = 0; i < listed.size(); ++i) {
    QMdiSubWindow* window = listed[i];
    QAction* entry = menu.addAction(QString("&%1 ").arg(i + 1) + window->windowTitle());
    entry->setProperty("windowEntry", true);
    entry->setCheckable(true);
    entry->setChecked(window == active);
    connect(entry, &QAction::triggered, this, [this, window] { ShowSubWindow(window); });
  }
  if (windows.size() > MenuWindowCount) {
    QAction* more = menu.addAction("&More Windows...");
    more->setObjectName("WindowsMore");
    more->setProperty("windowEntry", true);
    more->setStatusTip("Lists every open window");
    connect(more, &QAction::triggered, this, [this] { MoreWindowsClick(); });
  }
}

void TZEBMain::MoreWindowsClick() {
  const QList<QMdiSubWindow*> windows = Area->subWindowList();
  if (windows.isEmpty()) return;
  QStringList titles;
  for (const QMdiSubWindow* window : windows) titles.push_back(window->windowTitle());
  const auto chosen = Dialogs().ChooseFromList(this, "Select Window", "&Select a window:", titles,
                                               static_cast<int>(windows.indexOf(Area->currentSubWindow())));
  if (chosen && *chosen >= 0 && *chosen < windows.size()) ShowSubWindow(windows[*chosen]);
}

void TZEBMain::WindowsCascadeClick() {
  const TArranging arranging;
  Area->cascadeSubWindows();
  // Every title bar stays inside the area: a window whose top-left corner
  // the cascade put beyond it moves back into view.
  const QRect area = Area->viewport()->rect();
  for (QMdiSubWindow* window : VisibleWindows(*Area)) {
    if (window->isMinimized() || window->isMaximized()) continue;
    QPoint at = window->pos();
    const int titleHeight = std::max(window->height() - window->widget()->height(), 1);
    at.setX(std::clamp(at.x(), 0, std::max(0, area.width() - std::min(window->width(), area.width()))));
    at.setY(std::clamp(at.y(), 0, std::max(0, area.height() - titleHeight)));
    if (at != window->pos()) window->move(at);
  }
}

void TZEBMain::WindowsTileClick() {
  // The icons of minimised windows keep the bottom of the area; the other
  // windows share what is above them, in rows of equal height, the last
  // row's windows sharing its width.
  ArrangeIcons();
  const TArranging arranging;
  const QRect area = Area->viewport()->rect();
  int top = area.bottom() + 1;
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* window : VisibleWindows(*Area)) {
    if (window->isMinimized()) {
      top = std::min(top, window->y());
    } else {
      windows.push_back(window);
    }
  }
  if (windows.isEmpty()) return;
  const int count = static_cast<int>(windows.size());
  const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
  const int rows = (count + columns - 1) / columns;
  const int height = std::max(top - area.top(), 1) / rows;
  for (int i = 0; i < count; ++i) {
    const int row = i / columns;
    const int inRow = row == rows - 1 ? count - row * columns : columns;
    const int width = area.width() / inRow;
    QMdiSubWindow* window = windows[i];
    if (window->isMaximized()) window->showNormal();
    window->setGeometry(area.left() + (i % columns) * width, area.top() + row * height, width, height);
  }
}

void TZEBMain::ArrangeIcons() {
  // Minimised windows line up along the bottom of the window area, row upon
  // row from the bottom when one row cannot hold them.
  const TArranging arranging;
  const int areaWidth = Area->viewport()->width();
  const int areaHeight = Area->viewport()->height();
  int x = 0;
  int bottom = areaHeight;
  int rowHeight = 0;
  for (QMdiSubWindow* window : VisibleWindows(*Area)) {
    if (!window->isMinimized()) continue;
    const QSize size = window->size();
    if (x > 0 && x + size.width() > areaWidth) {
      x = 0;
      bottom -= rowHeight;
      rowHeight = 0;
    }
    window->move(x, bottom - size.height());
    x += size.width();
    rowHeight = std::max(rowHeight, size.height());
  }
}

void TZEBMain::AddWindowKeys() {
  // The keys of the window actions the mouse has on a child window's title
  // bar (Ctrl+Tab and Ctrl+F4 come with the window area and the child's
  // own menu).
  const auto key = [this](const char* name, const QKeySequence& sequence, void (TZEBMain::*run)()) {
    auto* action = new QAction(this);
    action->setObjectName(name);
    action->setShortcut(sequence);
    connect(action, &QAction::triggered, this, run);
    addAction(action);
  };
  key("WindowsNext", QKeySequence(Qt::CTRL | Qt::Key_F6), &TZEBMain::NextWindowClick);
  key("WindowsPrevious", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6), &TZEBMain::PreviousWindowClick);
  key("WindowsSystemMenu", QKeySequence(Qt::ALT | Qt::Key_Minus), &TZEBMain::WindowMenuClick);
}

void TZEBMain::NextWindowClick() { Area->activateNextSubWindow(); }
void TZEBMain::PreviousWindowClick() { Area->activatePreviousSubWindow(); }

void TZEBMain::WindowMenuClick() {
  if (QMdiSubWindow* active = Area->activeSubWindow()) active->showSystemMenu();
}

void TZEBMain::WindowsCloseAllClick() {
  for (QMdiSubWindow* window : Area->subWindowList()) window->close();
}

void TZEBMain::WindowsShowTopClick() {
  if (THunk* root = FileRoot()) root->Open();
}
