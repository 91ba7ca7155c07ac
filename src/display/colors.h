#pragma once
// Settings colours (0x00BBGGRR, or 0x80000000 plus a system colour index)
// as Qt colours; system colours come from the application palette.

#include <QColor>

#include "settings/options.h"

QColor ToQColor(TColor color);
