#pragma once
// A message the user may switch off: a scrollable text, "Do not show this
// message again", optionally "Do not show any messages like this again",
// and OK. The check boxes start from the caller's flags and are written
// back to them however the box closes.

#include <QDialog>

class QCheckBox;
class QLabel;

class TMessageForm : public QDialog {
  Q_OBJECT

 public:
  TMessageForm(QWidget* owner, const QString& caption, const QString& text, bool showSkipAll, bool& skipNext,
               bool& skipAll, int dpi = 0);

  QCheckBox* SkipNextCheckBox = nullptr;
  QCheckBox* SkipAllCheckBox = nullptr;
  QLabel* Label1 = nullptr;

 protected:
  void done(int result) override;

 private:
  bool& SkipNext;
  bool& SkipAll;
};
