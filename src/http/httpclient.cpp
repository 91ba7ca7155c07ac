#include "http/httpclient.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <map>
#include <ostream>

#include <curl/curl.h>

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

namespace {
// libcurl is set up once for the process.
void GlobalInit() {
  static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
  (void)done;
}

// The host and the port of a URL, as the Host header names them.
std::string HostPart(const std::string& url) {
  std::size_t start = url.find("://");
  start = start == std::string::npos ? 0 : start + 3;
  const std::size_t end = url.find_first_of("/?#", start);
  std::string host = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
  const std::size_t at = host.rfind('@');
  if (at != std::string::npos) host = host.substr(at + 1);
  return host;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// One part of a parsed URL, or "" when it has none.
std::string UrlPart(CURLU* url, CURLUPart part) {
  char* text = nullptr;
  if (curl_url_get(url, part, &text, 0) != CURLUE_OK || text == nullptr) return std::string();
  std::string value = text;
  curl_free(text);
  return value;
}

// Whether libcurl reads the proxy as exactly this host and port and
// nothing more. Anything it would read otherwise (user info, a line break,
// a second port) could send the request to another proxy, or to none.
bool ProxyReadsAsGiven(const std::string& host, const std::string& port) {
  for (const char c : host + port)
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
  CURLU* url = curl_url();
  if (url == nullptr) return false;
  const std::string text = "http://" + host + (port.empty() ? "" : ":" + port) + "/";
  const bool parsed = curl_url_set(url, CURLUPART_URL, text.c_str(), 0) == CURLUE_OK;
  // Names compare without regard to case, ports by their value ("080" is 80).
  const long given = port.empty() ? 0 : std::strtol(port.c_str(), nullptr, 10);
  const std::string read = UrlPart(url, CURLUPART_PORT);
  const bool samePort = port.empty() ? read.empty() : given > 0 && std::strtol(read.c_str(), nullptr, 10) == given;
  const bool same = parsed && samePort && SameIgnoringCase(UrlPart(url, CURLUPART_HOST), host) &&
                    UrlPart(url, CURLUPART_USER).empty() && UrlPart(url, CURLUPART_PASSWORD).empty() &&
                    UrlPart(url, CURLUPART_PATH) == "/" && UrlPart(url, CURLUPART_QUERY).empty() &&
                    UrlPart(url, CURLUPART_FRAGMENT).empty();
  curl_url_cleanup(url);
  return same;
}
}  // namespace

THttpError::THttpError(int statusCode, const std::string& reasonPhrase)
    : std::runtime_error(std::to_string(statusCode) + " " + reasonPhrase),
      StatusCode(statusCode),
      ReasonPhrase(reasonPhrase) {}

// One running request: the easy and multi handles, the notifiers of its
// sockets, and what arrived so far.
struct THttpCli::TTransfer {
  CURLM* Multi = nullptr;
  CURL* Easy = nullptr;
  curl_slist* Headers = nullptr;
  QTimer Timer;
  QEventLoop Loop;
  std::map<long long, std::unique_ptr<QSocketNotifier>> Readers;
  std::map<long long, std::unique_ptr<QSocketNotifier>> Writers;
  std::ostream* Out = nullptr;
  bool Begun = false;
  bool Aborted = false;
  bool Done = false;
  bool TooLarge = false;
  bool WriteFailed = false;
  bool PastDeadline = false;
  std::chrono::steady_clock::time_point Start = std::chrono::steady_clock::now();
  CURLcode Result = CURLE_OK;
  std::int64_t Received = 0;
  std::string StatusLine;
  char ErrorText[CURL_ERROR_SIZE] = {};

  ~TTransfer() {
    // Removing the handle reports its sockets gone: nobody listens any more.
    if (Multi != nullptr) {
      curl_multi_setopt(Multi, CURLMOPT_SOCKETFUNCTION, nullptr);
      curl_multi_setopt(Multi, CURLMOPT_TIMERFUNCTION, nullptr);
    }
    Timer.stop();
    Readers.clear();
    Writers.clear();
    if (Easy != nullptr) curl_easy_setopt(Easy, CURLOPT_NOPROGRESS, 1L);
    if (Multi != nullptr && Easy != nullptr) curl_multi_remove_handle(Multi, Easy);
    if (Easy != nullptr) curl_easy_cleanup(Easy);
    if (Multi != nullptr) curl_multi_cleanup(Multi);
    curl_slist_free_all(Headers);
  }
};

THttpCli::THttpCli() { GlobalInit(); }

THttpCli::~THttpCli() = default;

std::string THttpCli::DocNameOf(const std::string& url) {
  std::size_t start = url.find("://");
  start = start == std::string::npos ? 0 : start + 3;
  const std::size_t slash = url.find('/', start);
  std::string path = slash == std::string::npos ? std::string() : url.substr(slash);
  const std::size_t query = path.find('?');
  if (query != std::string::npos) path.resize(query);
  if (!path.empty() && path.back() == '/') path.pop_back();
  const std::size_t last = path.rfind('/');
  std::string name = last == std::string::npos ? path : path.substr(last + 1);
  return name.empty() ? "document.htm" : name;
}

std::string THttpCli::DocName() const { return DocNameOf(URL); }

long THttpCli::DeadlineSeconds(std::int64_t declaredBytes) const {
  const std::int64_t size = ExpectedBytes > 0 ? ExpectedBytes : declaredBytes;
  if (size <= 0) return DeadlineWithoutSizeSeconds;
  return DeadlineBaseSeconds + static_cast<long>(size / std::max<long>(MinAverageBytesPerSecond, 1));
}

void THttpCli::Abort() {
  if (!Running || !Transfer) return;
  Transfer->Aborted = true;
  Transfer->Loop.quit();
}

namespace {
size_t HeaderCallback(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<std::string*>(user);
  const std::string line(data, size * count);
  // Each response (also one redirected from) starts with its status line.
  if (line.rfind("HTTP/", 0) == 0) *transfer = line;
  return size * count;
}

// A reason phrase fit for a message: one line of printable text, cut short.
std::string ReasonForMessages(std::string reason) {
  const std::size_t end = reason.find_first_of("\r\n");
  if (end != std::string::npos) reason.resize(end);
  for (char& c : reason)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  if (reason.size() > THttpCli::MaxReasonLength) {
    std::size_t cut = THttpCli::MaxReasonLength;
    // Not inside a UTF-8 sequence.
    while (cut > 0 && (static_cast<unsigned char>(reason[cut]) & 0xC0) == 0x80) --cut;
    reason.resize(cut);
    reason += "...";
  }
  return reason;
}
}  // namespace

// The callbacks curl makes during a transfer, each handing the event to
// the client it was given as its user data.
struct TCurlCallbacks {
  using TTransfer = THttpCli::TTransfer;

  // The deadline is checked as the transfer goes; curl calls this at least
  // once a second while it waits.
  static int Progress(void* user, curl_off_t total, curl_off_t, curl_off_t, curl_off_t) {
    auto* self = static_cast<THttpCli*>(user);
    if (!self->Transfer) return 0;  // the transfer is being taken down
    TTransfer& tr = *self->Transfer;
    const auto limit = std::chrono::seconds(self->DeadlineSeconds(static_cast<std::int64_t>(total)));
    if (std::chrono::steady_clock::now() - tr.Start <= limit) return 0;
    tr.PastDeadline = true;
    return 1;
  }

  static size_t Write(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<THttpCli*>(user);
    if (!self->Transfer) return 0;
    TTransfer& tr = *self->Transfer;
    const size_t length = size * count;
    long code = 0;
    curl_easy_getinfo(tr.Easy, CURLINFO_RESPONSE_CODE, &code);
    if (code >= 400) return length;  // an error page is no document
    if (tr.Received + static_cast<std::int64_t>(length) > self->MaxBodyBytes) {
      tr.TooLarge = true;
      return 0;
    }
    if (!tr.Begun) {
      tr.Begun = true;
      tr.Out = self->OnDocBegin ? self->OnDocBegin() : nullptr;
    }
    if (tr.Out != nullptr) {
      tr.Out->write(data, static_cast<std::streamsize>(length));
      if (!*tr.Out) {
        tr.WriteFailed = true;
        return 0;
      }
    }
    tr.Received += static_cast<std::int64_t>(length);
    if (self->OnDocData) self->OnDocData(length);
    return length;
  }

  // The multi interface tells which sockets to watch and when to call it
  // back; Qt's notifiers and a timer do the watching.
  static int Socket(CURL*, curl_socket_t socket, int what, void* user, void*) {
    auto* self = static_cast<THttpCli*>(user);
    if (!self->Transfer) return 0;
    TTransfer& tr = *self->Transfer;
    const long long key = static_cast<long long>(socket);
    if (what == CURL_POLL_REMOVE) {
      tr.Readers.erase(key);
      tr.Writers.erase(key);
      return 0;
    }
    const auto watch = [&](std::map<long long, std::unique_ptr<QSocketNotifier>>& set, QSocketNotifier::Type type,
                           bool wanted, int action) {
      if (!wanted) {
        set.erase(key);
        return;
      }
      if (set.count(key) != 0) return;
      auto notifier = std::make_unique<QSocketNotifier>(static_cast<qintptr>(socket), type);
      QObject::connect(notifier.get(), &QSocketNotifier::activated, self,
                       [self, key, action] { self->SocketEvent(key, action); });
      set[key] = std::move(notifier);
    };
    watch(tr.Readers, QSocketNotifier::Read, what == CURL_POLL_IN || what == CURL_POLL_INOUT, CURL_CSELECT_IN);
    watch(tr.Writers, QSocketNotifier::Write, what == CURL_POLL_OUT || what == CURL_POLL_INOUT, CURL_CSELECT_OUT);
    return 0;
  }

  static int Timer(CURLM*, long timeoutMs, void* user) {
    auto* self = static_cast<THttpCli*>(user);
    if (!self->Transfer) return 0;
    TTransfer& tr = *self->Transfer;
    if (timeoutMs < 0) {
      tr.Timer.stop();
    } else {
      tr.Timer.start(static_cast<int>(timeoutMs));
    }
    return 0;
  }
};

void THttpCli::SetRequestOptions(TTransfer& t) {
  CURL* easy = t.Easy;
  curl_easy_setopt(easy, CURLOPT_URL, URL.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
  curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, MaxRedirects);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, ConnectTimeoutMs);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, LowSpeedBytesPerSecond);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, LowSpeedSeconds);
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, t.ErrorText);
  curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, nullptr);
  // Exactly the three headers of the protocol, in its order; curl's own
  // Host, User-Agent and Accept give way to these, and a proxy gets no
  // Proxy-Connection header.
  t.Headers = curl_slist_append(t.Headers, ("Accept: " + Accept).c_str());
  t.Headers = curl_slist_append(t.Headers, ("User-Agent: " + Agent).c_str());
  t.Headers = curl_slist_append(t.Headers, ("Host: " + HostPart(URL)).c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, t.Headers);
  static curl_slist* noProxyHeaders = curl_slist_append(nullptr, "Proxy-Connection:");
  curl_easy_setopt(easy, CURLOPT_PROXYHEADER, noProxyHeaders);
  curl_easy_setopt(easy, CURLOPT_HEADEROPT, CURLHEADER_SEPARATE);
  if (!Proxy.empty()) {
    curl_easy_setopt(easy, CURLOPT_PROXY, (Proxy + (ProxyPort.empty() ? "" : ":" + ProxyPort)).c_str());
    curl_easy_setopt(easy, CURLOPT_PROXYTYPE, CURLPROXY_HTTP);
  } else {
    curl_easy_setopt(easy, CURLOPT_PROXY, "");  // never one from the environment
  }
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HeaderCallback);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &t.StatusLine);
}

void THttpCli::InstallCallbacks(TTransfer& t) {
  curl_easy_setopt(t.Easy, CURLOPT_XFERINFOFUNCTION, &TCurlCallbacks::Progress);
  curl_easy_setopt(t.Easy, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(t.Easy, CURLOPT_WRITEFUNCTION, &TCurlCallbacks::Write);
  curl_easy_setopt(t.Easy, CURLOPT_WRITEDATA, this);
  curl_multi_setopt(t.Multi, CURLMOPT_SOCKETFUNCTION, &TCurlCallbacks::Socket);
  curl_multi_setopt(t.Multi, CURLMOPT_SOCKETDATA, this);
  curl_multi_setopt(t.Multi, CURLMOPT_TIMERFUNCTION, &TCurlCallbacks::Timer);
  curl_multi_setopt(t.Multi, CURLMOPT_TIMERDATA, this);
  t.Timer.setSingleShot(true);
  connect(&t.Timer, &QTimer::timeout, this, [this] { TimerEvent(); });
}

void THttpCli::Get() {
  if (Running) throw THttpError(500, "A transfer is already running");
  Status = 0;
  Reason.clear();
  // A proxy asked for but unusable fails here: the request never goes out
  // without it.
  if (!Proxy.empty() && !ProxyReadsAsGiven(Proxy, ProxyPort)) {
    Status = 502;
    Reason = "The proxy server's address or port cannot be used";
    throw THttpError(Status, Reason);
  }
  Transfer = std::make_unique<TTransfer>();
  TTransfer& t = *Transfer;
  t.Multi = curl_multi_init();
  t.Easy = curl_easy_init();
  if (t.Multi == nullptr || t.Easy == nullptr) throw THttpError(500, "The HTTP library could not start");
  SetRequestOptions(t);
  InstallCallbacks(t);

  Running = true;
  curl_multi_add_handle(t.Multi, t.Easy);
  if (!t.Done && !t.Aborted) t.Loop.exec();
  Running = false;
  Finish();
}

void THttpCli::SocketEvent(long long socket, int action) {
  if (!Transfer || Transfer->Done) return;
  int running = 0;
  curl_multi_socket_action(Transfer->Multi, static_cast<curl_socket_t>(socket), action, &running);
  CheckDone();
}

void THttpCli::TimerEvent() {
  if (!Transfer || Transfer->Done) return;
  int running = 0;
  curl_multi_socket_action(Transfer->Multi, CURL_SOCKET_TIMEOUT, 0, &running);
  CheckDone();
}

void THttpCli::CheckDone() {
  TTransfer& t = *Transfer;
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(t.Multi, &left)) {
    if (message->msg != CURLMSG_DONE) continue;
    t.Result = message->data.result;
    t.Done = true;
  }
  if (t.Done) t.Loop.quit();
}

void THttpCli::Finish() {
  std::unique_ptr<TTransfer> transfer = std::move(Transfer);
  TTransfer& t = *transfer;
  long code = 0;
  curl_easy_getinfo(t.Easy, CURLINFO_RESPONSE_CODE, &code);
  Status = static_cast<int>(code);
  // The reason phrase: the status line after "HTTP/x.y NNN ".
  const std::size_t first = t.StatusLine.find(' ');
  const std::size_t second = first == std::string::npos ? std::string::npos : t.StatusLine.find(' ', first + 1);
  Reason = ReasonForMessages(second == std::string::npos ? std::string() : t.StatusLine.substr(second + 1));

  const std::string failure = FailureOf(t);
  if (failure.empty() && !t.Begun && Status < 400) {
    // A document without a body is still a document: an empty one.
    t.Begun = true;
    if (OnDocBegin) OnDocBegin();
  }
  if (t.Begun && OnDocEnd) OnDocEnd();
  if (!failure.empty()) throw THttpError(Status, Reason);
  if (Status >= 400) throw THttpError(Status, Reason);
}

std::string THttpCli::FailureOf(const TTransfer& t) {
  const std::string host = HostPart(URL);
  const auto fail = [this](int status, const std::string& reason) {
    Status = status;
    Reason = reason;
    return reason;
  };
  if (t.Aborted) return fail(404, AbortedReason);
  if (!t.Done) return fail(500, "The transfer ended without an answer");
  if (t.TooLarge) return fail(413, "The document is larger than " + std::to_string(MaxBodyBytes >> 20) + " MB");
  if (t.WriteFailed) return fail(507, "The document could not be written to disk");
  if (t.PastDeadline)
    return fail(504, "The transfer from " + host + " took longer than " +
                         std::to_string(DeadlineSeconds(t.Received) / 60 + 1) + " minutes");
  switch (t.Result) {
    case CURLE_OK:
      return std::string();
    case CURLE_COULDNT_RESOLVE_HOST:
      return fail(502, "Unknown host " + host);
    case CURLE_COULDNT_RESOLVE_PROXY:
      return fail(502, "Unknown proxy server " + Proxy);
    case CURLE_COULDNT_CONNECT:
      return fail(503, "Could not connect to " + (Proxy.empty() ? host : Proxy + ":" + ProxyPort));
    case CURLE_OPERATION_TIMEDOUT:
      // An answer that began, then slowed to a trickle, or none at all.
      if (!t.StatusLine.empty())
        return fail(504, "The transfer from " + host + " was too slow (under " +
                             std::to_string(LowSpeedBytesPerSecond) + " bytes a second for " +
                             std::to_string(LowSpeedSeconds) + " seconds)");
      return fail(504, "No answer from " + host + " in time");
    case CURLE_TOO_MANY_REDIRECTS:
      return fail(508, "Too many redirects");
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
      return fail(495, "The secure connection to " + host + " could not be verified");
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
      return fail(502, "The connection to " + host + " was closed before the document was complete");
    default:
      return fail(500, ReasonForMessages(t.ErrorText[0] != '\0' ? std::string(t.ErrorText)
                                                                : curl_easy_strerror(t.Result)));
  }
}
