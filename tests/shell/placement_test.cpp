// The main window's saved place at start: whatever the settings file
// holds, the window comes up inside the available room of a screen.
#include <gtest/gtest.h>

#include <QScreen>

#include "shell/mainfixture.h"

namespace {

class Placement : public MainWindowTest {
 protected:
  // The main window started with the placement in the settings file, shown.
  TZEBMain& StartWith(const std::string& placement) {
    Home.Folder().Write("ZEBWIN.INI", "[ZEBWIN]\r\nWindowPlacement=" + placement + "\r\n");
    TZEBMain& main = Start();
    main.show();
    Settle();
    return main;
  }
};

TEST_F(Placement, ASavedPlaceComesBackInsideTheScreen) {
  const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
  ASSERT_GE(room.width(), 640);
  ASSERT_GE(room.height(), 480);
  const std::string right = std::to_string(room.right() - 300);
  const std::string bottom = std::to_string(room.bottom() - 200);
  const std::string placements[] = {
      "100,100,19999,19999,0",                      // larger than any screen
      "-500,-400,700,450,0",                        // partly off to the left and top
      right + "," + bottom + ",640,480,0",          // partly off to the right and bottom
      "-100000,-100000,640,480,0",                  // off every screen
      "60000,70000,640,480,0",
      "2147483647,2147483647,2147483647,2147483647,0",
      "-2147483648,-2147483648,2147483647,2147483647,1",
  };
  for (const std::string& placement : placements) {
    SCOPED_TRACE(placement);
    TZEBMain& main = StartWith(placement);
    QRect shown = main.frameGeometry();
    if (main.isMaximized()) shown = main.normalGeometry();
    EXPECT_TRUE(room.contains(shown)) << shown.x() << "," << shown.y() << " " << shown.width() << "x"
                                      << shown.height();
    EXPECT_GE(main.width(), 200);
    Main.reset();
  }
  // A place inside the screen is kept as it was.
  TZEBMain& main = StartWith("10,20,640,480,0");
  EXPECT_EQ(main.size(), QSize(640, 480));
  EXPECT_EQ(main.pos(), QPoint(10, 20));
}

}  // namespace
