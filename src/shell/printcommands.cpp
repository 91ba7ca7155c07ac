// Print File, Printer Setup, Print Help File, and the window commands Save
// Window, Print Window and Copy to Clipboard of the active hint window.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>

#include "dialogs/dialogs.h"
#include "display/hunkprintout.h"
#include "display/stringchild.h"
#include "display/stringcontrol.h"
#include "model/hunk.h"
#include "shell/main.h"

void TZEBMain::FilePrintClick() {
  if (THunk* root = FileRoot()) RunPrintJob(*root, "Hints for " + root->GetText(), this);
}

void TZEBMain::FilePrinterSetupClick() { Dialogs().PrinterSetup(this, *Printer); }

void TZEBMain::HelpPrintClick() {
  THunk* root = HelpRoot();
  if (root == nullptr) {
    Dialogs().Message(this, "Error", "Unable to locate help file.", TDialogs::TIcon::None);
    return;
  }
  // The index and everything under it; a help file without an index prints whole.
  THunk* index = root->FindByTitle("Help File Index");
  RunPrintJob(index != nullptr ? *index : *root, "ZEBWIN Documentation", this);
}

TStringControl* TZEBMain::ActiveControl() const {
  QMdiSubWindow* active = Area->activeSubWindow();
  auto* form = active != nullptr ? qobject_cast<TStringForm*>(active->widget()) : nullptr;
  return form != nullptr ? form->Control() : nullptr;
}

void TZEBMain::WindowsSaveClick() {
  if (TStringControl* control = ActiveControl()) control->SaveContents();
}

void TZEBMain::WindowsPrintClick() {
  if (TStringControl* control = ActiveControl()) control->PrintContents();
}

void TZEBMain::WindowsCopyClick() {
  if (TStringControl* control = ActiveControl()) control->CopyContents();
}
