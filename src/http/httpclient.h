#pragma once
// The HTTP client of the downloader: one GET at a time over HTTP/1.0 (or
// HTTPS), directly or through a proxy, on the user-interface thread. Get
// returns only when the document has arrived or the transfer failed; while
// it waits a nested event loop keeps the windows alive, so a Stop button can
// call Abort. The document body goes to the stream the begin event supplies.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>

#include <QObject>

// A failed request: a status code of 400 or more with its reason phrase
// (connection failures carry a code and phrase of their own, below).
class THttpError : public std::runtime_error {
 public:
  THttpError(int statusCode, const std::string& reasonPhrase);
  int StatusCode;
  std::string ReasonPhrase;
};

// The reason phrase of a transfer ended by Abort (status code 404).
inline constexpr const char* AbortedReason = "Connection aborted on request";

class THttpCli : public QObject {
  Q_OBJECT

 public:
  THttpCli();
  ~THttpCli() override;

  // The request.
  std::string URL;
  std::string Proxy;      // host, or empty for a direct connection
  std::string ProxyPort;  // port of the proxy
  std::string Agent = "ZEBWIN/4.5";
  std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
  bool NoCache = false;       // kept off: no "Pragma: no-cache"
  double ModifiedSince = 0;   // kept 0: no conditional request
  bool MultiThreaded = false;  // the client works on the calling thread

  // Limits beyond the plain protocol.
  long ConnectTimeoutMs = 30000;
  long IdleTimeoutSeconds = 60;  // no byte for this long ends the transfer
  std::int64_t MaxBodyBytes = std::int64_t{1} << 30;
  long MaxRedirects = 5;

  // The document: begin supplies the stream for the body (none: the body
  // is dropped), data follows each block written, end lets the handler
  // close the stream. Begin comes once, before the first block, and only
  // for a successful response.
  std::function<std::ostream*()> OnDocBegin;
  std::function<void(std::size_t length)> OnDocData;
  std::function<void()> OnDocEnd;

  // Performs the request; throws THttpError on failure.
  void Get();
  // Ends the running transfer: Get fails with 404 "Connection aborted on request".
  void Abort();
  bool Busy() const { return Running; }

  // The last path segment of URL (a trailing "/" removed first, nothing
  // from "?" on); "document.htm" for an empty path.
  std::string DocName() const;
  static std::string DocNameOf(const std::string& url);

  int StatusCode() const { return Status; }
  const std::string& ReasonPhrase() const { return Reason; }

 private:
  struct TTransfer;
  void SocketEvent(long long socket, int action);
  void TimerEvent();
  void CheckDone();
  void Finish();

  std::unique_ptr<TTransfer> Transfer;
  bool Running = false;
  int Status = 0;
  std::string Reason;
};
