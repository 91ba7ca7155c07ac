// Open Hints by Title, Download New Hints, Set Options, and the Help menu's
// web site, contact and About commands.

#include <QDesktopServices>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QUrl>

#include "dialogs/dialogs.h"
#include "display/stringcontrol.h"
#include "display/verboseform.h"
#include "downloader/updateform.h"
#include "settings/homefolder.h"
#include "settings/optionsform.h"
#include "settings/qtvalues.h"
#include "shell/about.h"
#include "shell/main.h"
#include "settings/productinfo.h"

void TZEBMain::FileVerboseClick() {
  if (TitleWindow) {
    TitleWindow->ShowWindow();
    return;
  }
  const std::string folder = !LastTitleFolder.empty() ? LastTitleFolder : Options.InstallDir;
  TitleWindow = ShowVerboseWindow(folder);
}

void TZEBMain::FileDownloadClick() {
  RunDownloadDialog(this, Options, Dialogs(), THomeFolder::UpdateListFile());
  // New files show in an open by-title window at once.
  if (TitleWindow) TitleWindow->ListFolder(TitleWindow->Folder());
}

void TZEBMain::OptionsSetClick() {
  bool changedLook = false;
  if (RunOptionsDialog(this, Options, Dialogs(), &changedLook) && changedLook) RelayoutHintWindows();
}

void TZEBMain::RelayoutHintWindows() {
  for (QMdiSubWindow* window : Area->subWindowList()) {
    auto* form = qobject_cast<TStringForm*>(window->widget());
    if (form == nullptr) continue;
    QWidget* view = form->ScrollBox()->viewport();
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, ToQColor(Options.WindowBackColor));
    view->setPalette(palette);
    form->Control()->WrapText();
    form->Control()->update();
    view->update();
  }
}

void TZEBMain::HelpWebClick() {
  if (QDesktopServices::openUrl(QUrl(ProductWebSite))) return;
  Dialogs().Message(this, "Error connecting to ZEB web site",
                    QString("This program was unable to find your web browser or was unable to establish an Internet "
                            "connection.  To reach the ZEB web site manually, you should start your web browser and "
                            "enter the address ") +
                        ProductWebSite,
                    TDialogs::TIcon::None);
}

void TZEBMain::HelpContactClick() {
  TContactForm contact(this);
  contact.exec();
}

void TZEBMain::HelpAboutClick() {
  TAboutForm about(this);
  about.exec();
}
