#include "downloader/downloadengine.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "downloader/listdates.h"
#include "settings/homefolder.h"
#include "settings/productinfo.h"
#include "zip/unzipper.h"

namespace fs = std::filesystem;

namespace {
constexpr const char* ListDocumentName = "the list of available hint files";
constexpr int PauseMs = 333;

QString Text(const std::string& bytes) { return QString::fromStdString(bytes); }

// A document arriving into a file: begin opens it, data shows the size.
class TDocumentSink {
 public:
  TDocumentSink(THttpCli& http, TDownloadEngine& engine, const std::string& path,
                std::function<void(const QString&)> status, std::string statusBase)
      : Path(path), Status(std::move(status)), Base(std::move(statusBase)) {
    http.OnDocBegin = [this, &engine]() -> std::ostream* {
      engine.DocumentBegun = true;
      Out = std::make_unique<std::ofstream>(Path, std::ios::binary | std::ios::trunc);
      Received = 0;
      return Out.get();
    };
    http.OnDocData = [this](std::size_t length) {
      Received += static_cast<std::int64_t>(length);
      if (Status) Status(QString::fromStdString(Base + " (" + FormatFileSize(Received, false) + ")."));
    };
    http.OnDocEnd = [this] {
      if (Out) Out->close();
    };
  }
  bool Begun() const { return Out != nullptr; }
  // Closed and intact.
  bool Complete() const { return Out != nullptr && !Out->is_open() && !Out->fail(); }

 private:
  std::string Path;
  std::function<void(const QString&)> Status;
  std::string Base;
  std::unique_ptr<std::ofstream> Out;
  std::int64_t Received = 0;
};

void WaitWithEvents(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
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
  QCoreApplication::processEvents();
}

void TDownloadEngine::SetProxy() {
  Http.Proxy = Options.ProxyOn ? Options.ProxyIP : std::string();
  Http.ProxyPort = Options.ProxyOn ? Options.ProxyPort : std::string();
  Http.ModifiedSince = 0;
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
  if (name.empty()) name = "archive";
  return name + ".download";
}

bool TDownloadEngine::RetrieveList() {
  StatusBase = "Retrieving list of new ZEB files";
  Status(Text(StatusBase) + ".");
  const std::string url = ListUrl();
  if (url.empty()) {
    // The settings file, not the list's folder: the two differ outside a
    // ZEBWIN_HOME (configuration and cache folders).
    Status("No update server is set, so no list can be retrieved.  Enter the server's name under \"Update "
           "server\" on the \"Downloading\" page of \"Options...\", or as UpdateServer in the [ZEBWIN] section of " +
           QString::fromStdString(THomeFolder::SettingsFile()) + ".");
    return false;
  }
  Http.URL = url;
  SetProxy();
  if (CancelRequested) {
    Status("Action cancelled.");
    return false;
  }
  // The list arrives beside the last good one and replaces it only whole.
  fs::create_directories(fs::path(ListFile).parent_path());
  const std::string part = ListFile + ".part";
  bool ok = false;
  {
    TDocumentSink sink(Http, *this, part, ShowStatus, StatusBase);
    try {
      Http.Get();
      ok = sink.Complete();
      if (!ok) throw THttpError(507, "The list could not be written to disk");
    } catch (const THttpError&) {
      std::error_code ignored;
      fs::remove(part, ignored);
      ReportHttpError(ListDocumentName, TReport::StatusLine);
      return false;
    }
  }
  if (CancelRequested) {
    std::error_code ignored;
    fs::remove(part, ignored);
    Status("Action cancelled.");
    return false;
  }
  std::error_code error;
  fs::rename(part, ListFile, error);
  if (error) {
    fs::remove(part, error);
    Status("The list could not be stored in " + Text(ListFile) + ".");
    return false;
  }
  return true;
}

int TDownloadEngine::DownloadOneFile(TFileRecord& record, bool& proceed, bool moreToCome) {
  const TReport form = moreToCome ? TReport::YesNo : TReport::Ok;
  StatusBase = "Downloading " + record.Title + " hints";
  Status(Text(StatusBase) + ".");
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
  if (CancelRequested) return 0;
  Http.URL = record.Url;
  SetProxy();
  if (!proceed) return 1;

  const std::string folder = Options.InstallDir;
  std::error_code ignored;
  fs::create_directories(folder, ignored);
  const std::string archive = (fs::path(folder) / ArchiveFileName(record.Url)).string();
  {
    TDocumentSink sink(Http, *this, archive, ShowStatus, StatusBase);
    try {
      Http.Get();
      if (!sink.Complete()) throw THttpError(507, "The archive could not be written to disk");
    } catch (const THttpError&) {
      fs::remove(archive, ignored);  // a partial archive is of no use
      CancelRequested = ReportHttpError(record.Title + " hints", form) == TDialogs::TAnswer::No;
      return 0;
    }
  }
  Pause(PauseMs);
  if (CancelRequested) return 0;

  Status("Uncompressing " + Text(record.Title) + " hints.");
  TAbUnZipper zipper;
  try {
    zipper.SetFileName(archive);
    zipper.SetBaseDirectory(folder);
    if (zipper.TagItems(record.FileName) != 1) {
      zipper.CloseArchive();
      CancelRequested = ReportZipError(record.Title + " hints", nullptr, form) == TDialogs::TAnswer::No;
      return 0;
    }
    zipper.OnArchiveItemProgress = [this](bool& abort) {
      QCoreApplication::processEvents();
      abort = CancelRequested;
    };
    zipper.ExtractTaggedItems();
    zipper.CloseArchive();
    fs::remove(archive, ignored);
  } catch (const TZipError& error) {
    zipper.CloseArchive();
    const std::string message = error.what();
    CancelRequested = ReportZipError(record.Title + " hints", &message, form) == TDialogs::TAnswer::No;
    return 0;
  }
  if (CancelRequested) return 0;
  record.HaveCurrent = true;
  Pause(PauseMs);
  return 1;
}

TDialogs::TAnswer TDownloadEngine::ReportHttpError(const std::string& name, TReport form) {
  if (Http.ReasonPhrase() == AbortedReason) {
    Status("Download cancelled.");
    return TDialogs::TAnswer::No;
  }
  QString text = "An error occurred while downloading " + Text(name) + " (HTTP error " +
                 QString::number(Http.StatusCode()) + ": " + Text(Http.ReasonPhrase()) +
                 ").  Check your Internet connection, try your download again, and if you continue to receive this "
                 "error, e-mail " +
                 ProductSupportEmail + " with a description of the error and the steps that caused it.";
  if (form == TReport::StatusLine) {
    Status(text);
    return TDialogs::TAnswer::No;
  }
  if (form == TReport::YesNo) text += "  Do you want to continue downloading other files?";
  return Dialogs.Ask(Owner, "Downloading Error", text,
                     form == TReport::YesNo ? TDialogs::TButtons::YesNo : TDialogs::TButtons::Ok);
}

TDialogs::TAnswer TDownloadEngine::ReportZipError(const std::string& name, const std::string* message, TReport form) {
  QString text = "An error occurred while uncompressing " + Text(name) + " (ZIP error: " +
                 (message != nullptr ? Text(*message) : QString("file not found")) + ").  Try your download again.  " +
                 Text(SupportSentence());
  if (form == TReport::YesNo) text += "  Do you want to continue downloading other files?";
  return Dialogs.Ask(Owner, "Downloading Error", text,
                     form == TReport::YesNo ? TDialogs::TButtons::YesNo : TDialogs::TButtons::Ok);
}
