// ZEB Reader: the program.
#include <cstring>
#include <exception>
#include <iostream>

#include <QMessageBox>

#include "fileio/largepages.h"
#include "model/version.h"
#include "shell/application.h"
#include "shell/main.h"

namespace {
constexpr const char* Usage =
    "Usage: zebwin [FILE] [/UPDATE]\n"
    "Reads ZEB hint files: graded hints for computer games, one hint at a time.\n"
    "\n"
    "  FILE       the hint file to open\n"
    "  /UPDATE    open the Download New Hints dialog at start\n"
    "  --help     show this help\n"
    "  --version  show the version\n"
    "\n"
    "ZEBWIN_HOME names the folder of the settings and cache files.\n";
}  // namespace

int main(int argc, char** argv) {
  // Answered without a display, as packaging and scripts ask them.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "zebwin " << ZebVersion << "\n";
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0) {
      std::cout << Usage;
      return 0;
    }
  }
  // Opening a large hint file is a large load: memory as zebtool takes it.
  RestartWithLargePages(argv);
  TZEBApplication app(argc, argv);
  QApplication::setApplicationName("ZEB Reader");
  // No display name: Qt would add it to every window's caption, and each
  // caption here is the program's own, "ZEB Reader" itself on the main window.
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  try {
    TZEBMain main(QCoreApplication::applicationDirPath().toStdString() + "/", arguments);
    main.show();
    return QApplication::exec();
  } catch (const std::exception& e) {
    // The reader could not start (or ended) on an error: said, and the exit
    // status tells a script so.
    std::cerr << "zebwin: " << e.what() << "\n";
    QMessageBox::critical(nullptr, "ZEB Reader", e.what());
  } catch (...) {
    std::cerr << "zebwin: an unknown error\n";
  }
  return 1;
}
