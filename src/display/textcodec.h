#pragma once
// Hint text is 8-bit Windows-1252; the display converts it at the last moment.

#include <string_view>

#include <QString>

QString FromCp1252(std::string_view bytes);
