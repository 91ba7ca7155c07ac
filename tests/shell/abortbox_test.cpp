// The progress box: it stays up at least half a second, disables every other
// window while it is up and gives each back the state it had, and Cancel or
// Escape set the caller's flag.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "shell/abortbox.h"

namespace {

using TClock = std::chrono::steady_clock;

// Two windows of the program, the second disabled before the box comes up.
struct TOtherWindows {
  TOtherWindows() {
    Enabled.setWindowTitle("enabled before");
    Disabled.setWindowTitle("disabled before");
    Disabled.setEnabled(false);
    Enabled.show();
    Disabled.show();
  }
  QWidget Enabled;
  QWidget Disabled;
};

}  // namespace

TEST(AbortDialog, EveryWayOfClosingKeepsTheBoxUpHalfASecond) {
  struct TCase {
    const char* Name;
    std::function<void(TAbortDialog&)> Close;
    std::uint8_t Flag;
  };
  const TCase cases[] = {
      {"work done", [](TAbortDialog& box) { box.Finish(); }, 0},
      {"Cancel clicked", [](TAbortDialog& box) { QTest::mouseClick(box.CancelButton(), Qt::LeftButton); }, 1},
      {"Escape", [](TAbortDialog& box) { QTest::keyClick(&box, Qt::Key_Escape); }, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    volatile std::uint8_t flag = 0;
    const TClock::time_point start = TClock::now();
    TAbortDialog box(nullptr, &flag);
    box.setWindowTitle("Printing");
    box.SetStatusText("Page 1");
    EXPECT_TRUE(box.isVisible());
    c.Close(box);
    const auto shown = TClock::now() - start;
    EXPECT_GE(shown, std::chrono::milliseconds(500));
    EXPECT_EQ(flag, c.Flag);
    EXPECT_FALSE(box.isVisible());
  }
}

TEST(AbortDialog, DisablesOtherWindowsAndRestoresTheirStates) {
  TOtherWindows others;
  volatile std::uint8_t flag = 0;
  auto box = std::make_unique<TAbortDialog>(nullptr, &flag);
  EXPECT_FALSE(others.Enabled.isEnabled());
  EXPECT_FALSE(others.Disabled.isEnabled());
  EXPECT_TRUE(box->isEnabled());
  EXPECT_TRUE(box->CancelButton()->isEnabled());

  box->Finish();
  EXPECT_TRUE(others.Enabled.isEnabled());
  EXPECT_FALSE(others.Disabled.isEnabled());
  EXPECT_EQ(flag, 0);
}

// A window's menus are windows of their own that it parents: disabling the
// window disables them too, and they come back enabled with it.
TEST(AbortDialog, AWindowsMenusComeBackEnabled) {
  QMainWindow main;
  QMenu* menu = main.menuBar()->addMenu("&File");
  menu->addAction("&Open...");
  main.show();
  ASSERT_TRUE(menu->isEnabled());
  volatile std::uint8_t flag = 0;
  auto box = std::make_unique<TAbortDialog>(nullptr, &flag);
  EXPECT_FALSE(main.isEnabled());
  EXPECT_FALSE(menu->isEnabled());
  box->Finish();
  EXPECT_TRUE(main.isEnabled());
  EXPECT_TRUE(menu->isEnabled());
  EXPECT_TRUE(menu->menuAction()->isEnabled()) << "the menu's title stays greyed in the menu bar";
}

TEST(AbortDialog, CancelRestoresTheWindowsAndFinishThenLeavesThemAlone) {
  TOtherWindows others;
  volatile std::uint8_t flag = 0;
  TAbortDialog box(nullptr, &flag);
  QTest::keyClick(&box, Qt::Key_Escape);
  EXPECT_EQ(flag, 1);
  EXPECT_TRUE(others.Enabled.isEnabled());
  EXPECT_FALSE(others.Disabled.isEnabled());

  // Windows changed after the box closed keep their new state.
  others.Disabled.setEnabled(true);
  others.Enabled.setEnabled(false);
  box.Finish();
  EXPECT_TRUE(others.Disabled.isEnabled());
  EXPECT_FALSE(others.Enabled.isEnabled());
  EXPECT_EQ(flag, 1);
}

TEST(AbortDialog, NoCloseBoxAndALiteralAmpersand) {
  volatile std::uint8_t flag = 0;
  TAbortDialog box(nullptr, &flag);
  EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(box.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(box.windowFlags() & Qt::WindowSystemMenuHint);
  // The ampersand is shown as it is, not as an accelerator.
  box.SetStatusText("Printing page 3 of Tom & Jerry");
  EXPECT_EQ(box.StatusText()->text(), "Printing page 3 of Tom & Jerry");
  EXPECT_EQ(box.StatusText()->textFormat(), Qt::PlainText);
  EXPECT_TRUE(box.StatusText()->wordWrap());
  box.Finish();
}
