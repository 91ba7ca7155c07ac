#include "downloader/updateform.h"

#include <algorithm>
#include <filesystem>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/pendingevents.h"
#include "dialogs/dialogs.h"
#include "downloader/listdates.h"
#include "model/textcase.h"
#include "settings/optionsform.h"
#include "settings/homefolder.h"
#include "settings/options.h"
#include "settings/qtvalues.h"

namespace {

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

int Sign(qint64 value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

// A title's key as the list sorts it: the sort key, in the locale's upper case.
QString TitleKey(const std::string& title) { return QString::fromStdString(TitleSortKey(title)).toUpper(); }

constexpr const char* BeforeReminder =
    "ZEBWIN will try to open an Internet connection when you start a new download.  However, not all systems will "
    "let this program connect to the Internet.  If you're having trouble downloading, you may need to start your "
    "own Internet connection before you can download new hints.";
constexpr const char* AfterReminder =
    "Any Internet connection you started while downloading hint files may still be open.  If you wish to close your "
    "Internet connection, you will need to close it yourself.";
}  // namespace

TUpdateForm::TUpdateForm(QWidget* owner, TOptions& options, TDialogs& dialogs, std::string listFile, int dpi)
    : QDialog(owner),
      Engine(options, dialogs, listFile, this),
      Options(options),
      Questions(dialogs),
      ListFile(std::move(listFile)) {
  dpi = dpi > 0 ? dpi : logicalDpiX();
  setObjectName("UpdateForm");
  setWindowTitle("Download New Hints");
  resize(ScaledFrom96(dpi, 486), ScaledFrom96(dpi, 450));
  auto* layout = new QVBoxLayout(this);

  auto* options_ = new QGroupBox("Set Update Options", this);
  options_->setObjectName("GroupBox1");
  auto* grid = new QGridLayout(options_);
  RadioButton1 = new QRadioButton("Show all available ZEB files", options_);
  RadioButton1->setObjectName("RadioButton1");
  RadioButton1->setChecked(true);
  RadioButton2 = new QRadioButton("Only show ZEB files released since...", options_);
  RadioButton2->setObjectName("RadioButton2");
  DateTimePicker1 = new QDateEdit(QDate::currentDate(), options_);
  DateTimePicker1->setObjectName("DateTimePicker1");
  DateTimePicker1->setCalendarPopup(true);
  DateTimePicker1->setDisplayFormat(ShortDateFormat());
  CheckBox1 = new QCheckBox("Do not show files that I have already downloaded", options_);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setChecked(true);
  grid->addWidget(RadioButton1, 0, 0, 1, 2);
  grid->addWidget(RadioButton2, 1, 0);
  grid->addWidget(DateTimePicker1, 1, 1);
  grid->addWidget(CheckBox1, 2, 0, 1, 2);
  // The filters refill the list at once.
  connect(RadioButton1, &QRadioButton::clicked, this, [this] { FillFileListView(); });
  connect(RadioButton2, &QRadioButton::clicked, this, [this] { FillFileListView(); });
  connect(CheckBox1, &QCheckBox::clicked, this, [this] { FillFileListView(); });
  connect(DateTimePicker1, &QDateEdit::dateChanged, this, [this] { FillFileListView(); });

  auto* buttons = new QHBoxLayout;
  UpdateButton = Button("Update List", "UpdateButton", this);
  OptionsButton = Button("Options...", "OptionsButton", this);
  DownloadButton = Button("Download", "DownloadButton", this);
  StopButton = Button("Stop", "StopButton", this);
  CloseButton = Button("Close this Window", "CloseButton", this);
  StopButton->setEnabled(false);
  for (QPushButton* button : {UpdateButton, OptionsButton, DownloadButton, StopButton, CloseButton}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  connect(UpdateButton, &QPushButton::clicked, this, &TUpdateForm::UpdateButtonClick);
  connect(OptionsButton, &QPushButton::clicked, this, &TUpdateForm::OptionsButtonClick);
  connect(DownloadButton, &QPushButton::clicked, this, &TUpdateForm::DownloadButtonClick);
  connect(StopButton, &QPushButton::clicked, this, &TUpdateForm::StopButtonClick);
  connect(CloseButton, &QPushButton::clicked, this, &TUpdateForm::reject);

  FileListView = new QTreeWidget(this);
  FileListView->setObjectName("FileListView");
  FileListView->setRootIsDecorated(false);
  FileListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  FileListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FileListView->setHeaderLabels({"Game Title", "File Name", "Updated", "Size"});
  const int widths[] = {190, 100, 75, 75};
  for (int c = 0; c < 4; ++c) FileListView->setColumnWidth(c, ScaledFrom96(dpi, widths[c]));
  UpdatedColumnWidth = FileListView->columnWidth(UpdatedColumn);
  FileListView->headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
  FileListView->header()->setSectionsClickable(true);
  connect(FileListView->header(), &QHeaderView::sectionClicked, this, &TUpdateForm::ColumnClick);
  connect(FileListView, &QTreeWidget::itemDoubleClicked, this, [this] { DownloadFocusedRow(); });

  auto* statusBox = new QGroupBox("Status", this);
  statusBox->setObjectName("StatusBox");
  auto* statusLayout = new QVBoxLayout(statusBox);
  StatusText = new QLabel(statusBox);
  StatusText->setObjectName("StatusText");
  StatusText->setWordWrap(true);
  StatusText->setTextFormat(Qt::PlainText);
  StatusText->setMinimumHeight(ScaledFrom96(dpi, 48));
  statusLayout->addWidget(StatusText);
  Engine.ShowStatus = [this](const QString& text) { StatusText->setText(text); };

  layout->addWidget(options_);
  layout->addLayout(buttons);
  layout->addWidget(FileListView, 1);
  layout->addWidget(statusBox);

  if (!Options.SkipUpdateBeforeDownload) {
    bool skipNext = Options.SkipUpdateBeforeDownload;
    bool unused = false;
    Questions.SkippableMessage(owner, "Download New Hints", BeforeReminder, false, skipNext, unused);
    Options.SkipUpdateBeforeDownload = skipNext;
  }
}

TUpdateForm::~TUpdateForm() {
  if (CursorSet) QApplication::restoreOverrideCursor();
}

bool TUpdateForm::Busy() const { return StopButton->isEnabled(); }

void TUpdateForm::SetBusy(bool busy) {
  if (!busy) Engine.CancelRequested = false;
  for (QPushButton* button : {UpdateButton, DownloadButton, OptionsButton, CloseButton}) button->setEnabled(!busy);
  StopButton->setEnabled(busy);
  if (busy && !CursorSet) QApplication::setOverrideCursor(Qt::WaitCursor);
  if (!busy && CursorSet) QApplication::restoreOverrideCursor();
  CursorSet = busy;
}

void TUpdateForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (Loaded) return;
  Loaded = true;
  // The first load runs once the dialog is on the screen.
  QTimer::singleShot(0, this, [this] { InitialLoad(); });
}

void TUpdateForm::InitialLoad() { ListAgain(true); }

void TUpdateForm::ListAgain(bool withDefaults) {
  const TBusyRun busy(*this);
  RunAtEventEdge(this, [this, withDefaults] {
    ShowListStatus(withDefaults);
    SearchLocalFiles();
    LoadList(false);
    FillFileListView();
  });
}

void TUpdateForm::ShowListStatus(bool withDefaults) {
  const QFileInfo list(QString::fromStdString(ListFile));
  if (list.exists() && list.isFile()) {
    const QDateTime t = list.lastModified();
    SinceDate = t.date().addDays(-1);
    const QLocale locale;
    const QString when = t.time() == QTime(0, 0) ? locale.toString(t.date(), QLocale::ShortFormat)
                                                 : locale.toString(t, QLocale::ShortFormat);
    StatusText->setText("You last retrieved a list of available ZEB files at " + when +
                        ".  Either press the \"Update List\" button to get a more current version of this list, or "
                        "select the files that you wish to download and press the \"Download\" button.");
  } else {
    StatusText->setText("You have not yet retrieved a list of available ZEB hint files.  Press the \"Update List\" "
                        "button to do so.");
  }
  if (withDefaults) {
    if (SinceDate.isValid()) {
      RadioButton2->setChecked(true);
    } else {
      SinceDate = QDate::currentDate();
    }
    const QSignalBlocker quiet(DateTimePicker1);
    DateTimePicker1->setDate(SinceDate);
  }
  ProcessPendingMessages();
}

void TUpdateForm::SearchLocalFiles() {
  LocalCatalog.clear();
  SearchCancel = Engine.CancelRequested ? 1 : 0;
  ScanHintFolder(THomeFolder::WithSlash(Options.InstallDir), LocalCatalog, SearchCancel,
                 THomeFolder::CatalogCacheFile(), ProcessPendingMessages);
  LocalSearchDone = SearchCancel == 0;
}

void TUpdateForm::LoadList(bool showNews) {
  Records = LoadFileList(ListFile, LocalCatalog, showNews, [this](const std::string& news) {
    const auto shown = NewsToShow(news, Options);
    if (!shown) return;
    bool skipNext = true;
    bool skipAll = Options.SkipUpdateMessages;
    Questions.SkippableMessage(this, "Download New Files", QString::fromStdString(*shown), true, skipNext, skipAll);
    Options.SkipUpdateMessages = skipAll;
    RememberNews(news, skipNext, Options);
  });
}

int TUpdateForm::Compare(const TFileRecord& a, const TFileRecord& b) const {
  int result = 0;
  switch (SortColumn) {
    case 0:
      result = QString::localeAwareCompare(TitleKey(a.Title), TitleKey(b.Title));
      break;
    case 1:
      result = QString::localeAwareCompare(QString::fromStdString(a.FileName).toUpper(),
                                           QString::fromStdString(b.FileName).toUpper());
      break;
    case 2:
      result = Sign(b.Updated.daysTo(a.Updated));
      break;
    default:
      result = Sign(static_cast<qint64>(a.Size) - b.Size);
      break;
  }
  return SortDescending ? -result : result;
}

void TUpdateForm::FillFileListView() {
  FileListView->setUpdatesEnabled(false);
  FileListView->clear();
  std::vector<std::size_t> shown;
  const QDate since = DateTimePicker1->date();
  for (std::size_t i = 0; i < Records.size(); ++i) {
    const TFileRecord& record = Records[i];
    const bool tooOld = RadioButton2->isChecked() && record.Updated != NoDate() && record.Updated < since;
    const bool present = record.HaveCurrent && CheckBox1->isChecked();
    if (!tooOld && !present) shown.push_back(i);
  }
  std::stable_sort(shown.begin(), shown.end(),
                   [this](std::size_t a, std::size_t b) { return Compare(Records[a], Records[b]) < 0; });
  for (const std::size_t i : shown) {
    const TFileRecord& record = Records[i];
    auto* row = new QTreeWidgetItem(FileListView, {QString::fromStdString(record.Title), QString::fromStdString(record.FileName),
                                                   QString::fromStdString(record.UpdatedText),
                                                   QString::fromStdString(record.SizeText)});
    row->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    row->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
  }
  // Dates are never cut: the column grows to the widest, from its standard width.
  FileListView->resizeColumnToContents(UpdatedColumn);
  if (FileListView->columnWidth(UpdatedColumn) < UpdatedColumnWidth)
    FileListView->setColumnWidth(UpdatedColumn, UpdatedColumnWidth);
  FileListView->setUpdatesEnabled(true);
}

std::vector<const TFileRecord*> TUpdateForm::Rows() const {
  std::vector<const TFileRecord*> rows;
  for (int i = 0; i < FileListView->topLevelItemCount(); ++i)
    rows.push_back(&Records[FileListView->topLevelItem(i)->data(0, Qt::UserRole).toULongLong()]);
  return rows;
}

void TUpdateForm::ColumnClick(int column) {
  SortDescending = column == SortColumn && !SortDescending;
  SortColumn = column;
  FillFileListView();
}

void TUpdateForm::UpdateButtonClick() {
  const TBusyRun busy(*this);
  RunAtEventEdge(this, [this] {
    if (!LocalSearchDone) SearchLocalFiles();
    if (Engine.RetrieveList()) {
      ShowListStatus(false);
      LoadList(true);
      FillFileListView();
    }
  });
}

void TUpdateForm::StopButtonClick() {
  SearchCancel = 1;
  Engine.Stop();
}

void TUpdateForm::OptionsButtonClick() {
  const std::string before = Options.InstallDir;
  RunDownloadingOptions(this, Options, Questions);
  if (EqualIgnoringCase(before, Options.InstallDir)) return;
  ListAgain(false);
}

void TUpdateForm::DownloadButtonClick() {
  std::vector<TFileRecord*> chosen;
  for (int i = 0; i < FileListView->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = FileListView->topLevelItem(i);
    if (row->isSelected()) chosen.push_back(&Records[row->data(0, Qt::UserRole).toULongLong()]);
  }
  if (chosen.empty()) {
    Questions.Message(this, "Cannot Download",
                      "You have not selected any files to download yet.  Click on at least one file in the available "
                      "files list before pressing the \"Download\" button.",
                      TDialogs::TIcon::None);
    return;
  }
  RunDownloads(chosen, true);
}

void TUpdateForm::DownloadFocusedRow() {
  QTreeWidgetItem* row = FileListView->currentItem();
  // No second run while one goes on.
  if (row == nullptr || Busy()) return;
  RunDownloads({&Records[row->data(0, Qt::UserRole).toULongLong()]}, false);
}

void TUpdateForm::RunDownloads(const std::vector<TFileRecord*>& records, bool clearProxy) {
  {
    const TBusyRun busy(*this);
    RunAtEventEdge(this, [&] {
      if (clearProxy) {
        Engine.Http.Proxy.clear();
        Engine.Http.ProxyPort.clear();
        Engine.Http.ModifiedSince = 0;
      }
      int successes = 0;
      for (std::size_t i = 0; i < records.size(); ++i) {
        // A copy kept at the user's word counts as a file in place.
        const auto outcome = Engine.DownloadOneFile(*records[i], i + 1 < records.size());
        if (outcome == TDownloadEngine::TOutcome::Done || outcome == TDownloadEngine::TOutcome::Declined) ++successes;
        if (Engine.CancelRequested) break;
      }
      if (Engine.CancelRequested) {
        StatusText->setText("Downloading cancelled.");
      } else if (successes > 0) {
        StatusText->setText("Downloading complete.  You may now view the files you have just downloaded by pressing "
                            "the \"Close this Window\" button and selecting \"Open\" or \"Open Hints by Title\" from "
                            "the \"File\" menu.");
      } else {
        StatusText->setText("Downloading complete.  No files were downloaded successfully.");
      }
    });
  }
  // The files on disk are listed again whatever the run's end.
  RunAtEventEdge(this, [this] {
    SearchLocalFiles();
    FillFileListView();
  });
}

void TUpdateForm::reject() {
  // Refused while busy, without a word; the result tells whether anything arrived.
  if (Busy()) return;
  done(Engine.DocumentBegun ? QDialog::Accepted : QDialog::Rejected);
}

void TUpdateForm::closeEvent(QCloseEvent* event) {
  if (Busy()) {
    event->ignore();
    return;
  }
  setResult(Engine.DocumentBegun ? QDialog::Accepted : QDialog::Rejected);
  QDialog::closeEvent(event);
}

int RunDownloadDialog(QWidget* owner, TOptions& options, TDialogs& dialogs, const std::string& listFile) {
  int result = QDialog::Rejected;
  {
    TUpdateForm form(owner, options, dialogs, listFile);
    result = form.exec();
  }
  if (!options.SkipUpdateAfterDownload && result == QDialog::Accepted) {
    bool skipNext = options.SkipUpdateAfterDownload;
    bool unused = false;
    dialogs.SkippableMessage(owner, "Download New Hints", AfterReminder, false, skipNext, unused);
    options.SkipUpdateAfterDownload = skipNext;
  }
  return result;
}
