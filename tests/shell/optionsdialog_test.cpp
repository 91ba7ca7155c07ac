// Set Options: the dialog's pages and controls on a working copy, OK and
// Cancel, which windows repaint; the download dialog's entry point; and the
// Help menu's About and Contact boxes and web-site command.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include "display/stringchild.h"
#include "display/stringcontrol.h"
#include "settings/optionsform.h"
#include "settings/qtvalues.h"
#include "shell/about.h"
#include "shell/mainfixture.h"
#include "settings/productinfo.h"

namespace {

template <typename T>
T* Child(QWidget& parent, const char* name) {
  T* child = parent.findChild<T*>(name);
  EXPECT_NE(child, nullptr) << name;
  return child;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class OptionsDialog : public MainWindowTest {
 protected:
  // The main window shown with the game's top window open.
  TZEBMain& StartWithWindow() {
    TZEBMain& main = Start();
    main.resize(900, 700);
    main.show();
    main.OpenHintFile(SaveGame());
    Settle();
    return main;
  }
  // Runs Set Options; act works the dialog while it is up and closes it.
  static void RunOptions(TZEBMain& main, const std::function<void(TOptionsForm&)>& act) {
    QTimer::singleShot(0, [act] {
      auto* form = qobject_cast<TOptionsForm*>(QApplication::activeModalWidget());
      ASSERT_NE(form, nullptr) << "no Set Options dialog";
      act(*form);
    });
    main.Action("OptionsSet")->trigger();
  }
  static QColor ViewColor(TZEBMain& main) {
    auto* form = qobject_cast<TStringForm*>(main.WindowArea()->subWindowList().front()->widget());
    QWidget* view = form->ScrollBox()->viewport();
    return view->grab().toImage().pixelColor(view->width() - 3, view->height() - 3);
  }
};

TEST_F(OptionsDialog, PagesAndControlsShowTheRecord) {
  TOptions record;
  record.MainFont = TextToFont("Arial,24,700,1");
  record.FixedFont = TextToFont("Courier New,9,400,0");
  record.InstallDir = "/hints/";
  record.ProxyOn = false;
  record.ProxyIP = "10.0.0.1";
  record.ProxyPort = "3128";
  record.SkipUpdateAfterDownload = true;
  TOptions working = record;
  TOptionsForm form(nullptr, working, Dialogs);
  EXPECT_EQ(form.windowTitle(), "Set Options");
  ASSERT_EQ(form.PageControl->count(), 4);
  EXPECT_EQ(form.PageControl->tabText(0), "Display");
  EXPECT_EQ(form.PageControl->tabText(1), "Downloading");
  EXPECT_EQ(form.PageControl->tabText(2), "Hints");
  EXPECT_EQ(form.PageControl->tabText(3), "Messages");
  EXPECT_EQ(form.PageControl->currentIndex(), 0);

  // The font label: the font itself at 9 points, captioned with its size.
  QLabel* prop = Child<QLabel>(form, "PropFontLabel");
  EXPECT_EQ(prop->text(), "Arial, 24 pt");
  EXPECT_EQ(prop->font().pointSize(), 9);
  EXPECT_TRUE(prop->font().bold());
  EXPECT_EQ(Child<QLabel>(form, "MonoFontLabel")->text(), "Courier New, 9 pt");
  EXPECT_EQ(Child<QLineEdit>(form, "InstallDirEdit")->text(), "/hints/");
  EXPECT_FALSE(Child<QLineEdit>(form, "InstallDirEdit")->isEnabled());
  // The proxy box unticked: its edits cannot be changed but keep their values.
  EXPECT_FALSE(Child<QLineEdit>(form, "ProxyIPMaskEdit")->isEnabled());
  EXPECT_EQ(Child<QLineEdit>(form, "ProxyIPMaskEdit")->text(), "10.0.0.1");
  Child<QCheckBox>(form, "ProxyCheckBox")->setChecked(true);
  EXPECT_TRUE(Child<QLineEdit>(form, "ProxyPortEdit")->isEnabled());
  Child<QCheckBox>(form, "ProxyCheckBox")->setChecked(false);
  EXPECT_FALSE(Child<QLineEdit>(form, "ProxyPortEdit")->isEnabled());
  // The message boxes are ticked when the reminder shows.
  EXPECT_TRUE(Child<QCheckBox>(form, "SkipUpdateBeforeDownloadCheckBox")->isChecked());
  EXPECT_FALSE(Child<QCheckBox>(form, "SkipUpdateAfterDownloadCheckBox")->isChecked());
  EXPECT_EQ(Child<QCheckBox>(form, "SkipUpdateAfterDownloadCheckBox")->text(),
            "Remind me to close my Internet connection after downloading");

  // Closing writes the boxes and texts into the working copy.
  Child<QCheckBox>(form, "SkipUpdateBeforeDownloadCheckBox")->setChecked(false);
  Child<QCheckBox>(form, "CountingCheckBox")->setChecked(false);
  form.accept();
  EXPECT_TRUE(working.SkipUpdateBeforeDownload) << "unticking a reminder sets its skip flag";
  EXPECT_TRUE(working.SkipUpdateAfterDownload);
  EXPECT_FALSE(working.Counting);
  EXPECT_FALSE(working.ProxyOn);
  EXPECT_EQ(working.ProxyIP, "10.0.0.1");
  EXPECT_EQ(working.ProxyPort, "3128");
}

// The font dialog hands back the face the system shows for a stored one it
// lacks ("Liberation Sans" for "Arial"). Changing only the size keeps the
// stored face; picking another family stores that family.
TEST_F(OptionsDialog, ChangingOnlyTheSizeKeepsTheStoredFace) {
  TOptions working;
  working.MainFont = TextToFont("Arial,10,400,0");
  working.FixedFont = TextToFont("Courier New,9,400,0");
  TOptionsForm form(nullptr, working, Dialogs);
  const QString shownForArial = QFontInfo(QFont("Arial")).family();
  const QString shownForCourier = QFontInfo(QFont("Courier New")).family();
  Dialogs.FontAnswers = {QFont(shownForArial, 14), QFont(shownForCourier, 11), QFont(shownForCourier, 12)};
  form.PropFontButtonClick();
  EXPECT_EQ(working.MainFont, (TFontSpec{"Arial", 14, false, false})) << shownForArial.toStdString();
  EXPECT_EQ(Child<QLabel>(form, "PropFontLabel")->text(), "Arial, 14 pt");
  form.MonoFontButtonClick();
  EXPECT_EQ(working.FixedFont, (TFontSpec{"Courier New", 11, false, false})) << shownForCourier.toStdString();
  form.PropFontButtonClick();
  if (shownForCourier != shownForArial) {
    EXPECT_EQ(working.MainFont, (TFontSpec{shownForCourier.toStdString(), 12, false, false})) << "another family";
  }
}

TEST_F(OptionsDialog, FontColourAndFolderButtonsChangeTheCopyAtOnce) {
  TOptions working;
  working.MainFont = TextToFont("Arial,10,400,0");
  working.InstallDir = "/hints/";
  TOptionsForm form(nullptr, working, Dialogs);
  QFont chosen("Courier New", 14);
  chosen.setItalic(true);
  Dialogs.FontAnswers = {chosen, std::nullopt};
  form.PropFontButtonClick();
  EXPECT_EQ(working.MainFont, (TFontSpec{"Courier New", 14, false, true}));
  EXPECT_EQ(Child<QLabel>(form, "PropFontLabel")->text(), "Courier New, 14 pt");
  form.PropFontButtonClick();  // cancelled: unchanged
  EXPECT_EQ(working.MainFont.Size, 14);

  Dialogs.ColorAnswers = {QColor(0x12, 0x34, 0x56)};
  form.BackColorButtonClick();
  EXPECT_EQ(working.WindowBackColor, 0x563412u);
  EXPECT_EQ(Child<QLabel>(form, "BackColorPanel")->palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));

  struct TCase {
    const char* Chosen;
    const char* Stored;
  };
  for (const TCase& c : {TCase{"/srv/hints", "/srv/hints/"}, TCase{"/srv/hints/", "/srv/hints/"}, TCase{"/", "/"}}) {
    Dialogs.Answers = {QString(c.Chosen)};
    form.InstallDirButtonClick();
    EXPECT_EQ(working.InstallDir, c.Stored);
    EXPECT_EQ(Child<QLineEdit>(form, "InstallDirEdit")->text(), c.Stored);
  }
  const auto& asked = Dialogs.Asked.back();
  EXPECT_EQ(asked.Kind, "folder");
  EXPECT_EQ(asked.Caption, "Browse for Folder");
  EXPECT_EQ(asked.Text, "Select the new default folder for ZEB hint files.");
}

TEST_F(OptionsDialog, CancelLeavesTheRecordTheWindowsAndTheSettingsFileAlone) {
  TZEBMain& main = StartWithWindow();
  const TOptions before = main.OptionsRecord();
  const std::string ini = ReadFile(THomeFolder::SettingsFile());
  const QColor colour = ViewColor(main);
  Dialogs.ColorAnswers = {QColor(255, 0, 0)};
  Dialogs.FontAnswers = {QFont("Courier New", 20)};
  RunOptions(main, [](TOptionsForm& form) {
    form.BackColorButtonClick();
    form.PropFontButtonClick();
    form.reject();
  });
  Settle();
  EXPECT_EQ(main.OptionsRecord().WindowBackColor, before.WindowBackColor);
  EXPECT_EQ(main.OptionsRecord().MainFont, before.MainFont);
  EXPECT_EQ(ReadFile(THomeFolder::SettingsFile()), ini);
  EXPECT_EQ(ViewColor(main), colour);
}

TEST_F(OptionsDialog, OkRepaintsTheWindowsOnlyWhenTheLookChanged) {
  TZEBMain& main = StartWithWindow();
  auto* form = qobject_cast<TStringForm*>(main.WindowArea()->subWindowList().front()->widget());
  const int layouts = form->Control()->LayoutCount();
  const std::string ini = ReadFile(THomeFolder::SettingsFile());

  RunOptions(main, [](TOptionsForm& dialog) {
    Child<QCheckBox>(dialog, "CountingCheckBox")->setChecked(false);
    dialog.accept();
  });
  Settle();
  EXPECT_FALSE(main.OptionsRecord().Counting);
  EXPECT_EQ(form->Control()->LayoutCount(), layouts) << "a change of Counting laid a window out again";
  EXPECT_EQ(ReadFile(THomeFolder::SettingsFile()), ini) << "the dialog writes no settings file";

  Dialogs.ColorAnswers = {QColor(0, 160, 0)};
  RunOptions(main, [](TOptionsForm& dialog) {
    dialog.BackColorButtonClick();
    dialog.accept();
  });
  Settle();
  EXPECT_EQ(main.OptionsRecord().WindowBackColor, 0x00A000u);
  EXPECT_GT(form->Control()->LayoutCount(), layouts);
  EXPECT_EQ(ViewColor(main), QColor(0, 160, 0)) << "the window shows the new background";
}

TEST_F(OptionsDialog, TheDownloadDialogsEntryShowsOnlyTheDownloadingPage) {
  TOptions record;
  record.InstallDir = "/old/";
  record.Counting = true;
  Dialogs.Answers = {QString("/new")};
  QTimer::singleShot(0, [] {
    auto* form = qobject_cast<TOptionsForm*>(QApplication::activeModalWidget());
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->PageControl->count(), 1);
    EXPECT_EQ(form->PageControl->tabText(0), "Downloading");
    EXPECT_EQ(form->findChild<QCheckBox*>("CountingCheckBox"), nullptr);
    form->InstallDirButtonClick();
    form->findChild<QLineEdit*>("ProxyPortEdit")->setText("8080");
    form->accept();
  });
  EXPECT_TRUE(RunDownloadingOptions(nullptr, record, Dialogs));
  EXPECT_EQ(record.InstallDir, "/new/");
  EXPECT_EQ(record.ProxyPort, "8080");
  EXPECT_TRUE(record.Counting) << "settings of the hidden pages are kept";

  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_FALSE(RunDownloadingOptions(nullptr, record, Dialogs));
}

// A proxy address or port that the network library would misread is
// refused on OK with a message naming the field, and the dialog stays open;
// with the proxy box unticked the values are not used and stay as typed.
TEST_F(OptionsDialog, AProxyThatCannotBeUsedKeepsTheDialogOpen) {
  struct TCase {
    std::string Host;
    std::string Port;
    const char* Field;  // "" when accepted
  };
  const TCase cases[] = {
      {"proxy.example.com", "3128", ""},
      {"10.0.0.1", "80", ""},
      {"[::1]", "8080", ""},
      {"[2001:db8::7]", "65535", ""},
      {"localhost", "", ""},
      {"user:pa%0d%0aX@127.0.0.1", "3128", "Server IP Address"},
      {"user@10.0.0.1", "3128", "Server IP Address"},
      {" 10.0.0.1", "80", "Server IP Address"},
      {"proxy example", "80", "Server IP Address"},
      {"", "80", "Server IP Address"},
      {"999.1.1.1", "80", "Server IP Address"},
      {"10.0.0.1:80", "", "Server IP Address"},
      {"[::1", "80", "Server IP Address"},
      {"http://proxy/", "80", "Server IP Address"},
      {std::string(200, 'x') + "@proxy", "80", "Server IP Address"},
      {"10.0.0.1", "0", "Port"},
      {"10.0.0.1", "65536", "Port"},
      {"10.0.0.1", "80x", "Port"},
      {"10.0.0.1", "-1", "Port"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE("\"" + c.Host + "\" port \"" + c.Port + "\"");
    TOptions working;
    working.ProxyIP = "old.example";
    working.ProxyPort = "1";
    TOptionsForm form(nullptr, working, Dialogs);
    form.show();
    Child<QCheckBox>(form, "ProxyCheckBox")->setChecked(true);
    Child<QLineEdit>(form, "ProxyIPMaskEdit")->setText(QString::fromStdString(c.Host));
    Child<QLineEdit>(form, "ProxyPortEdit")->setText(QString::fromStdString(c.Port));
    Dialogs.Asked.clear();
    form.accept();
    if (std::string(c.Field).empty()) {
      EXPECT_FALSE(form.isVisible());
      EXPECT_EQ(form.result(), QDialog::Accepted);
      EXPECT_TRUE(Messages().empty());
      EXPECT_EQ(working.ProxyIP, c.Host);
      EXPECT_EQ(working.ProxyPort, c.Port);
      continue;
    }
    EXPECT_TRUE(form.isVisible()) << "the dialog closed";
    EXPECT_EQ(working.ProxyIP, "old.example") << "nothing is kept yet";
    ASSERT_EQ(Messages().size(), 1u);
    const std::string text = Messages()[0].Text.toStdString();
    EXPECT_EQ(Messages()[0].Caption, "Set Options");
    EXPECT_EQ(text.rfind(std::string("The proxy server's \"") + c.Field + "\" \"", 0), 0u) << text;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << "one line";
    EXPECT_LT(text.size(), 320u) << "a long value is cut";
    EXPECT_EQ(form.PageControl->currentWidget()->objectName(), "DownloadingTabSheet");
    // Cancel still closes it.
    form.reject();
    EXPECT_FALSE(form.isVisible());
  }

  // Unticked, the proxy is not used: what was typed is kept without a word.
  TOptions working;
  TOptionsForm form(nullptr, working, Dialogs);
  form.show();
  Child<QLineEdit>(form, "ProxyIPMaskEdit")->setText("user@10.0.0.1");
  Dialogs.Asked.clear();
  form.accept();
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(working.ProxyIP, "user@10.0.0.1");
  EXPECT_FALSE(working.ProxyOn);
}

// ---- the Help menu ------------------------------------------------------------------

// The boxes keep their standard 96-dpi places scaled to the screen; where a
// text needs more room in this font, its label and the box grow, and the OK
// button stays centred under it (every text whole is WholeTexts' part).
TEST_F(OptionsDialog, AboutAndContactShowTheirTextsAt96DpiSizesScaledToTheScreen) {
  const auto atLeast = [](const QRect& got, const QRect& standard) {
    EXPECT_EQ(got.topLeft().x(), standard.left());
    EXPECT_GE(got.top(), standard.top());
    EXPECT_GE(got.width(), standard.width());
    EXPECT_GE(got.height(), standard.height());
  };
  const auto centredOk = [](QDialog& box, int width, int height) {
    const QRect ok = Child<QPushButton>(box, "OKButton")->geometry();
    EXPECT_EQ(ok.size(), QSize(width, height));
    EXPECT_NEAR(ok.x(), (box.width() - ok.width()) / 2, 1);
    EXPECT_LE(ok.bottom(), box.height());
  };
  for (const int dpi : {96, 192}) {
    SCOPED_TRACE(dpi);
    const auto at = [dpi](int pixels) { return pixels * dpi / 96; };
    TAboutForm about(nullptr, dpi);
    EXPECT_EQ(about.windowTitle(), "ZEB Reader For Windows");
    EXPECT_GE(about.width(), at(341));
    EXPECT_GE(about.height(), at(179));
    QLabel* name = Child<QLabel>(about, "ProductName");
    EXPECT_EQ(name->text(), "ZEB Reader for Windows\nVersion 4.50\n(20 September 2000)");
    EXPECT_EQ(name->pos(), QPoint(at(126), at(16)));
    atLeast(name->geometry(), QRect(at(126), at(16), at(171), at(41)));
    EXPECT_EQ(Child<QLabel>(about, "Copyright")->text(), ProductLegalNotice);
    centredOk(about, at(75), at(25));

    TContactForm contact(nullptr, dpi);
    EXPECT_EQ(contact.windowTitle(), "Contacting the ZEB");
    EXPECT_GE(contact.width(), at(250));
    EXPECT_GE(contact.height(), at(218));
    EXPECT_EQ(Child<QLabel>(contact, "Headings")->text(), "E-mail:\n\nWeb site:\n\nPostal mail:");
    EXPECT_TRUE(Child<QLabel>(contact, "Values")->text().startsWith(QString(ProductSupportEmail) + "\n\n" +
                                                                     ProductWebSite + "\n\n"));
    atLeast(Child<QLabel>(contact, "HintFileNote")->geometry(), QRect(at(10), at(130), at(226), at(40)));
    centredOk(contact, at(75), at(25));
  }
}

// Receives the URLs the desktop would open.
class TUrlCatcher : public QObject {
  Q_OBJECT

 public slots:
  void Open(const QUrl& url) { Urls.push_back(url); }

 public:
  std::vector<QUrl> Urls;
};

TEST_F(OptionsDialog, TheWebSiteOpensInTheBrowserOrTheAddressIsGiven) {
  TZEBMain& main = Start();
  for (const char* name : {"HelpWeb", "HelpContact", "HelpAbout", "OptionsSet", "FileVerbose"})
    EXPECT_TRUE(main.Action(name)->isEnabled()) << name;
  TUrlCatcher catcher;
  const QString scheme = QUrl(ProductWebSite).scheme();
  QDesktopServices::setUrlHandler(scheme, &catcher, "Open");
  main.Action("HelpWeb")->trigger();
  QDesktopServices::unsetUrlHandler(scheme);
  ASSERT_EQ(catcher.Urls.size(), 1u);
  EXPECT_EQ(catcher.Urls[0], QUrl(ProductWebSite));
  EXPECT_TRUE(Messages().empty());

  // Without a browser (none here), the message gives the address.
  main.HelpWebClick();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Caption, "Error connecting to ZEB web site");
  EXPECT_EQ(Messages()[0].Text, QString("This program was unable to find your web browser or was unable to establish "
                                        "an Internet connection.  To reach the ZEB web site manually, you should start "
                                        "your web browser and enter the address ") +
                                    ProductWebSite);
}

}  // namespace

#include "optionsdialog_test.moc"
