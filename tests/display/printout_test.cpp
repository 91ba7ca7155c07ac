// The print job printing to PDF, read back with poppler: pages of a known
// length, header and footer and the rule that leaves them out, page ranges,
// pictures that start a new page, fonts that keep their size, cancelling,
// and formatting again for other paper.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <optional>

#include <QPageLayout>
#include <QPageSize>
#include <QApplication>
#include <QPrintDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>

#include "display/displaycontext.h"
#include "display/hunkprintout.h"
#include "model/displaydocument.h"
#include "model/pngobject.h"
#include "support/pdftext.h"
#include "support/scripteddialogs.h"
#include "windowfixture.h"

using namespace wintest;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A progress box that presses Cancel when its status text has been set for
// the given time.
class TCancellingProgress : public TProgressBox {
 public:
  TCancellingProgress(volatile std::uint8_t* cancel, int cancelAt, std::vector<QString>& seen)
      : Cancel(cancel), CancelAt(cancelAt), Seen(seen) {}
  void SetStatusText(const QString& text) override {
    Seen.push_back(text);
    if (++Count == CancelAt) *Cancel = 1;
  }
  void Finish() override {}

 private:
  volatile std::uint8_t* Cancel;
  int CancelAt;
  int Count = 0;
  std::vector<QString>& Seen;
};

class Printout : public WindowTest {
 protected:
  std::string PdfPath(const std::string& name = "out.pdf") const { return (Dir.Path() / name).string(); }

  // A PDF printer on A4 (or the given paper) whose unprintable margins are
  // the given inches.
  std::unique_ptr<QPrinter> PdfPrinter(const std::string& path, QPageSize::PageSizeId paper = QPageSize::A4,
                                       QMarginsF margins = {}) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(path));
    printer->setPageLayout(QPageLayout(QPageSize(paper), QPageLayout::Portrait, margins, QPageLayout::Inch));
    return printer;
  }

  // "Long": count lines "Line 1" .. "Line count", each on its own line.
  TMetaTextHunk& LongNode(int count) {
    TMetaTextHunk& node = MakeNode("Long", Kind::Subject);
    for (int i = 1; i <= count; ++i) AddText(node, "Line " + std::to_string(i));
    return node;
  }

  // The pieces of a page of a job over a document (whose items outlive the call).
  static std::vector<TWrapInfo> PagePieces(THunkPrintout& job, int page) {
    std::vector<TWrapInfo> pieces;
    job.VisitPagePieces(page, [&pieces](const TWrapInfo& piece) { pieces.push_back(piece); });
    return pieces;
  }

  // Lines a page holds: a line goes on while its bottom stays inside.
  static int LinesPerPage(const THunkPrintout& job) { return job.PrintRect().Height() / job.LineHeight(); }

  TScriptedDialogs Dialogs;
};

TEST_F(Printout, PagesOfKnownLengthEachWithHeaderAndFooter) {
  TMetaTextHunk& node = LongNode(200);
  const std::string path = PdfPath();
  auto printer = PdfPrinter(path);
  THunkPrintout job(node, static_cast<int>(node.ItemCount()), true);
  ASSERT_EQ(job.Print(*printer), THunkPrintout::TOutcome::Printed);

  ASSERT_GT(LinesPerPage(job), 10);
  const int expected = (200 + LinesPerPage(job) - 1) / LinesPerPage(job);
  ASSERT_GE(expected, 3);
  EXPECT_EQ(job.PageCount(), expected);
  EXPECT_EQ(pdf::PageCount(path), expected);
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Kind, "print");
  EXPECT_EQ(Dialogs.Asked[0].Caption, "1");
  EXPECT_EQ(Dialogs.Asked[0].Text, QString::number(expected)) << "the dialog offers every page";
  for (int page = 1; page <= expected; ++page) {
    SCOPED_TRACE(page);
    const std::string text = pdf::Text(path, page);
    EXPECT_TRUE(Contains(text, "ZEB: Long")) << text.substr(0, 200);
    EXPECT_TRUE(Contains(text, "Page " + std::to_string(page) + " of " + std::to_string(expected)));
  }
  EXPECT_TRUE(Contains(pdf::Text(path, 1), "Line 1\n"));
  EXPECT_TRUE(Contains(pdf::Text(path, expected), "Line 200"));
  // Page 2 starts with the line after the last of page 1.
  EXPECT_TRUE(Contains(pdf::Text(path, 2), "Line " + std::to_string(LinesPerPage(job) + 1) + "\n"));
  EXPECT_FALSE(Contains(pdf::Text(path, 1), "Line " + std::to_string(LinesPerPage(job) + 1) + "\n"));
}

// Header and footer each need a line plus their margin inside 0.8 inch;
// the margin is a quarter inch or the unprintable margin, if wider.
TEST_F(Printout, HeaderAndFooterAreLeftOutWhereTheirMarginLeavesNoRoom) {
  struct TCase {
    double Top, Bottom;
    bool Header, Footer;
  };
  for (const TCase& c : {TCase{0, 0, true, true}, TCase{0.5, 0.5, true, true}, TCase{0.7, 0, false, true},
                         TCase{0, 0.7, true, false}, TCase{0.75, 0.75, false, false}}) {
    SCOPED_TRACE(std::to_string(c.Top) + " " + std::to_string(c.Bottom));
    TMetaTextHunk& node = LongNode(5);
    const std::string path = PdfPath("margins.pdf");
    auto printer = PdfPrinter(path, QPageSize::A4, QMarginsF(0, c.Top, 0, c.Bottom));
    THunkPrintout job(node, static_cast<int>(node.ItemCount()), false);
    ASSERT_EQ(job.Print(*printer), THunkPrintout::TOutcome::Printed);
    const std::string text = pdf::Text(path);
    EXPECT_EQ(Contains(text, "ZEB: Long"), c.Header);
    EXPECT_EQ(Contains(text, "Page 1 of 1"), c.Footer);
    EXPECT_TRUE(Contains(text, "Line 5"));
  }
}

TEST_F(Printout, APageRangeBeyondTheEndIsCutToTheLastPage) {
  TMetaTextHunk& node = LongNode(200);
  const std::string path = PdfPath();
  auto printer = PdfPrinter(path);
  Dialogs.PrintAnswers = {TDialogs::TPageRange{2, 99, true}};
  THunkPrintout job(node, static_cast<int>(node.ItemCount()), false);
  ASSERT_EQ(job.Print(*printer), THunkPrintout::TOutcome::Printed);
  const int pages = job.PageCount();
  EXPECT_EQ(pdf::PageCount(path), pages - 1);
  EXPECT_TRUE(Contains(pdf::Text(path, 1), "Page 2 of " + std::to_string(pages)));
  EXPECT_TRUE(Contains(pdf::Text(path, pages - 1), "Line 200"));

  // Cancelling the dialog prints nothing.
  const std::string none = PdfPath("none.pdf");
  auto second = PdfPrinter(none);
  Dialogs.PrintAnswers = {std::nullopt};
  THunkPrintout again(node, static_cast<int>(node.ItemCount()), false);
  EXPECT_EQ(again.Print(*second), THunkPrintout::TOutcome::DialogCancelled);
  EXPECT_FALSE(std::filesystem::exists(none));
}

// Pictures print at 120 picture pixels an inch; one that does not fit below
// what the page holds starts a new page, also when the page is empty.
TEST_F(Printout, APictureThatDoesNotFitStartsANewPage) {
  THintFileWriter writer;
  auto tall = writer.HyperPng("Tall", TinyPng(40, 1300));  // 10.8 inches
  auto half = writer.HyperPng("Half", TinyPng(240, 600));  // 5 inches
  writer.Hunks = {Subject("Pictures", {tall, half})};
  TItemsHunk* root = Load(writer);
  ASSERT_NE(root, nullptr);
  auto* tallPicture = dynamic_cast<THyperPNGHunk*>(root->FindByTitle("Tall"))->Image();
  auto* halfPicture = dynamic_cast<THyperPNGHunk*>(root->FindByTitle("Half"))->Image();

  auto document = MakeDocument("Pictures");
  document->Append(tallPicture);
  for (int i = 0; i < 40; ++i) {
    auto* line = new THunkLine("Text line " + std::to_string(i), document.get());
    line->EndsLine = 1;
    document->Append(line);
  }
  document->Append(halfPicture);
  const std::string path = PdfPath();
  auto printer = PdfPrinter(path);
  THunkPrintout job(*document, static_cast<int>(document->ItemCount()), false);
  ASSERT_EQ(job.Print(*printer), THunkPrintout::TOutcome::Printed);

  const int dpi = printer->logicalDpiY();
  ASSERT_GT(1300 * dpi / 120, job.PrintRect().Height()) << "the tall picture is taller than a page";
  // Page 1 stays empty: the tall picture opens page 2 and runs past its end;
  // the text follows on page 3, and the half-page picture, no longer fitting
  // under 40 lines, on page 4.
  ASSERT_EQ(job.PageCount(), 4);
  EXPECT_TRUE(PagePieces(job, 1).empty());
  ASSERT_EQ(PagePieces(job, 2).size(), 1u);
  EXPECT_EQ(PagePieces(job, 2)[0].Item, tallPicture);
  EXPECT_EQ(PagePieces(job, 2)[0].Rect.Height(), 1300 * dpi / 120);
  EXPECT_EQ(PagePieces(job, 2)[0].Rect.Width(), 40 * printer->logicalDpiX() / 120);
  EXPECT_EQ(PagePieces(job, 3).front().Rect.Top, job.PrintRect().Top);
  ASSERT_EQ(PagePieces(job, 4).size(), 1u);
  EXPECT_EQ(PagePieces(job, 4)[0].Item, halfPicture);
  EXPECT_EQ(PagePieces(job, 4)[0].Rect.Top, job.PrintRect().Top);
  EXPECT_EQ(pdf::PageCount(path), 4);
  EXPECT_EQ(tallPicture->Bitmap, nullptr) << "pictures decoded for printing are freed again";
  FreeDocument(std::move(document));
}

// Fixed-font words print in the printer's fixed font; the main-font words
// after them keep their size.
TEST_F(Printout, MainFontTextAfterFixedFontKeepsItsSize) {
  TMetaTextHunk& node = MakeNode("Fonts", Kind::Comment);
  const auto add = [&node](const std::string& text, bool fixed, bool endsLine) {
    auto* line = new THunkLine(text, &node);
    line->UseFixedFont = fixed ? 1 : 0;
    line->SpaceAfter = 1;
    line->EndsLine = endsLine ? 1 : 0;
    node.Append(line);
  };
  add("Alpha", false, false);
  add("CODE", true, false);
  add("Omega", false, true);
  add("Second", false, true);
  // Drawn in runs of 20 characters, each where the one before ended: the
  // word still reads as one.
  const std::string longWord = "Abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrs";
  add(longWord, false, true);
  const std::string path = PdfPath();
  auto printer = PdfPrinter(path);
  THunkPrintout job(node, static_cast<int>(node.ItemCount()), false);
  ASSERT_EQ(job.Print(*printer), THunkPrintout::TOutcome::Printed);
  std::map<std::string, pdf::TWord> words;
  for (const pdf::TWord& word : pdf::Words(path)) words[word.Text] = word;
  ASSERT_TRUE(words.count("Alpha") && words.count("CODE") && words.count("Omega") && words.count("Second"));
  EXPECT_NEAR(words["Omega"].Height(), words["Alpha"].Height(), 0.01);
  EXPECT_NEAR(words["Second"].Height(), words["Alpha"].Height(), 0.01);
  EXPECT_NEAR(words["Omega"].YMax, words["Alpha"].YMax, 0.5) << "one line";
  // 10 points of Arial on paper: a word box about 11.5 points high.
  EXPECT_NEAR(words["Alpha"].Height(), 11.5, 2.0);
  EXPECT_GT(words["CODE"].XMin, words["Alpha"].XMax);
  EXPECT_GT(words["Omega"].XMin, words["CODE"].XMax);
  EXPECT_EQ(words.count(longWord), 1u) << "the runs of a long word came apart";
}

TEST_F(Printout, CancelStopsFormattingOrPrintingAtTheNextPage) {
  TMetaTextHunk& node = LongNode(400);
  std::vector<QString> seen;
  int cancelAt = 3;
  DisplayContext().ShowProgress = [&](const QString& caption, volatile std::uint8_t* cancel) {
    seen.push_back("[" + caption + "]");
    return std::make_unique<TCancellingProgress>(cancel, cancelAt, seen);
  };

  // Formatting: Cancel while page 3 is being formatted; no dialog, no print.
  const std::string unprinted = PdfPath("unprinted.pdf");
  auto printer = PdfPrinter(unprinted);
  THunkPrintout formatting(node, static_cast<int>(node.ItemCount()), true);
  EXPECT_EQ(formatting.Print(*printer), THunkPrintout::TOutcome::Cancelled);
  EXPECT_EQ(formatting.PageCount(), 3) << "formatting went on past the cancelled page";
  EXPECT_TRUE(Dialogs.Asked.empty());
  EXPECT_FALSE(std::filesystem::exists(unprinted));
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0], "[Formatting Printout]");
  EXPECT_EQ(seen[1], "Long\n\nPage 1");

  // Printing (a window's print has no formatting box): Cancel at page 2 of
  // the printing box; page 2 still comes out and the job is ended.
  seen.clear();
  cancelAt = 2;
  const std::string partial = PdfPath("partial.pdf");
  auto second = PdfPrinter(partial);
  THunkPrintout printing(node, static_cast<int>(node.ItemCount()), false);
  EXPECT_EQ(printing.Print(*second), THunkPrintout::TOutcome::Cancelled);
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[0], "[Printing]");
  EXPECT_EQ(seen[1], "Long\n\nPage 1 of " + QString::number(printing.PageCount()));
  EXPECT_EQ(pdf::PageCount(partial), 2);
}

// Paper changed in the print dialog: the pages are formatted again for it.
TEST_F(Printout, AnotherPaperInThePrintDialogIsFormattedAgain) {
  TMetaTextHunk& node = LongNode(300);
  const std::string path = PdfPath();
  auto printer = PdfPrinter(path, QPageSize::A5);
  Dialogs.BeforePrintAnswer = [](QPrinter& chosen) { chosen.setPageSize(QPageSize(QPageSize::Letter)); };
  THunkPrintout job(node, static_cast<int>(node.ItemCount()), false);
  ASSERT_EQ(job.Print(*printer), THunkPrintout::TOutcome::Printed);
  const int letterPages = (300 + LinesPerPage(job) - 1) / LinesPerPage(job);
  EXPECT_EQ(job.PageCount(), letterPages);
  EXPECT_EQ(pdf::PageCount(path), letterPages);
  EXPECT_EQ(pdf::PageSize(path), "612 x 792");
  EXPECT_TRUE(Contains(pdf::Text(path, 1), "Page 1 of " + std::to_string(letterPages)));
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_NE(Dialogs.Asked[0].Text, QString::number(letterPages)) << "A5 held fewer lines a page";
}

// A printer whose output cannot be written reports it and prints nothing.
TEST_F(Printout, AnOutputThatCannotBeWrittenFails) {
  TMetaTextHunk& node = LongNode(3);
  auto printer = PdfPrinter((Dir.Path() / "missing" / "out.pdf").string());
  THunkPrintout job(node, static_cast<int>(node.ItemCount()), false);
  EXPECT_EQ(job.Print(*printer), THunkPrintout::TOutcome::Failed);
}

}  // namespace

namespace {

// A word wider than the page: on paper it is broken between letters and
// every letter is printed; on screen the line is left as it was.
TEST_F(Printout, AWordWiderThanThePageIsBrokenAndKeepsEveryLetter) {
  TMetaTextHunk& node = MakeNode("Words", Kind::Subject);
  std::string word;
  for (int i = 0; i < 200; ++i) word += static_cast<char>('a' + i % 26);
  AddText(node, "Before " + word + " after.");
  std::string address = "http://www.example.org/";
  for (int i = 0; i < 12; ++i) address += "a-very-long-path-segment/";
  AddText(node, address);
  const std::string path = PdfPath("words.pdf");
  auto printer = PdfPrinter(path);
  THunkPrintout job(node, static_cast<int>(node.ItemCount()), false);
  ASSERT_EQ(job.Print(*printer), THunkPrintout::TOutcome::Printed);
  // pdftotext gives the broken word back in lines; joined, every letter is there.
  std::string joined;
  for (const char c : pdf::Text(path))
    if (c != '\n' && c != ' ') joined += c;
  EXPECT_NE(joined.find(word), std::string::npos) << joined.substr(0, 400);
  EXPECT_NE(joined.find(address), std::string::npos);
  EXPECT_NE(joined.find("Before"), std::string::npos);
  EXPECT_NE(joined.find("after."), std::string::npos);
}

// A control of Qt's print dialog by its name (one always there).
template <typename T>
T* Child(QWidget& dialog, const char* name) {
  T* child = dialog.findChild<T*>(name);
  if (child == nullptr) throw std::runtime_error(std::string("the print dialog has no ") + name);
  return child;
}

// Qt's own print dialog, answered as a user answers it.
class PrintDialog : public Printout {
 protected:
  PrintDialog() { SetDialogs(nullptr); }
  ~PrintDialog() override { SetDialogs(&Dialogs); }

  // Shows the dialog for pages 1 to 9; before it is confirmed, what it
  // offered is recorded and change may pick a range.
  std::optional<TDialogs::TPageRange> Choose(QPrinter& printer, const std::function<void(QPrintDialog&)>& change) {
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isVisible()) return;
      answer.stop();
      Offered = Child<QRadioButton>(*dialog, "printAll")->isChecked() ? QAbstractPrintDialog::AllPages
                                                                       : QAbstractPrintDialog::PageRange;
      OfferedFormat = printer.outputFormat();
      OfferedFile = printer.outputFileName();
      if (change) change(*dialog);
      QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    answer.start(20);
    return ::Dialogs().ChoosePrintRange(nullptr, printer, 1, 9);
  }

  QAbstractPrintDialog::PrintRange Offered = QAbstractPrintDialog::Selection;
  QPrinter::OutputFormat OfferedFormat = QPrinter::NativeFormat;
  QString OfferedFile;
};

TEST_F(PrintDialog, EveryPrintOffersAllPages) {
  auto printer = PdfPrinter(PdfPath());
  const auto first = Choose(*printer, [](QPrintDialog& dialog) {
    Child<QRadioButton>(dialog, "printRange")->click();
    Child<QSpinBox>(dialog, "to")->setValue(9);
    Child<QSpinBox>(dialog, "from")->setValue(8);
  });
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->Chosen);
  EXPECT_EQ(first->From, 8);
  EXPECT_EQ(first->To, 9);
  const auto second = Choose(*printer, {});
  EXPECT_EQ(Offered, QAbstractPrintDialog::AllPages) << "the last print's range was offered again";
  ASSERT_TRUE(second);
  EXPECT_FALSE(second->Chosen);
}

// On a machine without a printer the dialog starts on a PDF file in the
// user's documents, named after the job; where the account has no documents
// folder yet, in the home folder, so that Print writes a file at once.
TEST_F(PrintDialog, WithoutAPrinterItStartsOnPrintingToAFile) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has a printer";
  const QByteArray home = qgetenv("HOME");
  const QByteArray documents = qgetenv("XDG_DOCUMENTS_DIR");
  qputenv("HOME", QByteArray::fromStdString(Dir.Path().string()));
  qputenv("XDG_DOCUMENTS_DIR", QByteArray::fromStdString((Dir.Path() / "Documents").string()));
  for (const bool documentsExist : {true, false}) {
    SCOPED_TRACE(documentsExist ? "with a documents folder" : "without a documents folder");
    if (documentsExist) std::filesystem::create_directory(Dir.Path() / "Documents");
    else std::filesystem::remove(Dir.Path() / "Documents");
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName("ZEB: Hints for Moonfall");
    const auto range = Choose(printer, {});
    EXPECT_EQ(OfferedFormat, QPrinter::PdfFormat);
    const auto folder = documentsExist ? Dir.Path() / "Documents" : Dir.Path();
    EXPECT_EQ(OfferedFile.toStdString(), (folder / "ZEB Hints for Moonfall.pdf").string());
    EXPECT_TRUE(range) << "the dialog could not be confirmed";
  }
  qputenv("HOME", home);
  documents.isNull() ? qunsetenv("XDG_DOCUMENTS_DIR") : qputenv("XDG_DOCUMENTS_DIR", documents);
}

}  // namespace

// Print File lays a whole file out while its display is built a chunk of
// items at a time: the pages, and what is printed on them, are those of the
// display built whole, also where a word, a line or a picture stands at a
// chunk's edge, and for a range of pages from the middle.
TEST_F(Printout, ASubtreePrintedInChunksGivesThePagesOfItsWholeDisplay) {
  THintFileWriter writer;
  std::vector<TWHunkPtr> questions;
  for (int q = 1; q <= 1000; ++q) {
    std::vector<std::string> lines;
    for (int h = 1; h <= 3; ++h) {
      if (h > 1) lines.push_back("-");
      lines.push_back("Question " + std::to_string(q) + " hint " + std::to_string(h) +
                      " runs on for some words so that it wraps now and then on the page");
    }
    questions.push_back(Hint("Q" + std::to_string(q), lines));
    if (q % 230 == 0) questions.push_back(writer.HyperPng("Map " + std::to_string(q), TinyPng(240, 300)));
  }
  writer.Hunks = {Subject("Big", std::move(questions))};
  TItemsHunk* root = Load(writer);
  ASSERT_NE(root, nullptr);

  // First in chunks, while the lines of the tree are still as loaded.
  const std::string chunkedPath = PdfPath("chunked.pdf");
  auto chunkedPrinter = PdfPrinter(chunkedPath);
  THunkPrintout chunked(*root, "Hints for Big");
  ASSERT_EQ(chunked.Print(*chunkedPrinter), THunkPrintout::TOutcome::Printed);

  // The display built whole, printed as a document.
  auto document = MakeDocument("Hints for Big");
  root->AssignLabels("");
  root->AppendDisplay(*document);
  ASSERT_GT(document->ItemCount(), 2u * 4096) << "the display spans several chunks";
  const std::string wholePath = PdfPath("whole.pdf");
  auto wholePrinter = PdfPrinter(wholePath);
  THunkPrintout whole(*document, static_cast<int>(document->ItemCount()), true);
  ASSERT_EQ(whole.Print(*wholePrinter), THunkPrintout::TOutcome::Printed);

  ASSERT_EQ(chunked.PageCount(), whole.PageCount());
  ASSERT_GT(whole.PageCount(), 20);
  EXPECT_EQ(pdf::PageCount(chunkedPath), whole.PageCount());
  EXPECT_EQ(pdf::Text(chunkedPath), pdf::Text(wholePath));

  // Each piece: where it stands and what it shows.
  const auto describe = [](THunkPrintout& job, int page) {
    std::vector<std::string> pieces;
    job.VisitPagePieces(page, [&pieces](const TWrapInfo& piece) {
      const TRect& r = piece.Rect;
      pieces.push_back(std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
                       std::to_string(r.Bottom) + " " + piece.Item->ClassName() + " " +
                       ItemText(*piece.Item).mid(piece.Start, piece.Length).toStdString());
    });
    return pieces;
  };
  for (const int page : {1, 2, whole.PageCount() / 2, whole.PageCount()}) {
    SCOPED_TRACE(page);
    const auto expected = describe(whole, page);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(describe(chunked, page), expected);
  }

  const std::string rangePath = PdfPath("range.pdf");
  auto rangePrinter = PdfPrinter(rangePath);
  const int from = whole.PageCount() / 2;
  Dialogs.PrintAnswers = {TDialogs::TPageRange{from, from + 2, true}};
  THunkPrintout range(*root, "Hints for Big");
  ASSERT_EQ(range.Print(*rangePrinter), THunkPrintout::TOutcome::Printed);
  ASSERT_EQ(pdf::PageCount(rangePath), 3);
  for (int page = 0; page < 3; ++page) {
    SCOPED_TRACE(from + page);
    EXPECT_EQ(pdf::Text(rangePath, page + 1), pdf::Text(wholePath, from + page));
  }
  FreeDocument(std::move(document));
}
