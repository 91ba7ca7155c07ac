#include "display/textmeasure.h"

#include <array>
#include <map>
#include <memory>
#include <unordered_map>

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QString>

#include "settings/options.h"

// Shaping a text for every measurement is far too slow for layouts of
// thousands of items, so widths are sums of cached character advances. The
// fonts are made without kerning (MakeFont), so a text is drawn as wide as
// its characters' advances add up to.
class TAdvanceCache {
 public:
  TAdvanceCache(const QFont& font, const QPaintDevice* device)
      : Metrics(device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font)) {
    for (int c = 0; c < 256; ++c) Latin[c] = Metrics.horizontalAdvance(QChar(c));
  }

  double Advance(QChar c) {
    if (c.unicode() < 256) return Latin[c.unicode()];
    const auto found = Others.find(c.unicode());
    if (found != Others.end()) return found->second;
    return Others[c.unicode()] = Metrics.horizontalAdvance(c);
  }

 private:
  QFontMetricsF Metrics;
  std::array<double, 256> Latin{};
  std::unordered_map<char16_t, double> Others;
};

namespace {
// One cache per font and device resolution, kept for the whole run.
std::shared_ptr<TAdvanceCache> CacheFor(const QFont& font, const QPaintDevice* device) {
  static std::map<QString, std::shared_ptr<TAdvanceCache>> caches;
  const QString key = font.key() + "@" + QString::number(device != nullptr ? device->logicalDpiX() : 0);
  auto& cache = caches[key];
  if (!cache) cache = std::make_shared<TAdvanceCache>(font, device);
  return cache;
}
}  // namespace

TFontMeasure::TFontMeasure(const QFont& mainFont, const QFont& fixedFont, const QPaintDevice* device)
    : Main(device ? QFontMetrics(mainFont, device) : QFontMetrics(mainFont)),
      Fixed(device ? QFontMetrics(fixedFont, device) : QFontMetrics(fixedFont)),
      MainAdvances(CacheFor(mainFont, device)),
      FixedAdvances(CacheFor(fixedFont, device)) {}

int TFontMeasure::TextWidth(QStringView text, bool fixedFont) const {
  TAdvanceCache& cache = fixedFont ? *FixedAdvances : *MainAdvances;
  double width = 0;
  for (const QChar c : text) width += cache.Advance(c);
  return static_cast<int>(width + 0.5);
}

int TFontMeasure::AverageCharWidth(bool fixedFont) const {
  return (fixedFont ? Fixed : Main).averageCharWidth();
}

int TFontMeasure::LineHeight() const { return Main.height(); }
