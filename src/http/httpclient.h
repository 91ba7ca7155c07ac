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
  // The proxy's host, or empty for a direct connection; port empty for
  // the library's default. Get fails (502) at once, sending nothing, when
  // the library would read them as anything but this host and port.
  std::string Proxy;
  std::string ProxyPort;
  std::string Agent = "ZEBWIN/4.5";
  std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
  bool NoCache = false;       // kept off: no "Pragma: no-cache"
  double ModifiedSince = 0;   // kept 0: no conditional request
  bool MultiThreaded = false;  // the client works on the calling thread

  // Limits beyond the plain protocol, so that no server can keep a
  // transfer going forever or fill the disk.
  long ConnectTimeoutMs = 30000;
  // Slower than this many bytes a second for LowSpeedSeconds ends the
  // transfer: a server that sends a byte now and then never goes idle.
  long LowSpeedBytesPerSecond = 100;
  long LowSpeedSeconds = 60;
  // The whole transfer must end within DeadlineBaseSeconds plus the time
  // its size takes at MinAverageBytesPerSecond; the size is ExpectedBytes
  // when the caller knows it (0: unknown), else the length the response
  // declares. Without either it has DeadlineWithoutSizeSeconds.
  std::int64_t ExpectedBytes = 0;
  long DeadlineBaseSeconds = 120;
  long MinAverageBytesPerSecond = 4096;
  long DeadlineWithoutSizeSeconds = 1800;
  static constexpr std::int64_t DefaultMaxBodyBytes = std::int64_t{1} << 30;
  std::int64_t MaxBodyBytes = DefaultMaxBodyBytes;
  long MaxRedirects = 5;
  // The longest reason phrase kept: a server's phrase ends up in messages.
  static constexpr std::size_t MaxReasonLength = 120;

  // The document: begin supplies the stream for the body (none: the body
  // is dropped), data follows each block written, end lets the handler
  // close the stream. Begin comes once, before the first block, and only
  // for a successful response; an empty document has a begin and an end.
  std::function<std::ostream*()> OnDocBegin;
  std::function<void(std::size_t length)> OnDocData;
  std::function<void()> OnDocEnd;

  // Performs the request; throws THttpError on failure.
  void Get();
  // The seconds the transfer of a document of this size may take.
  long DeadlineSeconds(std::int64_t declaredBytes) const;
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
  friend struct TCurlCallbacks;
  // The request: URL, protocol, limits, the three headers, the proxy.
  void SetRequestOptions(TTransfer& t);
  // curl's calls during the transfer, and Qt's watching of its sockets.
  void InstallCallbacks(TTransfer& t);
  void SocketEvent(long long socket, int action);
  void TimerEvent();
  void CheckDone();
  void Finish();
  // What ended the transfer, also setting the status code and reason
  // phrase; "" when it went through (the status may still be 400 or more).
  std::string FailureOf(const TTransfer& t);

  std::unique_ptr<TTransfer> Transfer;
  bool Running = false;
  int Status = 0;
  std::string Reason;
};
