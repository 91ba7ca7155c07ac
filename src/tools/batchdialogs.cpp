#include "tools/batchdialogs.h"

#include <ostream>

#include <QApplication>

TBatchDialogs::TBatchDialogs(std::ostream& err) : Err(err) { SetDialogs(this); }

TBatchDialogs::~TBatchDialogs() { SetDialogs(nullptr); }

TDialogs::TAnswer TBatchDialogs::Message(QWidget*, const QString&, const QString& text, TIcon, bool) {
  Err << "zebtool: " << text.toStdString() << "\n";
  return TAnswer::Ok;
}

TDialogs::TAnswer TBatchDialogs::Ask(QWidget*, const QString& caption, const QString& text, TButtons buttons) {
  Err << "zebtool: " << caption.toStdString() << ": " << text.toStdString() << "\n";
  switch (buttons) {
    case TButtons::Ok:
      return TAnswer::Ok;
    case TButtons::YesNo:
      return AnswerYesNo;
    case TButtons::YesNoCancel:
      return AnswerYesNoCancel;
  }
  return TAnswer::No;
}

std::optional<TDialogs::TPageRange> TBatchDialogs::ChoosePrintRange(QWidget*, QPrinter&, int minPage, int maxPage) {
  return Pages ? *Pages : TPageRange{minPage, maxPage, false};
}

THeadlessApplication::THeadlessApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "zebtool";
  static char* argv[] = {name, nullptr};
  App = std::make_unique<QApplication>(argc, argv);
}

THeadlessApplication::~THeadlessApplication() = default;
