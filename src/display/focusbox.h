#pragma once
// The keyboard focus drawn as a dotted frame in black over white: it shows
// on text, on any picture and on a button alike, whatever the style draws.

class QPainter;
class QRect;

// Draws the frame along the inside of rect.
void DrawFocusBox(QPainter& painter, const QRect& rect);
