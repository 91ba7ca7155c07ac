// The HTTP client against a real server and a real proxy on 127.0.0.1: the
// bytes it sends, documents and their events, failures with their codes and
// reason phrases, Abort, time-outs and limits, and the document name.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>

#include <QElapsedTimer>
#include <QTimer>

#include "http/httpclient.h"
#include "support/localserver.h"

namespace {

struct TResult {
  bool Ok = false;
  int Status = 0;
  std::string Reason;
  std::string Body;
  int Begins = 0;
  int Ends = 0;
};

// One GET of the URL, the body collected in memory.
TResult Fetch(THttpCli& http, const std::string& url) {
  TResult result;
  std::ostringstream body;
  http.URL = url;
  http.OnDocBegin = [&]() -> std::ostream* {
    ++result.Begins;
    return &body;
  };
  http.OnDocEnd = [&] { ++result.Ends; };
  try {
    http.Get();
    result.Ok = true;
  } catch (const THttpError& error) {
    EXPECT_EQ(error.StatusCode, http.StatusCode());
    EXPECT_EQ(error.ReasonPhrase, http.ReasonPhrase());
  }
  result.Status = http.StatusCode();
  result.Reason = http.ReasonPhrase();
  result.Body = body.str();
  return result;
}

// The request line of the first recorded request, then its header lines
// sorted (their order is the library's).
std::vector<std::string> RequestLines(const std::string& requests) {
  std::vector<std::string> lines;
  std::istringstream in(requests.substr(0, requests.find("\r\n\r\n")));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (lines.size() > 1) std::sort(lines.begin() + 1, lines.end());
  return lines;
}

const char* const AcceptValue = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";

TEST(HttpClient, SendsAnHttp10GetWithExactlyThreeHeaders) {
  TTestServer server;
  THttpCli http;
  const TResult direct = Fetch(http, server.Url("/list/update.cgi?x=1"));
  ASSERT_TRUE(direct.Ok) << direct.Reason;
  EXPECT_EQ(direct.Body, "ok");
  EXPECT_EQ(RequestLines(server.Requests()),
            (std::vector<std::string>{"GET /list/update.cgi?x=1 HTTP/1.0", std::string("Accept: ") + AcceptValue,
                                      "Host: " + server.Host(), "User-Agent: ZEBWIN/4.5"}));

  // Through a proxy the request line carries the whole URL; the "proxy"
  // here is a second test server that records what it gets.
  TTestServer proxy;
  proxy.Serve("update.cgi", "the list");
  http.Proxy = "127.0.0.1";
  http.ProxyPort = std::to_string(proxy.Port);
  const TResult viaProxy = Fetch(http, server.Url("/cgi-bin/update.cgi"));
  ASSERT_TRUE(viaProxy.Ok) << viaProxy.Reason;
  EXPECT_EQ(RequestLines(proxy.Requests()),
            (std::vector<std::string>{"GET " + server.Url("/cgi-bin/update.cgi") + " HTTP/1.0",
                                      std::string("Accept: ") + AcceptValue, "Host: " + server.Host(),
                                      "User-Agent: ZEBWIN/4.5"}));
}

TEST(HttpClient, ADocumentComesThroughARealProxy) {
  TTestServer server;
  TProxy proxy;
  ASSERT_TRUE(proxy.Ready) << "tinyproxy did not start";
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
  server.Serve("GAME.zip", bytes);
  THttpCli http;
  http.Proxy = "127.0.0.1";
  http.ProxyPort = std::to_string(proxy.Port);
  std::size_t reported = 0;
  http.OnDocData = [&reported](std::size_t length) { reported += length; };
  const TResult result = Fetch(http, server.Url("/files/GAME.zip"));
  ASSERT_TRUE(result.Ok) << result.Status << " " << result.Reason;
  EXPECT_EQ(result.Body, bytes);
  EXPECT_EQ(reported, bytes.size());
  EXPECT_EQ(result.Begins, 1);
  EXPECT_EQ(result.Ends, 1);
}

TEST(HttpClient, FailuresCarryAStatusCodeAndAReasonPhrase) {
  TTestServer server;
  struct TCase {
    std::string Url;
    int Status;
    std::string Reason;  // a part of it
  };
  const int closed = FreePort();
  const TCase cases[] = {
      {server.Url("/status/404"), 404, "Test Reason 404"},
      {server.Url("/status/500"), 500, "Test Reason 500"},
      {server.Url("/files/missing.zip"), 404, "File not found"},
      {"http://127.0.0.1:" + std::to_string(closed) + "/x", 503, "Could not connect to 127.0.0.1"},
      {server.Url("/drop"), 502, "closed before the document was complete"},
      {"ftp://127.0.0.1/x", 500, "ftp"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Url);
    THttpCli http;
    const TResult result = Fetch(http, c.Url);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Status, c.Status);
    EXPECT_NE(result.Reason.find(c.Reason), std::string::npos) << result.Reason;
    if (c.Status == 404 || c.Status == 500) {
      EXPECT_EQ(result.Begins, 0) << "an error page is no document";
    }
  }
}

TEST(HttpClient, RedirectsAreFollowedAndTheBodyIsLimited) {
  TTestServer server;
  server.Serve("real.zip", "the real archive");
  THttpCli http;
  const TResult redirected = Fetch(http, server.Url("/redirect/real.zip"));
  ASSERT_TRUE(redirected.Ok) << redirected.Reason;
  EXPECT_EQ(redirected.Body, "the real archive");
  EXPECT_EQ(redirected.Begins, 1);

  http.MaxBodyBytes = 100000;
  const TResult big = Fetch(http, server.Url("/big/300000"));
  EXPECT_FALSE(big.Ok);
  EXPECT_EQ(big.Status, 413);
}

// While Get waits, the event loop runs: a timer fires, and Abort from it
// ends the transfer at once.
TEST(HttpClient, AStalledTransferKeepsTheLoopRunningAndAbortEndsIt) {
  TTestServer server;
  THttpCli http;
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    if (++ticks == 5) http.Abort();
  });
  ticker.start(100);
  QElapsedTimer clock;
  clock.start();
  const TResult result = Fetch(http, server.Url("/stall"));
  ticker.stop();
  EXPECT_FALSE(result.Ok);
  EXPECT_EQ(result.Status, 404);
  EXPECT_EQ(result.Reason, AbortedReason);
  EXPECT_GE(ticks, 5);
  EXPECT_LT(clock.elapsed(), 1500);
  EXPECT_EQ(result.Body, std::string(10, 'x')) << "what arrived before the abort";
  EXPECT_EQ(result.Ends, 1) << "the handler closes its stream";
}

TEST(HttpClient, AServerThatNeverAnswersTimesOut) {
  TTestServer server;
  THttpCli http;
  http.LowSpeedSeconds = 1;
  QElapsedTimer clock;
  clock.start();
  const TResult result = Fetch(http, server.Url("/silent"));
  EXPECT_FALSE(result.Ok);
  EXPECT_EQ(result.Status, 504);
  EXPECT_NE(result.Reason.find("No answer from 127.0.0.1"), std::string::npos) << result.Reason;
  EXPECT_LT(clock.elapsed(), 5000);
}

// A server that sends a byte now and then never goes idle: the low-speed
// rule ends it. One that keeps above that rule meets the deadline.
TEST(HttpClient, NoServerKeepsATransferGoingForever) {
  TTestServer server;
  THttpCli http;
  http.LowSpeedSeconds = 2;
  QElapsedTimer clock;
  clock.start();
  const TResult drip = Fetch(http, server.Url("/drip"));
  EXPECT_FALSE(drip.Ok);
  EXPECT_EQ(drip.Status, 504);
  EXPECT_NE(drip.Reason.find("was too slow (under 100 bytes a second for 2 seconds)"), std::string::npos)
      << drip.Reason;
  EXPECT_LT(clock.elapsed(), 10000);

  THttpCli deadline;
  deadline.DeadlineBaseSeconds = 2;
  deadline.MinAverageBytesPerSecond = 1000000;  // the declared million bytes in one second more
  clock.restart();
  const TResult trickle = Fetch(deadline, server.Url("/trickle"));
  EXPECT_FALSE(trickle.Ok);
  EXPECT_EQ(trickle.Status, 504);
  EXPECT_NE(trickle.Reason.find("took longer than"), std::string::npos) << trickle.Reason;
  EXPECT_GE(clock.elapsed(), 2500);
  EXPECT_LT(clock.elapsed(), 10000);
}

TEST(HttpClient, TheDeadlineFollowsTheSizeTheCallerOrTheServerDeclares) {
  THttpCli http;
  EXPECT_EQ(http.DeadlineSeconds(0), http.DeadlineWithoutSizeSeconds) << "no size known";
  EXPECT_EQ(http.DeadlineSeconds(4096 * 600), 120 + 600) << "a declared length";
  http.ExpectedBytes = 4096 * 60;
  EXPECT_EQ(http.DeadlineSeconds(4096 * 600), 120 + 60) << "the caller's size wins over the server's";
}

TEST(HttpClient, AnEmptyBodyIsAnEmptyDocumentAndAHugeReasonIsCut) {
  TTestServer server;
  THttpCli http;
  const TResult empty = Fetch(http, server.Url("/empty"));
  EXPECT_TRUE(empty.Ok);
  EXPECT_EQ(empty.Begins, 1) << "the document began, with nothing in it";
  EXPECT_EQ(empty.Ends, 1);
  EXPECT_EQ(empty.Body, "");

  const TResult reason = Fetch(http, server.Url("/longreason"));
  EXPECT_FALSE(reason.Ok);
  EXPECT_EQ(reason.Status, 500);
  EXPECT_EQ(reason.Reason, std::string(THttpCli::MaxReasonLength, 'R') + "...");
  EXPECT_EQ(reason.Begins, 0) << "an error page is no document";
}

TEST(HttpClient, DocumentNameIsTheLastPathSegment) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://h/files/GAME.zip", "GAME.zip"},
      {"http://h/files/GAME.zip?x=1/2", "GAME.zip"},
      {"http://h/files/dir/", "dir"},
      {"http://h/", "document.htm"},
      {"http://h", "document.htm"},
      {"http://h/cgi-bin/update.cgi", "update.cgi"},
  };
  for (const auto& [url, name] : cases) EXPECT_EQ(THttpCli::DocNameOf(url), name) << url;
}

}  // namespace
