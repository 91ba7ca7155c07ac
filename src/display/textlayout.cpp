#include "display/textlayout.h"

#include <algorithm>

#include "display/prefixwidths.h"
#include "display/textcodec.h"
#include "display/textflow.h"
#include "display/textmeasure.h"
#include "model/itemshunk.h"
#include "model/zebobject.h"

namespace {

constexpr qsizetype None = -1;

// Index of the last space at or before index, or None.
qsizetype LastSpaceAtOrBefore(QStringView text, qsizetype index) {
  if (index < 0 || text.isEmpty()) return None;
  return text.lastIndexOf(u' ', std::min(index, text.size() - 1));
}

// Index of the first space at or after index, or None.
qsizetype FirstSpaceFrom(QStringView text, qsizetype index) {
  if (index >= text.size()) return None;
  return text.indexOf(u' ', index);
}

qsizetype FirstWord(QStringView text) {
  const qsizetype space = FirstSpaceFrom(text, 0);
  return space == None ? text.size() : space;
}

}  // namespace

QString ItemText(const TZEBObject& item) {
  QString text;
  AssignItemText(text, item);
  return text;
}

void AssignItemText(QString& text, const TZEBObject& item) { AssignCp1252(text, item.GetText()); }

bool IsJustAGraphic(const TItemsHunk* document) {
  return document && document->ItemCount() == 1 && document->ItemAt(0)->KindCode() == Kind::PngObject;
}

int SplitString(const TTextMeasure& measure, bool fixedFont, QStringView text, int width, bool force) {
  TPrefixWidths widths(measure);
  widths.Reset(text, fixedFont);
  return SplitString(widths, width, force);
}

int SplitString(TPrefixWidths& widths, int width, bool force) {
  if (width < 0) return 0;
  width = std::min(width, 32767);
  const QStringView text = widths.Text();
  if (widths.WholeNarrowerThan(width)) return static_cast<int>(text.size());

  // Only prefixes that end at a space (or the start) are candidates. When
  // no space is left the loops end whatever the width, so the whole text is
  // never measured there.
  const auto extent = [&](qsizetype count) { return widths.Width(count); };
  const int average = std::max(1, widths.Measure().AverageCharWidth(widths.FixedFont()));
  const qsizetype guess = std::min<qsizetype>(width / average, text.size());

  if (extent(guess) < width) {
    // The guess fits: move forward from space to space while the prefix fits.
    qsizetype p = LastSpaceAtOrBefore(text, guess);
    if (p == None) p = 0;
    qsizetype last = 0;
    int e = 0;
    while (e < width && p != None) {
      last = p;
      p = FirstSpaceFrom(text, last + 1);
      if (p != None) e = extent(p);
    }
    if (last == 0 && force) return static_cast<int>(FirstWord(text));
    return static_cast<int>(last);
  }

  // The guess is too wide: move back from space to space until a prefix fits
  // (here a prefix exactly as wide as the room fits).
  qsizetype p = guess;
  int e = width + 1;
  while (e > width && p != None) {
    p = p == 0 ? None : LastSpaceAtOrBefore(text, p - 1);
    if (p != None) e = extent(p);
  }
  if (p != None) return static_cast<int>(p);
  return force ? static_cast<int>(FirstWord(text)) : 0;
}

int FitCharacters(const TTextMeasure& measure, bool fixedFont, QStringView text, int width) {
  if (width <= 0 || text.isEmpty()) return 0;
  // Widths grow with the prefix: the longest prefix that fits is found by
  // halving, among prefixes no longer than the room could ever hold.
  int narrowest = measure.TextWidth(u"i", fixedFont);
  for (const char16_t* thin : {u"l", u"'", u".", u" ", u"|", u"!", u","})
    narrowest = std::min(narrowest, measure.TextWidth(thin, fixedFont));
  narrowest = std::max(narrowest, 1);
  qsizetype low = 0;
  qsizetype high = std::min<qsizetype>(text.size(), width / narrowest + 1);
  while (low < high) {
    const qsizetype mid = (low + high + 1) / 2;
    if (measure.TextWidth(text.first(mid), fixedFont) <= width) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  // A character made of two halves stays whole.
  if (low > 0 && low < text.size() && text[low].isLowSurrogate()) --low;
  return static_cast<int>(low);
}

TTextLayout::TTextLayout(TImageSize imageSize) : ImageSize(std::move(imageSize)) {}

namespace {
// The screen's flow is one tall page: pieces go where the flow puts them.
class TPieceCollector : public TFlowSink {
 public:
  explicit TPieceCollector(std::vector<TWrapInfo>& pieces) : Pieces(pieces) {}
  void Add(const TWrapInfo& piece) override { Pieces.push_back(piece); }

 private:
  std::vector<TWrapInfo>& Pieces;
};
}  // namespace

QSize TTextLayout::WrapText(const TTextMeasure& measure, QSize controlSize) {
  PieceList.clear();
  if (controlSize.width() <= 0 || controlSize.height() <= 0) return controlSize;

  const int count = Document ? std::clamp<int>(ShownCount, 0, static_cast<int>(Document->ItemCount())) : 0;
  int y = Margin;
  int right = 0;
  if (count > 0) {
    const TFlowFrame frame{Margin, Margin, LayoutWidth, RightReserve, measure.LineHeight()};
    TPieceCollector collector(PieceList);
    const TFlowEnd end = FlowItems(*Document, count, measure, frame, ImageSize, collector);
    y = end.Y;
    right = end.Right;
    if (!Document->ItemAt(static_cast<std::size_t>(count - 1))->EndsLine) y += measure.LineHeight();
  }

  if (StretchGraphics && IsJustAGraphic(Document)) return controlSize;
  return {std::max(controlSize.width(), right + Margin), std::max(controlSize.height(), y + Margin)};
}
