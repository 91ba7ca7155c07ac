// Find in All Hint Files: the rows of a search across a folder, the file
// and window each row opens, the files that could not be read, and Cancel.

#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "display/stringchild.h"
#include "shell/abortbox.h"
#include "shell/findallfiles.h"
#include "shell/mainfixture.h"

namespace {

class FindAll : public MainWindowTest {
 protected:
  // Two games, the help file, and a file that is no hint file.
  TZEBMain& StartWithGames() {
    Save("CASTLE.ZEB", GameFileWriter("The Castle"));
    Save("moon.zeb", GameFileWriter("Moonfall"));
    Files.Write("NOTES.ZEB", "just some notes\r\n");
    TZEBMain& main = StartShown();
    main.OptionsRecord().InstallDir = Files.Path().string() + "/";
    return main;
  }

  // The rows of the results window.
  static std::vector<std::string> Rows(const TStringForm& form) {
    std::vector<std::string> rows;
    for (const TZEBObject* item : form.Node()->Items) rows.push_back(item->Text);
    return rows;
  }

  // The window in front of the area; it stays so while the progress box,
  // gone, still holds the application's activation on a loaded machine.
  static TStringForm* ActiveForm(const TZEBMain& main) {
    QMdiSubWindow* active = main.WindowArea()->currentSubWindow();
    return active != nullptr ? qobject_cast<TStringForm*>(active->widget()) : nullptr;
  }
};

}  // namespace

TEST_F(FindAll, RowsNameGameSubjectAndQuestionAndOpenTheirFileAndWindow) {
  TZEBMain& main = StartWithGames();
  Dialogs.Answers = {QString("LEVER")};
  main.Action("FileFindAll")->trigger();

  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Find in All Hint Files");
  TStringForm* results = ActiveForm(main);
  ASSERT_NE(results, nullptr);
  EXPECT_EQ(results->windowTitle(), "Search Results for \"LEVER\"");
  // Titles only: no hint text in the rows.
  EXPECT_EQ(Rows(*results), (std::vector<std::string>{"The Castle: Chapter One: How do I open the gate?",
                                                      "Moonfall: Chapter One: How do I open the gate?"}));
  EXPECT_EQ(main.statusBar()->currentMessage(),
            "Searched 2 hint files; 1 file that could not be read was skipped.");

  // The second row: its file opens, then the question's window.
  results->Node()->Items[1]->Open();
  Settle();
  EXPECT_EQ(main.CurrentFile(), Files.Path().string() + "/moon.zeb");
  THunk* question = FileNode("How do I open the gate?");
  ASSERT_NE(question, nullptr);
  EXPECT_TRUE(WindowOpen(question));
  EXPECT_EQ(ActiveForm(main), question->Window);
  // The results stay, for the next row.
  ASSERT_NE(results, nullptr);
  EXPECT_TRUE(main.WindowArea()->subWindowList().contains(results->SubWindow()));

  // The first row replaces the open file.
  results->Node()->Items[0]->Open();
  Settle();
  EXPECT_EQ(main.CurrentFile(), Files.Path().string() + "/CASTLE.ZEB");
  EXPECT_TRUE(WindowOpen(FileNode("How do I open the gate?")));
}

TEST_F(FindAll, NothingFoundSaysSoAndAFileGoneSinceShowsTheLoadersMessage) {
  TZEBMain& main = StartWithGames();
  Dialogs.Answers = {QString("dragonfly")};
  main.FileFindAllClick();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Text, "No hints were found with the requested string.");

  Dialogs.Asked.clear();
  Dialogs.Answers = {QString("gate")};
  main.FileFindAllClick();
  TStringForm* results = ActiveForm(main);
  ASSERT_NE(results, nullptr);
  ASSERT_EQ(Rows(*results).size(), 2u);
  std::filesystem::remove(Files.Path() / "CASTLE.ZEB");
  results->Node()->Items[0]->Open();
  Settle();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Caption, "Error");
  EXPECT_EQ(main.FileRoot(), nullptr);
}

// A folder that cannot be listed is no folder without hints: the message
// says why, and nothing is searched.
TEST_F(FindAll, AFolderThatCannotBeReadSaysWhy) {
  TZEBMain& main = StartWithGames();
  const std::string file = Files.Write("plain", "x");
  for (const std::string& folder : {file + "/", (Files.Path() / "gone").string() + "/"}) {
    SCOPED_TRACE(folder);
    Dialogs.Asked.clear();
    main.OptionsRecord().InstallDir = folder;
    Dialogs.Answers = {QString("gate")};
    main.FileFindAllClick();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Caption, "Error");
    EXPECT_EQ(Messages()[0].Icon, TDialogs::TIcon::Stop);
    EXPECT_EQ(Messages()[0].Text.toStdString().rfind("The folder " + folder + " cannot be read: ", 0), 0u)
        << Messages()[0].Text.toStdString();
    EXPECT_EQ(main.WindowArea()->subWindowList().size(), 0);
  }
}

// The by-title window's folder is searched when that window is open.
TEST_F(FindAll, SearchesTheFolderOfTheByTitleWindow) {
  TZEBMain& main = StartWithGames();
  TTempDir other;
  GameFileWriter("Lighthouse").Save((other.Path() / "LIGHT.ZEB").string());
  main.OptionsRecord().InstallDir = other.Path().string() + "/";
  main.FileVerboseClick();
  main.OptionsRecord().InstallDir = Files.Path().string() + "/";
  Dialogs.Answers = {QString("lever")};
  main.FileFindAllClick();
  TStringForm* results = ActiveForm(main);
  ASSERT_NE(results, nullptr);
  EXPECT_EQ(Rows(*results), (std::vector<std::string>{"Lighthouse: Chapter One: How do I open the gate?"}));
}

TEST_F(FindAll, CancelStopsTheSearchAndShowsNoResults) {
  for (int i = 0; i < 300; ++i) Save("G" + std::to_string(i) + ".ZEB", GameFileWriter("Game " + std::to_string(i)));
  TZEBMain& main = StartShown();
  main.OptionsRecord().InstallDir = Files.Path().string() + "/";
  // Cancel is clicked in the progress box as soon as it shows.
  bool clicked = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<TAbortDialog*>(widget); box != nullptr && box->isVisible() && !clicked) {
        clicked = true;
        box->CancelButton()->click();
      }
  });
  poll.start(0);
  Dialogs.Answers = {QString("lever")};
  main.FileFindAllClick();
  EXPECT_TRUE(clicked);
  EXPECT_EQ(main.statusBar()->currentMessage(), "The search was cancelled.");
  EXPECT_EQ(main.WindowArea()->subWindowList().size(), 0);
}
