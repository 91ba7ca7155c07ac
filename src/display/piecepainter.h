#pragma once
// Draws one laid-out piece of a node, on the screen or on paper: a rule, a
// picture or a run of text. What differs between the two is the style.

#include <functional>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

class QPainter;
class TTextMeasure;
class TZEBObject;
struct TRect;
struct TWrapInfo;

struct TPieceStyle {
  QFont MainFont;
  QFont FixedFont;
  // Text of both fonts stands on the main font's baseline, so fixed-font
  // words inside a line sit level with the words around them.
  int Baseline = 0;
  int LineHeight = 0;
  QColor LinkColor;
  QColor TextColor;
  int RuleRight = 0;  // where rules end
  // Text goes out in runs of at most this many characters (0: whole), for
  // printers that handle long runs badly.
  int RunLength = 0;
  // Measures where each run after the first starts (the fonts' cached
  // advances, which add up to what the fonts draw); none: the painter's
  // font metrics.
  const TTextMeasure* RunMeasure = nullptr;
  // The entries of the by-title window are links there.
  bool FileEntriesAreLinks = false;
  // The picture of a picture item; a null image for none.
  std::function<QImage(const TZEBObject& item)> Picture;
  // Where a picture goes, given its piece's rectangle.
  std::function<QRect(const QImage& image, const TRect& piece)> PictureRect;
};

void PaintPiece(QPainter& painter, const TWrapInfo& piece, const TPieceStyle& style);
