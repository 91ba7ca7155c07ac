#include "shell/application.h"

#include <exception>
#include <iostream>

#include "dialogs/dialogs.h"

TZEBApplication::TZEBApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TZEBApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ReportUnexpectedError(error.what());
  } catch (...) {
    ReportUnexpectedError("an unknown error");
  }
  return false;
}

void TZEBApplication::ReportUnexpectedError(const char* what) {
  // The box runs events of its own; an error among them is only written out.
  static bool reporting = false;
  std::cerr << "zebwin: " << what << "\n";
  if (reporting) return;
  reporting = true;
  TellUnexpectedError(QApplication::activeWindow(), QString::fromLocal8Bit(what));
  reporting = false;
}
