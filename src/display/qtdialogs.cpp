#include "display/qtdialogs.h"

#include <algorithm>
#include <vector>

#include <QFileDialog>
#include <QFileInfo>
#include <QApplication>
#include <QColorDialog>
#include <QDialog>

#include "downloader/messageform.h"
#include <QFontDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QScreen>
#include <QSpacerItem>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QDir>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// A PDF file in the user's documents named after the print job ("ZEB:
// Hints for Moonfall" gives "ZEB Hints for Moonfall.pdf").
QString PdfNameFor(const QString& job) {
  QString name;
  for (const QChar c : job)
    if (!QStringLiteral("/\\:*?\"<>|").contains(c) && c.isPrint()) name += c;
  name = name.simplified();
  if (name.isEmpty()) name = "ZEB Printout";
  // A fresh account may have no documents folder yet: the home folder then.
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const bool usable = !folder.isEmpty() && QFileInfo(folder).isDir();
  return QDir(usable ? folder : QDir::homePath()).filePath(name + ".pdf");
}

// Message boxes size themselves by their text; the window manager's title
// bar, in its own bold font and with its buttons, would cut a caption wider
// than that. A spacer across the box keeps the caption whole.
void FitCaption(QMessageBox& box) {
  QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
  titleFont.setBold(true);
  const QFontMetrics metrics(titleFont);
  const int buttons = 6 * metrics.height();  // the icon and three buttons, with room around them
  const int screenWidth = box.screen() != nullptr ? box.screen()->availableGeometry().width() : 1024;
  const int wanted = std::min(metrics.horizontalAdvance(box.windowTitle()) + buttons, screenWidth * 3 / 4);
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

// Puts a label above everything a dialog's grid holds.
void AddPromptAbove(QDialog& dialog, const QString& prompt) {
  auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
  if (grid == nullptr || prompt.isEmpty()) return;
  struct TPlaced {
    QLayoutItem* Item;
    int Row, Column, RowSpan, ColumnSpan;
  };
  std::vector<TPlaced> placed;
  for (int i = grid->count() - 1; i >= 0; --i) {
    TPlaced p{nullptr, 0, 0, 0, 0};
    grid->getItemPosition(i, &p.Row, &p.Column, &p.RowSpan, &p.ColumnSpan);
    p.Item = grid->takeAt(i);
    placed.push_back(p);
  }
  const int columns = std::max(grid->columnCount(), 1);
  for (auto it = placed.rbegin(); it != placed.rend(); ++it)
    grid->addItem(it->Item, it->Row + 1, it->Column, it->RowSpan, it->ColumnSpan);
  auto* label = new QLabel(prompt, &dialog);
  label->setObjectName("FolderPrompt");
  label->setWordWrap(true);
  grid->addWidget(label, 0, 0, 1, columns);
}

// Adds the default extension when the chosen name has none.
QString WithExtension(const QString& path, const QString& extension) {
  if (path.isEmpty() || extension.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  return path + "." + extension;
}
}  // namespace

void UseQtDialogs() {
  static TQtDialogs qt;
  SetFallbackDialogs(&qt);
}

TDialogs::TAnswer TQtDialogs::Message(QWidget* owner, const QString& caption, const QString& text, TIcon icon,
                                      bool helpButton) {
  QMessageBox box(owner);
  box.setWindowTitle(caption);
  box.setText(text);
  box.setIcon(icon == TIcon::Stop ? QMessageBox::Critical
              : icon == TIcon::Information ? QMessageBox::Information
                                          : QMessageBox::NoIcon);
  box.addButton(QMessageBox::Ok);
  FitCaption(box);
  QPushButton* help = helpButton ? box.addButton(QMessageBox::Help) : nullptr;
  box.exec();
  return help != nullptr && box.clickedButton() == help ? TAnswer::Help : TAnswer::Ok;
}

TDialogs::TAnswer TQtDialogs::Ask(QWidget* owner, const QString& caption, const QString& text, TButtons buttons) {
  QMessageBox box(owner);
  box.setWindowTitle(caption);
  box.setText(text);
  box.setIcon(QMessageBox::NoIcon);
  switch (buttons) {
    case TButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case TButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setEscapeButton(QMessageBox::No);
      break;
    case TButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  FitCaption(box);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return TAnswer::Yes;
    case QMessageBox::No:
      return TAnswer::No;
    case QMessageBox::Ok:
      return TAnswer::Ok;
    default:
      return buttons == TButtons::YesNo ? TAnswer::No : TAnswer::Cancel;
  }
}

namespace {
std::optional<QString> RunFileDialog(QWidget* owner, const TDialogs::TFileQuestion& question, bool save) {
  QFileDialog dialog(owner, question.Title, question.Folder, question.Filter);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(question.DefaultExtension);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !question.ConfirmOverwrite);
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

std::optional<QString> TQtDialogs::ChooseFolder(QWidget* owner, const QString& caption, const QString& prompt,
                                                const QString& initial) {
  // Qt's own dialog, which can carry the prompt that says what the folder is for.
  QFileDialog dialog(owner, caption, initial);
  dialog.setObjectName("FolderDialog");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setFileMode(QFileDialog::Directory);
  AddPromptAbove(dialog, prompt);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

std::optional<int> TQtDialogs::ChooseFromList(QWidget* owner, const QString& caption, const QString& prompt,
                                              const QStringList& entries, int current) {
  QDialog dialog(owner);
  dialog.setWindowTitle(caption);
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(prompt, &dialog);
  auto* list = new QListWidget(&dialog);
  label->setBuddy(list);
  list->addItems(entries);
  // Wide enough for the longest entry, within the screen.
  int widest = 0;
  for (const QString& entry : entries) widest = std::max(widest, list->fontMetrics().horizontalAdvance(entry));
  const int screenWidth = dialog.screen() != nullptr ? dialog.screen()->availableGeometry().width() : 1024;
  list->setMinimumWidth(std::min(widest + list->frameWidth() * 2 + 40, screenWidth * 3 / 4));
  if (current >= 0 && current < list->count()) list->setCurrentRow(current);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
  layout->addWidget(label);
  layout->addWidget(list);
  layout->addWidget(buttons);
  list->setFocus();
  if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
  return list->currentRow();
}

std::optional<TDialogs::TPageRange> TQtDialogs::ChoosePrintRange(QWidget* owner, QPrinter& printer, int minPage,
                                                                 int maxPage) {
  // Without a printer, the dialog starts on printing to a PDF file in the
  // user's documents, so that printing works without further steps.
  if (printer.outputFileName().isEmpty() && QPrinterInfo::availablePrinters().isEmpty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PdfNameFor(printer.docName()));
  }
  // Every print offers all pages, whatever range the last one printed.
  printer.setPrintRange(QPrinter::AllPages);
  QPrintDialog dialog(&printer, owner);
  dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintToFile);
  dialog.setMinMax(minPage, maxPage);
  dialog.setFromTo(minPage, maxPage);
  dialog.setPrintRange(QAbstractPrintDialog::AllPages);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  TPageRange range;
  if (printer.printRange() == QPrinter::PageRange) {
    range.Chosen = true;
    range.From = printer.fromPage();
    range.To = printer.toPage();
  } else {
    range.From = minPage;
    range.To = maxPage;
  }
  return range;
}

bool TQtDialogs::PrinterSetup(QWidget* owner, QPrinter& printer) {
  QPageSetupDialog dialog(&printer, owner);
  return dialog.exec() == QDialog::Accepted;
}

std::optional<QFont> TQtDialogs::ChooseFont(QWidget* owner, const QFont& initial) {
  // Qt's own dialog, without its Effects box: the settings keep face, size
  // and style only.
  QFontDialog dialog(initial, owner);
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
    if (group->title().remove('&') == QFontDialog::tr("Effects").remove('&')) group->hide();
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  QFont font = dialog.selectedFont();
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

std::optional<QColor> TQtDialogs::ChooseColor(QWidget* owner, const QColor& initial) {
  const QColor colour = QColorDialog::getColor(initial, owner);
  if (!colour.isValid()) return std::nullopt;
  return colour;
}

void TQtDialogs::SkippableMessage(QWidget* owner, const QString& caption, const QString& text, bool showSkipAll,
                                  bool& skipNext, bool& skipAll) {
  TMessageForm form(owner, caption, text, showSkipAll, skipNext, skipAll);
  form.exec();
}
