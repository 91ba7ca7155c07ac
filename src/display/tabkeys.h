#pragma once
// The hint button and the display control take Tab and Shift+Tab
// themselves, to step through a window's links instead of moving the focus.

#include <QKeyEvent>

// The key press of a Tab or Shift+Tab, or none for any other event.
inline QKeyEvent* TabKeyPress(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return nullptr;
  auto* key = static_cast<QKeyEvent*>(event);
  return key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ? key : nullptr;
}

// True for Shift+Tab.
inline bool IsBackTab(const QKeyEvent& key) {
  return key.key() == Qt::Key_Backtab || (key.modifiers() & Qt::ShiftModifier);
}
