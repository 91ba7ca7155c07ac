// Cancel on the progress box, pressed with real mouse and key events while
// the work runs: a long formatting, a long print and a long folder scan each
// end as they should, and the windows come back enabled.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include <QApplication>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "display/stringchild.h"
#include "display/stringcontrol.h"
#include "display/verboseform.h"
#include "shell/abortbox.h"
#include "shell/mainfixture.h"
#include "support/files.h"
#include "support/pdftext.h"

namespace fs = std::filesystem;

namespace {

// A hint file that prints on many pages.
THintFileWriter LongFileWriter(int subjects) {
  std::vector<TWHunkPtr> parts;
  for (int s = 0; s < subjects; ++s) {
    std::vector<TWHunkPtr> questions;
    for (int q = 0; q < 8; ++q)
      questions.push_back(Hint("Question " + std::to_string(q) + " of part " + std::to_string(s),
                               {"A first hint that is long enough to fill a line or two of the printed page.", "-",
                                "A second hint.", "-", "The answer."}));
    parts.push_back(Subject("Part " + std::to_string(s), questions));
  }
  THintFileWriter writer;
  writer.Hunks = {Subject("The Long Game", parts)};
  return writer;
}

// Waits in the event loop for the progress box of that caption, then acts
// on it once; the work that showed the box goes on around it.
class TBoxWatcher {
 public:
  TBoxWatcher(const QString& caption, std::function<void(TAbortDialog&)> act) : Caption(caption), Act(std::move(act)) {
    QObject::connect(&Timer, &QTimer::timeout, [this] {
      for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<TAbortDialog*>(window);
        if (box == nullptr || !box->isVisible() || box->windowTitle() != Caption || Done) continue;
        Done = true;
        SeenEnabled = box->isEnabled() && box->CancelButton()->isEnabled();
        Act(*box);
      }
    });
    Timer.start(5);
  }
  bool Done = false;
  bool SeenEnabled = false;

 private:
  QString Caption;
  std::function<void(TAbortDialog&)> Act;
  QTimer Timer;
};

void ClickCancel(TAbortDialog& box) { QTest::mouseClick(box.CancelButton(), Qt::LeftButton); }
void PressEscape(TAbortDialog& box) { QTest::keyClick(&box, Qt::Key_Escape); }

class CancelTest : public MainWindowTest {
 protected:
  TZEBMain& StartWithLongFile() {
    TZEBMain& main = Start();
    main.show();
    main.OpenHintFile(Save("LONG.ZEB", LongFileWriter(150)));
    main.PrintSetup().setOutputFormat(QPrinter::PdfFormat);
    main.PrintSetup().setOutputFileName(QString::fromStdString(PdfPath()));
    return main;
  }
  std::string PdfPath() const { return (Files.Path() / "long.pdf").string(); }
  int AskedPrintDialogs() const {
    int count = 0;
    for (const auto& asked : Dialogs.Asked) count += asked.Kind == "print" ? 1 : 0;
    return count;
  }
  // Every window is enabled again and the box is gone.
  static void ExpectTheWindowsBack(TZEBMain& main) {
    EXPECT_TRUE(main.isEnabled());
    EXPECT_TRUE(main.Action("FileOpen")->isEnabled());
    for (QWidget* window : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<TAbortDialog*>(window)) {
        EXPECT_FALSE(box->isVisible());
      }
  }
};

TEST_F(CancelTest, CancelClickedWhileFormattingSkipsThePrintDialog) {
  TZEBMain& main = StartWithLongFile();
  TBoxWatcher watcher("Formatting Printout", ClickCancel);
  main.Action("FilePrint")->trigger();
  ASSERT_TRUE(watcher.Done) << "the formatting ended before the box could be pressed";
  EXPECT_TRUE(watcher.SeenEnabled) << "the box and its Cancel button are greyed";
  EXPECT_EQ(AskedPrintDialogs(), 0) << "formatting went on to the print dialog";
  EXPECT_FALSE(fs::exists(PdfPath()));
  ExpectTheWindowsBack(main);
}

TEST_F(CancelTest, EscapeWhilePrintingStopsAfterThePageBeingPrinted) {
  TZEBMain& main = StartWithLongFile();
  // The whole file first, to know its length.
  main.Action("FilePrint")->trigger();
  const int all = pdf::PageCount(PdfPath());
  ASSERT_GT(all, 20);
  fs::remove(PdfPath());

  TBoxWatcher watcher("Printing", PressEscape);
  main.Action("FilePrint")->trigger();
  ASSERT_TRUE(watcher.Done);
  EXPECT_TRUE(watcher.SeenEnabled);
  const int printed = pdf::PageCount(PdfPath());
  EXPECT_GE(printed, 1) << "the pages already printed come out";
  EXPECT_LT(printed, all);
  ExpectTheWindowsBack(main);
}

TEST_F(CancelTest, CancelClickedWhileScanningAFolderListsWhatWasFound) {
  for (int i = 0; i < 300; ++i) Save("GAME" + std::to_string(i) + ".ZEB", GameFileWriter("Game " + std::to_string(i)));
  TZEBMain& main = Start();
  main.OptionsRecord().InstallDir = Files.Path().string() + "/";
  main.show();
  TBoxWatcher watcher("Searching Files", ClickCancel);
  main.Action("FileVerbose")->trigger();
  ASSERT_TRUE(watcher.Done);
  EXPECT_TRUE(watcher.SeenEnabled);
  ASSERT_NE(main.TitlesWindow(), nullptr);
  const int listed = main.TitlesWindow()->Control()->ShownCount();
  EXPECT_LT(listed, 300) << "the scan ran to its end";
  ExpectTheWindowsBack(main);
}

}  // namespace
