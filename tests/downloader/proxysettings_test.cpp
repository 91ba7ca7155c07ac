// The proxy of the settings file on its way to a real proxy (tinyproxy on
// 127.0.0.1): a usable host and port carry the request through the proxy;
// any other value refuses the transfer with a message that says why, and
// nothing ever goes to the server directly.
#include <gtest/gtest.h>

#include <filesystem>

#include "downloader/downloadengine.h"
#include "settings/inifile.h"
#include "support/files.h"
#include "support/localserver.h"
#include "support/scripteddialogs.h"
#include "support/smallhints.h"
#include "support/ziparchives.h"

namespace {

class ProxySettings : public ::testing::Test {
 protected:
  // The settings file's proxy as the reader loads it.
  TOptions Loaded(const std::string& host, const std::string& port) {
    TOptions options;
    const bool blankEnds = !host.empty() && (host.front() == ' ' || host.back() == ' ');
    if (host.find_first_of("\r\n") != std::string::npos || blankEnds) {
      // No line of a settings file holds a line break, and blanks at the
      // ends of a value are not read back; the record may hold both.
      options.ProxyOn = true;
      options.ProxyIP = host;
      options.ProxyPort = port;
    } else {
      const std::string path = Home.Write("ZEBWIN.INI", "[ZEBWIN]\r\nProxyOn=On\r\nProxyIP=" + host +
                                                            "\r\nProxyPort=" + port + "\r\n");
      TIniFile ini(path);
      LoadSettings(ini, options, TBrowserDefaults(), Hints.Path().string());
    }
    options.InstallDir = Hints.Path().string() + "/";
    options.UpdateServer = Server.Host();
    return options;
  }

  TTestServer Server;
  TProxy Proxy;
  TTempDir Home;
  TTempDir Hints;
  TScriptedDialogs Dialogs;
};

TEST_F(ProxySettings, OnlyAPlainHostAndPortAreUsedAndNothingGoesAroundTheProxy) {
  ASSERT_TRUE(Proxy.Ready) << "tinyproxy did not start";
  Server.Serve("update.cgi", "<FILE><FTITLE>Moonfall</FTITLE><FNAME>MOONFALL.ZEB</FNAME></FILE>\r\n");
  ASSERT_TRUE(WriteZip((Server.Folder().Path() / "MOONFALL.zip").string(), {{"MOONFALL.ZEB", SmallHintFile("M")}}));
  const std::string port = std::to_string(Proxy.Port);
  struct TCase {
    std::string Host;
    std::string Port;
    bool Usable;
  };
  const TCase cases[] = {
      {"localhost", port, true},
      {"127.0.0.1", port, true},
      {"user:pa%0d%0aX@127.0.0.1", port, false},
      {"user@127.0.0.1", port, false},
      {"127.0.0.1\r\nX-Injected: 1", port, false},
      {"127.0.0.1%0d%0aX", port, false},
      {" 127.0.0.1", port, false},
      {"127.0.0.1 ", port, false},
      {"127.0.0 .1", port, false},
      {"", port, false},
      {"127.0.0.1", "0", false},
      {"127.0.0.1", "65536", false},
      {"127.0.0.1", port + "x", false},
      {"127.0.0.1/path", port, false},
      {"127.0.0.1:" + port, "", false},
      {std::string(300, 'h') + "@127.0.0.1", port, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE("\"" + c.Host + "\" port \"" + c.Port + "\"");
    TOptions options = Loaded(c.Host, c.Port);
    ASSERT_TRUE(options.ProxyOn);
    TDownloadEngine engine(options, Dialogs, (Home.Path() / "zebinet.dat").string());
    engine.Pause = [](int) {};
    std::string status;
    engine.ShowStatus = [&status](const QString& text) { status = text.toStdString(); };
    const std::string before = Server.Requests();

    // The list, and a file of it.
    EXPECT_EQ(engine.RetrieveList(), c.Usable) << status;
    const std::string listStatus = status;
    TFileRecord record;
    record.Title = "Moonfall";
    record.FileName = "MOONFALL.ZEB";
    record.Url = Server.Url("/files/MOONFALL.zip");
    Dialogs.Asked.clear();
    const auto outcome = engine.DownloadOneFile(record, true);

    const std::string requests = Server.Requests().substr(before.size());
    if (c.Usable) {
      EXPECT_EQ(outcome, TDownloadEngine::TOutcome::Done);
      EXPECT_EQ(FileBytes(Hints.Path() / "MOONFALL.ZEB"), SmallHintFile("M"));
      // Through the proxy: it names itself in the requests it passes on.
      EXPECT_NE(requests.find("GET /cgi-bin/update.cgi"), std::string::npos) << requests;
      EXPECT_NE(requests.find("GET /files/MOONFALL.zip"), std::string::npos) << requests;
      EXPECT_NE(requests.find("tinyproxy"), std::string::npos) << requests;
      std::filesystem::remove(Hints.Path() / "MOONFALL.ZEB");
      continue;
    }
    EXPECT_EQ(requests, "") << "the server was reached";
    EXPECT_EQ(listStatus.rfind("The proxy server in the settings cannot be used: ", 0), 0u) << listStatus;
    EXPECT_NE(listStatus.find("Nothing was downloaded"), std::string::npos) << listStatus;
    EXPECT_EQ(listStatus.find_first_of("\r\n"), std::string::npos) << "one line";
    EXPECT_LT(listStatus.size(), 450u) << "a long value is cut";
    // The file: one box that says why, and the run ends.
    EXPECT_EQ(outcome, TDownloadEngine::TOutcome::Failed);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Caption, "Downloading Error");
    EXPECT_EQ(Dialogs.Asked[0].Text.toStdString(), listStatus);
    EXPECT_TRUE(engine.CancelRequested);
    EXPECT_TRUE(std::filesystem::is_empty(Hints.Path()));
  }
}

// Below the settings, the HTTP client itself never sends a request past a
// proxy it was given but cannot use.
TEST_F(ProxySettings, TheClientRefusesAProxyItWouldReadOtherwise) {
  const std::string port = std::to_string(Proxy.Port);
  for (const std::string& host : {std::string("user:pa%0d%0aX@127.0.0.1"), std::string("127.0.0.1\r\nX: 1"),
                                  std::string("127.0.0.1/x"), std::string("127.0.0.1:1")}) {
    SCOPED_TRACE(host);
    THttpCli http;
    http.URL = Server.Url("/files/x");
    http.Proxy = host;
    http.ProxyPort = port;
    try {
      http.Get();
      ADD_FAILURE() << "fetched";
    } catch (const THttpError& error) {
      EXPECT_EQ(error.StatusCode, 502);
      EXPECT_EQ(error.ReasonPhrase, "The proxy server's address or port cannot be used");
    }
    EXPECT_EQ(Server.Requests(), "");
  }
}

}  // namespace
