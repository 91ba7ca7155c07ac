#include "display/prefixwidths.h"

#include <algorithm>

#include "display/advancecache.h"
#include "display/textmeasure.h"

TPrefixWidths::TPrefixWidths(const TTextMeasure& measure) : Source(measure) {}

void TPrefixWidths::Reset(QStringView text, bool fixedFont) {
  Measured = text;
  Fixed = fixedFont;
  Advances = Source.Advances(fixedFont);
  Sums.assign(1, 0.0);
}

void TPrefixWidths::SumUpTo(qsizetype count) {
  auto done = static_cast<qsizetype>(Sums.size()) - 1;
  if (done >= count) return;
  // The same additions in the same order as TextWidth of the prefix: the
  // rounded sums are its widths to the pixel.
  double sum = Sums.back();
  Sums.resize(static_cast<std::size_t>(count) + 1);
  for (; done < count; ++done) {
    sum += Advances->Advance(Measured[done]);
    Sums[static_cast<std::size_t>(done) + 1] = sum;
  }
}

int TPrefixWidths::Width(qsizetype count) {
  if (Advances == nullptr) return Source.TextWidth(Measured.first(count), Fixed);
  SumUpTo(count);
  return TAdvanceCache::Rounded(Sums[static_cast<std::size_t>(count)]);
}

bool TPrefixWidths::WholeNarrowerThan(int width) {
  if (Advances != nullptr) {
    // Prefix widths never decrease as the prefix grows: the first prefix
    // that reaches width answers for the whole text.
    double sum = Sums.back();
    for (auto done = static_cast<qsizetype>(Sums.size()) - 1; done < Measured.size(); ++done) {
      if (TAdvanceCache::Rounded(sum) >= width) return false;
      sum += Advances->Advance(Measured[done]);
      Sums.push_back(sum);
    }
    return TAdvanceCache::Rounded(sum) < width;
  }
  // Without running sums every probe is measured whole: a prefix a little
  // longer than a line that already reaches width answers for the whole
  // text, which keeps the cost of a line proportional to the line, not to
  // the rest of a long item.
  const int average = std::max(1, Source.AverageCharWidth(Fixed));
  qsizetype probe = std::max<qsizetype>(64, 2 * (width / average + 1));
  while (probe < Measured.size()) {
    if (Width(probe) >= width) return false;
    probe *= 2;
  }
  return Width(Measured.size()) < width;
}
