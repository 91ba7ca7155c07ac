// The Download New Hints dialog against a local update server on
// 127.0.0.1: the first load, Update List with the news, the filters and the
// sort, downloads from the selection and by double-click, Stop, the close
// rules and the reminders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QStyle>
#include <QThread>
#include <QTreeWidget>

#include "downloader/listdates.h"
#include "downloader/updateform.h"
#include "downloader/updatelist.h"
#include "shell/mainfixture.h"
#include "support/files.h"
#include "support/localserver.h"
#include "support/smallhints.h"
#include "support/wholetext.h"
#include "support/ziparchives.h"

namespace fs = std::filesystem;

namespace {

class DownloadDialog : public MainWindowTest {
 protected:
  DownloadDialog() {
    Options.InstallDir = Hints.Path().string() + "/";
    Options.UpdateServer = Server.Host();
    Options.SkipUpdateBeforeDownload = true;
  }
  std::string ListPath() const { return (Home.Folder().Path() / "zebinet.dat").string(); }

  // Serves an archive of one hint file and returns its list entry.
  std::string Offer(const std::string& title, const std::string& fileName, const std::string& date, int size,
                    const std::string& url = "") {
    const std::string archive = title + ".zip";
    EXPECT_TRUE(WriteZip((Server.Folder().Path() / archive).string(), {{fileName, SmallHintFile(title)}}));
    return "<FILE><FTITLE>" + title + "</FTITLE><FURL>" + (url.empty() ? Server.Url("/files/" + archive) : url) +
           "</FURL><FNAME>" + fileName + "</FNAME><FDATE>" + date + "</FDATE><FSIZE>" + std::to_string(size) +
           "</FSIZE></FILE>\r\n";
  }

  // A dialog shown, its first load done.
  std::unique_ptr<TUpdateForm> Open() {
    auto form = std::make_unique<TUpdateForm>(nullptr, Options, Dialogs, ListPath());
    form->Engine.Pause = [](int) {};
    form->show();
    for (int i = 0; i < 20 && !form->UpdateButton->isEnabled(); ++i) Settle();
    Settle();
    return form;
  }
  static std::vector<std::string> Titles(const TUpdateForm& form) {
    std::vector<std::string> titles;
    for (const TFileRecord* record : form.Rows()) titles.push_back(record->Title);
    return titles;
  }

  TTestServer Server;
  TTempDir Hints;
  TOptions Options;
};

TEST_F(DownloadDialog, FirstLoadWithoutAndWithAList) {
  {
    auto form = Open();
    EXPECT_EQ(form->windowTitle(), "Download New Hints");
    EXPECT_EQ(form->StatusText->text(), "You have not yet retrieved a list of available ZEB hint files.  Press the "
                                        "\"Update List\" button to do so.");
    EXPECT_TRUE(form->RadioButton1->isChecked());
    EXPECT_EQ(form->DateTimePicker1->date(), QDate::currentDate());
    EXPECT_TRUE(form->CheckBox1->isChecked());
    EXPECT_FALSE(form->StopButton->isEnabled());
    EXPECT_EQ(form->FileListView->topLevelItemCount(), 0);
  }
  // A list retrieved on 10 March 2000 at 10:00: files since 9 March show.
  { std::ofstream(ListPath(), std::ios::binary) << Offer("Old", "OLD.ZEB", "01-Mar-00", 10) << Offer("New", "NEW.ZEB", "09-Mar-00", 10) << Offer("Undated", "UND.ZEB", "", 10); }
  const QDateTime retrieved(QDate(2000, 3, 10), QTime(10, 0));
  fs::last_write_time(ListPath(), fs::file_time_type::clock::now() -
                                      std::chrono::seconds(retrieved.secsTo(QDateTime::currentDateTime())));
  auto form = Open();
  EXPECT_TRUE(form->RadioButton2->isChecked());
  EXPECT_EQ(form->DateTimePicker1->date(), QDate(2000, 3, 9));
  EXPECT_TRUE(form->StatusText->text().startsWith("You last retrieved a list of available ZEB files at "));
  EXPECT_EQ(Titles(*form), (std::vector<std::string>{"New", "Undated"}));
  form->RadioButton1->click();
  EXPECT_EQ(Titles(*form), (std::vector<std::string>{"New", "Old", "Undated"}));
}

// Every text of the dialog shows whole, the dates of the "Updated" column
// in the user's short format among them (CTest runs this at scale 2 too).
TEST_F(DownloadDialog, EveryTextAndEveryDateShowsWhole) {
  { std::ofstream(ListPath(), std::ios::binary) << Offer("Moonfall", "MOONFALL.ZEB", "28-Dec-2026", 10) << Offer("Lighthouse", "LIGHT.ZEB", "10-Sep-99", 10); }
  auto form = Open();
  form->RadioButton1->click();
  Settle();
  EXPECT_EQ(CutTexts(*form).join("\n").toStdString(), "");
  QTreeWidget* view = form->FileListView;
  ASSERT_EQ(view->topLevelItemCount(), 2);
  const int margin = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
  for (int row = 0; row < 2; ++row) {
    const QString date = view->topLevelItem(row)->text(2);
    EXPECT_TRUE(date == ShortDateText(QDate(2026, 12, 28)) || date == ShortDateText(QDate(1999, 9, 10))) << date.toStdString();
    EXPECT_GE(view->columnWidth(2), view->fontMetrics().horizontalAdvance(date) + margin) << date.toStdString() << " is cut";
  }
}

// A list with a 40 MB title opens at once, with the title cut to its bound;
// a list folder that cannot be made is told in the status line.
TEST_F(DownloadDialog, AHugeTitleIsCutAndAnUnwritableListIsTold) {
  {
    std::ofstream list(ListPath(), std::ios::binary);
    list << "<FILE><FTITLE>" << std::string(40 << 20, 'T') << "</FTITLE><FURL>" << Server.Url("/files/x.zip")
         << "</FURL><FNAME>HUGE.ZEB</FNAME></FILE>\r\n"
         << Offer("Small", "SMALL.ZEB", "01-Mar-00", 10);
  }
  {
    auto form = Open();
    form->RadioButton1->click();
    ASSERT_EQ(form->FileListView->topLevelItemCount(), 2);
    EXPECT_EQ(Titles(*form)[1], "T" + std::string(MaxListTitleLength - 1, 'T'));
    EXPECT_EQ(form->FileListView->topLevelItem(1)->text(0).size(), static_cast<qsizetype>(MaxListTitleLength));
  }

  Home.Folder().Write("blocker", "a file");
  const std::string unwritable = (Home.Folder().Path() / "blocker" / "zebinet.dat").string();
  Server.Serve("update.cgi", Offer("New", "NEW.ZEB", "01-Mar-00", 10));
  TUpdateForm form(nullptr, Options, Dialogs, unwritable);
  form.show();
  Settle();
  form.UpdateButton->click();
  Settle();
  EXPECT_TRUE(form.StatusText->text().startsWith(
      "An error occurred while saving the list of available hint files (cannot write " +
      QString::fromStdString(unwritable) + ": Not a directory)."))
      << form.StatusText->text().toStdString();
  EXPECT_TRUE(form.UpdateButton->isEnabled()) << "the dialog goes on";
}

TEST_F(DownloadDialog, UpdateListFillsTheRowsAndShowsTheNewsOnce) {
  Server.Serve("update.cgi", "<MESSAGE>Two new files\\nthis week</MESSAGE>\r\n" +
                                 Offer("The Castle", "CASTLE.ZEB", "05-Jan-2026", 4000) +
                                 Offer("A Bridge", "BRIDGE.ZEB", "06-Jan-2026", 9000));
  auto form = Open();
  form->UpdateButton->click();
  Settle();
  EXPECT_EQ(Titles(*form), (std::vector<std::string>{"A Bridge", "The Castle"}));
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Kind, "skippable");
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Download New Files");
  EXPECT_EQ(Dialogs.Asked[0].Text, "Two new files\n\nthis week");
  EXPECT_EQ(Options.LastUpdateMessage, "Two new files\\nthis week");
  form->UpdateButton->click();
  Settle();
  EXPECT_EQ(Dialogs.Asked.size(), 1u) << "the same news is not shown again";
  EXPECT_TRUE(form->StatusText->text().startsWith("You last retrieved a list"));
}

TEST_F(DownloadDialog, FiltersAndEachSortColumn) {
  { std::ofstream(ListPath(), std::ios::binary) << Offer("The Lost Key", "LOST.ZEB", "05-Jan-2026", 300)
                                                << Offer("Last Door", "DOOR.ZEB", "07-Jan-2026", 100)
                                                << Offer("Moonfall", "MOON.ZEB", "06-Jan-2026", 200); }
  auto form = Open();
  form->RadioButton1->click();
  EXPECT_EQ(Titles(*form), (std::vector<std::string>{"Last Door", "The Lost Key", "Moonfall"}))
      << "keyed LAST DOOR, LOST KEY, THE, MOONFALL";
  form->ColumnClick(0);
  EXPECT_EQ(Titles(*form), (std::vector<std::string>{"Moonfall", "The Lost Key", "Last Door"}));
  form->ColumnClick(3);
  EXPECT_EQ(Titles(*form), (std::vector<std::string>{"Last Door", "Moonfall", "The Lost Key"}));
  form->ColumnClick(3);
  EXPECT_EQ(Titles(*form), (std::vector<std::string>{"The Lost Key", "Moonfall", "Last Door"})) << "largest first";
  form->ColumnClick(2);
  EXPECT_EQ(Titles(*form), (std::vector<std::string>{"The Lost Key", "Moonfall", "Last Door"}));
  form->ColumnClick(1);
  EXPECT_EQ(Titles(*form), (std::vector<std::string>{"Last Door", "The Lost Key", "Moonfall"}));
  form->RadioButton2->click();
  form->DateTimePicker1->setDate(QDate(2026, 1, 6));
  EXPECT_EQ(Titles(*form), (std::vector<std::string>{"Last Door", "Moonfall"}));
}

// An unexpected error inside a download run ends at the run: it is told,
// and the dialog is not left busy (Stop lit, Close refused).
TEST_F(DownloadDialog, AnErrorInsideARunIsToldAndLeavesTheDialogUsable) {
  { std::ofstream(ListPath(), std::ios::binary) << Offer("Alpha", "ALPHA.ZEB", "01-Jan-2026", 10); }
  auto form = Open();
  form->RadioButton1->click();
  form->Engine.Pause = [](int) { throw std::runtime_error("the pause broke"); };
  form->FileListView->selectAll();
  form->DownloadButtonClick();
  Settle();
  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Caption, "Error");
  EXPECT_EQ(messages[0].Text, "ZEB Reader could not finish what it was doing (the pause broke).");
  EXPECT_FALSE(form->Busy());
  EXPECT_FALSE(form->StopButton->isEnabled());
  EXPECT_TRUE(form->UpdateButton->isEnabled());
}

TEST_F(DownloadDialog, SelectedRowsDownloadTopToBottomAndADoubleClickTheFocusedRow) {
  { std::ofstream(ListPath(), std::ios::binary) << Offer("Alpha", "ALPHA.ZEB", "01-Jan-2026", 10)
                                                << Offer("Beta", "BETA.ZEB", "01-Jan-2026", 20, Server.Url("/status/404"))
                                                << Offer("Gamma", "GAMMA.ZEB", "01-Jan-2026", 30); }
  auto form = Open();
  form->RadioButton1->click();
  form->DownloadButtonClick();
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Cannot Download");
  Dialogs.Asked.clear();

  form->FileListView->selectAll();
  form->DownloadButtonClick();
  ASSERT_EQ(Dialogs.AskedButtons.size(), 1u) << "the failing second file asks whether to go on";
  EXPECT_EQ(Dialogs.AskedButtons[0], TDialogs::TButtons::YesNo);
  EXPECT_EQ(FileBytes(Hints.Path() / "GAMMA.ZEB"), SmallHintFile("Gamma"));
  EXPECT_TRUE(form->StatusText->text().startsWith("Downloading complete.  You may now view the files"));
  EXPECT_EQ(Titles(*form), std::vector<std::string>{"Beta"}) << "the files now present are hidden";

  // A double-click downloads the focused row, selected or not.
  form->CheckBox1->click();  // show them again
  ASSERT_EQ(form->FileListView->topLevelItemCount(), 3);
  form->FileListView->clearSelection();
  form->FileListView->setCurrentItem(form->FileListView->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
  fs::remove(Hints.Path() / "ALPHA.ZEB");
  Dialogs.AskAnswers = {TDialogs::TAnswer::Yes};  // "download again?" (its row was current)
  form->DownloadFocusedRow();
  EXPECT_EQ(FileBytes(Hints.Path() / "ALPHA.ZEB"), SmallHintFile("Alpha"));
}

// Stop during a transfer: the dialog stays responsive, refuses to close
// while busy, and the run ends cancelled.
TEST_F(DownloadDialog, StopDuringATransferAndTheCloseRules) {
  { std::ofstream(ListPath(), std::ios::binary) << Offer("Slow", "SLOW.ZEB", "01-Jan-2026", 10, Server.Url("/stall")); }
  auto form = Open();
  form->RadioButton1->click();
  form->FileListView->selectAll();
  bool stillOpen = false;
  bool stopEnabled = false;
  QTimer::singleShot(300, [&] {
    form->reject();  // refused while busy
    stillOpen = form->isVisible();
    stopEnabled = form->StopButton->isEnabled();
    form->StopButton->click();
  });
  form->DownloadButtonClick();
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(stopEnabled);
  EXPECT_EQ(form->StatusText->text(), "Downloading cancelled.");
  EXPECT_FALSE(form->StopButton->isEnabled());
  EXPECT_TRUE(form->CloseButton->isEnabled());
  EXPECT_TRUE(Dialogs.Asked.empty());
  // Something began to arrive: the dialog closes with OK.
  form->reject();
  EXPECT_EQ(form->result(), QDialog::Accepted);
}

// Through the main window: the reminders, the result, and /UPDATE.
TEST_F(DownloadDialog, TheRemindersComeOnceAndTheirFlagsAreSaved) {
  Server.Serve("update.cgi", Offer("Castle", "CASTLE.ZEB", "01-Jan-2026", 10));
  TZEBMain& main = Start();
  main.OptionsRecord().InstallDir = Hints.Path().string() + "/";
  main.OptionsRecord().UpdateServer = Server.Host();
  main.OptionsRecord().SkipUpdateBeforeDownload = false;
  main.OptionsRecord().SkipUpdateAfterDownload = false;
  ASSERT_TRUE(main.Action("FileDownload")->isEnabled());
  // Both reminders: "Do not show this message again" ticked.
  Dialogs.SkippableAnswers = {{true, false}, {true, false}};
  QTimer::singleShot(0, [] {
    auto* form = qobject_cast<TUpdateForm*>(QApplication::activeModalWidget());
    ASSERT_NE(form, nullptr);
    for (int i = 0; i < 20 && !form->UpdateButton->isEnabled(); ++i) Settle();
    form->UpdateButton->click();
    form->CloseButton->click();
  });
  main.FileDownloadClick();
  ASSERT_EQ(Dialogs.Asked.size(), 2u);
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Download New Hints");
  EXPECT_TRUE(Dialogs.Asked[0].Text.startsWith("ZEBWIN will try to open an Internet connection"));
  EXPECT_FALSE(Dialogs.Asked[0].HelpButton) << "no second check box";
  EXPECT_TRUE(Dialogs.Asked[1].Text.startsWith("Any Internet connection you started"));
  EXPECT_TRUE(main.OptionsRecord().SkipUpdateBeforeDownload);
  EXPECT_TRUE(main.OptionsRecord().SkipUpdateAfterDownload);
  main.close();  // saves the settings
  EXPECT_EQ(Settings().ReadIniString("ZEBWIN", "SkipUpdateBeforeDownload", ""), "On");
  EXPECT_EQ(Settings().ReadIniString("ZEBWIN", "SkipUpdateAfterDownload", ""), "On");

  // Browsing only: Cancel, and no reminder.
  Main.reset();
  Dialogs.Asked.clear();
  TZEBMain& again = Start();
  QTimer::singleShot(0, [] {
    auto* form = qobject_cast<TUpdateForm*>(QApplication::activeModalWidget());
    ASSERT_NE(form, nullptr);
    for (int i = 0; i < 20 && !form->UpdateButton->isEnabled(); ++i) Settle();
    form->CloseButton->click();
  });
  again.FileDownloadClick();
  EXPECT_TRUE(Dialogs.Asked.empty());
}

TEST_F(DownloadDialog, TheUpdateSwitchOpensTheDialog) {
  TZEBMain& main = Start(THelpFile::Full, {"/UPDATE"});
  main.OptionsRecord().SkipUpdateBeforeDownload = true;
  // The dialog opens from an event after the window shows, at a moment that
  // depends on the machine's load, and Close closes it only once it has
  // settled: look for it, and press Close, until it has gone. A dialog still
  // there after 30 s is shut from here, so that the test fails instead of
  // waiting for a user for ever.
  bool opened = false;
  bool gone = false;
  QTimer poll;
  int looks = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* form = qobject_cast<TUpdateForm*>(QApplication::activeModalWidget());
    if (form == nullptr) {
      gone = opened;
      if (gone || ++looks > 1500) poll.stop();
      return;
    }
    opened = true;
    if (++looks > 1500) {
      form->done(QDialog::Rejected);
      poll.stop();
    } else if (form->UpdateButton->isEnabled()) {
      form->CloseButton->click();
    }
  });
  poll.start(20);
  main.show();
  while (poll.isActive()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  EXPECT_TRUE(gone);
  EXPECT_TRUE(opened);
}

}  // namespace
