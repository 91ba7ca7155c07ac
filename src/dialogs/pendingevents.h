#pragma once
// The only places where a long command, running in the event loop's
// thread, lets events through before it goes on. Each name says why.

// A status or progress text has changed: it is painted now, and a click on
// the progress box's Cancel or on a Stop button is taken.
void ShowStatusNow();

// A step of a long command at which the messages waiting are processed:
// the screen catches up and the user's Cancel, Stop or Escape arrives.
void ProcessPendingMessages();
