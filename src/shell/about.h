#pragma once
// The About box and the Contact box of the Help menu. Their layouts are
// given in pixels at 96 dots per inch and scale with the screen.

#include <QDialog>

// dpi: the screen's pixels per inch the layout is scaled for (0: the
// screen's own).
class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* owner, int dpi = 0);
};

class TContactForm : public QDialog {
  Q_OBJECT

 public:
  explicit TContactForm(QWidget* owner, int dpi = 0);
};

