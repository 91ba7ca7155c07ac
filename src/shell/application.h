#pragma once
// The reader's application object. An error thrown by an event handler or
// a slot ends at this edge: the user is told what could not be finished and
// the reader goes on, instead of the whole program ending with the settings
// and the hint memory unsaved.

#include <QApplication>

class TZEBApplication : public QApplication {
 public:
  TZEBApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Tells the user of an error that ended a command.
  static void ReportUnexpectedError(const char* what);
};
