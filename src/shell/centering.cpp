#include "shell/centering.h"

#include <algorithm>

#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget> Main;
}

void SetMainWindow(QWidget* main) { Main = main; }
QWidget* MainWindow() { return Main; }

void CenterOnMainWindow(QWidget* dialog) {
  if (!Main) return;
  const QRect outer = Main->frameGeometry();
  // The frame's extra size is the platform's; frameGeometry includes it once shown.
  const QSize frame = dialog->frameGeometry().size() - dialog->geometry().size();
  const int top = (outer.height() - (dialog->height() + frame.height())) / 2 + outer.top();
  const int left = (outer.width() - (dialog->width() + frame.width())) / 2 + outer.left();
  dialog->move(std::max(left, 0), std::max(top, 0));
}
