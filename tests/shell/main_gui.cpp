// The main of the window tests: one application object for all of them.
#include <gtest/gtest.h>

#include "shell/application.h"

#include "display/qtdialogs.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The reader's own application object: errors thrown by handlers end at its edge.
  TZEBApplication app(argc, argv);
  UseQtDialogs();  // where a test installs no stand-in, as in the reader
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
