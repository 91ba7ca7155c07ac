#pragma once
// What the display needs from the program around it: the settings record,
// the area that hint windows open in, and which hint file a tree's pictures
// are read from. The main window fills it in once.

#include <functional>
#include <string>

class QMdiArea;
class TZEBObject;
class TStringForm;
struct TOptions;

struct TDisplayContext {
  const TOptions* Options = nullptr;
  QMdiArea* Area = nullptr;
  // The hint file that holds the tree whose top node is given ("" when unknown).
  std::function<std::string(const TZEBObject& top)> FileOfTree;
  // Told when a hint window closes (the main window forgets its search window).
  std::function<void(TStringForm& form)> WindowClosed;
};

TDisplayContext& DisplayContext();

// The settings in force; defaults until the program sets its record.
const TOptions& DisplayOptions();

// The hint file a node's picture data is read from.
std::string RootFileName(const TZEBObject& node);
