// The main of the window tests: one application object for all of them.
#include <gtest/gtest.h>

#include <QApplication>

#include "display/qtdialogs.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  UseQtDialogs();  // where a test installs no stand-in, as in the reader
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
