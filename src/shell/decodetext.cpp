#include "shell/decodetext.h"

#include <filesystem>
#include <fstream>

#include <QFileInfo>

#include "model/displaydocument.h"

bool WriteDecodedText(THunk& root, const std::string& path) {
  const std::filesystem::path target(path);
  std::error_code error;
  if (std::filesystem::is_directory(target, error)) return false;
  bool ok = false;
  {
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return false;
    DecodeToText(root, out);
    out.close();
    ok = !out.fail();
  }
  // Only a regular file is removed: a device chosen as the output stays.
  if (!ok && std::filesystem::is_regular_file(target, error)) std::filesystem::remove(target, error);
  return ok;
}

std::string DecodedTextName(const std::string& hintFilePath) {
  const QString base = QFileInfo(QString::fromStdString(hintFilePath)).completeBaseName();
  return (base.isEmpty() ? QString("HINTS") : base).toStdString() + ".TXT";
}
