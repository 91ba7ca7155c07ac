#include "settings/filepaths.h"

#include <QDir>
#include <QFileInfo>

#include "model/textcase.h"

std::string AbsoluteCleanPath(const std::string& path) {
  if (path.empty()) return path;
  const QString absolute = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
  return QDir::cleanPath(absolute).toStdString();
}

bool SameFilePath(const std::string& a, const std::string& b) {
  return FileNamesAreCaseSensitive() ? a == b : EqualIgnoringCase(a, b);
}

std::string FilePathKey(const std::string& path) {
  return FileNamesAreCaseSensitive() ? path : LowerCaseAtoZ(path);
}
