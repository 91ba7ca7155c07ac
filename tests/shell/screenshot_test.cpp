// Opens the example hint file in the reader, reveals part of a question's
// hints, shows the help file's picture, and saves a picture of the main
// window (build/screenshot-main.png, kept in docs/ for the README).
#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <QTest>

#include <cctype>
#include <fstream>

#include "authoring/hintwriter.h"
#include "display/outlinemodel.h"
#include "display/outlinepane.h"
#include "display/stringchild.h"
#include "display/verboseform.h"
#include "downloader/updateform.h"
#include "settings/optionsform.h"
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
  QList<QMdiSubWindow*> windows = main.WindowArea()->subWindowList();
  ASSERT_EQ(windows.size(), 3);
  windows[0]->setGeometry(10, 10, 330, 300);
  windows[1]->setGeometry(40, 230, 410, 260);
  windows[2]->setGeometry(470, 10, 500, 560);
  main.WindowArea()->setActiveSubWindow(windows[2]);
  QTest::qWait(100);
  EXPECT_TRUE(main.grab().save(QString::fromStdString(std::string(ZEB_BUILD_DIR) + "/screenshot-main.png")));
  qunsetenv("ZEBWIN_HOME");
}

// The by-title window over a folder of a few games, and each page of Set
// Options (build/screenshot-bytitle.png and build/screenshot-options-*.png,
// kept in docs/ for the README).
TEST(Screenshot, HintFilesByTitleAndTheOptionsPages) {
  TTempDir home;
  TTempDir games;
  qputenv("ZEBWIN_HOME", QByteArray::fromStdString(home.Path().string()));
  TScriptedDialogs dialogs;
  for (const char* title : {"The Castle of Glass", "A Bridge Too Near", "Moonfall", "Deep Space Lighthouse",
                            "The Clockmaker's Daughter", "Orchard of Whispers"}) {
    THintFileWriter writer;
    writer.Hunks = {Subject(title, {Hint("Where do I start?", {"Look around."})})};
    std::string name;
    for (const char* c = title; *c != '\0' && name.size() < 8; ++c)
      if (std::isalpha(static_cast<unsigned char>(*c))) name += static_cast<char>(std::toupper(*c));
    writer.Save((games.Path() / (name + ".ZEB")).string());
  }
  TZEBMain main(std::string(ZEB_BUILD_DIR) + "/src/shell/", {});
  main.OptionsRecord().InstallDir = games.Path().string() + "/";
  main.resize(760, 460);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  main.FileVerboseClick();
  ASSERT_NE(main.TitlesWindow(), nullptr);
  main.TitlesWindow()->SubWindow()->setGeometry(20, 20, 620, 300);
  QTest::qWait(100);
  EXPECT_TRUE(main.grab().save(QString::fromStdString(std::string(ZEB_BUILD_DIR) + "/screenshot-bytitle.png")));

  TOptions working = main.OptionsRecord();
  TOptionsForm form(&main, working, dialogs);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const char* pages[] = {"display", "downloading", "hints", "messages"};
  for (int page = 0; page < 4; ++page) {
    form.PageControl->setCurrentIndex(page);
    QTest::qWait(50);
    EXPECT_TRUE(form.grab().save(
        QString::fromStdString(std::string(ZEB_BUILD_DIR) + "/screenshot-options-" + pages[page] + ".png")));
  }
  form.reject();
  qunsetenv("ZEBWIN_HOME");
}

// The Download New Hints dialog with a list (build/screenshot-download.png,
// kept in docs/ for the README).
TEST(Screenshot, DownloadNewHintsWithAList) {
  TTempDir home;
  TTempDir hints;
  qputenv("ZEBWIN_HOME", QByteArray::fromStdString(home.Path().string()));
  TScriptedDialogs dialogs;
  {
    std::ofstream list(home.Path() / "zebinet.dat", std::ios::binary);
    const char* entries[][4] = {{"The Castle of Glass", "CASTLE.ZEB", "12-Nov-2026", "48211"},
                                {"A Bridge Too Near", "BRIDGE.ZEB", "03-Dec-2026", "96530"},
                                {"Deep Space Lighthouse", "LIGHT.ZEB", "28-Nov-2026", "1530112"},
                                {"Orchard of Whispers", "ORCHARD.ZEB", "07-Dec-2026", "23004"},
                                {"The Clockmaker's Daughter", "CLOCK.ZEB", "01-Dec-2026", "310877"}};
    for (const auto& e : entries)
      list << "<FILE><FTITLE>" << e[0] << "</FTITLE><FURL>http://127.0.0.1:9/files/" << e[1] << "</FURL><FNAME>"
           << e[1] << "</FNAME><FDATE>" << e[2] << "</FDATE><FSIZE>" << e[3] << "</FSIZE></FILE>\r\n";
  }
  TOptions options;
  options.InstallDir = hints.Path().string() + "/";
  options.SkipUpdateBeforeDownload = true;
  TUpdateForm form(nullptr, options, dialogs, (home.Path() / "zebinet.dat").string());
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QTest::qWait(100);
  form.RadioButton1->click();
  form.FileListView->topLevelItem(1)->setSelected(true);
  QTest::qWait(50);
  EXPECT_TRUE(form.grab().save(QString::fromStdString(std::string(ZEB_BUILD_DIR) + "/screenshot-download.png")));
  qunsetenv("ZEBWIN_HOME");
}

// The outline beside the example's windows, filtered to the manor
// (build/screenshot-outline.png, kept in docs/ for the README).
TEST(Screenshot, OutlineBesideTheExample) {
  TTempDir home;
  qputenv("ZEBWIN_HOME", QByteArray::fromStdString(home.Path().string()));
  TScriptedDialogs dialogs;
  const std::string example = std::string(ZEB_BUILD_DIR) + "/examples/MOONFALL.ZEB";
  TZEBMain main(std::string(ZEB_BUILD_DIR) + "/src/shell/", {example});
  main.resize(1000, 640);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QTest::qWait(100);
  THunk* root = main.FileRoot();
  ASSERT_NE(root, nullptr);
  main.WindowsOutlineClick();
  ASSERT_NE(main.OutlinePane(), nullptr);
  THunk* clock = root->FindByTitle("Why does the grandfather clock keep striking thirteen?");
  ASSERT_NE(clock, nullptr);
  clock->Open();
  QList<QMdiSubWindow*> windows = main.WindowArea()->subWindowList();
  ASSERT_EQ(windows.size(), 2);
  windows[0]->setGeometry(10, 10, 330, 330);
  windows[1]->setGeometry(200, 150, 500, 330);
  main.WindowArea()->setActiveSubWindow(windows[1]);
  QTest::qWait(100);
  EXPECT_EQ(main.OutlinePane()->Model()->NodeAt(main.OutlinePane()->Tree()->currentIndex()), clock);
  EXPECT_TRUE(main.grab().save(QString::fromStdString(std::string(ZEB_BUILD_DIR) + "/screenshot-outline.png")));
  qunsetenv("ZEBWIN_HOME");
}
