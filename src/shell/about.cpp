#include "shell/about.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "shell/centering.h"
#include "shell/productinfo.h"

int ScaledFrom96(const QWidget* widget, int pixels) { return pixels * widget->logicalDpiX() / 96; }

namespace {
QLabel* WrappedLabel(QWidget* parent, const QString& text, int left, int top, int width, int height,
                     const char* name) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(ScaledFrom96(parent, left), ScaledFrom96(parent, top), ScaledFrom96(parent, width),
                     ScaledFrom96(parent, height));
  return label;
}

QPushButton* OkButton(QDialog* dialog, int left, int top) {
  auto* ok = new QPushButton("OK", dialog);
  ok->setObjectName("OKButton");
  ok->setDefault(true);
  ok->setGeometry(ScaledFrom96(dialog, left), ScaledFrom96(dialog, top), ScaledFrom96(dialog, 75),
                  ScaledFrom96(dialog, 25));
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  return ok;
}
}  // namespace

TAboutForm::TAboutForm(QWidget* owner) : QDialog(owner) {
  setObjectName("AboutForm");
  setWindowTitle("ZEB Reader For Windows");
  setFixedSize(ScaledFrom96(this, 341), ScaledFrom96(this, 179));
  auto* icon = new QLabel(this);
  icon->setObjectName("ProgramIcon");
  icon->setPixmap(QIcon(":/icons/ZEBWIN").pixmap(ScaledFrom96(this, 32), ScaledFrom96(this, 32)));
  icon->setGeometry(ScaledFrom96(this, 70), ScaledFrom96(this, 20), ScaledFrom96(this, 32), ScaledFrom96(this, 32));
  WrappedLabel(this, "ZEB Reader for Windows\nVersion 4.50\n(20 September 2000)", 126, 16, 171, 41, "ProductName");
  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(ScaledFrom96(this, 8), ScaledFrom96(this, 64), ScaledFrom96(this, 321), 2);
  WrappedLabel(this, ProductLegalNotice, 16, 88, 305, 41, "Copyright");
  QPushButton* ok = OkButton(this, 133, 144);
  ok->setAutoDefault(true);
  CenterOnMainWindow(this);
}

TContactForm::TContactForm(QWidget* owner) : QDialog(owner) {
  setObjectName("ContactForm");
  setWindowTitle("Contacting the ZEB");
  setFixedSize(ScaledFrom96(this, 250), ScaledFrom96(this, 218));
  WrappedLabel(this, "E-mail:\n\nWeb site:\n\nPostal mail:", 10, 10, 60, 110, "Headings");
  QString values = QString(ProductSupportEmail) + "\n\n" + ProductWebSite + "\n\n";
  for (int i = 0; i < 4; ++i) values += QString(ProductPostalAddress[i]) + (i < 3 ? "\n" : "");
  WrappedLabel(this, values, 100, 10, 140, 110, "Values");
  WrappedLabel(this,
               "If you have questions about a particular hint file, please see \"Information\" on the \"File\" menu "
               "for the author's e-mail address.",
               10, 130, 226, 40, "HintFileNote");
  OkButton(this, 87, 185);
  CenterOnMainWindow(this);
}
