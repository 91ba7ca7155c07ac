// ZEB Reader: the program.
#include <exception>

#include <QApplication>
#include <QMessageBox>

#include "shell/main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("ZEB Reader");
  QApplication::setApplicationDisplayName("ZEB Reader");
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  try {
    TZEBMain main(QCoreApplication::applicationDirPath().toStdString() + "/", arguments);
    main.show();
    return QApplication::exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "ZEB Reader", e.what());
  }
  return 0;
}
