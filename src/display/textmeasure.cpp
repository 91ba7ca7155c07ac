#include "display/textmeasure.h"

#include <QString>

#include "settings/options.h"

TFontMeasure::TFontMeasure(const QFont& mainFont, const QFont& fixedFont, const QPaintDevice* device)
    : Main(device ? QFontMetrics(mainFont, device) : QFontMetrics(mainFont)),
      Fixed(device ? QFontMetrics(fixedFont, device) : QFontMetrics(fixedFont)) {}

int TFontMeasure::TextWidth(QStringView text, bool fixedFont) const {
  // A view onto the caller's characters: measuring a prefix copies nothing.
  const QString raw = QString::fromRawData(text.data(), text.size());
  return (fixedFont ? Fixed : Main).horizontalAdvance(raw);
}

int TFontMeasure::AverageCharWidth(bool fixedFont) const {
  return (fixedFont ? Fixed : Main).averageCharWidth();
}

int TFontMeasure::LineHeight() const { return Main.height(); }

QFont MakeFont(const TFontSpec& font) {
  QFont result(QString::fromStdString(font.Face));
  if (font.Size > 0) result.setPointSize(font.Size);
  result.setBold(font.Bold);
  result.setItalic(font.Italic);
  return result;
}
