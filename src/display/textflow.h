#pragma once
// The flow that lays a display document's items out, shared by the screen
// (one tall page, part of the display control's layout) and the printer
// (pages of a print job): text wrapped at spaces with SplitString, words of
// the fixed font measured in that font, pictures placed at the current x
// pushing the line down, and an item's EndsLine moving to the next line.

#include <QSize>
#include <QString>

#include "display/prefixwidths.h"
#include "display/textlayout.h"

class TItemsHunk;
class TTextMeasure;
class TZEBObject;

// Where the flow lays its pieces.
struct TFlowFrame {
  int Left = 0;        // a new line starts here
  int Top = 0;         // the first line's top
  int BreakAt = 0;     // a wrapping line ends once x reaches this
  int Reserve = 0;     // a line's room ends this far short of BreakAt
  int LineHeight = 0;  // the height of every text line
  // Paper cannot scroll sideways: a word (or a line that must not wrap)
  // wider than the room left is broken between characters and goes on at
  // the next line's start, so that no letter falls off the page.
  bool BreakWords = false;
};

// Takes the pieces as the flow places them.
class TFlowSink {
 public:
  virtual ~TFlowSink() = default;
  // The top at which a piece of this height goes, given the top the flow
  // reached: y itself, or the top of a new page.
  virtual int Place(int y, int height) { (void)height; return y; }
  virtual void Add(const TWrapInfo& piece) = 0;
  // Checked before each item: true ends the flow early.
  virtual bool Cancelled() const { return false; }
};

// Where the flow ended.
struct TFlowEnd {
  int X = 0;
  int Y = 0;
  int Right = 0;  // the rightmost x any piece reached
};

// The flow as it goes on from item to item: a document fed to it in
// chunks is laid out as if it came whole. imageSize gives a picture's size
// as laid out (empty: none).
class TFlow {
 public:
  TFlow(const TTextMeasure& measure, const TFlowFrame& frame, const TImageSize& imageSize, TFlowSink& sink);

  // Lays items 0 .. count - 1 of the document out after what came before.
  void Add(const TItemsHunk& document, int count);
  TFlowEnd End() const { return {X, Y, Right}; }

 private:
  void AddItem(TZEBObject* item);

  const TTextMeasure& Measure;
  TFlowFrame Frame;
  TImageSize ImageSize;
  TFlowSink& Sink;
  int SpaceFixed;
  int SpaceMain;
  TPrefixWidths Widths;  // of the piece being placed
  QString Text;          // the item's text; its storage serves every item
  int X;
  int Y;
  int Right = 0;
};

// Lays items 0 .. count - 1 of the document out.
TFlowEnd FlowItems(const TItemsHunk& document, int count, const TTextMeasure& measure, const TFlowFrame& frame,
                   const TImageSize& imageSize, TFlowSink& sink);
