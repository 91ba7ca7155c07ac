// The commands on the open file: Decode to Text and Find in File with their
// dialogs, Information, Show Top Window, Close All, Reset Hints Shown, and
// the help file.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include <QMenu>
#include <QAccessible>
#include <QAction>
#include <QToolBar>
#include <QToolButton>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QClipboard>
#include <QPageSize>
#include <QPrinter>

#include <sys/resource.h>

#include "display/stringchild.h"
#include "model/displaydocument.h"
#include "model/itemshunk.h"
#include "model/metatexthunk.h"
#include "shell/mainfixture.h"
#include "support/pdftext.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> FolderListing(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

TMetaTextHunk* Meta(THunk* node) { return dynamic_cast<TMetaTextHunk*>(node); }

// Child windows not closed (the main window itself is never shown here).
int OpenSubWindows(const TZEBMain& main) {
  int open = 0;
  for (QMdiSubWindow* window : main.WindowArea()->subWindowList())
    if (!window->isHidden()) ++open;
  return open;
}

}  // namespace

// ---- Decode to Text ---------------------------------------------------------------

TEST_F(MainWindowTest, DecodeAsksForAFileAndWritesTheDecodedTree) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  const std::string out = (Files.Path() / "moonfall.txt").string();
  Dialogs.Answers = {QString::fromStdString(out)};
  main.Action("FileDecode")->trigger();

  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Kind, "save");
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Save File As");
  EXPECT_TRUE(Dialogs.Asked[0].Text.contains("*.TXT")) << Dialogs.Asked[0].Text.toStdString();
  const std::string written = ReadFile(out);
  EXPECT_EQ(written.rfind("ZEB: Hints for Moonfall\r\n\r\n\r\n", 0), 0u) << written.substr(0, 60);
  std::ostringstream expected;
  DecodeToText(*main.FileRoot(), expected);
  EXPECT_EQ(written, expected.str());
  EXPECT_NE(written.find("Pull the lever twice."), std::string::npos);  // every hint revealed
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // Decoding again to the same file replaces its content.
  Dialogs.Answers = {QString::fromStdString(out)};
  main.FileDecodeClick();
  EXPECT_EQ(ReadFile(out), expected.str());
}

// The dialog offers a plain name; a name that is still a pattern is refused
// and the question asked again.
TEST_F(MainWindowTest, DecodeOffersAPlainNameAndRefusesWildcards) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame("Moon Fall.ZEB"));
  const std::string out = (Files.Path() / "moon.txt").string();
  Dialogs.Answers = {QString::fromStdString((Files.Path() / "*.TXT").string()),
                     QString::fromStdString((Files.Path() / "a?.txt").string()), QString::fromStdString(out)};
  main.FileDecodeClick();

  std::vector<TScriptedDialogs::TAsked> saves;
  for (const auto& asked : Dialogs.Asked)
    if (asked.Kind == "save") saves.push_back(asked);
  ASSERT_EQ(saves.size(), 3u);
  EXPECT_EQ(saves[0].Initial, "Moon Fall.TXT");
  EXPECT_TRUE(saves[0].Text.startsWith("Text Files (*.TXT")) << saves[0].Text.toStdString();
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_TRUE(Messages()[0].Text.contains("*.TXT")) << Messages()[0].Text.toStdString();
  EXPECT_TRUE(Messages()[1].Text.contains("a?.txt")) << Messages()[1].Text.toStdString();
  EXPECT_EQ(FolderListing(Files.Path()), (std::set<std::string>{"Moon Fall.ZEB", "moon.txt"}));
  EXPECT_EQ(ReadFile(out).rfind("ZEB: Hints for Moonfall\r\n", 0), 0u);
}

// An output that cannot be created or written in full is reported, and no
// partial file is left behind.
TEST_F(MainWindowTest, DecodeThatCannotWriteSaysSoAndLeavesNoPartialFile) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  const std::string noFolder = (Files.Path() / "missing" / "out.txt").string();
  const std::string aFolder = Files.Path().string();
  for (const std::string& path : {noFolder, aFolder}) {
    SCOPED_TRACE(path);
    Dialogs.Asked.clear();
    Dialogs.Answers = {QString::fromStdString(path)};
    main.FileDecodeClick();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Caption, "Error");
    EXPECT_EQ(Messages()[0].Icon, TDialogs::TIcon::Stop);
    EXPECT_TRUE(Messages()[0].Text.startsWith(QString::fromStdString(path) + " could not be written."))
        << Messages()[0].Text.toStdString();
  }
  EXPECT_FALSE(std::filesystem::exists(noFolder));

  // A disk that fills up part way: the process may write no more than 200
  // bytes to a file, far less than the decoded text.
  const std::string out = (Files.Path() / "full.txt").string();
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 200;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Dialogs.Asked.clear();
  Dialogs.Answers = {QString::fromStdString(out)};
  main.FileDecodeClick();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_TRUE(Messages()[0].Text.contains("could not be written")) << Messages()[0].Text.toStdString();
  EXPECT_FALSE(std::filesystem::exists(out)) << "the partial output is removed";
}

TEST_F(MainWindowTest, DecodeCancelledWritesNothing) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  const auto filesBefore = FolderListing(Files.Path());
  const auto homeBefore = FolderListing(Home.Folder().Path());
  Dialogs.Answers = {std::nullopt};
  main.FileDecodeClick();
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Kind, "save");
  EXPECT_EQ(FolderListing(Files.Path()), filesBefore);
  EXPECT_EQ(FolderListing(Home.Folder().Path()), homeBefore);
}

TEST_F(MainWindowTest, DecodeDoesNotChangeTheHintsShown) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  Meta(FileNode("Where is the key?"))->HintsShown = 1;
  Dialogs.Answers = {QString::fromStdString((Files.Path() / "out.txt").string())};
  main.FileDecodeClick();
  EXPECT_EQ(Meta(FileNode("Where is the key?"))->HintsShown, 1);
  EXPECT_EQ(OpenSubWindows(main), 1);  // the document is never shown
}

// ---- Find in File -----------------------------------------------------------------

TEST_F(MainWindowTest, FindAsksForAPhraseAndShowsTheResultsWindow) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  Dialogs.Answers = {QString("LEVER")};
  main.Action("FileFind")->trigger();

  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Kind, "text");
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Find Text");
  EXPECT_EQ(Dialogs.Asked[0].Text, "Enter search phrase (it is not case-sensitive)");
  ASSERT_TRUE(main.SearchResults());
  TItemsHunk* results = main.SearchResults()->Node();
  ASSERT_NE(results, nullptr);
  EXPECT_EQ(results->Text, "Search Results for \"LEVER\"");
  ASSERT_FALSE(results->Items.empty());
  EXPECT_NE(results->Items.front()->Text, " ");
  bool linksToQuestion = false;
  for (const TZEBObject* item : results->Items) linksToQuestion |= item->Text == "How do I open the gate?";
  EXPECT_TRUE(linksToQuestion);
}

TEST_F(MainWindowTest, FindWithoutMatchesReportsItAndKeepsTheResultsWindow) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  FindInFile(main, "mat");
  ASSERT_TRUE(main.SearchResults());
  const QPointer<TStringForm> first = main.SearchResults();

  FindInFile(main, " xyzzy ");
  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Caption, "Search Results for \" xyzzy \"");
  EXPECT_EQ(messages[0].Text, "No hints were found with the requested string.");
  EXPECT_EQ(messages[0].Icon, TDialogs::TIcon::Stop);
  FlushDeletes();
  ASSERT_TRUE(first);
  EXPECT_EQ(main.SearchResults(), first.data());
  ASSERT_NE(first->SubWindow(), nullptr);
  EXPECT_FALSE(first->SubWindow()->isHidden());
}

TEST_F(MainWindowTest, ASecondSearchReplacesTheResultsWindow) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  FindInFile(main, "mat");
  const QPointer<TStringForm> first = main.SearchResults();
  ASSERT_TRUE(first);

  FindInFile(main, "lever");
  FlushDeletes();
  EXPECT_FALSE(first);
  ASSERT_TRUE(main.SearchResults());
  EXPECT_EQ(main.SearchResults()->Node()->Text, "Search Results for \"lever\"");
  EXPECT_EQ(OpenSubWindows(main), 2);  // the root window and one results window
}

// The results window belongs to the open file: a file that fails to load
// leaves it open with the rest; one that loads closes it.
TEST_F(MainWindowTest, TheResultsWindowGoesOnlyWhenAnotherFileLoads) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  FindInFile(main, "lever");
  const QPointer<TStringForm> results = main.SearchResults();
  ASSERT_TRUE(results);
  main.OpenHintFile(Files.Write("BROKEN.ZEB", "not a hint file\r\n"));
  FlushDeletes();
  EXPECT_TRUE(results) << "a failed open closed the results window";
  EXPECT_EQ(main.SearchResults(), results.data());
  main.OpenHintFile(SaveGame("OTHER.ZEB"));
  FlushDeletes();
  EXPECT_FALSE(results);
  EXPECT_FALSE(main.SearchResults());
}

TEST_F(MainWindowTest, FindCancelledChangesNothing) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  Dialogs.Answers = {std::nullopt};
  main.FileFindClick();
  EXPECT_FALSE(main.SearchResults());
  EXPECT_EQ(Messages().size(), 0u);
}

TEST_F(MainWindowTest, APhraseOnlyInTheRootGivesAnEmptyResultsWindow) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  FindInFile(main, "chapter one");
  EXPECT_EQ(Messages().size(), 0u);
  ASSERT_TRUE(main.SearchResults());
  EXPECT_TRUE(main.SearchResults()->Node()->Items.empty());
}

TEST_F(MainWindowTest, OpeningAnotherFileClosesTheResultsWindow) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  FindInFile(main, "lever");
  const QPointer<TStringForm> results = main.SearchResults();
  ASSERT_TRUE(results);

  main.OpenHintFile(Save("OTHER.ZEB", GameFileWriter("Other")));
  FlushDeletes();
  EXPECT_FALSE(main.SearchResults());
  EXPECT_FALSE(results);
}

// ---- Information ------------------------------------------------------------------

TEST_F(MainWindowTest, InformationOpensTheInfoNodeOfANewerFile) {
  for (const bool withInfoHunk : {true, false}) {
    SCOPED_TRACE(withInfoHunk);
    Main.reset();
    THintFileWriter writer = GameFileWriter("Moonfall", "95b");
    if (!withInfoHunk) writer.Hunks.pop_back();
    TZEBMain& main = Start();
    main.OpenHintFile(Save("GAME.ZEB", writer));
    THunk* info = dynamic_cast<THunk*>(FindByKind(main.OpenFileObjects(), Kind::Info));
    ASSERT_NE(info, nullptr);
    main.Action("FileInformation")->trigger();
    EXPECT_TRUE(WindowOpen(info));
    EXPECT_FALSE(WindowOpen(dynamic_cast<THunk*>(FindByKind(main.OpenFileObjects(), Kind::VerHunk))));
    EXPECT_EQ(Messages().size(), 0u);
  }
}

TEST_F(MainWindowTest, InformationOnAnOldFileOpensTheAuthorsNoteOrSaysThereIsNone) {
  const std::string noText =
      "This ZEB file does not contain an information block.  See the \"About this ZEB File\" section of the file, if "
      "one exists, for information about this file.";
  for (const bool withNote : {true, false}) {
    SCOPED_TRACE(withNote);
    Main.reset();
    Dialogs.Asked.clear();
    THintFileWriter writer;
    writer.EndMarker = false;
    writer.Title88a = "Old Game";
    writer.Subjects = {{"The Cave", {{"How do I get in", {"Look around.", "Use the rope."}}}}};
    if (withNote) writer.NoteLines = {"Hints by Jo."};
    TZEBMain& main = Start();
    main.OpenHintFile(Save("OLD.ZEB", writer));
    ASSERT_EQ(main.OpenFileObjects().size(), 1u);
    main.FileInformationClick();
    THunk* note = FileNode("A note from the author");
    if (withNote) {
      ASSERT_NE(note, nullptr);
      EXPECT_EQ(note->KindCode(), Kind::Credit);
      EXPECT_TRUE(WindowOpen(note));
      EXPECT_EQ(Messages().size(), 0u);
    } else {
      EXPECT_EQ(note, nullptr);
      ASSERT_EQ(Messages().size(), 1u);
      EXPECT_EQ(Messages()[0].Caption, "File Information");
      EXPECT_EQ(Messages()[0].Text.toStdString(), noText);
      EXPECT_EQ(Messages()[0].Icon, TDialogs::TIcon::Information);
    }
  }
}

// ---- window commands and Reset Hints Shown -----------------------------------------

TEST_F(MainWindowTest, CloseAllClosesEveryWindowAndShowTopReopensTheRoot) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  FileNode("Chapter One")->Open();
  FileNode("Where is the key?")->Open();
  FindInFile(main, "lever");
  ASSERT_TRUE(main.SearchResults());
  ASSERT_EQ(OpenSubWindows(main), 4);

  main.Action("WindowsCloseAll")->trigger();
  FlushDeletes();
  EXPECT_EQ(OpenSubWindows(main), 0);
  EXPECT_FALSE(main.SearchResults());
  EXPECT_FALSE(WindowOpen(main.FileRoot()));
  EXPECT_FALSE(WindowOpen(FileNode("Where is the key?")));
  ASSERT_NE(main.FileRoot(), nullptr);  // the file stays open
  EXPECT_TRUE(main.Action("WindowsShowTop")->isEnabled());

  main.Action("WindowsShowTop")->trigger();
  EXPECT_TRUE(WindowOpen(main.FileRoot()));
  EXPECT_EQ(OpenSubWindows(main), 1);
  main.WindowsShowTopClick();  // an open window is brought forward, not doubled
  EXPECT_EQ(OpenSubWindows(main), 1);
}

TEST_F(MainWindowTest, ResetHintsShownClearsEveryHintList) {
  TZEBMain& main = Start();
  const std::string path = SaveGame();
  main.OpenHintFile(path);
  Meta(FileNode("How do I open the gate?"))->HintsShown = 2;
  Meta(FileNode("Where is the key?"))->HintsShown = 3;
  main.Action("OptionsResetMemory")->trigger();
  EXPECT_EQ(Meta(FileNode("How do I open the gate?"))->HintsShown, 0);
  EXPECT_EQ(Meta(FileNode("Where is the key?"))->HintsShown, 0);
  // The next save stores the cleared record.
  main.OpenHintFile(path);
  EXPECT_EQ(Meta(FileNode("Where is the key?"))->HintsShown, 0);
}

// ---- Help -------------------------------------------------------------------------

TEST_F(MainWindowTest, ShowHelpOpensTheIndexOrTheTopOfTheHelpFile) {
  struct TCase {
    THelpFile Help;
    const char* Opens;  // title of the node whose window opens; none = message
  };
  const TCase cases[] = {
      {THelpFile::Full, "Help File Index"},
      {THelpFile::WithoutIndex, "ZEB Reader Documentation"},
      {THelpFile::None, nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Help));
    Main.reset();
    std::filesystem::remove(HelpPath());
    Dialogs.Asked.clear();
    TZEBMain& main = Start(c.Help);
    main.Action("HelpShow")->trigger();
    if (c.Opens != nullptr) {
      EXPECT_TRUE(WindowOpen(HelpNode(c.Opens)));
      EXPECT_EQ(OpenSubWindows(main), 1);
      EXPECT_TRUE(Dialogs.Asked.empty());
    } else {
      EXPECT_EQ(main.HelpRoot(), nullptr);
      ASSERT_EQ(Dialogs.Asked.size(), 1u);
      EXPECT_EQ(Dialogs.Asked[0].Caption, "Error");
      EXPECT_EQ(Dialogs.Asked[0].Text, "Unable to locate help file.");
      EXPECT_EQ(Dialogs.Asked[0].Icon, TDialogs::TIcon::None);
    }
    // The help file is never the open hint file.
    EXPECT_EQ(main.FileRoot(), nullptr);
  }
}

TEST_F(MainWindowTest, HelpFileIsShownBesideAnOpenHintFile) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  THunk* root = main.FileRoot();
  main.HelpShowClick();
  EXPECT_TRUE(WindowOpen(HelpNode("Help File Index")));
  EXPECT_EQ(main.FileRoot(), root);
  EXPECT_TRUE(WindowOpen(root));
}

// The Windows menu lists the open windows, the active one checked; choosing
// one brings it forward.
TEST_F(MainWindowTest, WindowsMenuListsTheOpenWindows) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  FileNode("Chapter One")->Open();
  auto* menu = main.findChild<QMenu*>("Windows");
  ASSERT_NE(menu, nullptr);
  const auto entries = [menu] {
    QStringList captions;
    for (QAction* action : menu->actions())
      if (action->property("windowEntry").toBool() && !action->isSeparator())
        captions << action->text() + (action->isChecked() ? " *" : "");
    return captions;
  };
  emit menu->aboutToShow();
  const QString root = QString::fromStdString(main.FileRoot()->Text);
  EXPECT_EQ(entries(), QStringList({"&1 " + root, "&2 Chapter One *"}));

  for (QAction* action : menu->actions())
    if (action->text() == "&1 " + root) action->trigger();
  emit menu->aboutToShow();  // the list is made anew, not appended to
  EXPECT_EQ(entries(), QStringList({"&1 " + root + " *", "&2 Chapter One"}));
}

// The toolbar in its four groups: open, find-decode-print-top, the
// window's own commands, help. Every button is named for screen readers,
// the toolbar's own extension button too.
TEST_F(MainWindowTest, TheToolbarHoldsItsButtonsInTheirGroups) {
  TZEBMain& main = Start();
  auto* toolbar = main.findChild<QToolBar*>("Toolbar");
  ASSERT_NE(toolbar, nullptr);
  QStringList order;
  for (QAction* action : toolbar->actions()) order << (action->isSeparator() ? "|" : action->objectName());
  EXPECT_EQ(order, QStringList({"FileOpen", "FileVerbose", "FileDownload", "|", "FileFind", "FileDecode", "FilePrint",
                                "WindowsShowTop", "|", "WindowsSave", "WindowsPrint", "WindowsCopy", "|", "HelpShow"}));
  for (QToolButton* button : toolbar->findChildren<QToolButton*>()) {
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(node, nullptr);
    EXPECT_FALSE(node->text(QAccessible::Name).isEmpty()) << button->objectName().toStdString() << " has no name";
  }
#ifndef Q_OS_WIN
  // Only Windows has dialogs of its own name.
  EXPECT_EQ(main.Action("FileOpen")->statusTip(), "Opens a new hint file using the standard dialog boxes");
#endif
}

// ---- printing and the window commands ------------------------------------------------

namespace {

// The program's printer made a PDF printer writing to the path.
void PrintToPdf(TZEBMain& main, const std::string& path) {
  main.PrintSetup().setOutputFormat(QPrinter::PdfFormat);
  main.PrintSetup().setOutputFileName(QString::fromStdString(path));
}

}  // namespace

TEST_F(MainWindowTest, PrintFileHeadsEveryPageWithHintsForTheTitle) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  ASSERT_TRUE(main.Action("FilePrint")->isEnabled());
  const std::string path = (Files.Path() / "file.pdf").string();
  PrintToPdf(main, path);
  main.Action("FilePrint")->trigger();
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Kind, "print");
  const int pages = pdf::PageCount(path);
  ASSERT_GE(pages, 1);
  for (int page = 1; page <= pages; ++page)
    EXPECT_NE(pdf::Text(path, page).find("ZEB: Hints for Moonfall"), std::string::npos) << page;
  const std::string text = pdf::Text(path);
  EXPECT_NE(text.find("1.1. How do I open the gate?"), std::string::npos) << "the tree is numbered";
  EXPECT_NE(text.find("Pull the lever twice."), std::string::npos) << "every hint is printed";
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // The tree's windows are untouched: no window holds the printed document.
  EXPECT_EQ(OpenSubWindows(main), 1);
}

TEST_F(MainWindowTest, PrintHelpFilePrintsTheIndexOrSaysTheHelpFileIsMissing) {
  {
    TZEBMain& main = Start();
    const std::string path = (Files.Path() / "help.pdf").string();
    PrintToPdf(main, path);
    ASSERT_TRUE(main.Action("HelpPrint")->isEnabled());
    main.Action("HelpPrint")->trigger();
    const std::string text = pdf::Text(path);
    EXPECT_NE(text.find("ZEB: ZEBWIN Documentation"), std::string::npos);
    EXPECT_NE(text.find("Choose Open on the File menu."), std::string::npos);
    EXPECT_EQ(text.find("Open a hint file."), std::string::npos) << "only the index's subtree";
  }
  Main.reset();
  std::filesystem::remove(HelpPath());
  Dialogs.Asked.clear();
  TZEBMain& bare = Start(THelpFile::None);
  bare.HelpPrintClick();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Text, "Unable to locate help file.");
}

TEST_F(MainWindowTest, PrinterSetupAsksTheDialogAndLaterPrintsUseItsChoice) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  const std::string path = (Files.Path() / "letter.pdf").string();
  PrintToPdf(main, path);
  Dialogs.BeforePrintAnswer = [](QPrinter& printer) { printer.setPageSize(QPageSize(QPageSize::Letter)); };
  main.Action("FilePrinterSetup")->trigger();
  Dialogs.BeforePrintAnswer = nullptr;
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Kind, "printer setup");
  main.FilePrintClick();
  EXPECT_EQ(pdf::PageSize(path), "612 x 792");
}

TEST_F(MainWindowTest, WindowCommandsActOnTheActiveHintWindow) {
  TZEBMain& main = Start();
  main.show();  // a window lays out what it shows when it is shown
  main.OpenHintFile(SaveGame());
  QCoreApplication::processEvents();
  for (const char* name : {"WindowsSave", "WindowsPrint", "WindowsCopy"})
    EXPECT_TRUE(main.Action(name)->isEnabled()) << name;
  const std::string saved = (Files.Path() / "top.txt").string();
  Dialogs.Answers = {QString::fromStdString(saved)};
  main.Action("WindowsSave")->trigger();
  EXPECT_EQ(ReadFile(saved).rfind("Moonfall\r\n\r\nChapter One\r\n", 0), 0u) << ReadFile(saved);
  main.Action("WindowsCopy")->trigger();
  EXPECT_TRUE(QApplication::clipboard()->text().startsWith("Chapter One\r\n"));
  const std::string printed = (Files.Path() / "window.pdf").string();
  PrintToPdf(main, printed);
  main.Action("WindowsPrint")->trigger();
  EXPECT_NE(pdf::Text(printed).find("ZEB: Moonfall"), std::string::npos);

  // No window: the commands are off and do nothing.
  main.WindowsCloseAllClick();
  FlushDeletes();
  for (const char* name : {"WindowsSave", "WindowsPrint", "WindowsCopy"})
    EXPECT_FALSE(main.Action(name)->isEnabled()) << name;
  Dialogs.Asked.clear();
  main.WindowsSaveClick();
  main.WindowsPrintClick();
  EXPECT_TRUE(Dialogs.Asked.empty());
}
