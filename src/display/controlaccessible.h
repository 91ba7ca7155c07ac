#pragma once
// What screen readers learn of a hint window's display control: the text it
// shows (read-only text, the shown items joined as Copy joins them), each of
// its links as a child that names its target and can be pressed, and which
// link has the focus. Revealing a hint tells them the new text.

#include <QString>

class TStringControl;

// Makes the accessible interfaces of display controls; called once.
void InstallControlAccessibility();

// Tells screen readers that the control now shows more text: `added`, which
// starts at `position` of its text. The added text is also the control's
// accessible description from then on (the hint revealed last).
void AnnounceAddedText(TStringControl* control, int position, const QString& added);

// The control's text as screen readers get it: lines end with "\n".
QString AccessibleText(const TStringControl& control);
