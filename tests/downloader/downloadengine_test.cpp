// The download engine against the scripted server on 127.0.0.1: the list
// kept whole, the per-file run with its questions and error messages, and
// archives stored under names of their own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <QTimer>

#include "downloader/downloadengine.h"
#include "settings/homefolder.h"
#include "settings/productinfo.h"
#include "support/files.h"
#include "support/localserver.h"
#include "support/scripteddialogs.h"
#include "support/smallhints.h"
#include "support/ziparchives.h"

namespace fs = std::filesystem;

namespace {

class DownloadEngine : public ::testing::Test {
 protected:
  DownloadEngine() : Engine(Options, Dialogs, (Home.Path() / "zebinet.dat").string()) {
    Options.InstallDir = Hints.Path().string() + "/";
    Options.UpdateServer = Server.Host();
    Engine.ShowStatus = [this](const QString& text) { Statuses.push_back(text.toStdString()); };
    Engine.Pause = [](int) {};
  }

  // Serves an archive holding the member; returns a record for it.
  TFileRecord Offer(const std::string& title, const std::string& fileName, const std::string& content,
                    const std::string& member = "") {
    const std::string archive = (Server.Folder().Path() / (title + ".zip")).string();
    EXPECT_TRUE(WriteZip(archive, {{member.empty() ? fileName : member, content}}));
    TFileRecord record;
    record.Title = title;
    record.FileName = fileName;
    record.Url = Server.Url("/files/" + title + ".zip");
    return record;
  }
  std::string ListPath() const { return (Home.Path() / "zebinet.dat").string(); }

  TTestServer Server;
  TTempDir Home;
  TTempDir Hints;
  TOptions Options;
  TScriptedDialogs Dialogs;
  TDownloadEngine Engine;
  std::vector<std::string> Statuses;
};

TEST_F(DownloadEngine, TheListReplacesTheOldOneOnlyWhenItArrivedWhole) {
  EXPECT_EQ(Engine.ListUrl(), "http://" + Server.Host() + "/cgi-bin/update.cgi");
  const std::string before = "the last good list";
  { std::ofstream(ListPath(), std::ios::binary) << before; }

  // No list on the server yet: the 404 is told in the status line only.
  EXPECT_FALSE(Engine.RetrieveList());
  EXPECT_EQ(FileBytes(ListPath()), before);
  ASSERT_FALSE(Statuses.empty());
  EXPECT_EQ(Statuses.front(), "Retrieving list of new ZEB files.");
  EXPECT_EQ(Statuses.back(), "An error occurred while downloading the list of available hint files (HTTP error "
                             "404: File not found).  Check your Internet connection, try your download again, and "
                             "if you continue to receive this error, e-mail " +
                                 std::string(ProductSupportEmail) +
                                 " with a description of the error and the steps that caused it.");
  EXPECT_TRUE(Dialogs.Asked.empty());

  // A connection dropped half-way, and a server that is not there.
  for (const std::string& server : {Server.Host() + "/drop?", "127.0.0.1:" + std::to_string(FreePort())}) {
    SCOPED_TRACE(server);
    Options.UpdateServer = server;
    EXPECT_FALSE(Engine.RetrieveList());
    EXPECT_EQ(FileBytes(ListPath()), before);
    EXPECT_EQ(FolderNames(Home.Path()), std::vector<std::string>{"zebinet.dat"}) << "no partial list is left";
  }

  // A list that arrives whole replaces the old one.
  const std::string list = "<FILE><FTITLE>Moonfall</FTITLE><FNAME>MOONFALL.ZEB</FNAME></FILE>\r\n";
  Server.Serve("update.cgi", list);
  Options.UpdateServer = Server.Host();
  EXPECT_TRUE(Engine.RetrieveList());
  EXPECT_TRUE(Engine.DocumentBegun);
  EXPECT_EQ(FileBytes(ListPath()), list);
  EXPECT_EQ(Statuses.back(), "Retrieving list of new ZEB files (0.1 KB).");

  // No server set: nothing is fetched, and the status says where to set one.
  Options.UpdateServer.clear();
  EXPECT_FALSE(Engine.RetrieveList());
  EXPECT_NE(Statuses.back().find("No update server is set"), std::string::npos);
  EXPECT_NE(Statuses.back().find(THomeFolder::SettingsFile()), std::string::npos) << "it names the settings file";
  EXPECT_EQ(FileBytes(ListPath()), list);
}

TEST_F(DownloadEngine, ThreeFilesWithTheSecondFailingAndYes) {
  std::vector<TFileRecord> records = {Offer("Alpha", "ALPHA.ZEB", SmallHintFile("Alpha")),
                                      Offer("Beta", "BETA.ZEB", SmallHintFile("Beta")),
                                      Offer("Gamma", "GAMMA.ZEB", SmallHintFile("Gamma"))};
  records[1].Url = Server.Url("/status/404");
  int successes = 0;
  for (std::size_t i = 0; i < records.size() && !Engine.CancelRequested; ++i) {
    if (Engine.DownloadOneFile(records[i], i + 1 < records.size()) == TDownloadEngine::TOutcome::Done) ++successes;
  }
  EXPECT_EQ(successes, 2);
  EXPECT_EQ(FileBytes(Hints.Path() / "ALPHA.ZEB"), SmallHintFile("Alpha"));
  EXPECT_EQ(FileBytes(Hints.Path() / "GAMMA.ZEB"), SmallHintFile("Gamma"));
  EXPECT_EQ(FolderNames(Hints.Path()), (std::vector<std::string>{"ALPHA.ZEB", "GAMMA.ZEB"})) << "archives are deleted";
  EXPECT_TRUE(records[0].HaveCurrent);
  EXPECT_FALSE(records[1].HaveCurrent);
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Downloading Error");
  EXPECT_EQ(Dialogs.AskedButtons[0], TDialogs::TButtons::YesNo);
  EXPECT_TRUE(Dialogs.Asked[0].Text.startsWith("An error occurred while downloading Beta hints (HTTP error 404: "
                                               "Test Reason 404)."));
  EXPECT_TRUE(Dialogs.Asked[0].Text.endsWith("  Do you want to continue downloading other files?"));
  EXPECT_NE(std::find(Statuses.begin(), Statuses.end(), "Downloading Gamma hints."), Statuses.end());
  EXPECT_NE(std::find(Statuses.begin(), Statuses.end(), "Uncompressing Gamma hints."), Statuses.end());
  EXPECT_TRUE(std::any_of(Statuses.begin(), Statuses.end(),
                          [](const std::string& s) { return s.rfind("Downloading Alpha hints (", 0) == 0; }));

  // The failing file last: only OK is offered, and No ends nothing.
  Dialogs.Asked.clear();
  Dialogs.AskedButtons.clear();
  EXPECT_EQ(Engine.DownloadOneFile(records[1], false), TDownloadEngine::TOutcome::Failed);
  ASSERT_EQ(Dialogs.AskedButtons.size(), 1u);
  EXPECT_EQ(Dialogs.AskedButtons[0], TDialogs::TButtons::Ok);
  EXPECT_FALSE(Dialogs.Asked[0].Text.contains("Do you want to continue"));
  EXPECT_FALSE(Engine.CancelRequested);

  // No to "continue?" ends the run.
  Dialogs.AskAnswers = {TDialogs::TAnswer::No};
  EXPECT_EQ(Engine.DownloadOneFile(records[1], true), TDownloadEngine::TOutcome::Failed);
  EXPECT_TRUE(Engine.CancelRequested);
}

TEST_F(DownloadEngine, AFilePresentIsFetchedAgainOnlyAfterYes) {
  const std::string fresh = SmallHintFile("Moonfall");
  TFileRecord record = Offer("Moonfall", "MOONFALL.ZEB", fresh);
  record.HaveCurrent = true;
  std::ofstream(Hints.Path() / "MOONFALL.ZEB", std::ios::binary) << "old hints";
  struct TCase {
    TDialogs::TAnswer Answer;
    TDownloadEngine::TOutcome Result;
    bool Cancelled;
    std::string Content;
  };
  using O = TDownloadEngine::TOutcome;
  for (const TCase& c : {TCase{TDialogs::TAnswer::No, O::Declined, false, "old hints"},
                         TCase{TDialogs::TAnswer::Cancel, O::Cancelled, true, "old hints"},
                         TCase{TDialogs::TAnswer::Yes, O::Done, false, fresh}}) {
    Engine.CancelRequested = false;
    Dialogs.Asked.clear();
    Dialogs.AskAnswers = {c.Answer};
    EXPECT_EQ(Engine.DownloadOneFile(record, false), c.Result);
    EXPECT_EQ(Engine.CancelRequested, c.Cancelled);
    EXPECT_EQ(FileBytes(Hints.Path() / "MOONFALL.ZEB"), c.Content);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Caption, "ZEB Reader");
    EXPECT_EQ(Dialogs.Asked[0].Text, "You already have the most current version of the hints for Moonfall.  Do you "
                                     "want to download these hints again?  Unless you are having problems reading the "
                                     "copy of the hints you already have, you should answer \"no.\"");
  }
  // Only the Yes fetched the archive.
  const std::string requests = Server.Requests();
  std::size_t gets = 0;
  for (std::size_t at = requests.find("GET /files/Moonfall.zip"); at != std::string::npos;
       at = requests.find("GET /files/Moonfall.zip", at + 1))
    ++gets;
  EXPECT_EQ(gets, 1u);
}

TEST_F(DownloadEngine, AnArchiveWithoutTheFileIsReportedAndRemoved) {
  TFileRecord record = Offer("Castle", "CASTLE.ZEB", "castle", "OTHER.ZEB");
  EXPECT_EQ(Engine.DownloadOneFile(record, false), TDownloadEngine::TOutcome::Failed);
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Text, "An error occurred while uncompressing Castle hints (ZIP error: file not found).  "
                                   "Try your download again.  If you continue to receive this error, e-mail " +
                                       QString(ProductSupportEmail) +
                                       " with a description of the error and the steps that caused it.");
  EXPECT_TRUE(FolderNames(Hints.Path()).empty()) << "the archive is removed";
}

// An archive URL named like a hint file, or "..", harms nothing: the
// archive is stored under a name of its own and the hint file it holds
// replaces the old one only when whole.
TEST_F(DownloadEngine, ArchivesAreStoredUnderNamesOfTheirOwn) {
  const std::pair<const char*, const char*> names[] = {
      {"http://h/files/MOONFALL.ZEB", "MOONFALL.ZEB.download"}, {"http://h/files/..", "archive.download"},
      {"http://h/files/a%2F..%2Fb", "a_2F.._2Fb.download"},   {"http://h/", "document.htm.download"},
      {"http://h/files/.hidden", "hidden.download"},
  };
  for (const auto& [url, name] : names) EXPECT_EQ(TDownloadEngine::ArchiveFileName(url), name) << url;

  std::ofstream(Hints.Path() / "MOONFALL.ZEB", std::ios::binary) << "old hints";
  ASSERT_TRUE(WriteZip((Server.Folder().Path() / "MOONFALL.ZEB").string(), {{"MOONFALL.ZEB", SmallHintFile("M")}}));
  TFileRecord record;
  record.Title = "Moonfall";
  record.FileName = "MOONFALL.ZEB";
  record.Url = Server.Url("/files/MOONFALL.ZEB");
  EXPECT_EQ(Engine.DownloadOneFile(record, false), TDownloadEngine::TOutcome::Done);
  EXPECT_EQ(FileBytes(Hints.Path() / "MOONFALL.ZEB"), SmallHintFile("M"));
  EXPECT_EQ(FolderNames(Hints.Path()), std::vector<std::string>{"MOONFALL.ZEB"});
}

// Stop during a transfer: "Download cancelled." in the status line, no box,
// no partial archive; the hint file already there stays as it was.
TEST_F(DownloadEngine, StopDuringATransferCancelsQuietly) {
  std::ofstream(Hints.Path() / "SLOW.ZEB", std::ios::binary) << "old hints";
  TFileRecord record;
  record.Title = "Slow";
  record.FileName = "SLOW.ZEB";
  record.Url = Server.Url("/stall");
  QTimer::singleShot(300, [this] { Engine.Stop(); });
  EXPECT_EQ(Engine.DownloadOneFile(record, true), TDownloadEngine::TOutcome::Cancelled);
  EXPECT_TRUE(Engine.CancelRequested);
  EXPECT_TRUE(Dialogs.Asked.empty());
  EXPECT_EQ(Statuses.back(), "Download cancelled.");
  EXPECT_EQ(FolderNames(Hints.Path()), std::vector<std::string>{"SLOW.ZEB"});
  EXPECT_EQ(FileBytes(Hints.Path() / "SLOW.ZEB"), "old hints");
}

// Stop during the extraction: a ZIP error naming the abort; the old file
// stays whole and the archive is removed.
TEST_F(DownloadEngine, StopDuringTheExtractionLeavesTheOldFile) {
  std::string content;
  for (int i = 0; i < 2000000; ++i) content += static_cast<char>('a' + i % 19);
  TFileRecord record = Offer("Large", "LARGE.ZEB", content);
  std::ofstream(Hints.Path() / "LARGE.ZEB", std::ios::binary) << "old hints";
  Engine.ShowStatus = [this](const QString& text) {
    Statuses.push_back(text.toStdString());
    if (text.startsWith("Uncompressing")) Engine.CancelRequested = true;
  };
  Dialogs.AskAnswers = {TDialogs::TAnswer::Ok};
  EXPECT_EQ(Engine.DownloadOneFile(record, false), TDownloadEngine::TOutcome::Cancelled);
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_TRUE(Dialogs.Asked[0].Text.startsWith(
      "An error occurred while uncompressing Large hints (ZIP error: extraction aborted)."));
  EXPECT_EQ(FileBytes(Hints.Path() / "LARGE.ZEB"), "old hints");
  EXPECT_EQ(FolderNames(Hints.Path()), std::vector<std::string>{"LARGE.ZEB"});
}

}  // namespace
