#include "display/qtdialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
TDialogs* Installed = nullptr;

// Adds the default extension when the chosen name has none.
QString WithExtension(const QString& path, const QString& extension) {
  if (path.isEmpty() || extension.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  return path + "." + extension;
}
}  // namespace

TDialogs& Dialogs() {
  static TQtDialogs qt;
  return Installed != nullptr ? *Installed : qt;
}

void SetDialogs(TDialogs* dialogs) { Installed = dialogs; }

TDialogs::TAnswer TQtDialogs::Message(QWidget* owner, const QString& caption, const QString& text, TIcon icon,
                                      bool helpButton) {
  QMessageBox box(owner);
  box.setWindowTitle(caption);
  box.setText(text);
  box.setIcon(icon == TIcon::Stop ? QMessageBox::Critical
              : icon == TIcon::Information ? QMessageBox::Information
                                          : QMessageBox::NoIcon);
  box.addButton(QMessageBox::Ok);
  QPushButton* help = helpButton ? box.addButton(QMessageBox::Help) : nullptr;
  box.exec();
  return help != nullptr && box.clickedButton() == help ? TAnswer::Help : TAnswer::Ok;
}

namespace {
std::optional<QString> RunFileDialog(QWidget* owner, const TDialogs::TFileQuestion& question, bool save) {
  QFileDialog dialog(owner, question.Title, question.Folder, question.Filter);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(question.DefaultExtension);
  if (!question.InitialName.isEmpty()) dialog.selectFile(question.InitialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return WithExtension(dialog.selectedFiles().front(), question.DefaultExtension);
}
}  // namespace

std::optional<QString> TQtDialogs::OpenFile(QWidget* owner, const TFileQuestion& question) {
  return RunFileDialog(owner, question, false);
}

std::optional<QString> TQtDialogs::SaveFile(QWidget* owner, const TFileQuestion& question) {
  return RunFileDialog(owner, question, true);
}

std::optional<QString> TQtDialogs::GetText(QWidget* owner, const QString& caption, const QString& prompt,
                                           const QString& initial) {
  bool ok = false;
  const QString text = QInputDialog::getText(owner, caption, prompt, QLineEdit::Normal, initial, &ok);
  if (!ok) return std::nullopt;
  return text;
}

std::optional<QString> TQtDialogs::ChooseFolder(QWidget* owner, const QString& caption, const QString&,
                                                const QString& initial) {
  const QString folder = QFileDialog::getExistingDirectory(owner, caption, initial);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}
