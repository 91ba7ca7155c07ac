// The reader as it was left: the main window's place, and, when the option
// is on, the last file with its windows in their order.

#include <algorithm>
#include <cstdint>

#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStringList>

#include "display/outlinepane.h"
#include "display/stringchild.h"
#include "model/itemshunk.h"
#include "model/hunk.h"
#include "shell/main.h"

void TZEBMain::RestorePlacement() {
  const QStringList parts = QString::fromStdString(Options.WindowPlacement).split(',');
  if (parts.size() != 5) return;
  bool ok[5] = {};
  // Bounded first, so that no sum of two overflows; the screen bounds them further.
  const auto number = [&parts, &ok](int i) { return std::clamp(parts[i].toInt(&ok[i]), -100000, 100000); };
  const int left = number(0);
  const int top = number(1);
  const int width = number(2);
  const int height = number(3);
  const bool maximised = parts[4].toInt(&ok[4]) != 0;
  for (const bool valid : ok)
    if (!valid) return;
  // A size no window should have leaves the first start's size.
  if (width < 200 || height < 150) return;
  const QRect placed = OnScreen(QRect(left, top, width, height));
  resize(placed.size());
  move(placed.topLeft());
  if (maximised) setWindowState(windowState() | Qt::WindowMaximized);
}

void TZEBMain::FitShownWindowOnScreen() {
  if (isMaximized() || isFullScreen()) return;
  const QRect placed(pos(), size());
  const QRect fitted = OnScreen(placed);
  if (fitted == placed) return;
  resize(fitted.size());
  move(fitted.topLeft());
}

QRect TZEBMain::OnScreen(QRect placed) const {
  // The screen that shows the most of it, or the primary screen when none
  // shows any (a screen that is gone, values made up by hand).
  const QScreen* target = QGuiApplication::primaryScreen();
  std::int64_t shown = 0;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect common = screen->availableGeometry().intersected(placed);
    const std::int64_t area = common.isEmpty() ? 0 : std::int64_t{common.width()} * common.height();
    if (area > shown) {
      shown = area;
      target = screen;
    }
  }
  if (target == nullptr) return placed;
  // The frame around the place counts too, as far as it is known yet.
  const QRect room = target->availableGeometry();
  const QSize frame = frameGeometry().size() - geometry().size();
  const int width = std::max(1, std::min(placed.width(), room.width() - frame.width()));
  const int height = std::max(1, std::min(placed.height(), room.height() - frame.height()));
  // Moved on where it sticks out: left and top edges win on a small screen.
  const int left = std::max(room.left(), std::min(placed.left(), room.right() + 1 - width - frame.width()));
  const int top = std::max(room.top(), std::min(placed.top(), room.bottom() + 1 - height - frame.height()));
  return QRect(left, top, width, height);
}

void TZEBMain::RememberSession() {
  const QRect placed = isMaximized() ? normalGeometry() : geometry();
  // The frame's top-left corner, so that moving there puts it back.
  const QPoint corner = isMaximized() ? placed.topLeft() : pos();
  Options.WindowPlacement = QString("%1,%2,%3,%4,%5")
                                .arg(corner.x())
                                .arg(corner.y())
                                .arg(placed.width())
                                .arg(placed.height())
                                .arg(isMaximized() ? 1 : 0)
                                .toStdString();
  if (OutlinePaneWidget != nullptr) Options.OutlineFilter = OutlinePaneWidget->FilterBox()->text().toStdString();
  Options.LastFile.clear();
  Options.LastWindows.clear();
  if (!Options.ReopenLastFile || FileRoot() == nullptr) return;
  Options.LastFile = CurrentFilePath;
  std::string lines;
  // Back to front: the active window is the last.
  for (QMdiSubWindow* window : Area->subWindowList(QMdiArea::StackingOrder)) {
    const auto* form = qobject_cast<TStringForm*>(window->widget());
    THunk* node = form != nullptr ? form->Node() : nullptr;
    if (node == nullptr || node->RootNode() != FileRoot()) continue;  // search results, the by-title window
    if (!lines.empty()) lines += ',';
    lines += std::to_string(node->LineNumber);
  }
  Options.LastWindows = lines;
}

void TZEBMain::ReopenLastSession() {
  if (!Options.ReopenLastFile || Options.LastFile.empty()) return;
  const std::string lines = Options.LastWindows;
  // A file that is gone or no longer loads is passed over without a word.
  if (!OpenHintFileNow(Options.LastFile, true)) return;
  THunk* root = FileRoot();
  if (root == nullptr) return;
  for (const QString& line : QString::fromStdString(lines).split(',', Qt::SkipEmptyParts)) {
    bool ok = false;
    const int number = line.toInt(&ok);
    if (THunk* node = ok && number > 0 ? root->FindByLine(number) : nullptr) node->Open();
  }
}
