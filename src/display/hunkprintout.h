#pragma once
// The print job: lays a display document out on printer pages (the screen's
// flow, measured with printer-resolution copies of the two fonts, pictures
// at 120 picture pixels per inch), asks the print dialog for the pages, and
// prints them with a header and a footer. Formatting a whole file and
// printing show a progress box whose Cancel stops at the next page.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QFont>
#include <QImage>
#include <QString>

#include "display/textlayout.h"

class QPainter;
class QPrinter;
class QWidget;
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
  void PrintPage(int page, QPainter& painter);

  int PageCount() const { return LastPage + 1; }
  const std::vector<TWrapInfo>& PagePieces(int page) const { return Pages.at(static_cast<std::size_t>(page - 1)); }
  // Where text and pictures go, in printable-area pixels.
  const TRect& PrintRect() const { return Rect; }
  int LineHeight() const { return LineHeightPx; }
  // Formats the pages for the printer (what Print does first).
  void Format(QPrinter& printer);

 private:
  void BeginFormatting();
  void Paginate(QPrinter& printer);
  void NewPage();
  void ShowStatus(const QString& text);
  // The picture of an image item as printed: the window's bitmap, or one
  // decoded for the moment when no window holds it.
  QImage PictureOf(const TZEBObject& item) const;
  QSize PrintedSize(const QImage& image) const;
  QString Title() const;

  TItemsHunk* Document;
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
  int ItemCount;
  TRect Rect;
  QString PrinterName;
  int PageHeight = 0;
  int PageWidth = 0;
  bool Formatted = false;
  std::unique_ptr<TProgressBox> Progress;
  volatile std::uint8_t Cancelled = 0;
  bool WholeFile;
  QWidget* Owner;
  // The pieces of each page; page 1 exists from the start.
  std::vector<std::vector<TWrapInfo>> Pages;

};

// Prints items 0 .. itemCount - 1 of the document on the program's printer
// (a new default printer when none is set): formats, asks, prints, and
// tells the user when the printer could not be started.
THunkPrintout::TOutcome RunPrintJob(TItemsHunk& document, int itemCount, bool wholeFile, QWidget* owner);
