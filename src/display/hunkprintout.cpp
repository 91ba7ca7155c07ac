#include "display/hunkprintout.h"

#include <algorithm>
#include <functional>

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
#include "model/itemshunk.h"
#include "model/pngobject.h"
#include "settings/options.h"

namespace {
// A picture pixel is 1/120 inch on paper.
constexpr int PicturePixelsPerInch = 120;
// Text is drawn in runs of at most this many characters.
constexpr int RunLength = 20;

// The page breaks of the printer's flow: a piece that would reach below
// the print rectangle starts a new page, even on an empty page.
class TPageSink : public TFlowSink {
 public:
  TPageSink(int top, int bottom, std::vector<std::vector<TWrapInfo>>& pages, std::function<void()> newPage,
            const volatile std::uint8_t& cancelled)
      : Top(top), Bottom(bottom), Pages(pages), NewPage(std::move(newPage)), CancelFlag(cancelled) {}

  int Place(int y, int height) override {
    if (y + height <= Bottom) return y;
    NewPage();
    return Top;
  }
  void Add(const TWrapInfo& piece) override { Pages.back().push_back(piece); }
  bool Cancelled() const override { return CancelFlag != 0; }

 private:
  int Top;
  int Bottom;
  std::vector<std::vector<TWrapInfo>>& Pages;
  std::function<void()> NewPage;
  const volatile std::uint8_t& CancelFlag;
};
}  // namespace

THunkPrintout::THunkPrintout(TItemsHunk& document, int itemCount, bool wholeFile, QWidget* owner)
    : Document(&document),
      ItemCount(std::clamp<int>(itemCount, 0, static_cast<int>(document.ItemCount()))),
      WholeFile(wholeFile),
      Owner(owner),
      Pages(1) {}

THunkPrintout::~THunkPrintout() = default;

QString THunkPrintout::Title() const { return FromCp1252(Document->Text); }

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
  Pages.assign(1, {});
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
  Pages.emplace_back();
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
  const QFontMetrics metrics(PrintFont, &printer);
  LineHeightPx = metrics.height() + std::max(0, metrics.leading());
  Ascent = metrics.ascent();
  // Any rectangle with room formats (a rectangle at the paper's edge too).
  if (Rect.Width() > 0 && Rect.Height() > 0 && ItemCount > 0) {
    const TFontMeasure measure(PrintFont, PrintFixedFont, &printer);
    const TFlowFrame frame{Rect.Left, Rect.Top, Rect.Right, 0, LineHeightPx, true};
    TPageSink sink(Rect.Top, Rect.Bottom, Pages, [this] { NewPage(); }, Cancelled);
    const TImageSize imageSize = [this](const TZEBObject& item) { return PrintedSize(PictureOf(item)); };
    FlowItems(*Document, ItemCount, measure, frame, imageSize, sink);
  }
  if (Progress && Cancelled == 0) Progress->Finish();
  Progress.reset();
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

  QPainter painter;
  if (!painter.begin(&printer)) return TOutcome::Failed;
  const TDisplayContext& context = DisplayContext();
  if (context.ShowProgress) Progress = context.ShowProgress("Printing", &Cancelled);
  for (int p = first; p <= last; ++p) {
    ShowStatus(Title() + "\n\nPage " + QString::number(p) + " of " + QString::number(last));
    PrintPage(p, painter);
    if (Cancelled != 0) break;
    if (p != last) printer.newPage();
  }
  const bool ended = painter.end();
  if (Progress && Cancelled == 0) Progress->Finish();
  Progress.reset();
  if (Cancelled != 0) return TOutcome::Cancelled;
  return ended ? TOutcome::Printed : TOutcome::Failed;
}

void THunkPrintout::PrintPage(int page, QPainter& painter) {
  if (!HasPage(page)) return;
  const TOptions& options = DisplayOptions();
  painter.setFont(PrintFont);
  painter.setPen(ToQColor(options.FontColor));
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

  // The printer-resolution fonts throughout: the fixed font for its pieces,
  // the main font for every other.
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
  for (const TWrapInfo& piece : PagePieces(page)) PaintPiece(painter, piece, style);
  painter.setFont(PrintFont);
}

THunkPrintout::TOutcome RunPrintJob(TItemsHunk& document, int itemCount, bool wholeFile, QWidget* owner) {
  std::unique_ptr<QPrinter> ownPrinter;
  QPrinter* printer = DisplayContext().Printer;
  if (printer == nullptr) {
    ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer = ownPrinter.get();
  }
  THunkPrintout job(document, itemCount, wholeFile, owner);
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
