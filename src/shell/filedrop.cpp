#include "shell/filedrop.h"

#include <QMimeData>
#include <QUrl>

std::optional<std::string> FirstDroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile().toLocal8Bit().toStdString();
  }
  return std::nullopt;
}
