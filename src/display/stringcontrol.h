#pragma once
// The control that shows one node's display document in a hint window:
// pieces laid out by TTextLayout, painted in the two fonts and colours, with
// rules, pictures and clickable links (node titles, file entries, the hot
// regions of pictures). The mouse follows links with a hand cursor; Tab and
// Shift+Tab step through them, Enter opens one, and the scrolling keys move
// the window's scroll box.

#include <vector>

#include <QImage>
#include <QWidget>

#include "display/textlayout.h"

class QPainter;
class QScrollArea;
class TItemsHunk;
class TOverlayHunk;
class TStringForm;
class TZEBObject;

struct TLinkInfo {
  TRect Rect;
  TZEBObject* Target = nullptr;  // not owned
};

// Which entries of a list of rectangles (pieces or links, in layout order)
// may meet a band of rows: binary searches over the running maximum of the
// bottom edges and the running minimum (from the end) of the top edges, so
// a window of many thousand rows paints and hit-tests only what is in view.
class TRowIndex {
 public:
  void Reset(std::size_t reserve);
  void Add(int top, int bottom);
  // Call once every entry is added.
  void Finish();
  // Entries before First(top) all end above top; entries from End(bottom)
  // on all start below bottom.
  std::size_t First(int top) const;
  std::size_t End(int bottom) const;

 private:
  std::vector<int> RunningBottom;
  std::vector<int> LowestTopFrom;
};

class TStringControl : public QWidget {
  Q_OBJECT

 public:
  // Decodes the pictures among the node's items.
  TStringControl(QScrollArea* scrollBox, TItemsHunk* node, TStringForm* form);
  ~TStringControl() override;

  // Sets the size, lays the document out to that width.
  void Resize(int height, int width);
  // Lays out the shown items again (after a reveal or a change of settings).
  void WrapText();
  // Lays out for a control of the given size, then takes the larger of that
  // size and the content's in one step, so the scroll range never collapses
  // on the way.
  void WrapTextFrom(QSize base);
  bool IsJustAGraphic() const;
  // The scale of a lone picture stretched to fill the window, or 0 when the
  // picture is drawn at its own size.
  double StretchScale() const;

  // Focus boxes around the selected link; with scroll, the view moves to it.
  void DrawBoxes(bool scroll);
  void ClearBoxes();
  // Tab and Shift+Tab: the next or previous link after the selected one, or
  // from the first or the last link.
  void StepTab(bool back, bool fromTheEnds);
  TZEBObject* NextTab(int start);
  TZEBObject* LastTab(int start);
  // Opens what a link leads to.
  void Activate(TZEBObject* target);

  // Draws an overlay onto its picture, decoding it the first time; false
  // when it cannot be drawn (its picture or its own data cannot be decoded).
  bool DisplayOverlay(TOverlayHunk& overlay);
  // False when a picture of the document could not be decoded.
  bool PicturesShown() const;
  // Scrolls the view as the key does (PageUp, PageDown, Home, End, arrows);
  // false for any other key.
  bool ScrollWithKey(int key);
  // Frees every decoded picture of the document.
  void DeleteBitmaps();

  // The window's output commands (Save Window, Copy to Clipboard, Print
  // Window): what the window shows, or its lone picture.
  void SaveContents();
  void CopyContents();
  void PrintContents();
  // The text Copy puts on the clipboard, and the count of items Save writes.
  QString ContentsText() const;
  int SavedItemCount() const;

  TItemsHunk* Document() const { return Node; }
  void ClearDocument();
  int ShownCount() const { return Layout.ShownCount; }
  void SetShownCount(int count) { Layout.ShownCount = count; }
  const std::vector<TWrapInfo>& Pieces() const { return Layout.Pieces(); }
  const std::vector<TLinkInfo>& Links() const { return LinkList; }
  TZEBObject* FocusTarget() const { return Focused; }
  // Selects no link: the items it pointed to are about to go.
  void ForgetFocusTarget() { Focused = nullptr; }
  // How many times the document has been laid out (each WrapText).
  int LayoutCount() const { return Layouts; }
  bool PaintSuspended = false;
  // The text the last reveal added, for screen readers.
  QString RevealedText;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;  // Tab stays with the control
  bool event(QEvent* event) override;

 private:
  void BuildLinks();
  int LinkAt(int x, int y) const;
  void ScrollBy(int dx, int dy);
  // True when a rectangle of the selected link shows in the window.
  bool FocusedLinkInView() const;
  QImage* Picture(const TZEBObject& item) const;

  QScrollArea* ScrollBox;
  TStringForm* Form;
  TItemsHunk* Node;
  TTextLayout Layout;
  std::vector<TLinkInfo> LinkList;
  TRowIndex PieceRows;
  TRowIndex LinkRows;
  TZEBObject* Focused = nullptr;
  bool BoxesDrawn = false;
  int Layouts = 0;
};
