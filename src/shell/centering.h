#pragma once
// Places a dialog in the middle of the main window (never above or left of
// the screen's origin).

class QWidget;

// The main window that dialogs centre on; none until it is built.
void SetMainWindow(QWidget* main);
QWidget* MainWindow();

void CenterOnMainWindow(QWidget* dialog);
