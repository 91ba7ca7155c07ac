// The reader when things go wrong under it: an error thrown inside a
// handler ends at the application's edge with a message, and closing on a
// full disk keeps the settings file whole and says so.
#include <gtest/gtest.h>

#include <stdexcept>

#include <QTimer>

#include "shell/mainfixture.h"
#include "support/files.h"
#include "support/smalldisk.h"

namespace {

TEST_F(MainWindowTest, AnErrorInAHandlerIsToldAndTheReaderGoesOn) {
  TZEBMain& main = Start();
  main.show();
  QTimer::singleShot(0, &main, [] { throw std::runtime_error("the cache folder cannot be made"); });
  Settle();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Caption, "Error");
  EXPECT_EQ(Messages()[0].Text, "ZEB Reader could not finish what it was doing (the cache folder cannot be made).");
  EXPECT_EQ(Messages()[0].Icon, TDialogs::TIcon::Stop);
  // Still working: a file opens.
  main.OpenHintFile(SaveGame());
  EXPECT_NE(main.FileRoot(), nullptr);
}

TEST_F(MainWindowTest, ClosingOnAFullDiskKeepsTheSettingsFileAndSaysSo) {
  TSmallDisk disk;
  SCOPED_TRACE(disk.Kind());
  qputenv("ZEBWIN_HOME", QByteArray::fromStdString(disk.Path().string()));
  TZEBMain& main = Start();
  const std::string path = SaveGame();
  main.OpenHintFile(path);  // saves the settings once
  const std::string settings = THomeFolder::SettingsFile();
  ASSERT_EQ(settings, (disk.Path() / "ZEBWIN.INI").string());
  const std::string before = FileBytes(settings);
  ASSERT_FALSE(before.empty());
  main.OptionsRecord().Counting = false;
  main.OptionsRecord().LastUpdateMessage = std::string(50000, 'n');
  Dialogs.Asked.clear();

  disk.LeaveRoom(0);
  main.close();
  disk.EndLimit();

  EXPECT_EQ(FileBytes(settings), before) << "the settings file lost what it held";
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Caption, "Error");
  const std::string text = Messages()[0].Text.toStdString();
  EXPECT_EQ(text.rfind("The settings could not be saved (cannot write " + settings + ": ", 0), 0u) << text;
  EXPECT_NE(text.find(").  The settings file keeps what it held before."), std::string::npos) << text;
  EXPECT_EQ(FolderNames(disk.Path()), std::vector<std::string>{"ZEBWIN.INI"}) << "no temporary file is left";
}

}  // namespace
