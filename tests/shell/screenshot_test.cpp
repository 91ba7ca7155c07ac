// Opens the example hint file in the reader, reveals part of a question's
// hints, shows the help file's picture, and saves a picture of the main
// window (build/screenshot-main.png, kept in docs/ for the README).
#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "display/stringchild.h"
#include "model/hunk.h"
#include "shell/main.h"
#include "support/scripteddialogs.h"
#include "support/fixtures.h"

TEST(Screenshot, MainWindowWithTheExampleAHintAndTheHelpPicture) {
  TTempDir home;
  qputenv("ZEBWIN_HOME", QByteArray::fromStdString(home.Path().string()));
  TScriptedDialogs dialogs;
  const std::string example = std::string(ZEB_BUILD_DIR) + "/examples/MOONFALL.ZEB";
  TZEBMain main(std::string(ZEB_BUILD_DIR) + "/src/shell/", {example});
  main.resize(1000, 700);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QTest::qWait(100);
  THunk* root = main.FileRoot();
  ASSERT_NE(root, nullptr);

  THunk* door = root->FindByTitle("How do I get past the locked front door?");
  ASSERT_NE(door, nullptr);
  door->Open();
  auto* hints = static_cast<THintForm*>(door->Window);
  ASSERT_NE(hints, nullptr);
  hints->HintButtonClick();  // two of three hints shown
  EXPECT_EQ(hints->HintButton()->text(), "Hint 2 of 3.  Another hint?");

  ASSERT_TRUE(main.ShowHelpTopic("A Tour of the Main Window"));
  QList<QMdiSubWindow*> windows = main.Area->subWindowList();
  ASSERT_EQ(windows.size(), 3);
  windows[0]->setGeometry(10, 10, 330, 300);
  windows[1]->setGeometry(40, 230, 410, 260);
  windows[2]->setGeometry(470, 10, 500, 560);
  main.Area->setActiveSubWindow(windows[2]);
  QTest::qWait(100);
  EXPECT_TRUE(main.grab().save(QString::fromStdString(std::string(ZEB_BUILD_DIR) + "/screenshot-main.png")));
  qunsetenv("ZEBWIN_HOME");
}
