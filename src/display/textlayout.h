#pragma once
// Text layout of a display document: wraps the shown items at spaces to the
// control's width, places pictures, and records every placed piece.

#include <cstdint>
#include <functional>
#include <vector>

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringView>

class TPrefixWidths;
class TTextMeasure;
class TZEBObject;
class TItemsHunk;

// A rectangle in control pixels; Right and Bottom are the first pixel
// outside it (a piece of width w at x has Right = x + w).
struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;

  std::int32_t Width() const { return Right - Left; }
  std::int32_t Height() const { return Bottom - Top; }
  // Hit test with all four edges inclusive, as clicks on links use it.
  bool ContainsInclusive(int x, int y) const { return x >= Left && x <= Right && y >= Top && y <= Bottom; }
  QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
  bool operator==(const TRect&) const = default;
};

// One placed piece: characters Start .. Start + Length - 1 of the item's
// text (one byte of the item's text is one character), or a whole picture
// (Start and Length 0).
struct TWrapInfo {
  TRect Rect;
  std::uint32_t Start = 0;
  std::uint32_t Length = 0;
  TZEBObject* Item = nullptr;  // not owned
};

// The text an item shows, as the layout measures it and the control draws
// it: GetText() converted from Windows-1252 (a node's title, a file entry's
// title, "" for a BLANK node).
QString ItemText(const TZEBObject& item);
// The same into text, reusing its storage (a layout goes through thousands
// of items).
void AssignItemText(QString& text, const TZEBObject& item);

// True when the document has exactly one item (shown or not) and it is a
// picture.
bool IsJustAGraphic(const TItemsHunk* document);

// How many leading characters of text go on the current line, given the
// room left in pixels. The only break character is the space; when the
// result is shorter than the text, the character at that index is the space
// where the line breaks. With force set, a first word too wide for the room
// is returned whole (up to the first space, or the whole text).
int SplitString(const TTextMeasure& measure, bool fixedFont, QStringView text, int width, bool force);
// The same for the text of widths, whose prefix widths it keeps.
int SplitString(TPrefixWidths& widths, int width, bool force);
// How many characters from the start of text fit into width (0 when not
// even one does); paper breaks a word wider than the page there.
int FitCharacters(const TTextMeasure& measure, bool fixedFont, QStringView text, int width);

// Picture size of an image item; an empty size for an image that has none.
using TImageSize = std::function<QSize(const TZEBObject& image)>;

class TTextLayout {
 public:
  static constexpr int Margin = 8;        // left and top margin; added below and right of the content
  static constexpr int RightReserve = 16;  // a wrapping line ends this far short of LayoutWidth

  explicit TTextLayout(TImageSize imageSize = {});

  // Lays out items 0 .. ShownCount - 1 of Document into Pieces and returns
  // the control's new size for its current size: never smaller, at least
  // the content plus the margin. A control of width or height 0 gets no
  // pieces; a lone picture with StretchGraphics keeps the current size.
  QSize WrapText(const TTextMeasure& measure, QSize controlSize);

  const std::vector<TWrapInfo>& Pieces() const { return PieceList; }
  void ClearPieces() { PieceList.clear(); }

  const TItemsHunk* Document = nullptr;  // not owned
  int ShownCount = 0;
  int LayoutWidth = 0;
  bool StretchGraphics = false;
  TImageSize ImageSize;  // empty: pictures are 0 x 0

 private:
  std::vector<TWrapInfo> PieceList;
};
