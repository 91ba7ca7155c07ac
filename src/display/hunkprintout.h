#pragma once
// The print job: lays a display document out on printer pages (the screen's
// flow, measured with printer-resolution copies of the two fonts, pictures
// at 120 picture pixels per inch), asks the print dialog for the pages, and
// prints them with a header and a footer. Formatting a whole file and
// printing show a progress box whose Cancel stops at the next page.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QFont>
#include <QImage>
#include <QString>

#include "display/piecepainter.h"
#include "display/textlayout.h"

class QPainter;
class QPrinter;
class QWidget;
class TFlowSink;
class THunk;
class TItemsHunk;
class TProgressBox;
class TZEBObject;

class THunkPrintout {
 public:
  enum class TOutcome {
    Printed,          // the chosen pages went to the printer
    Cancelled,        // Cancel in a progress box (the pages printed so far came out)
    DialogCancelled,  // the print dialog was cancelled: nothing printed
    Failed,           // the printer could not be started (an output that cannot be written)
  };

  // Prints items 0 .. itemCount - 1 of the document; wholeFile shows the
  // formatting progress. owner: the window that owns the dialogs.
  THunkPrintout(TItemsHunk& document, int itemCount, bool wholeFile, QWidget* owner = nullptr);
  // Prints the whole subtree of the root (numbered afresh) under the title,
  // as a whole file. Its display is built a chunk at a time whenever the
  // pages are laid out, so it is never held whole.
  THunkPrintout(THunk& root, std::string title, QWidget* owner = nullptr);
  ~THunkPrintout();
  THunkPrintout(const THunkPrintout&) = delete;
  THunkPrintout& operator=(const THunkPrintout&) = delete;

  // Formats, asks for the pages, and prints them.
  TOutcome Print(QPrinter& printer);

  // Takes the printer's page geometry and fonts; formats the pages again
  // when the printer or its paper changed since they were formatted.
  void SetUpPage(QPrinter& printer);
  // Pages count from 1.
  bool HasPage(int page) const { return page >= 1 && page <= LastPage + 1; }

  int PageCount() const { return LastPage + 1; }
  // Lays the page of the last formatting out afresh and hands its pieces
  // to visit; the items of a subtree's display live only during the call.
  void VisitPagePieces(int page, const std::function<void(const TWrapInfo& piece)>& visit);
  // Where text and pictures go, in printable-area pixels.
  const TRect& PrintRect() const { return Rect; }
  int LineHeight() const { return LineHeightPx; }
  // Formats the pages for the printer (what Print does first).
  void Format(QPrinter& printer);

 private:
  void BeginFormatting();
  void Paginate(QPrinter& printer);
  void NewPage();
  // Lays every item out on the pages of the last formatting's printer,
  // handing the pieces to the sink.
  void LayOut(TFlowSink& sink);
  // Prints pages first .. last as the flow reaches them.
  void PrintPages(QPrinter& printer, QPainter& painter, int first, int last);
  void PaintHeaderAndFooter(int page, QPainter& painter);
  TPieceStyle PieceStyle();
  void ShowStatus(const QString& text);
  // The picture of an image item as printed: the window's bitmap, or one
  // decoded for the moment when no window holds it.
  QImage PictureOf(const TZEBObject& item) const;
  QSize PrintedSize(const QImage& image) const;
  const QString& Title() const { return TitleText; }

  // What is printed: items of a document, or the display of a subtree.
  TItemsHunk* Document = nullptr;
  THunk* Root = nullptr;
  QString TitleText;
  QFont PrintFont;
  QFont PrintFixedFont;
  int LineHeightPx = 0;
  int Ascent = 0;
  int LastPage = 0;
  int DpiX = 0;
  int DpiY = 0;
  int OffsetX = 0;
  int OffsetY = 0;
  int PhysicalHeight = 0;
  int PhysicalWidth = 0;
  int ItemCount = 0;
  TRect Rect;
  QString PrinterName;
  int PageHeight = 0;
  int PageWidth = 0;
  bool Formatted = false;
  std::unique_ptr<TProgressBox> Progress;
  volatile std::uint8_t Cancelled = 0;
  bool WholeFile;
  QWidget* Owner;
  // The printer of the last formatting.
  QPrinter* LaidOutFor = nullptr;
};

// Prints items 0 .. itemCount - 1 of the document on the program's printer
// (a new default printer when none is set): formats, asks, prints, and
// tells the user when the printer could not be started.
THunkPrintout::TOutcome RunPrintJob(TItemsHunk& document, int itemCount, bool wholeFile, QWidget* owner);
// Prints the whole subtree of the root under the title in the same way.
THunkPrintout::TOutcome RunPrintJob(THunk& root, std::string title, QWidget* owner);
