#include "display/verboseform.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include "dialogs/pendingevents.h"
#include "dialogs/dialogs.h"
#include "display/displaycontext.h"
#include "display/stringcontrol.h"
#include "downloader/catalog.h"
#include "model/metatexthunk.h"
#include "settings/homefolder.h"

namespace {
QString ListCaption(const std::string& folder) {
  return "List of ZEB Hint Files in " + QString::fromStdString(folder);
}

int FrameHeight(const QWidget* widget) { return widget->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2; }
}  // namespace

TVerboseForm::TVerboseForm(std::unique_ptr<TMetaTextHunk> document, std::string folder)
    : THintForm(document.release(), true), FolderShown(std::move(folder)) {
  setObjectName("VerboseForm");
  QWidget* panel = Panel();
  panel->setFixedHeight(FrameHeight(this) + 24 + 2);
  // The button and the label stand where PanelResize puts them.
  panel->layout()->removeWidget(HintButton());
  HintButton()->setText("Change Folder...");
  HintButton()->setFixedWidth(logicalDpiX() * 100 / 96);
  Label = new QLabel(ListCaption(FolderShown), panel);
  Label->setObjectName("FolderLabel");
  Label->setTextFormat(Qt::PlainText);
  panel->installEventFilter(this);
  setWindowIcon(QIcon(":/icons/Z_VERBOSE_ICON"));
}

void TVerboseForm::showEvent(QShowEvent* event) {
  // Nothing to reveal: the window only takes the focus on its button.
  TStringForm::showEvent(event);
  PanelResize();
  FocusHintButton();
}

bool TVerboseForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Panel() && event->type() == QEvent::Resize) PanelResize();
  return THintForm::eventFilter(watched, event);
}

void TVerboseForm::PanelResize() {
  const QWidget* panel = Panel();
  const int frame = FrameHeight(this);
  HintButton()->adjustSize();
  HintButton()->move(panel->width() - HintButton()->width() - 1, std::max(frame - 1, 0));
  Label->adjustSize();
  Label->move(frame + 1, (panel->height() - Label->height()) / 2);
}

void TVerboseForm::HintButtonClick() {
  const auto chosen = Dialogs().ChooseFolder(
      this, "Select a Folder", "The reader will list the titles of files in the directory you select below.",
      QString::fromStdString(FolderShown));
  if (!chosen) return;
  std::string folder = chosen->toStdString();
  if (folder.empty() || folder.back() != '/') folder += '/';
  FolderShown = folder;
  Label->setText(ListCaption(FolderShown));
  PanelResize();
  ListFolder(FolderShown);
}

void TVerboseForm::ListFolder(const std::string& folder) {
  TStringControl* control = Control();
  TItemsHunk* document = Node();
  if (document == nullptr) return;
  control->PaintSuspended = true;
  // No piece, and not the selected link, may point at a summary once it is gone.
  control->ForgetFocusTarget();
  control->SetShownCount(0);
  control->WrapText();
  for (TZEBObject* item : document->Items) delete item;
  document->Items.clear();

  volatile std::uint8_t cancel = 0;
  std::unique_ptr<TProgressBox> progress;
  if (const auto& show = DisplayContext().ShowProgress) {
    progress = show("Searching Files", &cancel);
    progress->SetStatusText("Searching files stored in " + QString::fromStdString(folder));
    ShowStatusNow();
  }
  TCatalog catalog;
  const std::error_code error = ScanHintFolder(folder, catalog, cancel, THomeFolder::CatalogCacheFile(), [&progress] {
    if (progress) ProcessPendingMessages();
  });
  // The help file and files without a title are left out; titles sorted,
  // equal keys in catalog order.
  for (const TFileInfo* info : ListedByTitle(catalog)) {
    auto* entry = new TFileInfo(*info);
    entry->Owner = document;
    entry->EndsLine = 1;
    entry->Wraps = 1;
    document->Append(entry);
  }

  control->SetShownCount(static_cast<int>(document->ItemCount()));
  control->WrapText();
  ScrollBox()->verticalScrollBar()->setValue(0);
  if (progress && cancel == 0) progress->Finish();
  control->PaintSuspended = false;
  control->update();
  // A folder that is not there lists nothing, as an empty one does; one
  // that is there but cannot be read is no empty folder.
  if (error && error != std::errc::no_such_file_or_directory)
    Dialogs().Message(this, "Error", FolderErrorText(folder, error), TDialogs::TIcon::Stop);
}

QString FolderErrorText(const std::string& folder, const std::error_code& error) {
  return "The folder " + QString::fromStdString(folder) + " cannot be read: " + QString::fromStdString(error.message()) +
         ".";
}

TVerboseForm* ShowVerboseWindow(const std::string& folder) {
  auto* form = new TVerboseForm(std::make_unique<TMetaTextHunk>(TVerboseForm::DocumentTitle, nullptr, Kind::Subject),
                                folder);
  ShowFormWindow(*form);
  form->ListFolder(folder);
  return form;
}
