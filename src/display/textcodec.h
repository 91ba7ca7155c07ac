#pragma once
// Hint text is 8-bit Windows-1252; the display converts it at the last moment.

#include <string_view>

#include <QString>

QString FromCp1252(std::string_view bytes);
// The same into text, whose storage is reused when it is large enough.
void AssignCp1252(QString& text, std::string_view bytes);
