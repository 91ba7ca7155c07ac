#pragma once
// The About box and the Contact box of the Help menu. Their layouts are
// given in pixels at 96 dots per inch and scale with the screen.

#include <QDialog>

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* owner);
};

class TContactForm : public QDialog {
  Q_OBJECT

 public:
  explicit TContactForm(QWidget* owner);
};

// A length of a 96-dpi layout in this widget's pixels (the fraction dropped).
int ScaledFrom96(const QWidget* widget, int pixels);
