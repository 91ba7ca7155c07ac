// The command line: which argument is the file, which switches count, and
// what the main window does with them once it is first shown.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <QTest>

#include "shell/commandline.h"
#include "shell/mainfixture.h"

TEST(ParseCommandLine, SwitchesMatchWholeWithoutRegardToCase) {
  struct TCase {
    std::vector<std::string> Arguments;
    std::optional<std::string> File;
    bool Help, Verbose, Update;
  };
  const TCase cases[] = {
      {{}, std::nullopt, false, false, false},
      {{"/help"}, std::nullopt, true, false, false},
      {{"/Help"}, std::nullopt, true, false, false},
      {{"/HELP"}, std::nullopt, true, false, false},
      {{"/HELPX"}, std::nullopt, false, false, false},
      {{"/H"}, std::nullopt, false, false, false},
      {{"/HEL"}, std::nullopt, false, false, false},
      {{"/verbose", "/Update"}, std::nullopt, false, true, true},
      {{"/UPDATE", "/HELP"}, std::nullopt, true, false, true},
      {{"/HELP", "/help", "/Help"}, std::nullopt, true, false, false},
      {{"GAME.ZEB"}, "GAME.ZEB", false, false, false},
      {{"ONE.ZEB", "TWO.ZEB", "/VERBOSE"}, "ONE.ZEB", false, true, false},
      {{"/VERBOSE", "ONE.ZEB", "TWO.ZEB"}, "ONE.ZEB", false, true, false},
      {{"/tmp/hints/GAME.ZEB", "/help"}, "/tmp/hints/GAME.ZEB", true, false, false},
      {{"/XYZ", "GAME.ZEB"}, "GAME.ZEB", false, false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.Arguments));
    const TCommandLine line = ParseCommandLine(c.Arguments);
    EXPECT_EQ(line.File, c.File);
    EXPECT_EQ(line.Help, c.Help);
    EXPECT_EQ(line.Verbose, c.Verbose);
    EXPECT_EQ(line.Update, c.Update);
  }
}

namespace {

class CommandLineTest : public MainWindowTest {
 protected:
  // Shows the window and lets the command line run; a file argument that
  // opens tells when it has.
  void ShowAndWaitForFile() {
    Main->show();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Main->FileRoot() != nullptr; }, 5000));
  }
};

}  // namespace

TEST_F(CommandLineTest, HelpSwitchShowsTheHelpFileAfterOpeningTheFile) {
  struct TCase {
    std::string Switch;
    bool ShowsHelp;
  };
  const TCase cases[] = {
      {"/help", true}, {"/Help", true}, {"/HELP", true}, {"/HELPX", false}, {"/H", false},
  };
  const std::string game = SaveGame();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Switch);
    Main.reset();
    Start(THelpFile::Full, {game, c.Switch});
    ASSERT_EQ(Main->FileRoot(), nullptr);  // nothing happens before the window is shown
    ShowAndWaitForFile();
    EXPECT_EQ(Main->CurrentFile(), game);
    EXPECT_TRUE(WindowOpen(Main->FileRoot()));
    EXPECT_EQ(WindowOpen(HelpNode("Help File Index")), c.ShowsHelp);
    EXPECT_TRUE(Dialogs.Asked.empty());
  }
}

TEST_F(CommandLineTest, SwitchBeforeTheFileWorksAlike) {
  const std::string game = SaveGame();
  Start(THelpFile::Full, {"/HELP", game});
  ShowAndWaitForFile();
  EXPECT_EQ(Main->CurrentFile(), game);
  EXPECT_TRUE(WindowOpen(HelpNode("Help File Index")));
}

TEST_F(CommandLineTest, OnlyTheFirstOfTwoFilesIsOpened) {
  const std::string first = SaveGame("FIRST.ZEB");
  const std::string second = (Files.Path() / "SECOND.ZEB").string();  // would give a message if opened
  Start(THelpFile::Full, {first, second, "/VERBOSE"});
  ShowAndWaitForFile();
  QTest::qWait(50);
  EXPECT_EQ(Main->CurrentFile(), first);
  EXPECT_TRUE(Dialogs.Asked.empty());
  TIniFile ini = Settings();
  EXPECT_EQ(ini.ReadIniString("MRU", "MRU0", ""), first);
  EXPECT_EQ(ini.ReadIniString("MRU", "MRU1", ""), "");
}

TEST_F(CommandLineTest, LaterPaintsDoNotRunTheCommandLineAgain) {
  const std::string missing = (Files.Path() / "MISSING.ZEB").string();
  Start(THelpFile::Full, {missing});
  Main->show();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !Dialogs.Asked.empty(); }, 5000));
  EXPECT_EQ(Dialogs.Asked[0].Text.toStdString().rfind(missing + " could not be opened.", 0), 0u);
  Main->hide();
  Main->show();
  Main->repaint();
  QTest::qWait(50);
  EXPECT_EQ(Dialogs.Asked.size(), 1u);
}

TEST_F(CommandLineTest, HelpSwitchWithoutAHelpFileReportsIt) {
  const std::string game = SaveGame();
  Start(THelpFile::None, {game, "/help"});
  ShowAndWaitForFile();
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Text, "Unable to locate help file.");
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Error");
}
