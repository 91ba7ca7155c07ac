#pragma once
// What the text layout needs to know of the reader's two fonts. The screen
// measures with QFontMetrics, printing with printer-resolution metrics, and
// unit tests with a fixed-width fake, so layout results can be checked to
// the pixel.

#include <QFont>
#include <QFontMetrics>
#include <QStringView>

#include <memory>

#include "settings/qtvalues.h"

class QPaintDevice;
class TAdvanceCache;
struct TFontSpec;

class TTextMeasure {
 public:
  virtual ~TTextMeasure() = default;
  // Width in pixels of the text in the main font, or the fixed font.
  virtual int TextWidth(QStringView text, bool fixedFont) const = 0;
  // The font's average character width: where the break search starts.
  virtual int AverageCharWidth(bool fixedFont) const = 0;
  // Height of " " in the main font: the height of every laid-out text line,
  // fixed-font lines included.
  virtual int LineHeight() const = 0;
  // For a measure whose TextWidth rounds the sum of its characters'
  // advances: those advances, so that the widths of many prefixes of one
  // text can be had by adding each character once. Null for any other
  // measure, whose every width comes from TextWidth.
  virtual TAdvanceCache* Advances(bool fixedFont) const {
    (void)fixedFont;
    return nullptr;
  }
};

// Measures with QFontMetrics on two fonts; with a device (a printer) the
// metrics are those of that device's resolution.
class TFontMeasure : public TTextMeasure {
 public:
  TFontMeasure(const QFont& mainFont, const QFont& fixedFont, const QPaintDevice* device = nullptr);

  int TextWidth(QStringView text, bool fixedFont) const override;
  int AverageCharWidth(bool fixedFont) const override;
  int LineHeight() const override;
  TAdvanceCache* Advances(bool fixedFont) const override;

 private:
  std::shared_ptr<TAdvanceCache> MainAdvances;
  std::shared_ptr<TAdvanceCache> FixedAdvances;
  // Read once: the layout asks at every line break, and the font engine
  // looks them up anew each time.
  int MainAverage = 0;
  int FixedAverage = 0;
  int Height = 0;
};

