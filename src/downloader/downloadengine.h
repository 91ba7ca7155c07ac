#pragma once
// Fetching from the update server, below the download dialog: retrieving
// the update list into "zebinet.dat", and fetching and unpacking one hint
// file's archive into the hint-file folder, with the questions and error
// messages of a download run. Questions go through the program's dialogs,
// status texts through a callback, so the dialog and zebtool drive the same
// code.

#include <cstdint>
#include <functional>
#include <string>

#include <QString>

#include "dialogs/dialogs.h"
#include "downloader/updatelist.h"
#include "http/httpclient.h"
#include "settings/options.h"

class QWidget;

class TDownloadEngine {
 public:
  // How an error is reported: a box with OK, a box asking Yes or No (more
  // files follow), or only the status line.
  enum class TReport { Ok, YesNo, StatusLine };
  // What ended the last RetrieveList or DownloadOneFile that failed.
  // NotHintFile: the archive's file did not load as a hint file (FailureDetail
  // says why); BadProxy: the proxy is switched on but cannot be used.
  enum class TFailure { None, Transfer, Archive, NotHintFile, Write, Refused, BadProxy, Cancelled };

  // listFile: where the update list is kept ("zebinet.dat").
  TDownloadEngine(TOptions& options, TDialogs& dialogs, std::string listFile, QWidget* owner = nullptr);

  // The list URL on the configured server; empty when none is set.
  std::string ListUrl() const;

  // Fetches the update list; true when a complete new list replaced the
  // list file (the caller then reloads it). An empty document is an empty
  // list. The old list stays byte for byte on every failure.
  bool RetrieveList();
  // How one download ended: the file is in place; the user kept the copy
  // already there; it failed (LastFailure says why); or the run was cancelled.
  enum class TOutcome { Done, Declined, Failed, Cancelled };

  // Fetches and unpacks one file. An entry whose file name is no plain
  // hint-file name, or would replace a file of the program's own, is
  // refused: nothing is fetched or written. The file is written under the
  // list's name and replaces the old one only when it loads as a hint file;
  // the archive is removed however the download ends.
  TOutcome DownloadOneFile(TFileRecord& record, bool moreToCome);

  // Reports a failed transfer with the error it ended with.
  TDialogs::TAnswer ReportHttpError(const std::string& name, const THttpError& error, TReport form);
  TDialogs::TAnswer ReportZipError(const std::string& name, const std::string* message, TReport form);
  // Reports an unpacked file that is no hint file (why: said of "the file
  // X in the archive"); the old one was kept.
  TDialogs::TAnswer ReportNotHintFile(const std::string& name, const std::string& fileName, const std::string& why,
                                      TReport form);
  // Reports a file that could not be written (what, and the system's reason).
  TDialogs::TAnswer ReportWriteError(const std::string& name, const std::string& error, TReport form);

  // Stop: ends the running transfer, and the run after the current step.
  void Stop();

  THttpCli Http;
  bool CancelRequested = false;
  // Set when a document began to arrive during the run.
  bool DocumentBegun = false;
  TFailure LastFailure = TFailure::None;
  // For NotHintFile: "the file X in the archive is ...".
  std::string FailureDetail;
  std::string StatusBase;
  std::function<void(const QString& text)> ShowStatus;
  // The pauses of the run (333 ms); a timer-driven wait unless replaced.
  std::function<void(int milliseconds)> Pause;

  // The archive's file in the hint-file folder while it arrives: a name of
  // our own that no hint file has and that cannot leave the folder.
  static std::string ArchiveFileName(const std::string& url);
  // Whether an update list's file name may be downloaded: one plain name
  // with no folder part, not hidden, ending in ".ZEB" in any letter case,
  // and nothing a file system of another platform would refuse.
  static bool IsDownloadableName(const std::string& name);

 private:
  void Status(const QString& text);
  // Sets the proxy of the settings on the client and clears ModifiedSince;
  // returns "" or, when the proxy is on but cannot be used, the message
  // (no proxy is then set, and the caller must not fetch).
  std::string SetProxy();
  // The archive into the folder: the second half of DownloadOneFile.
  TOutcome Unpack(TFileRecord& record, const std::string& archive, const std::string& folder, TReport form);
  std::string SupportSentence() const;
  // An error in the form asked for: the status line, or a box captioned
  // "Downloading Error" (asking whether to go on when more files follow).
  TDialogs::TAnswer Report(QString text, TReport form);
  // The box or status line of a refused entry; returns the answer.
  TDialogs::TAnswer ReportRefused(const TFileRecord& record, const std::string& why, TReport form);
  // The program's own file that a download of the name into the folder
  // would replace, or "".
  std::string OwnFileAt(const std::string& folder, const std::string& name) const;
  // Ends a failed DownloadOneFile: records why, and stops the run when the
  // user answered No (or endRun says so).
  TOutcome Failed(TFailure failure, TDialogs::TAnswer answer, bool endRun = false);
  // Ends a DownloadOneFile that the user cancelled.
  TOutcome Cancelled();

  TOptions& Options;
  TDialogs& Dialogs;
  std::string ListFile;
  QWidget* Owner;
};
