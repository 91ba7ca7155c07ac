#pragma once
// The settings' colours and fonts as Qt values, and back. Colours are
// 0x00BBGGRR, or 0x80000000 plus a system colour index, whose colour comes
// from the application palette.

#include <QColor>
#include <QFont>

#include "settings/options.h"

QColor ToQColor(TColor color);
// The 0x00BBGGRR value of a colour.
TColor FromQColor(const QColor& color);

// The font the settings describe: face, size in points (a size of 0 or less
// keeps the platform's default size), bold, italic; made without kerning, so
// a text is as wide as its characters' advances add up to.
QFont MakeFont(const TFontSpec& font);
// The settings' description of a font (bold: weight above normal).
TFontSpec FontSpecOf(const QFont& font);

// A length of a layout given in pixels at 96 dpi, at dpi (the fraction
// dropped): dialogs keep their proportions on any screen.
constexpr int ScaledFrom96(int dpi, int pixels) { return pixels * dpi / 96; }
