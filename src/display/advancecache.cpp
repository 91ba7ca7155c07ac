#include "display/advancecache.h"

#include <QPaintDevice>

TAdvanceCache::TAdvanceCache(const QFont& font, const QPaintDevice* device)
    : Metrics(device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font)) {
  for (int c = 0; c < 256; ++c) Latin[c] = Metrics.horizontalAdvance(QChar(c));
}

double TAdvanceCache::OtherAdvance(QChar c) {
  const auto found = Others.find(c.unicode());
  if (found != Others.end()) return found->second;
  return Others[c.unicode()] = Metrics.horizontalAdvance(c);
}
