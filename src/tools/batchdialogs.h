#pragma once
// The questions of zebtool's commands, which have no user to ask: the print
// dialog answers with the pages asked for on the command line, the
// download's questions with the answers the command chose; every message
// and question is written to standard error.

#include <iosfwd>
#include <memory>
#include <optional>

#include "dialogs/dialogs.h"

class QApplication;

class TBatchDialogs : public TDialogs {
 public:
  // Installs itself as the program's dialogs for as long as it lives.
  explicit TBatchDialogs(std::ostream& err);
  ~TBatchDialogs() override;
  TBatchDialogs(const TBatchDialogs&) = delete;
  TBatchDialogs& operator=(const TBatchDialogs&) = delete;

  std::optional<TPageRange> Pages;           // none: all pages
  TAnswer AnswerYesNoCancel = TAnswer::No;   // "download these hints again?"
  TAnswer AnswerYesNo = TAnswer::Yes;        // "continue downloading other files?"

  TAnswer Message(QWidget*, const QString& caption, const QString& text, TIcon, bool) override;
  TAnswer Ask(QWidget*, const QString& caption, const QString& text, TButtons buttons) override;
  std::optional<QString> OpenFile(QWidget*, const TFileQuestion&) override { return std::nullopt; }
  std::optional<QString> SaveFile(QWidget*, const TFileQuestion&) override { return std::nullopt; }
  std::optional<QString> GetText(QWidget*, const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  std::optional<TPageRange> ChoosePrintRange(QWidget*, QPrinter&, int minPage, int maxPage) override;
  bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
  std::optional<QFont> ChooseFont(QWidget*, const QFont&) override { return std::nullopt; }
  std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return std::nullopt; }
  void SkippableMessage(QWidget*, const QString&, const QString&, bool, bool&, bool&) override {}
  std::optional<int> ChooseFromList(QWidget*, const QString&, const QString&, const QStringList&, int) override {
    return std::nullopt;
  }

 private:
  std::ostream& Err;
};

// Qt's printing and event loops need an application object; a headless one
// is made when the tool has none.
class THeadlessApplication {
 public:
  THeadlessApplication();
  ~THeadlessApplication();

 private:
  std::unique_ptr<QApplication> App;
};
