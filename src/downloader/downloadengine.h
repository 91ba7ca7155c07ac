#pragma once
// Fetching from the update server, below the download dialog: retrieving
// the update list into "zebinet.dat", and fetching and unpacking one hint
// file's archive into the hint-file folder, with the questions and error
// messages of a download run. Questions go through the program's dialogs,
// status texts through a callback, so the dialog and zebtool drive the same
// code.

#include <functional>
#include <string>

#include <QString>

#include "display/dialogs.h"
#include "downloader/updatelist.h"
#include "http/httpclient.h"
#include "settings/options.h"

class QWidget;

class TDownloadEngine {
 public:
  // How an error is reported: a box with OK, a box asking Yes or No (more
  // files follow), or only the status line.
  enum class TReport { Ok, YesNo, StatusLine };

  // listFile: where the update list is kept ("zebinet.dat").
  TDownloadEngine(TOptions& options, TDialogs& dialogs, std::string listFile, QWidget* owner = nullptr);

  // The list URL on the configured server; empty when none is set.
  std::string ListUrl() const;

  // Fetches the update list; true when a complete new list replaced the
  // list file (the caller then reloads it). The old list stays byte for
  // byte on every failure.
  bool RetrieveList();
  // Fetches and unpacks one file: 1 when done or declined, 0 on failure or
  // cancellation.
  int DownloadOneFile(TFileRecord& record, bool& proceed, bool moreToCome);

  TDialogs::TAnswer ReportHttpError(const std::string& name, TReport form);
  TDialogs::TAnswer ReportZipError(const std::string& name, const std::string* message, TReport form);

  // Stop: ends the running transfer, and the run after the current step.
  void Stop();

  THttpCli Http;
  bool CancelRequested = false;
  // Set when a document began to arrive during the run.
  bool DocumentBegun = false;
  std::string StatusBase;
  std::function<void(const QString& text)> ShowStatus;
  // The pauses of the run (333 ms); a timer-driven wait unless replaced.
  std::function<void(int milliseconds)> Pause;

  // The archive's file in the hint-file folder while it arrives: a name of
  // our own that no hint file has and that cannot leave the folder.
  static std::string ArchiveFileName(const std::string& url);

 private:
  void Status(const QString& text);
  void SetProxy();
  std::string SupportSentence() const;

  TOptions& Options;
  TDialogs& Dialogs;
  std::string ListFile;
  QWidget* Owner;
};
