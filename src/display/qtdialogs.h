#pragma once
// The Qt implementation of the program's questions.

#include "dialogs/dialogs.h"

class TQtDialogs : public TDialogs {
 public:
  TAnswer Message(QWidget* owner, const QString& caption, const QString& text, TIcon icon, bool helpButton) override;
  TAnswer Ask(QWidget* owner, const QString& caption, const QString& text, TButtons buttons) override;
  std::optional<QString> OpenFile(QWidget* owner, const TFileQuestion& question) override;
  std::optional<QString> SaveFile(QWidget* owner, const TFileQuestion& question) override;
  std::optional<QString> GetText(QWidget* owner, const QString& caption, const QString& prompt,
                                 const QString& initial) override;
  std::optional<QString> ChooseFolder(QWidget* owner, const QString& caption, const QString& prompt,
                                      const QString& initial) override;
  std::optional<TPageRange> ChoosePrintRange(QWidget* owner, QPrinter& printer, int minPage, int maxPage) override;
  bool PrinterSetup(QWidget* owner, QPrinter& printer) override;
  std::optional<QFont> ChooseFont(QWidget* owner, const QFont& initial) override;
  std::optional<QColor> ChooseColor(QWidget* owner, const QColor& initial) override;
  void SkippableMessage(QWidget* owner, const QString& caption, const QString& text, bool showSkipAll,
                        bool& skipNext, bool& skipAll) override;
  std::optional<int> ChooseFromList(QWidget* owner, const QString& caption, const QString& prompt,
                                    const QStringList& entries, int current) override;
};

// Makes Qt's dialogs the ones every question goes to unless a stand-in is
// installed: the reader calls it at start.
void UseQtDialogs();
