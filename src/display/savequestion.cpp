#include "display/savequestion.h"

#include <QFileInfo>

bool HasWildcards(const QString& fileName) { return fileName.contains('*') || fileName.contains('?'); }

std::optional<QString> AskFileToWrite(QWidget* owner, const TDialogs::TFileQuestion& question) {
  for (;;) {
    const auto path = Dialogs().SaveFile(owner, question);
    if (!path) return std::nullopt;
    // A pattern left in the name box is no file to create: ask again.
    const QString name = QFileInfo(*path).fileName();
    if (!HasWildcards(name)) return path;
    Dialogs().Message(owner, question.Title,
                      name + " is not a valid file name.  A file name cannot contain \"*\" or \"?\".",
                      TDialogs::TIcon::Stop);
  }
}

void ReportCannotWrite(QWidget* owner, const QString& path) {
  Dialogs().Message(owner, "Error",
                    path + " could not be written.  Make sure that the folder exists, that you may write to it, "
                           "and that the disk is not full.",
                    TDialogs::TIcon::Stop);
}

QString FileNameFromTitle(const QString& title, const QString& extension) {
  QString name = title.trimmed().left(60);
  for (QChar& c : name)
    if (QString("/\\:*?\"<>|").contains(c) || c.unicode() < 32) c = '_';
  if (name.isEmpty()) name = "WINDOW";
  return name + "." + extension;
}
