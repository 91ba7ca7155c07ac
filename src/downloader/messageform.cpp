#include "downloader/messageform.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include "settings/qtvalues.h"

TMessageForm::TMessageForm(QWidget* owner, const QString& caption, const QString& text, bool showSkipAll,
                           bool& skipNext, bool& skipAll, int dpi)
    : QDialog(owner), SkipNext(skipNext), SkipAll(skipAll) {
  dpi = dpi > 0 ? dpi : logicalDpiX();
  setObjectName("MessageForm");
  setWindowTitle(caption);
  setFixedSize(ScaledFrom96(dpi, 338), ScaledFrom96(dpi, 240));
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("ScrollBox1");
  scroll->setGeometry(ScaledFrom96(dpi, 8), ScaledFrom96(dpi, 8), ScaledFrom96(dpi, 321), ScaledFrom96(dpi, 145));
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Label1 = new QLabel(text);
  Label1->setObjectName("Label1");
  Label1->setWordWrap(true);
  Label1->setTextFormat(Qt::PlainText);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The label fills the box's width less a scroll bar, so the text wraps
  // inside and grows downwards.
  const int margin = ScaledFrom96(dpi, 4);
  Label1->setContentsMargins(margin, margin, margin, margin);
  Label1->setFixedWidth(scroll->width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 4);
  Label1->adjustSize();
  scroll->setWidget(Label1);

  SkipNextCheckBox = new QCheckBox("Do not show this message again", this);
  SkipNextCheckBox->setObjectName("SkipNextCheckBox");
  SkipNextCheckBox->setGeometry(ScaledFrom96(dpi, 8), ScaledFrom96(dpi, 160), ScaledFrom96(dpi, 321), ScaledFrom96(dpi, 20));
  SkipAllCheckBox = new QCheckBox("Do not show any messages like this again", this);
  SkipAllCheckBox->setObjectName("SkipAllCheckBox");
  SkipAllCheckBox->setGeometry(ScaledFrom96(dpi, 8), ScaledFrom96(dpi, 182), ScaledFrom96(dpi, 321), ScaledFrom96(dpi, 20));
  SkipAllCheckBox->setVisible(showSkipAll);
  SkipNextCheckBox->setChecked(skipNext);
  SkipAllCheckBox->setChecked(skipAll);
  // Skipping every message like this skips this one too.
  connect(SkipAllCheckBox, &QCheckBox::toggled, this, [this](bool on) {
    if (on) SkipNextCheckBox->setChecked(true);
  });

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("OKButton");
  ok->setDefault(true);
  ok->setGeometry(ScaledFrom96(dpi, 131), ScaledFrom96(dpi, 208), ScaledFrom96(dpi, 75), ScaledFrom96(dpi, 25));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TMessageForm::done(int result) {
  SkipNext = SkipNextCheckBox->isChecked();
  SkipAll = SkipAllCheckBox->isChecked();
  // Escape closes as OK does.
  QDialog::done(result == QDialog::Rejected ? QDialog::Accepted : result);
}
