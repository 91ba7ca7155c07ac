#include "shell/decodetext.h"


#include <QFileInfo>

#include "fileio/atomicfile.h"
#include "model/displaydocument.h"

bool WriteDecodedText(THunk& root, const std::string& path) {
  // The text replaces the file only when all of it was written; a device
  // chosen as the output is written in place.
  TAtomicFile out(path, TAtomicFile::TLinks::Follow, 1 << 20);
  if (!out.Open()) return false;
  DecodeToText(root, out.Stream());
  return out.Commit();
}

std::string OfferedFileName(const std::string& hintFilePath, const std::string& extension) {
  const QString base = QFileInfo(QString::fromStdString(hintFilePath)).completeBaseName();
  return (base.isEmpty() ? QString("HINTS") : base).toStdString() + extension;
}
