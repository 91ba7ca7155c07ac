#pragma once
// Asking for a file to write: the save dialog asked again while the name
// is still a pattern ("*.TXT" left in the name box), and the message for an
// output that could not be written.

#include <optional>
#include <string>

#include <QString>

#include "dialogs/dialogs.h"

class QWidget;

// True when a file name holds wildcard characters ("*" or "?").
bool HasWildcards(const QString& fileName);
// The chosen file, or none when the user cancelled.
std::optional<QString> AskFileToWrite(QWidget* owner, const TDialogs::TFileQuestion& question);
// Tells the user that the file could not be written (caption "Error").
void ReportCannotWrite(QWidget* owner, const QString& path);
// A file name made from a title: characters no file name may hold become
// "_", at most 60 characters, then the extension ("WINDOW" for no title).
QString FileNameFromTitle(const QString& title, const QString& extension);
