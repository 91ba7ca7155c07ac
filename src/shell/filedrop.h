#pragma once
// Files dropped on the main window: the first local file of the drop.

#include <optional>
#include <string>

class QMimeData;

// The path of the first local file among the dropped URLs, or none when the
// drop holds no local file (text, web addresses).
std::optional<std::string> FirstDroppedFile(const QMimeData* data);
