#include "shell/about.h"

#include <algorithm>

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "model/version.h"
#include "settings/qtvalues.h"
#include "shell/centering.h"
#include "settings/productinfo.h"

namespace {
// Places a child at a 96-dpi rectangle scaled to dpi.
void Place(QWidget* child, int dpi, int left, int top, int width, int height) {
  child->setGeometry(ScaledFrom96(dpi, left), ScaledFrom96(dpi, top), ScaledFrom96(dpi, width),
                     ScaledFrom96(dpi, height));
}

int DpiOf(const QWidget* widget, int dpi) { return dpi > 0 ? dpi : widget->logicalDpiX(); }

QLabel* WrappedLabel(QWidget* parent, int dpi, const QString& text, int left, int top, int width, int height,
                     const char* name) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(label, dpi, left, top, width, height);
  return label;
}

QPushButton* OkButton(QDialog* dialog, int dpi, int left, int top) {
  auto* ok = new QPushButton("OK", dialog);
  ok->setObjectName("OKButton");
  ok->setDefault(true);
  Place(ok, dpi, left, top, 75, 25);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  return ok;
}
// The boxes keep their standard places, sized for a small system font. In
// a larger font a text that does not fit gets the room it needs: its label
// grows, what lies below it moves down, and the box grows with them.
void FitTexts(QDialog* dialog) {
  QSize size = dialog->size();
  QList<QLabel*> labels = dialog->findChildren<QLabel*>();
  std::sort(labels.begin(), labels.end(), [](QLabel* a, QLabel* b) { return a->y() < b->y(); });
  for (QLabel* label : labels) {
    if (label->text().isEmpty()) continue;
    int widest = 0;
    for (const QString& line : label->text().split('\n'))
      for (const QString& word : line.split(' ')) widest = std::max(widest, label->fontMetrics().horizontalAdvance(word));
    const int wider = widest + 2 - label->width();
    if (wider > 0) {
      label->resize(label->width() + wider, label->height());
      size.setWidth(std::max(size.width(), label->geometry().right() + 1 + label->x()));
    }
    const int lower = label->heightForWidth(label->width()) - label->height();
    if (lower <= 0) continue;
    const int below = label->geometry().bottom();
    for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (child != label && child->y() > below) child->move(child->x(), child->y() + lower);
    label->resize(label->width(), label->height() + lower);
    size.setHeight(size.height() + lower);
  }
  // The OK button stays in the middle of a box that grew wider.
  if (auto* ok = dialog->findChild<QPushButton*>("OKButton"); ok != nullptr && size.width() != dialog->width())
    ok->move((size.width() - ok->width()) / 2, ok->y());
  dialog->setFixedSize(size);
}
}  // namespace

TAboutForm::TAboutForm(QWidget* owner, int dpi) : QDialog(owner) {
  dpi = DpiOf(this, dpi);
  setObjectName("AboutForm");
  setWindowTitle("ZEB Reader For Windows");
  setFixedSize(ScaledFrom96(dpi, 341), ScaledFrom96(dpi, 179));
  auto* icon = new QLabel(this);
  icon->setObjectName("ProgramIcon");
  icon->setPixmap(QIcon(":/icons/ZEBWIN").pixmap(ScaledFrom96(dpi, 32), ScaledFrom96(dpi, 32)));
  Place(icon, dpi, 70, 20, 32, 32);
  const QString productName = QString("ZEB Reader for Windows\nVersion %1\n(20 September 2000)").arg(ZebVersion);
  WrappedLabel(this, dpi, productName, 126, 16, 171, 41, "ProductName");
  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(ScaledFrom96(dpi, 8), ScaledFrom96(dpi, 64), ScaledFrom96(dpi, 321), 2);
  WrappedLabel(this, dpi, ProductLegalNotice, 16, 88, 305, 41, "Copyright");
  QPushButton* ok = OkButton(this, dpi, 133, 144);
  ok->setAutoDefault(true);
  FitTexts(this);
  CenterOnMainWindow(this);
}

TContactForm::TContactForm(QWidget* owner, int dpi) : QDialog(owner) {
  dpi = DpiOf(this, dpi);
  setObjectName("ContactForm");
  setWindowTitle("Contacting the ZEB");
  setFixedSize(ScaledFrom96(dpi, 250), ScaledFrom96(dpi, 218));
  WrappedLabel(this, dpi, "E-mail:\n\nWeb site:\n\nPostal mail:", 10, 10, 60, 110, "Headings");
  QString values = QString(ProductSupportEmail) + "\n\n" + ProductWebSite + "\n\n";
  for (int i = 0; i < 4; ++i) values += QString(ProductPostalAddress[i]) + (i < 3 ? "\n" : "");
  WrappedLabel(this, dpi, values, 100, 10, 140, 110, "Values");
  WrappedLabel(this, dpi,
               "If you have questions about a particular hint file, please see \"Information\" on the \"File\" menu "
               "for the author's e-mail address.",
               10, 130, 226, 40, "HintFileNote");
  OkButton(this, dpi, 87, 185);
  FitTexts(this);
  CenterOnMainWindow(this);
}
