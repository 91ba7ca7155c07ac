#pragma once
// Finds the texts of a shown window that the user cannot read whole: a
// label or button narrower or lower than its text, or cut by the group
// or page around it.

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

inline QStringList CutTexts(const QWidget& window) {
  QStringList cut;
  const auto seenWhole = [](const QWidget& widget) {
    return widget.visibleRegion().boundingRect() == widget.rect();
  };
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty()) continue;
    const bool fits = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                        : label->sizeHint().width() <= label->width() &&
                                              label->minimumSizeHint().height() <= label->height();
    if (!fits || !seenWhole(*label))
      cut << QStringLiteral("label \"%1\" (%2 x %3)").arg(label->text()).arg(label->width()).arg(label->height());
  }
  for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    if (!button->isVisible() || button->text().isEmpty()) continue;
    // A button's text with its indicator (a check box's box) and a little room.
    const int indicator = qobject_cast<const QPushButton*>(button) != nullptr ? 8 : button->sizeHint().width() -
                          button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&'));
    const int needs = button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&')) + indicator;
    if (needs > button->width() || !seenWhole(*button))
      cut << QStringLiteral("button \"%1\" (%2 wide, needs %3)").arg(button->text()).arg(button->width()).arg(needs);
  }
  return cut;
}
