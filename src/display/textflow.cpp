#include "display/textflow.h"

#include <algorithm>

#include "display/prefixwidths.h"
#include "display/textmeasure.h"
#include "model/itemshunk.h"
#include "model/zebobject.h"

TFlow::TFlow(const TTextMeasure& measure, const TFlowFrame& frame, const TImageSize& imageSize, TFlowSink& sink)
    : Measure(measure),
      Frame(frame),
      ImageSize(imageSize),
      Sink(sink),
      SpaceFixed(measure.TextWidth(u" ", true)),
      SpaceMain(measure.TextWidth(u" ", false)),
      Widths(measure),
      X(frame.Left),
      Y(frame.Top) {}

void TFlow::Add(const TItemsHunk& document, int count) {
  for (int i = 0; i < count && !Sink.Cancelled(); ++i) AddItem(document.ItemAt(static_cast<std::size_t>(i)));
}

TFlowEnd FlowItems(const TItemsHunk& document, int count, const TTextMeasure& measure, const TFlowFrame& frame,
                   const TImageSize& imageSize, TFlowSink& sink) {
  TFlow flow(measure, frame, imageSize, sink);
  flow.Add(document, count);
  return flow.End();
}

void TFlow::AddItem(TZEBObject* item) {
  const TFlowFrame& frame = Frame;
  const TTextMeasure& measure = Measure;
  TFlowSink& sink = Sink;
  const int lineHeight = frame.LineHeight;
  int x = X;
  int y = Y;
  int right = Right;

  if (item->KindCode() == Kind::PngObject) {
    // A picture stands at the current x and pushes the line down; its own
    // line flags play no part.
    const QSize size = ImageSize ? ImageSize(*item) : QSize();
    const int w = std::max(0, size.width());
    const int h = std::max(0, size.height());
    y = sink.Place(y, h);
    sink.Add({{x, y, x + w, y + h}, 0, 0, item});
    Right = std::max(right, x + w);
    Y = y + h;
    return;
  }

  const bool fixed = item->UseFixedFont != 0;
  const bool wraps = item->Wraps != 0;
  QString& text = Text;
  AssignItemText(text, *item);
  qsizetype pos = 0;
  while (pos < text.size()) {
    const QStringView rest = QStringView(text).mid(pos);
    Widths.Reset(rest, fixed);
    qsizetype n = rest.size();
    bool brokenWord = false;
    if (wraps) {
      const bool force = x == frame.Left;
      int room = frame.BreakAt - x - frame.Reserve;
      // A line narrower than the margins still takes a first word at the
      // left margin; otherwise the item would never get placed.
      if (force && room < 0) room = 0;
      n = SplitString(Widths, room, force);
      if (frame.BreakWords && force && n > 0) {
        // Only a first word wider than the whole line can be too wide here.
        const int fit = FitCharacters(measure, fixed, rest.first(n), room);
        if (fit < n) {
          n = std::max(fit, 1);
          brokenWord = true;
        }
      }
    } else if (frame.BreakWords) {
      const int fit = FitCharacters(measure, fixed, rest, frame.BreakAt - x);
      if (fit == rest.size()) {
        // The rest of the line fits.
      } else if (fit == 0 && x != frame.Left) {
        y += lineHeight;
        x = frame.Left;
        continue;
      } else {
        n = std::max(fit, 1);
        brokenWord = true;
      }
    }
    if (n == 0) {
      if (x == frame.Left) {
        // Only a leading space gives 0 at the left margin (its first word
        // is too wide for the line): drop the space and try again here.
        ++pos;
      } else {
        y += lineHeight;
        x = frame.Left;
      }
      continue;
    }

    const int gap = (brokenWord || (!item->SpaceAfter && n == rest.size())) ? 0 : (fixed ? SpaceFixed : SpaceMain);
    const int w = Widths.Width(n);
    y = sink.Place(y, lineHeight);
    sink.Add({{x, y, x + w, y + lineHeight}, static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(n), item});
    // The space at a break is part of neither piece; a word broken in
    // two has none.
    pos += brokenWord ? n : n + 1;
    x += w + gap;
    if (brokenWord || (x >= frame.BreakAt && wraps)) {
      x -= gap;
      right = std::max(right, x);
      x = frame.Left;
      y += lineHeight;
    } else {
      right = std::max(right, x);
    }
  }
  if (item->EndsLine) {
    y += lineHeight;
    x = frame.Left;
  }
  X = x;
  Y = y;
  Right = right;
}
