#include "downloader/messageform.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

namespace {
int Scaled(int dpi, int pixels) { return pixels * dpi / 96; }
}  // namespace

TMessageForm::TMessageForm(QWidget* owner, const QString& caption, const QString& text, bool showSkipAll,
                           bool& skipNext, bool& skipAll, int dpi)
    : QDialog(owner), SkipNext(skipNext), SkipAll(skipAll) {
  dpi = dpi > 0 ? dpi : logicalDpiX();
  setObjectName("MessageForm");
  setWindowTitle(caption);
  setFixedSize(Scaled(dpi, 338), Scaled(dpi, 240));
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("ScrollBox1");
  scroll->setGeometry(Scaled(dpi, 8), Scaled(dpi, 8), Scaled(dpi, 321), Scaled(dpi, 145));
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Label1 = new QLabel(text);
  Label1->setObjectName("Label1");
  Label1->setWordWrap(true);
  Label1->setTextFormat(Qt::PlainText);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The label fills the box's width less a scroll bar, so the text wraps
  // inside and grows downwards.
  const int margin = Scaled(dpi, 4);
  Label1->setContentsMargins(margin, margin, margin, margin);
  Label1->setFixedWidth(scroll->width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 4);
  Label1->adjustSize();
  scroll->setWidget(Label1);

  SkipNextCheckBox = new QCheckBox("Do not show this message again", this);
  SkipNextCheckBox->setObjectName("SkipNextCheckBox");
  SkipNextCheckBox->setGeometry(Scaled(dpi, 8), Scaled(dpi, 160), Scaled(dpi, 321), Scaled(dpi, 20));
  SkipAllCheckBox = new QCheckBox("Do not show any messages like this again", this);
  SkipAllCheckBox->setObjectName("SkipAllCheckBox");
  SkipAllCheckBox->setGeometry(Scaled(dpi, 8), Scaled(dpi, 182), Scaled(dpi, 321), Scaled(dpi, 20));
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
  ok->setGeometry(Scaled(dpi, 131), Scaled(dpi, 208), Scaled(dpi, 75), Scaled(dpi, 25));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TMessageForm::done(int result) {
  SkipNext = SkipNextCheckBox->isChecked();
  SkipAll = SkipAllCheckBox->isChecked();
  // Escape closes as OK does.
  QDialog::done(result == QDialog::Rejected ? QDialog::Accepted : result);
}
