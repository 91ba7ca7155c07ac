#include "display/piecepainter.h"

#include <QFontMetrics>
#include <QPainter>

#include "display/textlayout.h"
#include "display/textmeasure.h"
#include "model/zebobject.h"

void PaintPiece(QPainter& painter, const TWrapInfo& piece, const TPieceStyle& style) {
  const TZEBObject& item = *piece.Item;
  const TRect& r = piece.Rect;
  if (item.IsRule) {
    painter.setPen(style.TextColor);
    painter.drawLine(r.Left, r.Top + style.LineHeight / 2, style.RuleRight, r.Top + style.LineHeight / 2);
    return;
  }
  if (item.KindCode() == Kind::PngObject) {
    const QImage image = style.Picture(item);
    if (!image.isNull()) painter.drawImage(style.PictureRect(image, r), image);
    return;
  }
  const QFont& font = item.UseFixedFont ? style.FixedFont : style.MainFont;
  painter.setFont(font);
  const bool link = item.IsNode() || (style.FileEntriesAreLinks && item.KindCode() == Kind::FileInfo);
  painter.setPen(link ? style.LinkColor : style.TextColor);
  const QString text = ItemText(item).mid(piece.Start, piece.Length);
  if (style.RunLength <= 0) {
    painter.drawText(QPoint(r.Left, r.Top + style.Baseline), text);
    return;
  }
  const QFontMetrics metrics(font, painter.device());
  const bool fixed = item.UseFixedFont != 0;
  int x = r.Left;
  for (qsizetype at = 0; at < text.size(); at += style.RunLength) {
    const QString run = text.mid(at, style.RunLength);
    painter.drawText(QPoint(x, r.Top + style.Baseline), run);
    x += style.RunMeasure != nullptr ? style.RunMeasure->TextWidth(run, fixed) : metrics.horizontalAdvance(run);
  }
}
