#include "shell/main.h"

#include <algorithm>
#include <functional>
#include <map>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "dialogs/dialogs.h"
#include "dialogs/pendingevents.h"
#include "display/displaycontext.h"
#include "display/outlinepane.h"
#include "display/qtdialogs.h"
#include "display/savequestion.h"
#include "display/stringchild.h"
#include "display/verboseform.h"
#include "downloader/fileinfo.h"
#include "model/creditsentry.h"
#include "model/datahunks.h"
#include "model/displaydocument.h"
#include "model/infohunk.h"
#include "model/loadmessages.h"
#include "model/metatexthunk.h"
#include "model/search.h"
#include "model/textcase.h"
#include "settings/filepaths.h"
#include "settings/homefolder.h"
#include "shell/abortbox.h"
#include "shell/filedrop.h"
#include "shell/busycursor.h"
#include "shell/centering.h"
#include "shell/commands.h"
#include "shell/decodetext.h"
#include "shell/findallfiles.h"
#include "shell/recentfiles.h"
#include "webpage/webpage.h"

namespace {
constexpr const char* HelpRootTitle = "ZEB Reader Documentation";
constexpr const char* NoHelpFile = "Unable to locate help file.";

QString Text(const std::string& bytes) { return QString::fromStdString(bytes); }

}  // namespace

// The icons are compiled into the shell library; a static library's
// resources are registered by hand.
static void RegisterIcons() { Q_INIT_RESOURCE(icons); }

TZEBMain::TZEBMain(std::string programDir, std::vector<std::string> arguments)
    : ProgramDir(std::move(programDir)), Ini(THomeFolder::SettingsFile()), Arguments(std::move(arguments)) {
  RegisterIcons();
  setWindowTitle("ZEB Reader");
  setWindowIcon(QIcon(":/icons/ZEBWIN"));
  resize(696, 481);
  Area = new QMdiArea(this);
  Area->setBackground(palette().color(QPalette::Dark));
  // Closing a window returns to the one the user came from; windows that
  // reach outside the area can be scrolled to.
  Area->setActivationOrder(QMdiArea::ActivationHistoryOrder);
  Area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  Area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(Area);
  setAcceptDrops(true);
  statusBar()->showMessage(" ");
  SetMainWindow(this);

  TDisplayContext& display = DisplayContext();
  display.Options = &Options;
  display.Area = Area;
  display.FileOfTree = [this](const TZEBObject& top) {
    for (const auto& object : HelpObjects)
      if (object.get() == &top) return HelpFilePath;
    return CurrentFilePath;
  };
  display.WindowClosed = [this](TStringForm& form) {
    if (SearchWindow == &form) SearchWindow = nullptr;
    if (AllFilesWindow == &form) AllFilesWindow = nullptr;
    if (TitleWindow == &form) {
      // The folder listed survives the window for the rest of the run.
      LastTitleFolder = TitleWindow->Folder();
      TitleWindow = nullptr;
    }
  };
  TFileHit::OpenHandler = [this](const TFileHit& hit) { OpenHintFileAt(hit.Path, hit.Line); };
  TFileInfo::OpenHandler = [this](TFileInfo& entry) {
    if (TitleWindow) OpenHintFile(TitleWindow->Folder() + entry.FileName);
  };
  display.ShowStatus = [this](const std::string& text) { statusBar()->showMessage(Text(text)); };
  Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  display.Printer = Printer.get();
  display.ShowProgress = [this](const QString& caption, volatile std::uint8_t* cancel) {
    return ShowAbortBox(this, caption, cancel);
  };
  InstallNodeOpening();
  UseQtDialogs();

  BuildMenus();
  AddWindowKeys();
  connect(Area, &QMdiArea::subWindowActivated, this, [this] {
    UpdateCommandStates();
    OutlineFollowsActiveWindow();
  });
  if (QAction* outline = Action("WindowsOutline")) outline->setCheckable(true);

  ReloadSettings();
  RestorePlacement();
  if (Options.ShowOutline) ShowOutline(true);
  HelpFilePath = THomeFolder::HelpFile(ProgramDir);
  LoadHintFile(HelpFilePath, HelpObjects, true);  // a missing help file only leaves the list empty
  LoadRecentFiles();
  UpdateCommandStates();
}

TZEBMain::~TZEBMain() {
  // The window area outlives this part of the window while it is torn
  // down: its signals must not reach it any more.
  disconnect(Area, nullptr, this, nullptr);
  if (OutlineDockWidget != nullptr) disconnect(OutlineDockWidget, nullptr, this, nullptr);
  DisplayContext() = TDisplayContext{};
  THunk::OpenHandler = nullptr;
  TFileInfo::OpenHandler = nullptr;
  TFileHit::OpenHandler = nullptr;
  ClearList(HelpObjects);
  ClearList(FileObjects);
}

QAction* TZEBMain::Action(const char* name) const { return findChild<QAction*>(name); }
TStringForm* TZEBMain::SearchResults() const { return SearchWindow; }
TVerboseForm* TZEBMain::TitlesWindow() const { return TitleWindow; }

void TZEBMain::BuildMenus() {
  auto* toolbar = addToolBar("Toolbar");
  toolbar->setObjectName("Toolbar");
  toolbar->setMovable(false);
  toolbar->setIconSize(QSize(25, 25));
  // The toolbar's own button for what does not fit, named for screen readers.
  if (auto* more = toolbar->findChild<QToolButton*>("qt_toolbar_ext_button")) {
    more->setAccessibleName("More toolbar buttons");
    more->setToolTip("More toolbar buttons");
  }
  std::map<std::string, QMenu*> menus;
  std::vector<std::pair<const TToolButton*, QAction*>> buttons;
  for (const TCommand& command : MainCommands()) {
    QMenu*& menu = menus[command.Menu];
    if (menu == nullptr) menu = menuBar()->addMenu(command.Menu);
    if (command.SeparatorBefore) menu->addSeparator()->setStatusTip(" ");
    if (command.RecentFilesBefore) AddRecentFileItems(*menu);
    auto* action = new QAction(command.Caption, this);
    action->setObjectName(command.Name);
    action->setShortcut(command.Shortcut);
    action->setStatusTip(command.Hint);
    connect(action, &QAction::triggered, this, command.Run);
    menu->addAction(action);
    CommandStates.emplace_back(action, command.Enabled);
    if (command.Button.Image != nullptr) {
      action->setIcon(QIcon(QString(":/icons/") + command.Button.Image));
      action->setToolTip(command.Button.Tip);
      buttons.emplace_back(&command.Button, action);
    }
  }
  std::stable_sort(buttons.begin(), buttons.end(),
                   [](const auto& a, const auto& b) { return a.first->Left < b.first->Left; });
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (i > 0 && buttons[i].first->Left - buttons[i - 1].first->Left > ToolButtonStep) toolbar->addSeparator();
    toolbar->addAction(buttons[i].second);
  }
  // The Windows menu ends with the list of open windows, the active one checked.
  QMenu* windows = menus["&Windows"];
  windows->setObjectName("Windows");
  connect(windows, &QMenu::aboutToShow, this, [this, windows] { ListWindowsIn(*windows); });
}

void TZEBMain::AddRecentFileItems(QMenu& menu) {
  // Only the slots that hold a file are in the menu (LoadRecentFiles), so
  // that no empty item is shown or read out.
  RecentMenu = &menu;
  RecentSeparator = new QAction(this);
  RecentSeparator->setSeparator(true);
  for (int slot = 0; slot < 4; ++slot) {
    auto* recent = new QAction(this);
    recent->setObjectName(QString("MRU%1").arg(slot));
    connect(recent, &QAction::triggered, this, [this, slot] { MRU0Click(slot); });
    RecentActions[slot] = recent;
  }
  RecentEnd = menu.addSeparator();
  RecentEnd->setStatusTip(" ");
}

void TZEBMain::UpdateCommandStates() {
  const bool fileOpen = FileRoot() != nullptr;
  QMdiSubWindow* active = Area->activeSubWindow();
  const bool hintWindow = active != nullptr && qobject_cast<TStringForm*>(active->widget()) != nullptr;
  for (const auto& [action, when] : CommandStates)
    action->setEnabled(when == TEnabledWhen::Always || (when == TEnabledWhen::FileOpen ? fileOpen : hintWindow));
}

THunk* TZEBMain::FileRoot() const { return ListRootNode(FileObjects); }

THunk* TZEBMain::HelpRoot() const { return ListRootNode(HelpObjects); }

// ---- settings -----------------------------------------------------------------

void TZEBMain::ReloadSettings() {
  LoadSettings(Ini, Options, TBrowserDefaults::FromEnvironment(), THomeFolder::DefaultHintFolder());
}

void TZEBMain::SaveSettingsNow(bool closing) {
  const THunk* root = FileRoot();
  if (SaveSettings(Ini, Options, root != nullptr && !CurrentFilePath.empty() ? &CurrentFilePath : nullptr, root))
    return;
  // The file keeps what it held before. Said once while the reader runs,
  // and again at close, when what is in memory is about to go.
  if (SettingsFailureShown && !closing) return;
  SettingsFailureShown = true;
  Dialogs().Message(this, "Error",
                    "The settings could not be saved (" + Text(Ini.LastError()) +
                        ").  The settings file keeps what it held before.",
                    TDialogs::TIcon::Stop);
}

// ---- start and close ----------------------------------------------------------

void TZEBMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (FirstPaintDone) return;
  FirstPaintDone = true;
  FitShownWindowOnScreen();
  // The command line runs once the window has been drawn.
  QTimer::singleShot(0, this, [this] { HandleCommandLine(); });
}

void TZEBMain::HandleCommandLine() {
  ProcessPendingMessages();
  const TCommandLine line = ParseCommandLine(Arguments);
  if (line.File) {
    OpenHintFile(*line.File);
  } else {
    ReopenLastSession();
  }
  if (line.Help) HelpShowClick();
  if (line.Verbose) FileVerboseClick();
  if (line.Update) FileDownloadClick();
}

void TZEBMain::dragEnterEvent(QDragEnterEvent* event) {
  if (FirstDroppedFile(event->mimeData())) event->acceptProposedAction();
}

void TZEBMain::dragMoveEvent(QDragMoveEvent* event) {
  if (FirstDroppedFile(event->mimeData())) event->acceptProposedAction();
}

void TZEBMain::dropEvent(QDropEvent* event) {
  const std::optional<std::string> path = FirstDroppedFile(event->mimeData());
  if (!path) return;
  event->acceptProposedAction();
  activateWindow();
  OpenHintFile(*path);
}

void TZEBMain::closeEvent(QCloseEvent* event) {
  RememberSession();
  SaveSettingsNow(true);
  if (OutlinePaneWidget != nullptr) OutlinePaneWidget->SetRoot(nullptr);
  if (SearchWindow) SearchWindow->CloseWindow();
  if (TitleWindow) TitleWindow->CloseWindow();
  ClearList(HelpObjects);
  ClearList(FileObjects);
  event->accept();
}

void TZEBMain::FileExitClick() { close(); }

// ---- opening ------------------------------------------------------------------

void TZEBMain::FileOpenClick() {
  TDialogs::TFileQuestion question;
  question.Title = "Open Hint File";
  question.Filter = "ZEB Hint Files (*.ZEB *.zeb *.Zeb);;All Files (*)";
  question.DefaultExtension = "ZEB";
  question.Folder = Text(Options.InstallDir);
  const auto path = Dialogs().OpenFile(this, question);
  if (path) OpenHintFile(path->toStdString());
}

void TZEBMain::ShowLoadError(const TLoadResult& result, const std::string& path) {
  const std::string message = LoadErrorMessage(result.Code, path, result.Damage);
  if (message.empty()) return;
  if (result.Code == LoadResult::ZipArchive) {
    if (Dialogs().Message(this, "Error", Text(message), TDialogs::TIcon::Stop, true) == TDialogs::TAnswer::Help &&
        !ShowHelpTopic("Unzipping ZIP Files"))
      Dialogs().Message(this, "Error", NoHelpFile, TDialogs::TIcon::None);
    return;
  }
  Dialogs().Message(this, "Error", Text(message), TDialogs::TIcon::Stop);
}

void TZEBMain::RestoreRememberedHints(THunk* root) {
  if (root == nullptr) return;
  std::string record = ReadHintsShownRecord(Ini, CurrentFilePath);
  if (!record.empty()) root->RestoreHintsShown(record);
  if (!root->HintsShownValid()) root->ResetHintsShown();
}

void TZEBMain::OpenHintFile(const std::string& givenPath) {
  RunAtEventEdge(this, [&] { OpenHintFileNow(givenPath); });
}

void TZEBMain::OpenHintFileAt(const std::string& path, std::int32_t line) {
  RunAtEventEdge(this, [this, path, line] {
    if (FileRoot() == nullptr || AbsoluteCleanPath(path) != CurrentFilePath) {
      OpenHintFileNow(path);
      // A file that did not load has told the user why.
      if (FileRoot() == nullptr || AbsoluteCleanPath(path) != CurrentFilePath) return;
    }
    if (THunk* node = line > 0 ? FileRoot()->FindByLine(line) : nullptr) node->Open();
  });
}

bool TZEBMain::OpenHintFileNow(const std::string& givenPath, bool quietFailure) {
  const TBusyCursor busy;
  SaveSettingsNow();
  // The recent files and the hint memory keep a path that still names the
  // file when the reader is started from another folder.
  const std::string path = AbsoluteCleanPath(givenPath);
  // The new file loads into a list of its own: a file that fails to load
  // leaves the open one, and its windows, as they were.
  TObjectList loaded;
  const TLoadResult result = LoadHintFile(path, loaded, false);
  if (!result.Loaded()) {
    ClearList(loaded);
    // The message names the file as the user gave it.
    if (!quietFailure) ShowLoadError(result, givenPath);
    UpdateCommandStates();
    statusBar()->showMessage(" ");
    return false;
  }
  // The results of a search in the old file go with it, only now that the
  // new one has loaded.
  if (SearchWindow) SearchWindow->CloseWindow();
  if (OutlinePaneWidget != nullptr) OutlinePaneWidget->SetRoot(nullptr);  // the old tree goes
  ClearList(FileObjects);
  FileObjects = std::move(loaded);
  THunk* root = FileRoot();
  // The program's own help file opened by hand: show the copy loaded at start.
  const bool helpFile = UpperCaseAtoZ(path).find("/ZEBWIN.ZEB") != std::string::npos && root != nullptr &&
                        root->Text == HelpRootTitle;
  if (helpFile) {
    Dialogs().Message(this, "ZEB Help File",
                      "The file that you have opened is the on-line help file for this program.  For future reference, "
                      "you can access the file directly by selecting 'Show Help File' from the 'Help' menu or by "
                      "pressing F1.  You can even view the help file when another ZEB hint file is already open.",
                      TDialogs::TIcon::None);
    ClearList(FileObjects);
    HelpShowClick();
    root = nullptr;
  } else {
    if (root != nullptr && Options.DisplayInfo) AppendCreditsEntry(FileObjects, *root);
    CurrentFilePath = path;
    AddRecentFile(Ini, path, root != nullptr ? root->Text : std::string());
    LoadRecentFiles();
  }
  ReloadSettings();
  OutlineFollowsFile();
  if (root != nullptr) root->Open();
  if (!helpFile) RestoreRememberedHints(root);
  UpdateCommandStates();
  statusBar()->showMessage(" ");
  return true;
}

// ---- recent files -------------------------------------------------------------

void TZEBMain::LoadRecentFiles() {
  const TRecentSlots recent = ReadRecentFiles(Ini);
  RecentMenu->removeAction(RecentSeparator);
  for (QAction* action : RecentActions) RecentMenu->removeAction(action);
  if (!recent[0].Path.empty()) RecentMenu->insertAction(RecentEnd, RecentSeparator);
  for (int n = 0; n < 4; ++n) {
    const std::string caption = RecentCaption(n, recent[n].Path);
    if (caption.empty()) continue;
    RecentActions[n]->setText(Text(caption));
    RecentMenu->insertAction(RecentEnd, RecentActions[n]);
  }
}

void TZEBMain::MRU0Click(int slot) {
  const std::string path = ReadRecentFiles(Ini)[slot].Path;
  if (!path.empty()) OpenHintFile(path);
}

// ---- commands on the open file ------------------------------------------------

void TZEBMain::SaveOpenFileAs(const TDialogs::TFileQuestion& question,
                              const std::function<bool(THunk& root, const std::string& path)>& write) {
  THunk* root = FileRoot();
  if (root == nullptr) return;
  const auto path = AskFileToWrite(this, question);
  if (!path) return;
  const TBusyCursor busy;
  if (!write(*root, path->toStdString())) ReportCannotWrite(this, *path);
}

void TZEBMain::FileDecodeClick() {
  TDialogs::TFileQuestion question;
  question.Title = "Save File As";
  question.Filter = "Text Files (*.TXT *.txt);;All Files (*)";
  question.InitialName = Text(OfferedFileName(CurrentFilePath, ".TXT"));
  question.DefaultExtension = "TXT";
  SaveOpenFileAs(question, WriteDecodedText);
}

void TZEBMain::FileSaveWebPageClick() {
  TDialogs::TFileQuestion question;
  question.Title = "Save as Web Page";
  question.Filter = "Web Pages (*.html *.htm);;All Files (*)";
  question.InitialName = Text(OfferedFileName(CurrentFilePath, ".html"));
  question.DefaultExtension = "html";
  SaveOpenFileAs(question, [this](THunk& root, const std::string& path) {
    std::string error;
    return WriteWebPageFile(root, CurrentFilePath, path, TAtomicFile::TLinks::Follow, error) == TPageFileResult::Written;
  });
}

void TZEBMain::FileFindClick() {
  THunk* root = FileRoot();
  if (root == nullptr) return;
  const auto phrase = Dialogs().GetText(this, "Find Text", "Enter search phrase (it is not case-sensitive)", QString());
  if (!phrase) return;
  bool found = false;
  std::unique_ptr<TMetaTextHunk> results = FindInFile(*root, phrase->toStdString(), &found);
  if (!found) {
    Dialogs().Message(this, Text(results->Text), "No hints were found with the requested string.",
                      TDialogs::TIcon::Stop);
    return;
  }
  if (SearchWindow) SearchWindow->CloseWindow();
  SearchWindow = ShowHintWindow(*results.release(), true);
}

void TZEBMain::FileInformationClick() {
  if (TZEBObject* info = FindByKind(FileObjects, Kind::Info)) {
    info->Open();
    return;
  }
  if (FileObjects.size() == 1) {
    if (const auto* root = dynamic_cast<TItemsHunk*>(FileObjects.front().get())) {
      for (TZEBObject* item : root->Items)
        if (item->IsNode() && item->KindCode() == Kind::Credit) {
          item->Open();
          return;
        }
    }
  } else if (TZEBObject* version = FindByKind(FileObjects, Kind::VerHunk)) {
    version->Open();
    return;
  }
  Dialogs().Message(this, "File Information",
                    "This ZEB file does not contain an information block.  See the \"About this ZEB File\" section of "
                    "the file, if one exists, for information about this file.",
                    TDialogs::TIcon::Information);
}

void TZEBMain::OptionsResetMemoryClick() {
  if (THunk* root = FileRoot()) root->ResetHintsShown();
}

bool TZEBMain::ShowHelpTopic(const std::string& title) {
  THunk* root = HelpRoot();
  THunk* node = root != nullptr ? root->FindByTitle(title) : nullptr;
  if (node == nullptr) return false;
  node->Open();
  return true;
}

void TZEBMain::HelpShowClick() {
  THunk* root = HelpRoot();
  if (root == nullptr) {
    Dialogs().Message(this, "Error", NoHelpFile, TDialogs::TIcon::None);
    return;
  }
  if (!ShowHelpTopic("Help File Index")) root->Open();
}
