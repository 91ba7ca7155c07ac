#include "display/textmeasure.h"

#include <map>
#include <memory>

#include <QPaintDevice>
#include <QString>

#include "display/advancecache.h"

namespace {
// One cache per font and device resolution, kept for the whole run.
std::shared_ptr<TAdvanceCache> CacheFor(const QFont& font, const QPaintDevice* device) {
  static std::map<QString, std::shared_ptr<TAdvanceCache>> caches;
  const QString key = font.key() + "@" + QString::number(device != nullptr ? device->logicalDpiX() : 0);
  auto& cache = caches[key];
  if (!cache) cache = std::make_shared<TAdvanceCache>(font, device);
  return cache;
}

QFontMetrics MetricsOf(const QFont& font, const QPaintDevice* device) {
  return device ? QFontMetrics(font, device) : QFontMetrics(font);
}
}  // namespace

TFontMeasure::TFontMeasure(const QFont& mainFont, const QFont& fixedFont, const QPaintDevice* device)
    : MainAdvances(CacheFor(mainFont, device)), FixedAdvances(CacheFor(fixedFont, device)) {
  const QFontMetrics main = MetricsOf(mainFont, device);
  MainAverage = main.averageCharWidth();
  Height = main.height();
  FixedAverage = MetricsOf(fixedFont, device).averageCharWidth();
}

int TFontMeasure::TextWidth(QStringView text, bool fixedFont) const {
  return TAdvanceCache::Rounded(Advances(fixedFont)->Sum(text));
}

int TFontMeasure::AverageCharWidth(bool fixedFont) const { return fixedFont ? FixedAverage : MainAverage; }

int TFontMeasure::LineHeight() const { return Height; }

TAdvanceCache* TFontMeasure::Advances(bool fixedFont) const {
  return fixedFont ? FixedAdvances.get() : MainAdvances.get();
}
