// zebtool update and download: the update list and the hint files of an
// update server, through the same engine as the reader's download dialog.

#include <filesystem>
#include <ostream>

#include <QString>

#include "downloader/catalog.h"
#include "downloader/downloadengine.h"
#include "downloader/updatelist.h"
#include "model/textcase.h"
#include "settings/homefolder.h"
#include "settings/inifile.h"
#include "settings/options.h"
#include "tools/batchdialogs.h"
#include "tools/commands.h"

namespace {
// The settings of the home folder, with the server of --server when given.
TOptions LoadOptions(const std::string& server) {
  TOptions options;
  TIniFile ini(THomeFolder::SettingsFile());
  LoadSettings(ini, options, TBrowserDefaults::FromEnvironment(), THomeFolder::DefaultHintFolder());
  options.InstallDir = THomeFolder::WithSlash(options.InstallDir);
  if (!server.empty()) options.UpdateServer = server;
  return options;
}

// A failure's exit status: a file that could not be written, or any other
// failure of the network, the server or an archive.
int FailureStatus(const TDownloadEngine& engine) {
  return engine.LastFailure == TDownloadEngine::TFailure::Write ? ExitCode::CannotCreate : ExitCode::Unavailable;
}

// Retrieves the list; false after telling why on standard error.
bool Retrieve(TDownloadEngine& engine, std::ostream& err) {
  QString status;
  engine.ShowStatus = [&status](const QString& text) { status = text; };
  const bool ok = engine.RetrieveList();
  if (!ok) err << "zebtool: " << status.toStdString() << "\n";
  engine.ShowStatus = nullptr;
  return ok;
}
}  // namespace

int UpdateCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string server;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--server" && i + 1 < args.size()) {
      server = args[++i];
    } else {
      return UsageError(err, "update takes [--server HOST]");
    }
  }
  const THeadlessApplication app;
  TBatchDialogs dialogs(err);
  TOptions options = LoadOptions(server);
  TDownloadEngine engine(options, dialogs, THomeFolder::UpdateListFile());
  if (!Retrieve(engine, err)) return FailureStatus(engine);
  return ListCommand({THomeFolder::UpdateListFile()}, out, err);
}

int DownloadCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string server;
  bool again = false;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--server") {
      if (++i == args.size()) return UsageError(err, "--server needs a HOST");
      server = args[i];
    } else if (args[i] == "--yes") {
      again = true;
    } else {
      names.push_back(args[i]);
    }
  }
  if (names.empty()) return UsageError(err, "download takes one or more NAMEs");

  const THeadlessApplication app;
  TBatchDialogs dialogs(err);
  dialogs.AnswerYesNoCancel = again ? TDialogs::TAnswer::Yes : TDialogs::TAnswer::No;
  TOptions options = LoadOptions(server);
  const std::string listFile = THomeFolder::UpdateListFile();
  TDownloadEngine engine(options, dialogs, listFile);
  // The pauses let a reader see the status line; a script has none.
  engine.Pause = [](int) {};
  // A list from the named server, or the one retrieved before.
  std::error_code missing;
  if ((!server.empty() || !std::filesystem::exists(listFile, missing)) && !Retrieve(engine, err))
    return FailureStatus(engine);

  TCatalog catalog;
  const volatile std::uint8_t noCancel = 0;
  ScanHintFolder(options.InstallDir, catalog, noCancel, THomeFolder::CatalogCacheFile());
  std::vector<TFileRecord> records = LoadFileList(listFile, catalog, false);
  int status = ExitCode::Ok;
  for (const std::string& name : names) {
    TFileRecord* record = nullptr;
    for (TFileRecord& candidate : records)
      if (EqualIgnoringCase(candidate.FileName, name)) {
        record = &candidate;
        break;
      }
    if (record == nullptr) {
      out << name << ": not in the update list\n";
      status = ExitCode::Unavailable;
      continue;
    }
    const bool wasCurrent = record->HaveCurrent;
    const auto outcome = engine.DownloadOneFile(*record, false);
    if (outcome == TDownloadEngine::TOutcome::Declined) {
      out << name << ": skipped, the current version is already here\n";
    } else if (outcome == TDownloadEngine::TOutcome::Done) {
      out << name << ": downloaded" << (wasCurrent ? " again" : "") << "\n";
    } else {
      out << name << ": failed";
      // Told on the line too: the archive arrived whole, yet held no hint file.
      if (engine.LastFailure == TDownloadEngine::TFailure::NotHintFile)
        out << ", " << engine.FailureDetail << "; nothing was replaced";
      out << "\n";
      // A file that could not be written outweighs the other failures.
      if (status != ExitCode::CannotCreate) status = FailureStatus(engine);
    }
    engine.CancelRequested = false;
  }
  return status;
}
