// The reader as it was left: the main window's place, and, when the option
// is on, the last file with its windows in their order.

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
  const int left = parts[0].toInt(&ok[0]);
  const int top = parts[1].toInt(&ok[1]);
  const int width = parts[2].toInt(&ok[2]);
  const int height = parts[3].toInt(&ok[3]);
  const bool maximised = parts[4].toInt(&ok[4]) != 0;
  for (const bool valid : ok)
    if (!valid) return;
  const QRect placed(left, top, width, height);
  // A place on a screen that is gone, or a size no window should have,
  // leaves the first start's size.
  bool onScreen = false;
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->availableGeometry().intersects(placed)) onScreen = true;
  if (!onScreen || width < 200 || height < 150 || width > 20000 || height > 20000) return;
  resize(width, height);
  move(left, top);
  if (maximised) setWindowState(windowState() | Qt::WindowMaximized);
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
