#pragma once
// The "Download New Hints" dialog: the last retrieved update list in a
// sortable, filterable list, the hint files already present marked or
// hidden, "Update List" to fetch a fresh list, "Download" to fetch the
// selected files, and "Stop" while any of that runs. While busy, only Stop
// starts anything and the dialog refuses to close.

#include <vector>

#include <QDate>
#include <QDialog>

#include "downloader/catalog.h"
#include "downloader/downloadengine.h"
#include "downloader/updatelist.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class TDialogs;
struct TOptions;

class TUpdateForm : public QDialog {
  Q_OBJECT

 public:
  // listFile: "zebinet.dat"; dpi 0: the screen's.
  TUpdateForm(QWidget* owner, TOptions& options, TDialogs& dialogs, std::string listFile, int dpi = 0);
  ~TUpdateForm() override;

  void SetBusy(bool busy);
  bool Busy() const;
  // Busy for as long as it lives, however the work inside ends.
  class TBusyRun {
   public:
    explicit TBusyRun(TUpdateForm& form) : Form(form) { Form.SetBusy(true); }
    ~TBusyRun() { Form.SetBusy(false); }
    TBusyRun(const TBusyRun&) = delete;
    TBusyRun& operator=(const TBusyRun&) = delete;

   private:
    TUpdateForm& Form;
  };
  void InitialLoad();
  // The list file and the files on disk read again, and the rows refilled.
  void ListAgain(bool withDefaults);
  void ShowListStatus(bool withDefaults);
  void SearchLocalFiles();
  void LoadList(bool showNews);
  void FillFileListView();
  void ColumnClick(int column);
  void UpdateButtonClick();
  void StopButtonClick();
  void OptionsButtonClick();
  void DownloadButtonClick();
  // The double-click: the row with the keyboard focus, selected or not.
  void DownloadFocusedRow();
  // Every close request: refused while busy; OK when a document began.
  void reject() override;
  // The records behind the rows, top to bottom.
  std::vector<const TFileRecord*> Rows() const;

  QRadioButton* RadioButton1 = nullptr;
  QRadioButton* RadioButton2 = nullptr;
  QDateEdit* DateTimePicker1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QPushButton* UpdateButton = nullptr;
  QPushButton* OptionsButton = nullptr;
  QPushButton* DownloadButton = nullptr;
  QPushButton* StopButton = nullptr;
  QPushButton* CloseButton = nullptr;
  QTreeWidget* FileListView = nullptr;
  QLabel* StatusText = nullptr;

  std::vector<TFileRecord> Records;
  TCatalog LocalCatalog;
  int SortColumn = 0;
  static constexpr int UpdatedColumn = 2;
  int UpdatedColumnWidth = 0;  // its standard width, at this screen's resolution
  bool SortDescending = false;
  bool LocalSearchDone = false;
  QDate SinceDate;
  TDownloadEngine Engine;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void RunDownloads(const std::vector<TFileRecord*>& records, bool clearProxy);
  int Compare(const TFileRecord& a, const TFileRecord& b) const;

  TOptions& Options;
  TDialogs& Questions;
  std::string ListFile;
  bool Loaded = false;
  bool CursorSet = false;
  volatile std::uint8_t SearchCancel = 0;
};

// The main window's Download New Hints: the dialog, then the after-download
// reminder when it closed with OK. Returns the dialog's result.
int RunDownloadDialog(QWidget* owner, TOptions& options, TDialogs& dialogs, const std::string& listFile);
