#include "display/hunkprintout.h"

#include <algorithm>
#include <functional>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "dialogs/pendingevents.h"
#include "settings/qtvalues.h"
#include "dialogs/dialogs.h"
#include "display/displaycontext.h"
#include "display/piecepainter.h"
#include "display/pngdecode.h"
#include "display/textcodec.h"
#include "display/textflow.h"
#include "display/textmeasure.h"
#include "model/chunkeddocument.h"
#include "model/itemshunk.h"
#include "model/pngobject.h"
#include "settings/options.h"

namespace {
// A picture pixel is 1/120 inch on paper.
constexpr int PicturePixelsPerInch = 120;
// Text is drawn in runs of at most this many characters.
constexpr int RunLength = 20;

// Chunks of this many items are laid out while the display of a whole
// file is built, and freed before the next is built.
constexpr std::size_t ChunkItems = 4096;

// The page breaks of the printer's flow: a piece that would reach below
// the print rectangle starts a new page, even on an empty page.
class TPageBreaks : public TFlowSink {
 public:
  TPageBreaks(int top, int bottom) : Top(top), Bottom(bottom) {}

  int Place(int y, int height) override {
    if (y + height <= Bottom) return y;
    NewPage();
    return Top;
  }

 protected:
  virtual void NewPage() = 0;

 private:
  int Top;
  int Bottom;
};

// Counts the pages, stopping at a cancel.
class TPageCounter : public TPageBreaks {
 public:
  TPageCounter(int top, int bottom, std::function<void()> newPage, const volatile std::uint8_t& cancelled)
      : TPageBreaks(top, bottom), OnNewPage(std::move(newPage)), CancelFlag(cancelled) {}
  void Add(const TWrapInfo&) override {}
  bool Cancelled() const override { return CancelFlag != 0; }

 private:
  void NewPage() override { OnNewPage(); }
  std::function<void()> OnNewPage;
  const volatile std::uint8_t& CancelFlag;
};

// Hands on the pieces of pages first .. last as the flow places them,
// telling when each of those pages begins; the flow stops after the last,
// or at the end of the page during which Cancel was pressed.
class TPageRangeSink : public TPageBreaks {
 public:
  TPageRangeSink(int top, int bottom, int first, int last, std::function<void(int page)> beginPage,
                 std::function<void(const TWrapInfo&)> take, const volatile std::uint8_t& cancelled)
      : TPageBreaks(top, bottom),
        First(first),
        Last(last),
        BeginPage(std::move(beginPage)),
        Take(std::move(take)),
        CancelFlag(cancelled) {
    if (First == 1) BeginPage(1);
  }
  void Add(const TWrapInfo& piece) override {
    if (!Stopped && Page >= First) Take(piece);
  }
  bool Cancelled() const override { return Stopped; }

 private:
  void NewPage() override {
    if (Stopped) return;
    ++Page;
    if (Page > Last || CancelFlag != 0) {
      Stopped = true;
    } else if (Page >= First) {
      BeginPage(Page);
    }
  }

  int Page = 1;
  bool Stopped = false;
  int First;
  int Last;
  std::function<void(int page)> BeginPage;
  std::function<void(const TWrapInfo&)> Take;
  const volatile std::uint8_t& CancelFlag;
};
// While pages are written, memory the program frees stays with it: the PDF
// writer takes and frees large buffers for every page (its compressor's
// among them), and giving them back to the system each time, only to have
// them cleared and faulted in again for the next page, costs more than
// the drawing. Ends with the default limit. (Where blocks are mapped of
// their own is left as the program set it at its start: large blocks from
// the heap.)
class TKeepFreedMemory {
 public:
  TKeepFreedMemory() {
#ifdef __GLIBC__
    mallopt(M_TRIM_THRESHOLD, KeptBytes);
#endif
  }
  ~TKeepFreedMemory() {
#ifdef __GLIBC__
    mallopt(M_TRIM_THRESHOLD, DefaultThreshold);
#endif
  }
  TKeepFreedMemory(const TKeepFreedMemory&) = delete;
  TKeepFreedMemory& operator=(const TKeepFreedMemory&) = delete;

 private:
  static constexpr int KeptBytes = 64 << 20;
  static constexpr int DefaultThreshold = 128 << 10;
};
}  // namespace

THunkPrintout::THunkPrintout(TItemsHunk& document, int itemCount, bool wholeFile, QWidget* owner)
    : Document(&document),
      TitleText(FromCp1252(document.Text)),
      ItemCount(std::clamp<int>(itemCount, 0, static_cast<int>(document.ItemCount()))),
      WholeFile(wholeFile),
      Owner(owner) {}

THunkPrintout::THunkPrintout(THunk& root, std::string title, QWidget* owner)
    : Root(&root), TitleText(FromCp1252(title)), WholeFile(true), Owner(owner) {}

THunkPrintout::~THunkPrintout() = default;

void THunkPrintout::ShowStatus(const QString& text) {
  if (!Progress) return;
  Progress->SetStatusText(text);
  ShowStatusNow();
}

void THunkPrintout::SetUpPage(QPrinter& printer) {
  DpiX = printer.logicalDpiX();
  DpiY = printer.logicalDpiY();
  const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
  const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
  OffsetX = page.left() - paper.left();
  OffsetY = page.top() - paper.top();
  PhysicalWidth = paper.width();
  PhysicalHeight = paper.height();
  // 0.8 inch, or the unprintable margin where that is wider.
  const int marginX = std::max(static_cast<int>(0.8 * DpiX), OffsetX);
  const int marginY = std::max(static_cast<int>(0.8 * DpiY), OffsetY);
  Rect = {marginX - OffsetX, marginY - OffsetY, std::min(PhysicalWidth - marginX - OffsetX, page.width()),
          std::min(PhysicalHeight - marginY - OffsetY, page.height())};

  const TOptions& options = DisplayOptions();
  PrintFont = QFont(MakeFont(options.MainFont), &printer);
  PrintFixedFont = QFont(MakeFont(options.FixedFont), &printer);

  // Pages formatted for another printer or paper are formatted again.
  if (Formatted && (PrinterName != printer.printerName() || page.height() != PageHeight || page.width() != PageWidth)) {
    Format(printer);
  }
}

void THunkPrintout::Format(QPrinter& printer) {
  LastPage = 0;
  BeginFormatting();
  Paginate(printer);
}

void THunkPrintout::BeginFormatting() {
  Cancelled = 0;
  Progress.reset();
  const TDisplayContext& context = DisplayContext();
  if (WholeFile && context.ShowProgress) {
    Progress = context.ShowProgress("Formatting Printout", &Cancelled);
    ShowStatus(Title() + "\n\nPage 1");
  }
}

void THunkPrintout::NewPage() {
  ++LastPage;
  if (WholeFile) ShowStatus(Title() + "\n\nPage " + QString::number(LastPage + 1));
}

QImage THunkPrintout::PictureOf(const TZEBObject& item) const {
  if (const QImage* shown = DecodedPicture(item)) return *shown;
  const auto& picture = static_cast<const TPNGObject&>(item);
  const QRgb background = ToQColor(DisplayOptions().WindowBackColor).rgb();
  return CreateDIB(RootFileName(picture), picture.DataOffset, background);
}

QSize THunkPrintout::PrintedSize(const QImage& image) const {
  if (image.isNull()) return {};
  return {image.width() * DpiX / PicturePixelsPerInch, image.height() * DpiY / PicturePixelsPerInch};
}

void THunkPrintout::Paginate(QPrinter& printer) {
  PrinterName = printer.printerName();
  const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
  PageHeight = page.height();
  PageWidth = page.width();
  Formatted = true;
  LaidOutFor = &printer;
  const QFontMetrics metrics(PrintFont, &printer);
  LineHeightPx = metrics.height() + std::max(0, metrics.leading());
  Ascent = metrics.ascent();
  TPageCounter counter(Rect.Top, Rect.Bottom, [this] { NewPage(); }, Cancelled);
  LayOut(counter);
  if (Progress && Cancelled == 0) Progress->Finish();
  Progress.reset();
}

void THunkPrintout::LayOut(TFlowSink& sink) {
  // Any rectangle with room formats (a rectangle at the paper's edge too).
  if (LaidOutFor == nullptr || Rect.Width() <= 0 || Rect.Height() <= 0) return;
  const TFontMeasure measure(PrintFont, PrintFixedFont, LaidOutFor);
  const TFlowFrame frame{Rect.Left, Rect.Top, Rect.Right, 0, LineHeightPx, true};
  const TImageSize imageSize = [this](const TZEBObject& item) { return PrintedSize(PictureOf(item)); };
  TFlow flow(measure, frame, imageSize, sink);
  if (Root == nullptr) {
    flow.Add(*Document, ItemCount);
    return;
  }
  // The chunks are only laid out: their title is never shown.
  TChunkedDocument document({}, ChunkItems, [&flow](const TItemsHunk& chunk) {
    flow.Add(chunk, static_cast<int>(chunk.ItemCount()));
  });
  document.Build(*Root);
}

void THunkPrintout::VisitPagePieces(int page, const std::function<void(const TWrapInfo& piece)>& visit) {
  const volatile std::uint8_t never = 0;
  TPageRangeSink sink(Rect.Top, Rect.Bottom, page, page, [](int) {}, visit, never);
  LayOut(sink);
}

THunkPrintout::TOutcome THunkPrintout::Print(QPrinter& printer) {
  SetUpPage(printer);
  Format(printer);
  if (Cancelled != 0) return TOutcome::Cancelled;

  printer.setDocName("ZEB: " + Title());  // also names a PDF printed to a file
  const auto range = Dialogs().ChoosePrintRange(Owner, printer, 1, LastPage + 1);
  if (!range) return TOutcome::DialogCancelled;
  SetUpPage(printer);  // formats again for another printer or paper
  if (Cancelled != 0) return TOutcome::Cancelled;

  int first = range->Chosen ? range->From : 1;
  int last = range->Chosen ? range->To : LastPage + 1;
  first = std::max(first, 1);
  last = std::min(last, LastPage + 1);
  if (first > last) return TOutcome::Printed;

  const TKeepFreedMemory keep;
  QPainter painter;
  if (!painter.begin(&printer)) return TOutcome::Failed;
  const TDisplayContext& context = DisplayContext();
  if (context.ShowProgress) Progress = context.ShowProgress("Printing", &Cancelled);
  PrintPages(printer, painter, first, last);
  const bool ended = painter.end();
  if (Progress && Cancelled == 0) Progress->Finish();
  Progress.reset();
  if (Cancelled != 0) return TOutcome::Cancelled;
  return ended ? TOutcome::Printed : TOutcome::Failed;
}

void THunkPrintout::PrintPages(QPrinter& printer, QPainter& painter, int first, int last) {
  const TFontMeasure measure(PrintFont, PrintFixedFont, &printer);
  TPieceStyle style = PieceStyle();
  style.RunMeasure = &measure;
  const auto beginPage = [&](int page) {
    if (page != first) printer.newPage();
    ShowStatus(Title() + "\n\nPage " + QString::number(page) + " of " + QString::number(last));
    PaintHeaderAndFooter(page, painter);
  };
  const auto paint = [&](const TWrapInfo& piece) { PaintPiece(painter, piece, style); };
  TPageRangeSink sink(Rect.Top, Rect.Bottom, first, last, beginPage, paint, Cancelled);
  LayOut(sink);
  painter.setFont(PrintFont);
}

void THunkPrintout::PaintHeaderAndFooter(int page, QPainter& painter) {
  painter.setFont(PrintFont);
  painter.setPen(ToQColor(DisplayOptions().FontColor));
  const int pageHeight = PageHeight;
  const int headerMargin = std::max(static_cast<int>(0.25 * DpiY), OffsetY);
  const int footerMargin = std::max(static_cast<int>(0.25 * DpiY), PhysicalHeight - OffsetY - pageHeight);
  const int centreX = PhysicalWidth / 2 - OffsetX;
  const auto centred = [&](const QString& text, int top) {
    const QRect box(centreX - PhysicalWidth, top, 2 * PhysicalWidth, LineHeightPx);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
  };
  // Header and footer each stand in their 0.8 inch only where a line and
  // its margin fit there.
  if (0.8 * DpiY > LineHeightPx + headerMargin) centred("ZEB: " + Title(), headerMargin - OffsetY);
  if (0.8 * DpiY > LineHeightPx + footerMargin)
    centred(QString("Page %1 of %2").arg(page).arg(LastPage + 1), PhysicalHeight - footerMargin - OffsetY - LineHeightPx);
}

TPieceStyle THunkPrintout::PieceStyle() {
  // The printer-resolution fonts throughout: the fixed font for its pieces,
  // the main font for every other.
  const TOptions& options = DisplayOptions();
  TPieceStyle style;
  style.MainFont = PrintFont;
  style.FixedFont = PrintFixedFont;
  style.Baseline = Ascent;
  style.LineHeight = LineHeightPx;
  style.LinkColor = ToQColor(options.TextColor);
  style.TextColor = ToQColor(options.FontColor);
  style.RuleRight = Rect.Right;
  style.RunLength = RunLength;
  style.Picture = [this](const TZEBObject& item) { return PictureOf(item); };
  style.PictureRect = [this](const QImage& image, const TRect& r) {
    return QRect(QPoint(r.Left, r.Top), PrintedSize(image));
  };
  return style;
}

namespace {
// Runs the job on the program's printer (a new default printer when none
// is set) and tells the user when the printer could not be started.
THunkPrintout::TOutcome RunOnProgramPrinter(THunkPrintout& job, QWidget* owner) {
  std::unique_ptr<QPrinter> ownPrinter;
  QPrinter* printer = DisplayContext().Printer;
  if (printer == nullptr) {
    ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer = ownPrinter.get();
  }
  const THunkPrintout::TOutcome outcome = job.Print(*printer);
  if (outcome == THunkPrintout::TOutcome::Failed) {
    const QString target = printer->outputFileName().isEmpty() ? printer->printerName() : printer->outputFileName();
    Dialogs().Message(owner, "Error",
                      "The printout could not be started on " + (target.isEmpty() ? QString("the printer") : target) +
                          ".  Check the printer, or the file it prints to.",
                      TDialogs::TIcon::Stop);
  }
  return outcome;
}
}  // namespace

THunkPrintout::TOutcome RunPrintJob(TItemsHunk& document, int itemCount, bool wholeFile, QWidget* owner) {
  THunkPrintout job(document, itemCount, wholeFile, owner);
  return RunOnProgramPrinter(job, owner);
}

THunkPrintout::TOutcome RunPrintJob(THunk& root, std::string title, QWidget* owner) {
  THunkPrintout job(root, std::move(title), owner);
  return RunOnProgramPrinter(job, owner);
}
