#pragma once
// The widths of the prefixes of one text in one font, exactly as
// TTextMeasure::TextWidth gives them. Breaking a line asks for many
// prefixes of the same text; where the measure's widths are sums of
// character advances, the running sums are kept, so that each character is
// added once however many prefixes are asked for, in whatever order.

#include <vector>

#include <QStringView>

class TAdvanceCache;
class TTextMeasure;

class TPrefixWidths {
 public:
  explicit TPrefixWidths(const TTextMeasure& measure);

  // Starts on another text (or font); the text must outlive its use here.
  void Reset(QStringView text, bool fixedFont);

  QStringView Text() const { return Measured; }
  const TTextMeasure& Measure() const { return Source; }
  bool FixedFont() const { return Fixed; }

  // Width of the first count characters.
  int Width(qsizetype count);
  // Whether the whole text is narrower than width, measuring the text only
  // as far as needed to tell: about one line of a long paragraph.
  bool WholeNarrowerThan(int width);

 private:
  // Makes Sums reach the first count characters.
  void SumUpTo(qsizetype count);

  const TTextMeasure& Source;
  QStringView Measured;
  bool Fixed = false;
  TAdvanceCache* Advances = nullptr;  // null: every width from TextWidth
  std::vector<double> Sums;           // Sums[k]: the advances of the first k characters
};
