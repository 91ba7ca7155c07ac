#include "display/focusbox.h"

#include <QPainter>
#include <QPen>

void DrawFocusBox(QPainter& painter, const QRect& rect) {
  if (rect.width() < 2 || rect.height() < 2) return;
  painter.save();
  painter.setBrush(Qt::NoBrush);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QRect frame = rect.adjusted(0, 0, -1, -1);
  QPen white(Qt::white, 0);
  painter.setPen(white);
  painter.drawRect(frame);
  QPen dots(Qt::black, 0, Qt::CustomDashLine);
  dots.setDashPattern({1, 1});
  painter.setPen(dots);
  painter.drawRect(frame);
  painter.restore();
}
