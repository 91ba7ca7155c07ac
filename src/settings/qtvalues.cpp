#include "settings/qtvalues.h"

#include <QGuiApplication>
#include <QPalette>

QColor ToQColor(TColor color) {
  if ((color & 0x80000000u) == 0) return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  const QPalette palette = QGuiApplication::palette();
  switch (color & 0xFF) {
    case 5:  // window background
      return palette.color(QPalette::Base);
    case 8:  // window text
      return palette.color(QPalette::Text);
    case 12:  // application workspace
      return palette.color(QPalette::Dark);
    case 13:  // highlight
      return palette.color(QPalette::Highlight);
    case 14:  // highlighted text
      return palette.color(QPalette::HighlightedText);
    case 15:  // button face
      return palette.color(QPalette::Button);
    case 18:  // button text
      return palette.color(QPalette::ButtonText);
    default:
      return palette.color(QPalette::WindowText);
  }
}

TColor FromQColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return static_cast<TColor>(rgb.red()) | (static_cast<TColor>(rgb.green()) << 8) |
         (static_cast<TColor>(rgb.blue()) << 16);
}

QFont MakeFont(const TFontSpec& font) {
  QFont result(QString::fromStdString(font.Face));
  if (font.Size > 0) result.setPointSize(font.Size);
  result.setBold(font.Bold);
  result.setItalic(font.Italic);
  result.setKerning(false);
  return result;
}

TFontSpec FontSpecOf(const QFont& font) {
  TFontSpec described;
  described.Face = font.family().toStdString();
  described.Size = font.pointSize() > 0 ? font.pointSize() : static_cast<std::int32_t>(font.pointSizeF() + 0.5);
  described.Bold = font.weight() > QFont::Normal;
  described.Italic = font.italic();
  return described;
}
