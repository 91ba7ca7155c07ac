#include "shell/savewebpage.h"

#include <QFileInfo>

#include "fileio/atomicfile.h"
#include "webpage/webpage.h"

bool WriteWebPageFile(THunk& root, const std::string& hintFilePath, const std::string& path) {
  TAtomicFile out(path, TAtomicFile::TLinks::Follow, 1 << 20);
  if (!out.Open()) return false;
  if (!WriteWebPage(root, hintFilePath, out.Stream())) {
    out.Discard();
    return false;
  }
  return out.Commit();
}

std::string WebPageFileName(const std::string& hintFilePath) {
  const QString base = QFileInfo(QString::fromStdString(hintFilePath)).completeBaseName();
  return (base.isEmpty() ? QString("HINTS") : base).toStdString() + ".html";
}
