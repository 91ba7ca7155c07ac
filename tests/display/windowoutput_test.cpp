// What a hint window shows leaving it: Save Window appends text (or writes
// a lone picture as an 8-bit Windows bitmap), Copy to Clipboard joins the
// items, Print Window prints exactly the revealed items.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QMessageBox>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "display/bmpfile.h"
#include "display/displaycontext.h"
#include "display/pngdecode.h"
#include "model/pngobject.h"
#include "support/pdftext.h"
#include "support/scripteddialogs.h"
#include "windowfixture.h"

using namespace wintest;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

class WindowOutput : public WindowTest {
 protected:
  // "Cellar", three hints; the first has two items on one line.
  TMetaTextHunk& Cellar() {
    TMetaTextHunk& node = MakeNode("Cellar", Kind::Hint);
    auto* look = new THunkLine("Look", &node);
    look->SpaceAfter = 1;
    node.Append(look);
    auto* down = new THunkLine("down", &node);
    node.Append(down);  // no SpaceAfter: joined without a space
    auto* here = new THunkLine(".", &node);
    here->EndsLine = 1;
    node.Append(here);
    AddSeparator(node);
    AddText(node, "Lift the trapdoor.");
    AddSeparator(node);
    AddText(node, "The key is under the stairs.");
    return node;
  }

  TScriptedDialogs Dialogs;
};

TEST_F(WindowOutput, SaveAppendsTheRevealedItemsEveryTime) {
  TMetaTextHunk& node = Cellar();
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  const std::string path = (Dir.Path() / "saved.txt").string();
  { std::ofstream(path, std::ios::binary) << "Kept\r\n"; }

  Dialogs.Answers = {QString::fromStdString(path), QString::fromStdString(path)};
  form->Control()->SaveContents();
  form->Control()->SaveContents();
  ASSERT_EQ(Dialogs.Asked.size(), 2u);
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Save Window As");
  EXPECT_EQ(Dialogs.Asked[0].Initial, "Cellar.TXT");
  // One hint revealed: its items, not the separator that closes it.
  const std::string once = "Cellar\r\n\r\nLook down.\r\n\r\n\r\n";
  EXPECT_EQ(ReadFile(path), "Kept\r\n" + once + once);

  // All revealed: every item, the last hint's too.
  form->HintButtonClick();
  form->HintButtonClick();
  const std::string whole = (Dir.Path() / "whole.txt").string();
  Dialogs.Answers = {QString::fromStdString(whole)};
  form->Control()->SaveContents();
  const std::string text = ReadFile(whole);
  EXPECT_NE(text.find("Lift the trapdoor."), std::string::npos);
  EXPECT_NE(text.find("The key is under the stairs."), std::string::npos);

  // A file that cannot be opened is reported.
  Dialogs.Asked.clear();
  Dialogs.Answers = {QString::fromStdString((Dir.Path() / "no" / "x.txt").string())};
  form->Control()->SaveContents();
  ASSERT_EQ(Dialogs.Asked.size(), 2u);
  EXPECT_EQ(Dialogs.Asked[1].Caption, "Error");
  EXPECT_TRUE(Dialogs.Asked[1].Text.contains("could not be written"));
}

// Through Qt's own file dialog: an existing text file is chosen without a
// question about replacing it, since the text is appended to it.
TEST_F(WindowOutput, SavingToAnExistingTextFileAsksNothingAndAppends) {
  TMetaTextHunk& node = Cellar();
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  const std::string path = (Dir.Path() / "saved.txt").string();
  { std::ofstream(path, std::ios::binary) << "Kept\r\n"; }
  SetDialogs(nullptr);  // the program's own dialogs
  QStringList questions;
  int strays = 0;
  QList<QPointer<QWidget>> handled;
  QTimer answer;
  // Each answer is given from a single shot of its own: the box it opens
  // runs inside it, and this timer must keep ticking meanwhile.
  QObject::connect(&answer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || handled.contains(modal)) return;
    handled.push_back(modal);
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
      // Typed into the name box and confirmed with Enter, as a user does.
      auto* name = files->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      name->setText(QString::fromStdString(path));
      QTimer::singleShot(0, name, [name] { QTest::keyClick(name, Qt::Key_Return); });
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      questions.push_back(box->text());
      QTimer::singleShot(0, box, [box] {
        if (QAbstractButton* yes = box->button(QMessageBox::Yes)) yes->click();
      });
    } else if (++strays > 100) {
      modal->close();  // no dialog of this test: never wait for it
    }
  });
  answer.start(20);
  form->Control()->SaveContents();
  form->Control()->SaveContents();
  answer.stop();
  SetDialogs(&Dialogs);
  EXPECT_TRUE(questions.isEmpty()) << questions.join(" | ").toStdString();
  const std::string once = "Cellar\r\n\r\nLook down.\r\n\r\n\r\n";
  EXPECT_EQ(ReadFile(path), "Kept\r\n" + once + once);
}

TEST_F(WindowOutput, CopyJoinsItemsWithSpacesOnlyWhereTheyAskForOne) {
  TMetaTextHunk& node = Cellar();
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  form->Control()->CopyContents();
  // The shown items end with the separator of the revealed hint.
  EXPECT_EQ(QApplication::clipboard()->text(), "Look down.\r\n\r\n");
  form->HintButtonClick();
  form->HintButtonClick();
  form->Control()->CopyContents();
  EXPECT_EQ(QApplication::clipboard()->text(),
            "Look down.\r\n\r\nLift the trapdoor.\r\n\r\nThe key is under the stairs.\r\n");
}

// A lone picture saves as an 8-bit bitmap with its colour table, overlays
// drawn in, and copies as a picture.
TEST_F(WindowOutput, ALonePictureSavesAsAnEightBitBitmapWithItsOverlays) {
  THintFileWriter writer;
  auto lamp = writer.Overlay("Lamp", TinyPng(4, 4), 12, 6);
  auto map = writer.HyperPng("Map", TinyPng(41, 30), {{10, 5, 20, 15, lamp}});  // odd width: padded rows
  writer.Hunks = {Subject("Game", {map})};
  TItemsHunk* root = Load(writer);
  ASSERT_NE(root, nullptr);
  auto* hyper = dynamic_cast<THyperPNGHunk*>(root->FindByTitle("Map"));
  THintForm* form = Open(*hyper);
  ASSERT_NE(form, nullptr);
  hyper->Image()->Regions[0].Target->Open();  // the overlay drawn in
  const QImage& shown = dynamic_cast<TPictureImage*>(hyper->Image()->Bitmap.get())->Image;
  ASSERT_EQ(shown.format(), QImage::Format_Indexed8);

  const std::string path = (Dir.Path() / "map.bmp").string();
  Dialogs.Answers = {QString::fromStdString(path)};
  form->Control()->SaveContents();
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Initial, "Map.BMP");
  EXPECT_TRUE(Dialogs.Asked[0].Text.startsWith("Windows Bitmap Files"));

  const std::string bytes = ReadFile(path);
  ASSERT_GT(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 8u) << "bits per pixel";
  EXPECT_EQ(U32At(bytes, 46), static_cast<std::uint32_t>(shown.colorCount())) << "colours in the table";
  EXPECT_EQ(U32At(bytes, 2), bytes.size());

  QImageReader reader(QString::fromStdString(path));
  const QImage back = reader.read();
  ASSERT_FALSE(back.isNull()) << reader.errorString().toStdString();
  EXPECT_EQ(back.format(), QImage::Format_Indexed8);
  EXPECT_EQ(back.colorTable(), shown.colorTable());
  ASSERT_EQ(back.size(), shown.size());
  for (int y = 0; y < back.height(); ++y)
    for (int x = 0; x < back.width(); ++x) ASSERT_EQ(back.pixelIndex(x, y), shown.pixelIndex(x, y)) << x << "," << y;
  EXPECT_EQ(qGray(back.pixel(12, 6)), 0) << "the overlay is part of the saved picture";

  form->Control()->CopyContents();
  const QImage copied = QApplication::clipboard()->image();
  ASSERT_EQ(copied.size(), shown.size());
  EXPECT_EQ(copied.pixel(12, 6), shown.pixel(12, 6));
}

TEST_F(WindowOutput, PrintWindowPrintsExactlyTheRevealedItems) {
  TMetaTextHunk& node = Cellar();
  THintForm* form = Open(node);
  ASSERT_NE(form, nullptr);
  form->HintButtonClick();  // two hints revealed
  const std::string path = (Dir.Path() / "window.pdf").string();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(path));
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
  DisplayContext().Printer = &printer;
  form->Control()->PrintContents();
  DisplayContext().Printer = nullptr;
  const std::string text = pdf::Text(path);
  EXPECT_NE(text.find("ZEB: Cellar"), std::string::npos);
  EXPECT_NE(text.find("Look down."), std::string::npos);
  EXPECT_NE(text.find("Lift the trapdoor."), std::string::npos);
  EXPECT_EQ(text.find("under the stairs"), std::string::npos) << "an unrevealed hint was printed";
  EXPECT_EQ(pdf::PageCount(path), 1);
}

TEST(BitmapFile, RowsArePaddedAndTheTableKeepsItsSize) {
  for (const int width : {1, 2, 3, 4, 5, 7}) {
    SCOPED_TRACE(width);
    QImage image(width, 3, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)});
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < width; ++x) image.setPixel(x, y, static_cast<uint>((x + y) % 3));
    const QByteArray bytes = Bitmap8File(image);
    const int row = (width + 3) / 4 * 4;
    EXPECT_EQ(bytes.size(), 14 + 40 + 3 * 4 + row * 3);
    QImage back;
    ASSERT_TRUE(back.loadFromData(bytes, "BMP"));
    EXPECT_EQ(back.colorCount(), 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < width; ++x) EXPECT_EQ(back.pixelIndex(x, y), image.pixelIndex(x, y));
  }
  EXPECT_TRUE(Bitmap8File(QImage()).isEmpty());
}

}  // namespace
