// Open Hints by Title: the window that lists a folder's hint files by
// title, its folder, its progress box, and opening a file from it.
#include <gtest/gtest.h>

#include <filesystem>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include "display/displaycontext.h"
#include "display/stringcontrol.h"
#include "display/verboseform.h"
#include "downloader/fileinfo.h"
#include "model/itemshunk.h"
#include "shell/mainfixture.h"

namespace {

// The titles the window lists, in order.
std::vector<std::string> Listed(const TVerboseForm& form) {
  std::vector<std::string> titles;
  for (const TZEBObject* item : form.Node()->Items) titles.push_back(item->GetText());
  return titles;
}

class ByTitle : public MainWindowTest {
 protected:
  // A folder of three games, the help file and a file that is no hint file.
  std::string GameFolder() {
    Save("CASTLE.ZEB", GameFileWriter("The Castle"));
    Save("bridge.zeb", GameFileWriter("A Bridge"));
    Save("MOON.Zeb", GameFileWriter("Moonfall"));
    HelpFileWriter(THelpFile::Full).Save((Files.Path() / "ZEBWIN.ZEB").string());
    Files.Write("NOTES.ZEB", "just some notes\r\n");
    Files.Write("readme.txt", "not listed\r\n");
    return Files.Path().string() + "/";
  }
  TZEBMain& StartWithInstallDir(const std::string& folder) {
    TZEBMain& main = Start();
    main.OptionsRecord().InstallDir = folder;
    main.resize(900, 700);
    main.show();  // windows lay out what they show once they are shown
    QCoreApplication::processEvents();
    return main;
  }
};

TEST_F(ByTitle, ListsTheFolderByTitleWithoutTheHelpFile) {
  TZEBMain& main = StartWithInstallDir(GameFolder());
  ASSERT_TRUE(main.Action("FileVerbose")->isEnabled());
  main.Action("FileVerbose")->trigger();
  ASSERT_NE(main.TitlesWindow(), nullptr);
  const TVerboseForm& form = *main.TitlesWindow();
  EXPECT_EQ(form.windowTitle(), "ZEB Hint Files by Title");
  EXPECT_EQ(Listed(form), (std::vector<std::string>{"A Bridge", "The Castle", "Moonfall"}));
  EXPECT_EQ(form.FolderLabel()->text().toStdString(), "List of ZEB Hint Files in " + Files.Path().string() + "/");
  EXPECT_EQ(form.HintButton()->text(), "Change Folder...");
  EXPECT_EQ(form.Control()->ShownCount(), 3);
  EXPECT_EQ(form.Control()->Links().size(), 3u) << "each title is a link";

  // A second command brings the same window forward.
  main.FileVerboseClick();
  EXPECT_EQ(main.TitlesWindow(), &form);
  EXPECT_EQ(main.WindowArea()->subWindowList().size(), 1);
}

TEST_F(ByTitle, ActivatingATitleOpensItsFileAndAVanishedFileSaysSo) {
  TZEBMain& main = StartWithInstallDir(GameFolder());
  main.FileVerboseClick();
  ASSERT_NE(main.TitlesWindow(), nullptr);
  TStringControl* control = main.TitlesWindow()->Control();
  ASSERT_EQ(control->Links().size(), 3u);
  // Tab to the second title and Enter, as a keyboard user would.
  control->NextTab(1);
  control->Activate(control->FocusTarget());
  ASSERT_NE(main.FileRoot(), nullptr);
  EXPECT_EQ(main.FileRoot()->Text, "The Castle");
  EXPECT_EQ(main.CurrentFile(), Files.Path().string() + "/CASTLE.ZEB");

  std::filesystem::remove(Files.Path() / "bridge.zeb");
  control->Activate(control->Links()[0].Target);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Text.toStdString(),
            Files.Path().string() + "/bridge.zeb could not be opened.  Make sure that this file exists, and that no "
                                    "other application is using it.");
  EXPECT_EQ(main.FileRoot()->Text, "The Castle") << "the open file stays open";
}

// Listing the folder again frees the old entries: the selected title must
// not point at one of them, and Tab starts again at the first title.
TEST_F(ByTitle, ListingAgainForgetsTheSelectedTitle) {
  TZEBMain& main = StartWithInstallDir(GameFolder());
  main.FileVerboseClick();
  ASSERT_NE(main.TitlesWindow(), nullptr);
  TStringControl* control = main.TitlesWindow()->Control();
  control->setFocus();
  control->NextTab(1);
  ASSERT_NE(control->FocusTarget(), nullptr);
  main.TitlesWindow()->ListFolder(main.TitlesWindow()->Folder());
  const TZEBObject* focused = control->FocusTarget();
  bool live = focused == nullptr;
  for (const TLinkInfo& link : control->Links()) live = live || link.Target == focused;
  EXPECT_TRUE(live) << "the selected title is a freed entry";
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
  QApplication::sendEvent(control, &tab);
  ASSERT_FALSE(control->Links().empty());
  EXPECT_EQ(control->FocusTarget(), control->Links()[0].Target) << "Tab skipped a title";
}

TEST_F(ByTitle, ChangeFolderAddsTheSeparatorAndTheFolderOutlivesTheWindow) {
  const std::string games = GameFolder();
  TTempDir empty;
  TZEBMain& main = StartWithInstallDir(empty.Path().string() + "/");
  main.FileVerboseClick();
  ASSERT_NE(main.TitlesWindow(), nullptr);
  EXPECT_TRUE(main.TitlesWindow()->Node()->Items.empty());

  // Space in the list asks for a folder, as the button does.
  const std::string chosen = games.substr(0, games.size() - 1);  // without the "/"
  Dialogs.Answers = {QString::fromStdString(chosen)};
  main.TitlesWindow()->Control()->setFocus();
  QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
  QApplication::sendEvent(main.TitlesWindow()->Control(), &space);
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Kind, "folder");
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Select a Folder");
  EXPECT_EQ(Dialogs.Asked[0].Text, "The reader will list the titles of files in the directory you select below.");
  EXPECT_EQ(main.TitlesWindow()->Folder(), games);
  EXPECT_EQ(main.TitlesWindow()->FolderLabel()->text().toStdString(), "List of ZEB Hint Files in " + games);
  EXPECT_EQ(Listed(*main.TitlesWindow()).size(), 3u);

  main.TitlesWindow()->CloseWindow();
  FlushDeletes();
  EXPECT_EQ(main.TitlesWindow(), nullptr);
  EXPECT_EQ(main.TitleFolder(), games);
  main.FileVerboseClick();
  ASSERT_NE(main.TitlesWindow(), nullptr);
  EXPECT_EQ(main.TitlesWindow()->Folder(), games) << "reopened on the last folder, not the hint-file folder";
  EXPECT_EQ(Listed(*main.TitlesWindow()).size(), 3u);

  // Cancelling the folder dialog changes nothing.
  Dialogs.Answers = {std::nullopt};
  main.TitlesWindow()->HintButtonClick();
  EXPECT_EQ(main.TitlesWindow()->Folder(), games);
}

// A folder that is not there lists nothing, quietly, like an empty one; one
// that cannot be read lists nothing and says why.
TEST_F(ByTitle, AVanishedFolderListsNothingAndAnUnreadableOneSaysWhy) {
  TZEBMain& main = StartWithInstallDir((Files.Path() / "gone").string() + "/");
  main.FileVerboseClick();
  ASSERT_NE(main.TitlesWindow(), nullptr);
  EXPECT_TRUE(main.TitlesWindow()->Node()->Items.empty());
  EXPECT_TRUE(Messages().empty());
  // A file named where a folder is expected.
  const std::string file = Files.Write("plain", "x");
  Dialogs.Answers = {QString::fromStdString(file)};
  main.TitlesWindow()->HintButtonClick();
  EXPECT_TRUE(main.TitlesWindow()->Node()->Items.empty());
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Caption, "Error");
  EXPECT_EQ(Messages()[0].Icon, TDialogs::TIcon::Stop);
  EXPECT_EQ(Messages()[0].Text.toStdString(), "The folder " + file + "/ cannot be read: Not a directory.");
}

// Cancel in the "Searching Files" box ends the scan; what was found is listed.
TEST_F(ByTitle, ACancelledScanListsWhatWasFound) {
  for (int i = 0; i < 40; ++i) Save("G" + std::to_string(100 + i) + ".ZEB", GameFileWriter("Game " + std::to_string(i)));
  TZEBMain& main = StartWithInstallDir(Files.Path().string() + "/");
  std::vector<QString> captions;
  QTimer ticker;
  DisplayContext().ShowProgress = [&](const QString& caption, volatile std::uint8_t* cancel) {
    captions.push_back(caption);
    // Cancel on the tenth turn of the event loop during the scan.
    int turns = 0;
    QObject::connect(&ticker, &QTimer::timeout, [cancel, turns]() mutable {
      if (++turns == 10) *cancel = 1;
    });
    ticker.start(0);
    class TQuiet : public TProgressBox {
      void SetStatusText(const QString&) override {}
      void Finish() override {}
    };
    return std::unique_ptr<TProgressBox>(new TQuiet);
  };
  main.FileVerboseClick();
  ticker.stop();
  ASSERT_NE(main.TitlesWindow(), nullptr);
  ASSERT_EQ(captions, (std::vector<QString>{"Searching Files"}));
  const std::vector<std::string> titles = Listed(*main.TitlesWindow());
  EXPECT_GT(titles.size(), 0u);
  EXPECT_LT(titles.size(), 40u);
  EXPECT_TRUE(std::is_sorted(titles.begin(), titles.end()));
}

TEST_F(ByTitle, TheVerboseSwitchOpensTheWindow) {
  const std::string folder = GameFolder();
  TZEBMain& main = Start(THelpFile::Full, {"/VERBOSE"});
  main.OptionsRecord().InstallDir = folder;
  main.show();
  for (int i = 0; i < 20 && main.TitlesWindow() == nullptr; ++i) QCoreApplication::processEvents();
  ASSERT_NE(main.TitlesWindow(), nullptr);
}

}  // namespace
