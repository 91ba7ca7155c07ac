#include "downloader/downloadengine.h"

#include <filesystem>
#include <memory>
#include <string_view>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "dialogs/pendingevents.h"
#include "downloader/catalog.h"
#include "downloader/listdates.h"
#include "fileio/atomicfile.h"
#include "settings/homefolder.h"
#include "model/loader.h"
#include "settings/productinfo.h"
#include "settings/proxyaddress.h"
#include "zip/unzipper.h"

namespace fs = std::filesystem;

namespace {
constexpr const char* ListDocumentName = "the list of available hint files";
constexpr int PauseMs = 333;

QString Text(const std::string& bytes) { return QString::fromStdString(bytes); }

// A document arriving into a file that it replaces only when whole: begin
// opens the replacement, data shows the size, Commit puts it in place. A
// failed or cancelled transfer leaves the old file as it was.
class TDocumentSink {
 public:
  TDocumentSink(THttpCli& http, TDownloadEngine& engine, const std::string& path,
                std::function<void(const QString&)> status, std::string statusBase)
      : Http(http), Path(path), Status(std::move(status)), Base(std::move(statusBase)) {
    http.OnDocBegin = [this, &engine]() -> std::ostream* {
      engine.DocumentBegun = true;
      // A link of this name is replaced, never what it points to.
      File = std::make_unique<TAtomicFile>(Path, TAtomicFile::TLinks::Replace);
      File->Open();
      Received = 0;
      return &File->Stream();
    };
    http.OnDocData = [this](std::size_t length) {
      Received += static_cast<std::int64_t>(length);
      if (Status) Status(QString::fromStdString(Base + " (" + FormatFileSize(Received, false) + ")."));
    };
    http.OnDocEnd = nullptr;
  }
  // The client keeps no handler that points at a sink that is gone.
  ~TDocumentSink() {
    Http.OnDocBegin = nullptr;
    Http.OnDocData = nullptr;
    Http.OnDocEnd = nullptr;
  }
  TDocumentSink(const TDocumentSink&) = delete;
  TDocumentSink& operator=(const TDocumentSink&) = delete;

  // A write into the file failed (a full disk, an unwritable folder).
  bool Failed() const { return File != nullptr && File->Failed(); }
  std::string Error() const { return File != nullptr ? File->Error() : "cannot write " + Path; }
  // Puts the whole document in place; false when it could not.
  bool Commit() { return File != nullptr && File->Commit(); }

 private:
  THttpCli& Http;
  std::string Path;
  std::function<void(const QString&)> Status;
  std::string Base;
  std::unique_ptr<TAtomicFile> File;
  std::int64_t Received = 0;
};

// A file removed when the scope ends, however it ends.
class TRemovedAtEnd {
 public:
  explicit TRemovedAtEnd(std::string path) : Path(std::move(path)) {}
  ~TRemovedAtEnd() {
    std::error_code ignored;
    fs::remove(Path, ignored);
  }
  TRemovedAtEnd(const TRemovedAtEnd&) = delete;
  TRemovedAtEnd& operator=(const TRemovedAtEnd&) = delete;

 private:
  std::string Path;
};

// Why an unpacked file may not replace a hint file ("" when it loads as one),
// said of "the file X in the archive".
std::string HintFileRefusal(const std::string& path) {
  TObjectList objects;
  const TLoadResult loaded = LoadHintFile(path, objects, false);
  ClearList(objects);
  switch (loaded.Code) {
    case LoadResult::Loaded:
      return std::string();
    case LoadResult::ZipArchive:
      return "is itself a ZIP archive, not a hint file";
    case LoadResult::NotHintFile:
      return "is not a hint file";
    case LoadResult::BadChecksum:
      switch (loaded.Damage) {
        case TDamage::NestedTooDeep:
          return "is a damaged hint file (its hints nest too deep)";
        case TDamage::LineTooLong:
          return "is a damaged hint file (a line of its text is too long)";
        default:
          return "is a damaged hint file (its checksum is wrong)";
      }
    case LoadResult::OutOfMemory:
      return "could not be checked: there was not enough memory to load it";
    default:
      return "could not be opened to be checked";
  }
}

// An archive that holds the file twice: which copy is meant is unknown.
std::string DuplicateMessage(const std::string& archive, const std::string& member) {
  return "the archive " + ShownValue(archive) + " holds two files named " + ShownValue(member);
}

void WaitWithEvents(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

// The path as it would be reached, with the folders' links resolved but
// not the last part: the entry a rename over the path replaces.
fs::path EntryPath(const fs::path& path) {
  std::error_code error;
  const fs::path folder = fs::weakly_canonical(path.parent_path().empty() ? fs::path(".") : path.parent_path(), error);
  return error ? path.lexically_normal() : folder / path.filename();
}
}  // namespace

TDownloadEngine::TDownloadEngine(TOptions& options, TDialogs& dialogs, std::string listFile, QWidget* owner)
    : Pause(WaitWithEvents), Options(options), Dialogs(dialogs), ListFile(std::move(listFile)), Owner(owner) {}

std::string TDownloadEngine::ListUrl() const {
  std::string server = Options.UpdateServer;
  while (!server.empty() && server.back() == '/') server.pop_back();
  if (server.empty()) return std::string();
  if (server.find("://") == std::string::npos) server = "http://" + server;
  return server + "/cgi-bin/update.cgi";
}

void TDownloadEngine::Status(const QString& text) {
  if (ShowStatus) ShowStatus(text);
  ShowStatusNow();
}

std::string TDownloadEngine::SetProxy() {
  // A proxy switched on but unusable is not replaced by a direct
  // connection: the caller refuses the transfer with the message.
  const std::string problem = ProxySettingsProblem(Options);
  const bool use = Options.ProxyOn && problem.empty();
  Http.Proxy = use ? Options.ProxyIP : std::string();
  Http.ProxyPort = use ? Options.ProxyPort : std::string();
  Http.ModifiedSince = 0;
  return problem;
}

std::string TDownloadEngine::SupportSentence() const {
  return std::string("If you continue to receive this error, e-mail ") + ProductSupportEmail +
         " with a description of the error and the steps that caused it.";
}

void TDownloadEngine::Stop() {
  CancelRequested = true;
  Http.Abort();
}

std::string TDownloadEngine::ArchiveFileName(const std::string& url) {
  std::string name = THttpCli::DocNameOf(url);
  for (char& c : name) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || c == '.';
    if (!plain) c = '_';
  }
  while (!name.empty() && name.front() == '.') name.erase(0, 1);
  if (name.size() > 200) name.resize(200);
  if (name.empty()) name = "archive";
  // ".download" at the end: never a hint file's name, so never a target's.
  return name + ".download";
}

bool TDownloadEngine::IsDownloadableName(const std::string& name) {
  if (name.empty() || name.size() > 255 || name.front() == '.' || !IsHintFileName(name)) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) return false;
  }
  return true;
}

std::string TDownloadEngine::OwnFileAt(const std::string& folder, const std::string& name) const {
  const fs::path target = EntryPath(fs::path(folder) / name);
  for (const std::string& own : {THomeFolder::SettingsFile(), THomeFolder::CatalogCacheFile(), ListFile})
    if (EntryPath(own) == target) return own;
  return std::string();
}

TDownloadEngine::TOutcome TDownloadEngine::Failed(TFailure failure, TDialogs::TAnswer answer, bool endRun) {
  LastFailure = failure;
  CancelRequested = endRun || answer == TDialogs::TAnswer::No;
  return failure == TFailure::Cancelled ? TOutcome::Cancelled : TOutcome::Failed;
}

TDownloadEngine::TOutcome TDownloadEngine::Cancelled() {
  LastFailure = TFailure::Cancelled;
  return TOutcome::Cancelled;
}

bool TDownloadEngine::RetrieveList() {
  LastFailure = TFailure::None;
  StatusBase = "Retrieving list of new ZEB files";
  Status(Text(StatusBase) + ".");
  const std::string url = ListUrl();
  if (url.empty()) {
    // The settings file, not the list's folder: the two differ outside a
    // ZEBWIN_HOME (configuration and cache folders).
    Status("No update server is set, so no list can be retrieved.  Enter the server's name under \"Update "
           "server\" on the \"Downloading\" page of \"Options...\", or as UpdateServer in the [ZEBWIN] section of " +
           QString::fromStdString(THomeFolder::SettingsFile()) + ".");
    LastFailure = TFailure::Transfer;
    return false;
  }
  Http.URL = url;
  if (const std::string problem = SetProxy(); !problem.empty()) {
    Status(Text(problem));
    LastFailure = TFailure::BadProxy;
    return false;
  }
  Http.MaxBodyBytes = MaxListBytes;
  Http.ExpectedBytes = 0;
  if (CancelRequested) {
    Status("Action cancelled.");
    LastFailure = TFailure::Cancelled;
    return false;
  }
  // A folder that cannot be made shows when the list is written.
  THomeFolder::MakeFolderFor(ListFile);
  TDocumentSink sink(Http, *this, ListFile, ShowStatus, StatusBase);
  try {
    Http.Get();
  } catch (const THttpError& error) {
    if (sink.Failed()) {
      ReportWriteError(ListDocumentName, sink.Error(), TReport::StatusLine);
      LastFailure = TFailure::Write;
    } else {
      ReportHttpError(ListDocumentName, error, TReport::StatusLine);
      LastFailure = TFailure::Transfer;
    }
    return false;
  }
  if (CancelRequested) {
    Status("Action cancelled.");
    LastFailure = TFailure::Cancelled;
    return false;
  }
  if (!sink.Commit()) {
    ReportWriteError(ListDocumentName, sink.Error(), TReport::StatusLine);
    LastFailure = TFailure::Write;
    return false;
  }
  return true;
}

TDownloadEngine::TOutcome TDownloadEngine::DownloadOneFile(TFileRecord& record, bool moreToCome) {
  LastFailure = TFailure::None;
  FailureDetail.clear();
  const TReport form = moreToCome ? TReport::YesNo : TReport::Ok;
  const std::string name = record.Title + " hints";
  StatusBase = "Downloading " + name;
  Status(Text(StatusBase) + ".");
  bool proceed = true;
  if (record.HaveCurrent) {
    const TDialogs::TAnswer answer =
        Dialogs.Ask(Owner, "ZEB Reader",
                    "You already have the most current version of the hints for " + Text(record.Title) +
                        ".  Do you want to download these hints again?  Unless you are having problems reading the "
                        "copy of the hints you already have, you should answer \"no.\"",
                    TDialogs::TButtons::YesNoCancel);
    if (answer != TDialogs::TAnswer::Yes) proceed = false;
    if (answer == TDialogs::TAnswer::Cancel) CancelRequested = true;
  }
  if (CancelRequested) return Cancelled();
  Http.URL = record.Url;
  const std::string proxyProblem = SetProxy();
  if (!proceed) return TOutcome::Declined;
  // Every later file would fail alike: the run ends.
  if (!proxyProblem.empty()) return Failed(TFailure::BadProxy, Report(Text(proxyProblem), TReport::Ok), true);

  // The list's name is the server's choice: only a plain hint-file name in
  // the hint-file folder is fetched, and never one of the program's files.
  const std::string folder = THomeFolder::WithSlash(Options.InstallDir);
  if (!IsDownloadableName(record.FileName))
    return Failed(TFailure::Refused,
                  ReportRefused(record, "which is not the name of a hint file in the hint-file folder", form));
  const std::string own = OwnFileAt(folder, record.FileName);
  if (!own.empty()) return Failed(TFailure::Refused, ReportRefused(record, "which would replace " + own, form));

  std::error_code ignored;
  fs::create_directories(folder, ignored);
  const std::string archive = folder + ArchiveFileName(record.Url);
  Http.MaxBodyBytes = THttpCli::DefaultMaxBodyBytes;
  Http.ExpectedBytes = record.Size > 0 ? record.Size : 0;
  {
    TDocumentSink sink(Http, *this, archive, ShowStatus, StatusBase);
    try {
      Http.Get();
    } catch (const THttpError& error) {
      if (sink.Failed()) return Failed(TFailure::Write, ReportWriteError(name, sink.Error(), form));
      const bool aborted = error.ReasonPhrase == AbortedReason;
      return Failed(aborted ? TFailure::Cancelled : TFailure::Transfer, ReportHttpError(name, error, form));
    }
    if (!sink.Commit()) return Failed(TFailure::Write, ReportWriteError(name, sink.Error(), form));
  }
  // The archive is only a step: it leaves the folder however the rest ends
  // (Unpack has closed it by then).
  const TRemovedAtEnd removeArchive(archive);
  Pause(PauseMs);
  if (CancelRequested) return Cancelled();
  return Unpack(record, archive, folder, form);
}

TDownloadEngine::TOutcome TDownloadEngine::Unpack(TFileRecord& record, const std::string& archive,
                                                  const std::string& folder, TReport form) {
  const std::string name = record.Title + " hints";
  const std::string archiveName = THttpCli::DocNameOf(record.Url);
  Status("Uncompressing " + Text(name) + ".");
  TAbUnZipper zipper;
  try {
    zipper.SetFileName(archive);
    zipper.SetBaseDirectory(folder);
    const int tagged = zipper.TagItems(record.FileName);
    if (tagged != 1) {
      zipper.CloseArchive();
      if (tagged == 0) return Failed(TFailure::Archive, ReportZipError(name, nullptr, form));
      const std::string message = DuplicateMessage(archiveName, record.FileName);
      return Failed(TFailure::Archive, ReportZipError(name, &message, form));
    }
    // Under the name the list gives, whatever the letter case in the
    // archive, and only when it loads as a hint file.
    zipper.TargetName = record.FileName;
    zipper.CheckExtracted = [](const std::string& path) { return HintFileRefusal(path); };
    zipper.OnArchiveItemProgress = [this](bool& abort) {
      ProcessPendingMessages();
      abort = CancelRequested;
    };
    zipper.ExtractTaggedItems();
    zipper.CloseArchive();
  } catch (const TZipError& error) {
    zipper.CloseArchive();
    const std::string message = error.what();
    switch (error.Kind) {
      case TZipError::TKind::Write:
        return Failed(TFailure::Write, ReportWriteError(name, message, form));
      case TZipError::TKind::Rejected:
        FailureDetail = "the file " + ShownValue(record.FileName) + " in the archive " + message;
        return Failed(TFailure::NotHintFile, ReportNotHintFile(name, record.FileName, message, form));
      case TZipError::TKind::Duplicate: {
        const std::string duplicate = DuplicateMessage(archiveName, error.Member);
        return Failed(TFailure::Archive, ReportZipError(name, &duplicate, form));
      }
      case TZipError::TKind::Archive:
        break;
    }
    return Failed(CancelRequested ? TFailure::Cancelled : TFailure::Archive, ReportZipError(name, &message, form));
  }
  if (CancelRequested) return Cancelled();
  record.HaveCurrent = true;
  Pause(PauseMs);
  return TOutcome::Done;
}

TDialogs::TAnswer TDownloadEngine::ReportHttpError(const std::string& name, const THttpError& error, TReport form) {
  if (error.ReasonPhrase == AbortedReason) {
    Status("Download cancelled.");
    return TDialogs::TAnswer::No;
  }
  const QString text = "An error occurred while downloading " + Text(name) + " (HTTP error " +
                 QString::number(error.StatusCode) + ": " + Text(error.ReasonPhrase) +
                 ").  Check your Internet connection, try your download again, and if you continue to receive this "
                 "error, e-mail " +
                 ProductSupportEmail + " with a description of the error and the steps that caused it.";
  return Report(text, form);
}

TDialogs::TAnswer TDownloadEngine::ReportZipError(const std::string& name, const std::string* message, TReport form) {
  const QString text = "An error occurred while uncompressing " + Text(name) + " (ZIP error: " +
                 (message != nullptr ? Text(*message) : QString("file not found")) + ").  Try your download again.  " +
                 Text(SupportSentence());
  return Report(text, form);
}

TDialogs::TAnswer TDownloadEngine::ReportNotHintFile(const std::string& name, const std::string& fileName,
                                                     const std::string& why, TReport form) {
  const QString file = Text(ShownValue(fileName));
  const QString text = "An error occurred while uncompressing " + Text(name) + ": the file " + file +
                       " in the archive " + Text(why) + ".  It was not saved, and a copy of " + file +
                       " already in the hint-file folder is kept as it was.  Try your download again.  " +
                       Text(SupportSentence());
  return Report(text, form);
}

TDialogs::TAnswer TDownloadEngine::ReportWriteError(const std::string& name, const std::string& error, TReport form) {
  const QString text = "An error occurred while saving " + Text(name) + " (" + Text(error) +
                 ").  Check that the folder can be written to and that the disk is not full, then try again.";
  return Report(text, form);
}

TDialogs::TAnswer TDownloadEngine::ReportRefused(const TFileRecord& record, const std::string& why, TReport form) {
  const QString text = "The list of available hint files names the file \"" + Text(record.FileName) + "\" for " +
                 Text(record.Title) + " hints, " + Text(why) +
                 ".  The file was not downloaded.  The update server may be damaged or not to be trusted.";
  return Report(text, form);
}

TDialogs::TAnswer TDownloadEngine::Report(QString text, TReport form) {
  if (form == TReport::StatusLine) {
    Status(text);
    return TDialogs::TAnswer::No;
  }
  if (form == TReport::YesNo) text += "  Do you want to continue downloading other files?";
  return Dialogs.Ask(Owner, "Downloading Error", text,
                     form == TReport::YesNo ? TDialogs::TButtons::YesNo : TDialogs::TButtons::Ok);
}
