#pragma once
// What the display needs from the program around it: the settings record,
// the area that hint windows open in, and which hint file a tree's pictures
// are read from. The main window fills it in once.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QString>

class QMdiArea;
class QPrinter;
class TZEBObject;
class TStringForm;
struct TOptions;

// A progress box with a Cancel button (the program's own), as the display's
// long work sees it.
class TProgressBox {
 public:
  virtual ~TProgressBox() = default;
  virtual void SetStatusText(const QString& text) = 0;
  // The work is done: the box closes unless Cancel closed it already.
  virtual void Finish() = 0;
};

struct TDisplayContext {
  const TOptions* Options = nullptr;
  QMdiArea* Area = nullptr;
  // The hint file that holds the tree whose top node is given ("" when unknown).
  std::function<std::string(const TZEBObject& top)> FileOfTree;
  // Told when a hint window closes (the main window forgets its search window).
  std::function<void(TStringForm& form)> WindowClosed;
  // Shows a short note in the status bar (what a click could not do).
  std::function<void(const std::string& text)> ShowStatus;
  // True while the window area arranges its windows (cascade, tile): a lone
  // picture's window then takes the size it is given.
  bool Arranging = false;
  // The printer every print of the run uses (Printer Setup changes it).
  QPrinter* Printer = nullptr;
  // Shows a progress box with the caption; Cancel sets *cancel. Unset: long
  // work shows no progress (and cannot be cancelled).
  std::function<std::unique_ptr<TProgressBox>(const QString& caption, volatile std::uint8_t* cancel)> ShowProgress;
};

TDisplayContext& DisplayContext();

// The settings in force; defaults until the program sets its record.
const TOptions& DisplayOptions();

// Passes a note to the status bar, when there is one.
void ShowStatusNote(const std::string& text);

// The hint file a node's picture data is read from.
std::string RootFileName(const TZEBObject& node);
