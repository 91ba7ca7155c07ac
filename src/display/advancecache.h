#pragma once
// The advances of one font's characters at one resolution, kept for the
// whole run. Shaping a text for every measurement is far too slow for
// layouts of thousands of items, so the reader's widths are sums of these
// advances; the fonts are made without kerning (MakeFont), so a text is
// drawn as wide as its characters' advances add up to.

#include <array>
#include <unordered_map>

#include <QChar>
#include <QFontMetricsF>
#include <QStringView>

class QFont;
class QPaintDevice;

class TAdvanceCache {
 public:
  TAdvanceCache(const QFont& font, const QPaintDevice* device);

  double Advance(QChar c) {
    if (c.unicode() < 256) return Latin[c.unicode()];
    return OtherAdvance(c);
  }
  // The advances of text added up in order: the sum a width rounds.
  double Sum(QStringView text) {
    double sum = 0;
    for (const QChar c : text) sum += Advance(c);
    return sum;
  }
  // A width in whole pixels from a sum of advances.
  static int Rounded(double sum) { return static_cast<int>(sum + 0.5); }

 private:
  double OtherAdvance(QChar c);

  QFontMetricsF Metrics;
  std::array<double, 256> Latin{};
  std::unordered_map<char16_t, double> Others;
};
