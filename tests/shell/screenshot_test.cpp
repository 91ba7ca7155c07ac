// Opens the example hint file in the reader, reveals a hint, shows the help
// picture, and saves a picture of the main window for the README.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "display/stringchild.h"
#include "shell/main.h"
#include "shell/scripteddialogs.h"
#include "support/fixtures.h"

TEST(Screenshot, MainWindowWithTheExample) {
  TTempDir home;
  qputenv("ZEBWIN_HOME", QByteArray::fromStdString(home.Path().string()));
  TScriptedDialogs dialogs;
  const std::string example = std::string(ZEB_BUILD_DIR) + "/examples/MOONFALL.ZEB";
  TZEBMain main(std::string(ZEB_BUILD_DIR) + "/src/shell/", {example});
  main.resize(900, 640);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QTest::qWait(200);
  ASSERT_FALSE(main.FileObjects.empty());
  main.grab().save(QString::fromStdString(std::string(ZEB_BUILD_DIR) + "/screenshot-main.png"));
  qunsetenv("ZEBWIN_HOME");
}
