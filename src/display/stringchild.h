#pragma once
// Hint windows: one child window per opened node, showing the node's
// document in a scroll box with a button panel below. THintForm reveals the
// hints of a node one at a time ("Another hint?"), optionally with a counter
// and remembered in the node's HintsShown.

#include <QPushButton>
#include <QWidget>

#include "model/hunk.h"

class QMdiSubWindow;
class QScrollArea;
class TItemsHunk;
class TStringControl;
class TStringForm;

class THintButton : public QPushButton {
  Q_OBJECT

 public:
  THintButton(QWidget* parent, TStringForm* form);
  TStringForm* Form;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
  // The style's look, and the focus frame whenever the button has the
  // keyboard, however it got it.
  void paintEvent(QPaintEvent* event) override;
};

class TStringForm : public QWidget, public TNodeWindow {
  Q_OBJECT

 public:
  // ownsNode: the window deletes the node when it closes (search results).
  explicit TStringForm(TItemsHunk* node, bool ownsNode = false);
  ~TStringForm() override;

  virtual void HintButtonClick();
  void FocusHintButton();
  // Gives the keyboard focus to the hint button when it shows, otherwise to
  // the text, so a new window answers the keys at once.
  void FocusContent();
  // Closes the window (its child window in the window area when it has one).
  void CloseWindow();
  // Brings the window forward, restored and focused.
  void ShowWindow();
  // Keeps a stretched lone picture's proportions when its window is resized:
  // the size for a proposed one, given the size before.
  QSize KeepPictureAspect(QSize before, QSize proposed) const;
  void CloseNodeWindow() override;

  TItemsHunk* Node() const { return NodeShown; }
  TStringControl* Control() const { return ControlWidget; }
  THintButton* HintButton() const { return Button; }
  QScrollArea* ScrollBox() const { return Scroll; }
  QWidget* Panel() const { return ButtonPanel; }
  QMdiSubWindow* SubWindow() const;

  QSize sizeHint() const override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void ShowPanel(bool shown);

 private:
  void FormClose();

  QScrollArea* Scroll;
  QWidget* ButtonPanel;
  TItemsHunk* NodeShown;
  TStringControl* ControlWidget;
  THintButton* Button;
  bool OwnsNode;
  bool Closed = false;
  bool Adjusting = false;
};

class THintForm : public TStringForm {
  Q_OBJECT

 public:
  explicit THintForm(TItemsHunk* node, bool ownsNode = false);

  void HintButtonClick() override;
  virtual void RevealNextHint();
  // The view jumps to the end, where the newest hint is (to the top when the
  // document has one hint).
  void ScrollToHint();

  int LastShown = 0;
  int HintsRevealed = 0;
  int HintCount = 1;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool ShownOnce = false;
};

// Opens a node the way its kind asks: a hint window (created, or brought
// forward), the target of a link, an overlay drawn onto its picture.
void OpenNode(THunk& node);
// Notes shown in the status bar when a node has nothing to show here.
inline constexpr const char* SoundNotPlayedNote = "Sounds are not played by this reader.";
inline constexpr const char* OldPictureNote = "Pictures of this older kind are not shown by this reader.";
inline constexpr const char* PictureNotShownNote = "This picture could not be shown: its data in the hint file is damaged.";
// A child window's own menu keeps no shortcut that the main window's menu
// uses (Ctrl+W).
void LeaveMenuShortcutsToMainWindow(QMdiSubWindow& window);
// Installs OpenNode as the way the model opens nodes.
void InstallNodeOpening();
// Shows a new hint window: in the window area (as its active window) when
// there is one, otherwise on its own.
void ShowFormWindow(TStringForm& form);
// A hint window in the window area for a node; it deletes the node when it
// closes if ownsNode is set.
THintForm* ShowHintWindow(TItemsHunk& node, bool ownsNode = false);
