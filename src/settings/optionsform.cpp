#include "settings/optionsform.h"

#include <algorithm>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/dialogs.h"
#include "settings/proxyaddress.h"
#include "settings/qtvalues.h"

namespace {
QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

QCheckBox* CheckBox(const QString& caption, const char* name, bool checked, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  box->setChecked(checked);
  return box;
}

QLabel* WrappedText(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

QString FontLabelText(const TFontSpec& font) {
  return QString::fromStdString(font.Face) + ", " + QString::number(font.Size) + " pt";
}

bool DisplayChanged(const TOptions& before, const TOptions& after) {
  return before.StretchGraphics != after.StretchGraphics || before.FontColor != after.FontColor ||
         before.TextColor != after.TextColor || before.WindowBackColor != after.WindowBackColor ||
         !(before.MainFont == after.MainFont) || !(before.FixedFont == after.FixedFont);
}

std::string FolderWithSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

TOptionsForm::TOptionsForm(QWidget* owner, TOptions& working, TDialogs& dialogs, TPages pages)
    : QDialog(owner), Working(working), Questions(dialogs) {
  setObjectName("OptionsForm");
  setWindowTitle("Set Options");
  auto* layout = new QVBoxLayout(this);
  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl");
  if (pages == TPages::All) {
    PageControl->addTab(DisplayPage(), "Display");
    PageControl->addTab(DownloadingPage(), "Downloading");
    PageControl->addTab(HintsPage(), "Hints");
    PageControl->addTab(MessagesPage(), "Messages");
  } else {
    PageControl->addTab(DownloadingPage(), "Downloading");
  }
  PageControl->setCurrentIndex(0);
  connect(PageControl, &QTabWidget::currentChanged, this, [this] {
    if (isVisible()) GrowToFitTexts();
  });
  layout->addWidget(PageControl, 1);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("OKButton");
  ok->setDefault(true);
  buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("CancelButton");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  // The standard size, never smaller, so that no text is cut; a page whose
  // explanations need more height in this font grows when shown.
  const int width = std::max(ScaledFrom96(logicalDpiX(), 442), layout->minimumSize().width());
  const int height = std::max(ScaledFrom96(logicalDpiX(), 369), layout->minimumSize().height());
  setMinimumSize(width, height);
  resize(width, height);
  ProxyCheckBoxClick();
}

QWidget* TOptionsForm::DisplayPage() {
  auto* page = new QWidget;
  page->setObjectName("DisplayTabSheet");
  auto* layout = new QVBoxLayout(page);

  auto* fonts = new QGroupBox("Fonts", page);
  auto* fontGrid = new QGridLayout(fonts);
  PropFontLabel = new QLabel(fonts);
  PropFontLabel->setObjectName("PropFontLabel");
  MonoFontLabel = new QLabel(fonts);
  MonoFontLabel->setObjectName("MonoFontLabel");
  QPushButton* prop = Button("Change Font...", "PropFontButton", fonts);
  QPushButton* mono = Button("Change Font...", "MonoFontButton", fonts);
  fontGrid->addWidget(new QLabel("Proportional Font:", fonts), 0, 0);
  fontGrid->addWidget(PropFontLabel, 0, 1);
  fontGrid->addWidget(prop, 0, 2);
  fontGrid->addWidget(new QLabel("Monospaced Font:", fonts), 1, 0);
  fontGrid->addWidget(MonoFontLabel, 1, 1);
  fontGrid->addWidget(mono, 1, 2);
  fontGrid->setColumnStretch(1, 1);
  connect(prop, &QPushButton::clicked, this, &TOptionsForm::PropFontButtonClick);
  connect(mono, &QPushButton::clicked, this, &TOptionsForm::MonoFontButtonClick);
  ShowFont(PropFontLabel, Working.MainFont);
  ShowFont(MonoFontLabel, Working.FixedFont);

  auto* colors = new QGroupBox("Colors", page);
  auto* colorGrid = new QGridLayout(colors);
  const auto swatch = [colors, this](const char* name) {
    auto* panel = new QLabel(colors);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::Box);
    panel->setFixedSize(ScaledFrom96(logicalDpiX(), 81), ScaledFrom96(logicalDpiX(), 25));
    panel->setAutoFillBackground(true);
    return panel;
  };
  BackColorPanel = swatch("BackColorPanel");
  TextColorPanel = swatch("TextColorPanel");
  LinkColorPanel = swatch("LinkColorPanel");
  const struct {
    const char* Caption;
    QLabel* Panel;
    const char* ButtonName;
    void (TOptionsForm::*Click)();
  } rows[] = {{"Window Background:", BackColorPanel, "BackColorButton", &TOptionsForm::BackColorButtonClick},
              {"Text Color:", TextColorPanel, "TextColorButton", &TOptionsForm::TextColorButtonClick},
              {"Link Color:", LinkColorPanel, "LinkColorButton", &TOptionsForm::LinkColorButtonClick}};
  int row = 0;
  for (const auto& entry : rows) {
    colorGrid->addWidget(new QLabel(entry.Caption, colors), row, 0);
    colorGrid->addWidget(entry.Panel, row, 1);
    QPushButton* button = Button("Change Color...", entry.ButtonName, colors);
    colorGrid->addWidget(button, row, 2);
    connect(button, &QPushButton::clicked, this, entry.Click);
    ++row;
  }
  colorGrid->setColumnStretch(3, 1);
  ShowColor(BackColorPanel, Working.WindowBackColor);
  ShowColor(TextColorPanel, Working.FontColor);
  ShowColor(LinkColorPanel, Working.TextColor);

  layout->addWidget(fonts);
  layout->addWidget(colors);
  layout->addStretch(1);
  return page;
}

QWidget* TOptionsForm::DownloadingPage() {
  auto* page = new QWidget;
  page->setObjectName("DownloadingTabSheet");
  auto* layout = new QVBoxLayout(page);

  auto* folder = new QGroupBox("Hint File Folder", page);
  auto* folderGrid = new QGridLayout(folder);
  InstallDirEdit = new QLineEdit(QString::fromStdString(Working.InstallDir), folder);
  InstallDirEdit->setObjectName("InstallDirEdit");
  InstallDirEdit->setEnabled(false);
  QPushButton* change = Button("Change Folder...", "InstallDirButton", folder);
  connect(change, &QPushButton::clicked, this, &TOptionsForm::InstallDirButtonClick);
  folderGrid->addWidget(InstallDirEdit, 0, 0);
  folderGrid->addWidget(change, 0, 1);
  folderGrid->addWidget(
      WrappedText("This folder is where new hint files are stored when using the \"Download New Hints\" option.  It "
                  "is also the folder first searched when you select the \"Open Hints by Title\" option.  Changing "
                  "this folder does not move existing hints.",
                  folder),
      1, 0, 1, 2);

  auto* proxy = new QGroupBox("Proxy Settings", page);
  auto* proxyGrid = new QGridLayout(proxy);
  ProxyCheckBox =
      CheckBox("I am using a proxy server to connect to the Internet", "ProxyCheckBox", Working.ProxyOn, proxy);
  connect(ProxyCheckBox, &QCheckBox::toggled, this, &TOptionsForm::ProxyCheckBoxClick);
  ProxyIPMaskEdit = new QLineEdit(QString::fromStdString(Working.ProxyIP), proxy);
  ProxyIPMaskEdit->setObjectName("ProxyIPMaskEdit");
  ProxyPortEdit = new QLineEdit(QString::fromStdString(Working.ProxyPort), proxy);
  ProxyPortEdit->setObjectName("ProxyPortEdit");
  auto* ipLabel = new QLabel("Server IP &Address:", proxy);
  ipLabel->setBuddy(ProxyIPMaskEdit);
  auto* portLabel = new QLabel("&Port:", proxy);
  portLabel->setBuddy(ProxyPortEdit);
  proxyGrid->addWidget(ProxyCheckBox, 0, 0, 1, 4);
  proxyGrid->addWidget(ipLabel, 1, 0);
  proxyGrid->addWidget(ProxyIPMaskEdit, 1, 1);
  proxyGrid->addWidget(portLabel, 1, 2);
  proxyGrid->addWidget(ProxyPortEdit, 1, 3);
  proxyGrid->addWidget(WrappedText("Proxy servers allow multiple computers to share the same network connection.  "
                                   "If you have a modem connected directly to this computer, you probably do not need "
                                   "to use a proxy server.",
                                   proxy),
                       2, 0, 1, 4);

  auto* server = new QGroupBox("Update Server", page);
  auto* serverGrid = new QGridLayout(server);
  UpdateServerEdit = new QLineEdit(QString::fromStdString(Working.UpdateServer), server);
  UpdateServerEdit->setObjectName("UpdateServerEdit");
  UpdateServerEdit->setPlaceholderText("host name, or host:port");
  auto* serverLabel = new QLabel("&Update server:", server);
  serverLabel->setBuddy(UpdateServerEdit);
  serverGrid->addWidget(serverLabel, 0, 0);
  serverGrid->addWidget(UpdateServerEdit, 0, 1);

  layout->addWidget(folder);
  layout->addWidget(proxy);
  layout->addWidget(server);
  layout->addStretch(1);
  return page;
}

QWidget* TOptionsForm::HintsPage() {
  auto* page = new QWidget;
  page->setObjectName("HintsTabSheet");
  auto* layout = new QVBoxLayout(page);
  auto* group = new QGroupBox("Hint Display", page);
  auto* groupLayout = new QVBoxLayout(group);
  CountingCheckBox =
      CheckBox("Display number of hints remaining in each topic", "CountingCheckBox", Working.Counting, group);
  HintMemoryCheckBox = CheckBox("Remember which hints have been shown when re-opening a topic", "HintMemoryCheckBox",
                                Working.Memory, group);
  StretchGraphicsCheckBox = CheckBox("Stretch graphics to fit inside window when resized", "StretchGraphicsCheckBox",
                                     Working.StretchGraphics, group);
  DisplayInfoCheckBox = CheckBox("List file credits on the main window of each hint file", "DisplayInfoCheckBox",
                                 Working.DisplayInfo, group);
  for (QCheckBox* box : {CountingCheckBox, HintMemoryCheckBox, StretchGraphicsCheckBox, DisplayInfoCheckBox})
    groupLayout->addWidget(box);
  groupLayout->addWidget(new QLabel("(Changes will take effect with the next hint file you load.)", group));
  layout->addWidget(group);
  auto* start = new QGroupBox("Start", page);
  auto* startLayout = new QVBoxLayout(start);
  ReopenLastFileCheckBox = CheckBox("Reopen the last hint file and its windows at start", "ReopenLastFileCheckBox",
                                    Working.ReopenLastFile, start);
  startLayout->addWidget(ReopenLastFileCheckBox);
  layout->addWidget(start);
  layout->addStretch(1);
  return page;
}

QWidget* TOptionsForm::MessagesPage() {
  auto* page = new QWidget;
  page->setObjectName("MessagesTabSheet");
  auto* layout = new QVBoxLayout(page);
  auto* group = new QGroupBox("Display Messages", page);
  auto* groupLayout = new QVBoxLayout(group);
  // Ticked means the reminder or the news is shown: the flags say "skip".
  SkipUpdateBeforeDownloadCheckBox =
      CheckBox("Remind me to open my Internet connection before downloading", "SkipUpdateBeforeDownloadCheckBox",
               !Working.SkipUpdateBeforeDownload, group);
  SkipUpdateAfterDownloadCheckBox =
      CheckBox("Remind me to close my Internet connection after downloading", "SkipUpdateAfterDownloadCheckBox",
               !Working.SkipUpdateAfterDownload, group);
  SkipUpdateMessagesCheckBox =
      CheckBox("Show the latest ZEB news when downloading lists of new files", "SkipUpdateMessagesCheckBox",
               !Working.SkipUpdateMessages, group);
  for (QCheckBox* box : {SkipUpdateBeforeDownloadCheckBox, SkipUpdateAfterDownloadCheckBox, SkipUpdateMessagesCheckBox})
    groupLayout->addWidget(box);
  layout->addWidget(group);
  layout->addStretch(1);
  return page;
}

void TOptionsForm::ShowFont(QLabel* label, const TFontSpec& font) {
  // The label shows the font itself, at 9 points.
  QFont shown = MakeFont(font);
  shown.setPointSize(9);
  label->setFont(shown);
  label->setText(FontLabelText(font));
}

void TOptionsForm::ShowColor(QLabel* swatch, TColor color) {
  QPalette palette = swatch->palette();
  palette.setColor(QPalette::Window, ToQColor(color));
  swatch->setPalette(palette);
}

void TOptionsForm::ChangeFont(TFontSpec& font, QLabel* label) {
  const QFont initial = MakeFont(font);
  const auto chosen = Questions.ChooseFont(this, initial);
  if (!chosen) return;
  TFontSpec picked = FontSpecOf(*chosen);
  // The dialog offers the face the system shows in place of one it lacks
  // ("Liberation Sans" for "Arial"): handed back unchanged, it is no choice
  // of the user's, and the stored face stays.
  if (chosen->family().compare(QFontInfo(initial).family(), Qt::CaseInsensitive) == 0) picked.Face = font.Face;
  font = picked;
  ShowFont(label, font);
}

void TOptionsForm::ChangeColor(TColor& color, QLabel* swatch) {
  const auto chosen = Questions.ChooseColor(this, ToQColor(color));
  if (!chosen) return;
  color = FromQColor(*chosen);
  ShowColor(swatch, color);
}

void TOptionsForm::PropFontButtonClick() { ChangeFont(Working.MainFont, PropFontLabel); }
void TOptionsForm::MonoFontButtonClick() { ChangeFont(Working.FixedFont, MonoFontLabel); }
void TOptionsForm::BackColorButtonClick() { ChangeColor(Working.WindowBackColor, BackColorPanel); }
void TOptionsForm::TextColorButtonClick() { ChangeColor(Working.FontColor, TextColorPanel); }
void TOptionsForm::LinkColorButtonClick() { ChangeColor(Working.TextColor, LinkColorPanel); }

void TOptionsForm::InstallDirButtonClick() {
  const auto folder = Questions.ChooseFolder(this, "Browse for Folder", "Select the new default folder for ZEB hint files.",
                                             QString::fromStdString(Working.InstallDir));
  if (!folder) return;
  Working.InstallDir = FolderWithSeparator(folder->toStdString());
  InstallDirEdit->setText(QString::fromStdString(Working.InstallDir));
}

void TOptionsForm::ProxyCheckBoxClick() {
  const bool on = ProxyCheckBox->isChecked();
  ProxyIPMaskEdit->setEnabled(on);
  ProxyPortEdit->setEnabled(on);
}

void TOptionsForm::FormClose() {
  if (CountingCheckBox != nullptr) {
    Working.Counting = CountingCheckBox->isChecked();
    Working.Memory = HintMemoryCheckBox->isChecked();
    Working.StretchGraphics = StretchGraphicsCheckBox->isChecked();
    Working.DisplayInfo = DisplayInfoCheckBox->isChecked();
    Working.ReopenLastFile = ReopenLastFileCheckBox->isChecked();
  }
  if (SkipUpdateBeforeDownloadCheckBox != nullptr) {
    Working.SkipUpdateBeforeDownload = !SkipUpdateBeforeDownloadCheckBox->isChecked();
    Working.SkipUpdateAfterDownload = !SkipUpdateAfterDownloadCheckBox->isChecked();
    Working.SkipUpdateMessages = !SkipUpdateMessagesCheckBox->isChecked();
  }
  Working.ProxyOn = ProxyCheckBox->isChecked();
  Working.ProxyIP = ProxyIPMaskEdit->text().toStdString();
  Working.ProxyPort = ProxyPortEdit->text().toStdString();
  Working.UpdateServer = UpdateServerEdit->text().trimmed().toStdString();
}

void TOptionsForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  GrowToFitTexts();
}

void TOptionsForm::GrowToFitTexts() {
  for (int round = 0; round < 4; ++round) {
    layout()->activate();
    int missing = 0;
    for (const QLabel* label : findChildren<QLabel*>())
      if (label->wordWrap() && label->isVisibleTo(this))
        missing = std::max(missing, label->heightForWidth(label->width()) - label->height());
    if (missing <= 0) return;
    setMinimumHeight(height() + missing);
    resize(width(), height() + missing);
  }
}

bool TOptionsForm::ProxyAccepted() {
  if (!ProxyCheckBox->isChecked()) return true;  // not used: kept as typed
  const std::string host = ProxyIPMaskEdit->text().toStdString();
  const std::string port = ProxyPortEdit->text().toStdString();
  QLineEdit* field = nullptr;
  std::string text;
  if (const std::string problem = ProxyHostProblem(host); !problem.empty()) {
    field = ProxyIPMaskEdit;
    text = "The proxy server's \"Server IP Address\" \"" + ShownValue(host) +
           "\" is not a plain host name or IP address (" + problem +
           ").  Enter only the server's name or address, such as proxy.example.com, 10.0.0.1 or [::1].";
  } else if (const std::string portProblem = ProxyPortProblem(port); !portProblem.empty()) {
    field = ProxyPortEdit;
    text = "The proxy server's \"Port\" \"" + ShownValue(port) + "\" is not a number from 1 to 65535 (" +
           portProblem + ").";
  } else {
    return true;
  }
  Questions.Message(this, "Set Options", QString::fromStdString(text), TDialogs::TIcon::Stop, false);
  PageControl->setCurrentWidget(findChild<QWidget*>("DownloadingTabSheet"));
  field->setFocus();
  field->selectAll();
  return false;
}

void TOptionsForm::done(int result) {
  // A proxy address the network library would misread keeps the dialog open.
  if (result == QDialog::Accepted && !ProxyAccepted()) return;
  FormClose();
  QDialog::done(result);
}

bool RunOptionsDialog(QWidget* owner, TOptions& record, TDialogs& dialogs, bool* changedLook) {
  TOptions working = record;
  TOptionsForm form(owner, working, dialogs);
  const bool ok = form.exec() == QDialog::Accepted;
  if (changedLook != nullptr) *changedLook = ok && DisplayChanged(record, working);
  if (ok) record = working;
  return ok;
}

bool RunDownloadingOptions(QWidget* owner, TOptions& record, TDialogs& dialogs) {
  TOptions working = record;
  TOptionsForm form(owner, working, dialogs, TOptionsForm::TPages::Downloading);
  if (form.exec() != QDialog::Accepted) return false;
  record = working;
  return true;
}
