#pragma once
// The main window's commands: each with its menu item, its toolbar button,
// the state in which it is enabled, and the handler it runs.

#include <span>

#include <QKeySequence>

class TZEBMain;

enum class TEnabledWhen {
  Always,
  FileOpen,          // a hint file is open
  HintWindowActive,  // the active child window shows hints
};

struct TToolButton {
  const char* Image = nullptr;  // icon resource name; none: no button
  const char* Tip = nullptr;    // the short tool tip
  // Left edge on the toolbar, in pixels: buttons 31 apart share a group, a
  // wider step starts a new one behind a separator.
  int Left = 0;
};

struct TCommand {
  const char* Menu;
  const char* Name;
  const char* Caption;
  QKeySequence Shortcut;
  const char* Hint;  // the long, status-bar text
  void (TZEBMain::*Run)();
  TEnabledWhen Enabled = TEnabledWhen::Always;
  bool SeparatorBefore = false;
  bool RecentFilesBefore = false;  // the recent-files list comes just above
  TToolButton Button{};
};

// In menu order.
std::span<const TCommand> MainCommands();

// The step between the left edges of two neighbouring buttons of a group.
constexpr int ToolButtonStep = 31;
