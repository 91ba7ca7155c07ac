#include "shell/findallfiles.h"

#include <QStatusBar>

#include "dialogs/dialogs.h"
#include "dialogs/pendingevents.h"
#include "display/displaycontext.h"
#include "display/stringchild.h"
#include "display/verboseform.h"
#include "model/search.h"
#include "settings/homefolder.h"
#include "shell/main.h"

std::function<void(const TFileHit&)> TFileHit::OpenHandler;

TFileHit::TFileHit(std::string text, std::string path, std::int32_t line)
    : THunk(std::move(text), nullptr), Path(std::move(path)), Line(line) {}

int TFileHit::Open() {
  if (OpenHandler) OpenHandler(*this);
  return 0;
}

const char* TFileHit::ClassName() const { return "TFileHit"; }

std::unique_ptr<TMetaTextHunk> AllFilesResults(const std::vector<TFileSearch>& searched, const std::string& phrase) {
  auto results = std::make_unique<TMetaTextHunk>(SearchTitle(phrase), nullptr, Kind::Subject);
  for (const TFileSearch& file : searched) {
    for (const TSearchRow& row : file.Rows) {
      // Titles only, as the search within a file shows them.
      std::string text = file.Title;
      for (const std::string& title : row.Titles) text += ": " + title;
      auto* hit = new TFileHit(text, file.Path, row.Lines.empty() ? 0 : row.Lines.back());
      hit->EndsLine = 1;
      hit->Owner = results.get();
      results->Append(hit);
    }
  }
  if (results->Items.empty()) return nullptr;
  return results;
}

std::string AllFilesSearchedNote(const std::vector<TFileSearch>& searched) {
  std::size_t failed = 0;
  for (const TFileSearch& file : searched)
    if (file.LoadCode != 0) ++failed;
  const std::size_t read = searched.size() - failed;
  std::string note = "Searched " + std::to_string(read) + (read == 1 ? " hint file" : " hint files");
  if (failed > 0)
    note += "; " + std::to_string(failed) + (failed == 1 ? " file that could not be read was" : " files that could not be read were") +
            " skipped";
  return note + ".";
}

// ---- the command ----------------------------------------------------------------

void TZEBMain::FileFindAllClick() {
  const auto phrase =
      Dialogs().GetText(this, "Find in All Hint Files", "Enter search phrase (it is not case-sensitive)", QString());
  if (!phrase) return;
  // The folder the by-title window shows, else the hint-file folder.
  const std::string folder = TitleWindow ? TitleWindow->Folder() : THomeFolder::WithSlash(Options.InstallDir);
  std::error_code error;
  const std::vector<std::string> files = HintFilesOfFolder(folder, error);
  if (error) {
    Dialogs().Message(this, "Error", FolderErrorText(folder, error), TDialogs::TIcon::Stop);
    return;
  }
  volatile std::uint8_t cancel = 0;
  std::unique_ptr<TProgressBox> box;
  if (DisplayContext().ShowProgress) box = DisplayContext().ShowProgress("Find in All Hint Files", &cancel);
  const QString total = QString::number(files.size());
  const std::vector<TFileSearch> searched =
      SearchHintFiles(files, phrase->toStdString(), cancel, [&](std::size_t done) {
        if (box) box->SetStatusText(QString("Searching hint file %1 of %2").arg(done).arg(total));
        ProcessPendingMessages();
      });
  if (box) box->Finish();
  if (cancel != 0) {
    statusBar()->showMessage("The search was cancelled.");
    return;
  }
  std::unique_ptr<TMetaTextHunk> results = AllFilesResults(searched, phrase->toStdString());
  const QString note = QString::fromStdString(AllFilesSearchedNote(searched));
  if (!results) {
    statusBar()->showMessage(note);
    Dialogs().Message(this, QString::fromStdString(SearchTitle(phrase->toStdString())), "No hints were found with the requested string.",
                      TDialogs::TIcon::Stop);
    return;
  }
  if (AllFilesWindow) AllFilesWindow->CloseWindow();
  AllFilesWindow = ShowHintWindow(*results.release(), true);
  statusBar()->showMessage(note);
}
