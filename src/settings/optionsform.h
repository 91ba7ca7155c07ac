#pragma once
// The "Set Options" dialog: four pages (Display, Downloading, Hints,
// Messages) that edit a working copy of the settings record. Fonts, colours
// and the folder change the copy at once, through the program's dialogs;
// the check boxes and proxy texts are written into it when the dialog
// closes. OK keeps the copy, Cancel drops it; the dialog never writes the
// settings file.

#include <QDialog>

#include "settings/options.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class TDialogs;

class TOptionsForm : public QDialog {
  Q_OBJECT

 public:
  enum class TPages {
    All,          // Set Options: every page, "Display" first
    Downloading,  // the download dialog's Options...: only "Downloading"
  };

  // Edits working in place; dialogs asks the font, colour and folder questions.
  TOptionsForm(QWidget* owner, TOptions& working, TDialogs& dialogs, TPages pages = TPages::All);

  void PropFontButtonClick();
  void MonoFontButtonClick();
  void BackColorButtonClick();
  void TextColorButtonClick();
  void LinkColorButtonClick();
  void InstallDirButtonClick();
  void ProxyCheckBoxClick();

  QTabWidget* PageControl = nullptr;

 protected:
  void done(int result) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Grows the dialog until every wrapped explanation of the page shown has
  // the height its text needs in this font and at this scale.
  void GrowToFitTexts();
  QWidget* DisplayPage();
  QWidget* DownloadingPage();
  QWidget* HintsPage();
  QWidget* MessagesPage();
  void ShowFont(QLabel* label, const TFontSpec& font);
  void ShowColor(QLabel* swatch, TColor color);
  void ChangeFont(TFontSpec& font, QLabel* label);
  void ChangeColor(TColor& color, QLabel* swatch);
  // The check boxes and proxy texts into the working copy.
  void FormClose();
  // True when the proxy is off or its address and port can be used;
  // otherwise says what is wrong and puts the focus on that field.
  bool ProxyAccepted();

  TOptions& Working;
  TDialogs& Questions;
  QLabel* PropFontLabel = nullptr;
  QLabel* MonoFontLabel = nullptr;
  QLabel* BackColorPanel = nullptr;
  QLabel* TextColorPanel = nullptr;
  QLabel* LinkColorPanel = nullptr;
  QLineEdit* InstallDirEdit = nullptr;
  QCheckBox* ProxyCheckBox = nullptr;
  QLineEdit* ProxyIPMaskEdit = nullptr;
  QLineEdit* ProxyPortEdit = nullptr;
  QLineEdit* UpdateServerEdit = nullptr;
  QCheckBox* CountingCheckBox = nullptr;
  QCheckBox* HintMemoryCheckBox = nullptr;
  QCheckBox* StretchGraphicsCheckBox = nullptr;
  QCheckBox* DisplayInfoCheckBox = nullptr;
  QCheckBox* ReopenLastFileCheckBox = nullptr;
  QCheckBox* SkipUpdateBeforeDownloadCheckBox = nullptr;
  QCheckBox* SkipUpdateAfterDownloadCheckBox = nullptr;
  QCheckBox* SkipUpdateMessagesCheckBox = nullptr;
};

// The caption of a font's label: face, ", ", whole points, " pt".
QString FontLabelText(const TFontSpec& font);
// True when the look of hint windows differs between the two records:
// StretchGraphics, the three colours, or either font's face, style or size.
bool DisplayChanged(const TOptions& before, const TOptions& after);
// A folder chosen in a dialog as the settings keep it: ending with "/"
// (a root "/" stays as it is).
std::string FolderWithSeparator(std::string folder);

// Set Options on the record: true when OK was pressed. changedLook tells
// whether the look of hint windows changed.
bool RunOptionsDialog(QWidget* owner, TOptions& record, TDialogs& dialogs, bool* changedLook);
// The download dialog's Options...: the "Downloading" page alone on a copy
// of the record, copied back on OK (true).
bool RunDownloadingOptions(QWidget* owner, TOptions& record, TDialogs& dialogs);
