// Every text of the reader's own dialogs shows whole, at any scale: CTest
// runs this suite again with QT_SCALE_FACTOR=2.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTabWidget>

#include "settings/optionsform.h"
#include "shell/about.h"
#include "support/scripteddialogs.h"
#include "support/wholetext.h"

namespace {

void ShowSettled(QWidget& window) {
  window.show();
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

}  // namespace

TEST(WholeTexts, EveryPageOfSetOptionsAndItsDownloadingCopy) {
  TScriptedDialogs dialogs;
  for (const auto pages : {TOptionsForm::TPages::All, TOptionsForm::TPages::Downloading}) {
    TOptions working;
    working.InstallDir = "/home/someone/.local/share/zebwin/hints/";
    TOptionsForm form(nullptr, working, dialogs, pages);
    ShowSettled(form);
    for (int page = 0; page < form.PageControl->count(); ++page) {
      SCOPED_TRACE(form.PageControl->tabText(page).toStdString() + (pages == TOptionsForm::TPages::All ? "" : " (copy)"));
      form.PageControl->setCurrentIndex(page);
      for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
      EXPECT_EQ(CutTexts(form).join("\n").toStdString(), "");
    }
  }
}

TEST(WholeTexts, AboutAndContact) {
  const int dpi = QApplication::primaryScreen()->logicalDotsPerInchX();
  TAboutForm about(nullptr, dpi);
  ShowSettled(about);
  EXPECT_EQ(CutTexts(about).join("\n").toStdString(), "");
  TContactForm contact(nullptr, dpi);
  ShowSettled(contact);
  EXPECT_EQ(CutTexts(contact).join("\n").toStdString(), "");
}
