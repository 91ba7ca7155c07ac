// The outline pane in its dock on the left of the main window: made when
// first shown, following the open file and the active window.

#include <QAction>
#include <QDockWidget>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "display/outlinepane.h"
#include "display/outlinemodel.h"
#include "display/stringchild.h"
#include "model/itemshunk.h"
#include "shell/main.h"

void TZEBMain::WindowsOutlineClick() { ShowOutline(OutlineDockWidget == nullptr || OutlineDockWidget->isHidden()); }

void TZEBMain::ShowOutline(bool shown) {
  if (shown) {
    EnsureOutline();
    OutlineDockWidget->show();
    OutlineFollowsFile();
    OutlinePaneWidget->setFocus(Qt::ShortcutFocusReason);
  } else if (OutlineDockWidget != nullptr) {
    OutlineDockWidget->hide();
  }
  Options.ShowOutline = shown;
  if (QAction* action = Action("WindowsOutline")) action->setChecked(shown);
}

void TZEBMain::EnsureOutline() {
  if (OutlineDockWidget != nullptr) return;
  OutlineDockWidget = new QDockWidget("Outline", this);
  OutlineDockWidget->setObjectName("OutlineDock");
  OutlineDockWidget->setAccessibleName("Outline");
  OutlineDockWidget->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  OutlineDockWidget->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  OutlinePaneWidget = new TOutlinePane(OutlineDockWidget);
  OutlinePaneWidget->SetFilter(QString::fromStdString(Options.OutlineFilter));
  // Activating an entry does what following a link to it does.
  OutlinePaneWidget->Activated = [](THunk& node) { node.Open(); };
  OutlineDockWidget->setWidget(OutlinePaneWidget);
  addDockWidget(Qt::LeftDockWidgetArea, OutlineDockWidget);
  resizeDocks({OutlineDockWidget}, {220}, Qt::Horizontal);
  // Closed with its own button: the menu and the settings follow.
  connect(OutlineDockWidget, &QDockWidget::visibilityChanged, this, [this] {
    const bool shown = !OutlineDockWidget->isHidden();
    Options.ShowOutline = shown;
    if (QAction* action = Action("WindowsOutline")) action->setChecked(shown);
    if (shown) OutlineFollowsFile();
  });
}

void TZEBMain::OutlineFollowsFile() {
  if (OutlinePaneWidget == nullptr) return;
  // A hidden outline lets go of the tree; it is built again when shown.
  THunk* root = OutlineDockWidget->isHidden() ? nullptr : FileRoot();
  if (OutlinePaneWidget->Model()->Root() != root) OutlinePaneWidget->SetRoot(root);
  OutlineFollowsActiveWindow();
}

void TZEBMain::OutlineFollowsActiveWindow() {
  if (OutlinePaneWidget == nullptr || OutlineDockWidget->isHidden()) return;
  QMdiSubWindow* active = Area->activeSubWindow();
  auto* form = active != nullptr ? qobject_cast<TStringForm*>(active->widget()) : nullptr;
  OutlinePaneWidget->Select(form != nullptr ? form->Node() : nullptr);
}

TOutlinePane* TZEBMain::OutlinePane() const { return OutlinePaneWidget; }
QDockWidget* TZEBMain::OutlineDock() const { return OutlineDockWidget; }
