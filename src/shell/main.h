#pragma once
// The main window: the window area that holds every hint window, the menu,
// the toolbar and the status bar, and the program-wide state: the open hint
// file, the help file, the settings and the search-results window.

#include <array>
#include <functional>
#include <memory>
#include <string>

#include <QMainWindow>
#include <QPointer>

#include "dialogs/dialogs.h"
#include "model/loader.h"
#include "settings/inifile.h"
#include "settings/options.h"
#include "shell/commandline.h"
#include "shell/commands.h"

class QAction;
class QDockWidget;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class TOutlinePane;
class TStringControl;
class THunk;
class TStringForm;
class TVerboseForm;

class TZEBMain : public QMainWindow {
  Q_OBJECT

 public:
  // programDir ends with "/": the help file "ZEBWIN.ZEB" lies there.
  TZEBMain(std::string programDir, std::vector<std::string> arguments);
  ~TZEBMain() override;

  // Opens a hint file, replacing the one that is open; reports failures.
  void OpenHintFile(const std::string& path);

  // Commands of the menu and the toolbar.
  void FileOpenClick();
  void FileDecodeClick();
  void FileSaveWebPageClick();
  void FileFindAllClick();
  void WindowsOutlineClick();
  // The outline pane and its dock; none until the outline is first shown.
  TOutlinePane* OutlinePane() const;
  QDockWidget* OutlineDock() const;  void FileFindClick();
  void FileInformationClick();
  void FileExitClick();
  void WindowsShowTopClick();
  void WindowsCloseAllClick();
  void WindowsCascadeClick();
  // Lays the windows that are not minimised out side by side above the
  // icons of the minimised ones.
  void WindowsTileClick();
  // Ctrl+F6, Ctrl+Shift+F6 and Alt+minus: the next and previous window,
  // and the active child window's own menu.
  void NextWindowClick();
  void PreviousWindowClick();
  void WindowMenuClick();
  void ArrangeIcons();
  // Appends the open windows to the Windows menu, replacing the last list:
  // the first nine, then "More Windows..." when there are more.
  void ListWindowsIn(QMenu& menu);
  // The list of every open window; the one chosen comes forward.
  void MoreWindowsClick();
  // Brings a child window forward, restoring it only when minimised.
  void ShowSubWindow(QMdiSubWindow* window);
  void OptionsResetMemoryClick();
  void FileVerboseClick();
  void FileDownloadClick();
  void OptionsSetClick();
  void HelpWebClick();
  void HelpContactClick();
  void HelpAboutClick();
  void FilePrintClick();
  void FilePrinterSetupClick();
  void HelpPrintClick();
  void WindowsSaveClick();
  void WindowsPrintClick();
  void WindowsCopyClick();
  void HelpShowClick();
  void MRU0Click(int slot);
  // Opens the help file's node of that title; false when there is none.
  bool ShowHelpTopic(const std::string& title);

  // Enables the commands that need an open file or an active hint window.
  void UpdateCommandStates();
  // Rebuilds the recent-files items of the File menu from the settings file.
  void LoadRecentFiles();

  THunk* FileRoot() const;
  THunk* HelpRoot() const;

  // The actions, by the menu item names of the program.
  QAction* Action(const char* name) const;

  // What the rest of the program, and the tests, may see of the window.
  QMdiArea* WindowArea() const { return Area; }
  TOptions& OptionsRecord() { return Options; }
  TIniFile& SettingsFile() { return Ini; }
  const std::string& CurrentFile() const { return CurrentFilePath; }
  const std::string& TitleFolder() const { return LastTitleFolder; }
  const TObjectList& OpenFileObjects() const { return FileObjects; }
  TStringForm* SearchResults() const;
  TVerboseForm* TitlesWindow() const;
  QPrinter& PrintSetup() { return *Printer; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // A hint file dragged from a file manager opens when it is dropped; of
  // several files, the first.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  std::string ProgramDir;
  std::string LastTitleFolder;
  std::string CurrentFilePath;
  std::string HelpFilePath;
  TOptions Options;
  TIniFile Ini;
  TObjectList FileObjects;
  TObjectList HelpObjects;
  QPointer<TStringForm> SearchWindow;
  QPointer<TStringForm> AllFilesWindow;
  QDockWidget* OutlineDockWidget = nullptr;
  TOutlinePane* OutlinePaneWidget = nullptr;  QPointer<TVerboseForm> TitleWindow;
  QMdiArea* Area = nullptr;
  // The printer of every print in this run; Printer Setup changes it.
  std::unique_ptr<QPrinter> Printer;

  void BuildMenus();
  // The separators and the four slots of the recent-files list.
  void AddRecentFileItems(QMenu& menu);
  void AddWindowKeys();
  void HandleCommandLine();
  // OpenHintFile's work; what it throws ends at OpenHintFile.
  // Opens the file at once; false when it did not load (then the user is
  // told why, unless quietFailure).
  bool OpenHintFileNow(const std::string& givenPath, bool quietFailure = false);
  // Saves the settings and the open file's hint memory; a failure is told
  // (at most once before closing, since opening saves too).
  void SaveSettingsNow(bool closing = false);
  void ReloadSettings();
  void ShowLoadError(const TLoadResult& result, const std::string& path);
  void ShowOutline(bool shown);
  void EnsureOutline();
  // The outline shows the open file (while it is shown) and selects the
  // active window's node.
  void OutlineFollowsFile();
  void OutlineFollowsActiveWindow();
  // The main window's place from the settings; and, at close, the place,
  // the outline's filter and (with the option) the file and its windows.
  void RestorePlacement();
  void RememberSession();
  // A window place (frame corner, inner size) moved and cut to fit the
  // available room of the screen that shows most of it, or of the primary
  // screen when none shows any of it.
  QRect OnScreen(QRect placed) const;
  // Fits the window again once it is shown, when its frame is known.
  void FitShownWindowOnScreen();
  // With the option on, the last file and its windows as they were left.
  void ReopenLastSession();
  // Opens the file (unless it is the open one) and then the node whose
  // header is at the line (none: the top window).
  void OpenHintFileAt(const std::string& path, std::int32_t line);
  // Asks where to write the open file in some form, writes it there and
  // tells the user when that failed.
  void SaveOpenFileAs(const TDialogs::TFileQuestion& question,
                      const std::function<bool(THunk& root, const std::string& path)>& write);
  // Lays out and repaints every open hint window in the settings' look.
  void RelayoutHintWindows();
  // The display control of the active hint window, or none.
  TStringControl* ActiveControl() const;
  void RestoreRememberedHints(THunk* root);

  std::vector<std::string> Arguments;
  bool FirstPaintDone = false;
  bool SettingsFailureShown = false;
  std::array<QAction*, 4> RecentActions{};
  QAction* RecentSeparator = nullptr;  // above the list, in the menu while it has a file
  QAction* RecentEnd = nullptr;        // below it, always there
  QMenu* RecentMenu = nullptr;
  std::vector<std::pair<QAction*, TEnabledWhen>> CommandStates;
};
