// The download engine against a hostile update server, a full disk and odd
// folders: names that try to leave the hint folder or replace the
// program's own files, links, lists that cannot be written, bounds on what
// a server may send. Nothing is written outside the hint folder, no good
// file is harmed, and every failure is told as what it is.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "downloader/downloadengine.h"
#include "downloader/updatelist.h"
#include "settings/homefolder.h"
#include "support/files.h"
#include "support/localserver.h"
#include "support/scripteddialogs.h"
#include "support/smalldisk.h"
#include "support/smallhints.h"
#include "support/ziparchives.h"

namespace fs = std::filesystem;

namespace {

// Every file below the folder with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    files[fs::relative(entry.path(), folder).string()] = entry.is_regular_file() ? FileBytes(entry.path()) : "<dir>";
  return files;
}

std::string Pattern(std::size_t length) {
  std::string bytes;
  for (std::size_t i = 0; i < length; ++i) bytes += static_cast<char>('a' + (i * 7) % 23);
  return bytes;
}

class HostileServer : public ::testing::Test {
 protected:
  HostileServer() : Engine(Options, Dialogs, (Home.Path() / "zebinet.dat").string()) {
    if (const char* old = std::getenv("ZEBWIN_HOME")) SavedHome = old;
    setenv("ZEBWIN_HOME", Home.Path().c_str(), 1);
    Options.InstallDir = Hints.Path().string() + "/";
    Options.UpdateServer = Server.Host();
    Engine.ShowStatus = [this](const QString& text) { Statuses.push_back(text.toStdString()); };
    Engine.Pause = [](int) {};
  }
  ~HostileServer() override {
    if (SavedHome)
      setenv("ZEBWIN_HOME", SavedHome->c_str(), 1);
    else
      unsetenv("ZEBWIN_HOME");
  }

  // Serves an archive holding the members; returns a record naming fileName.
  TFileRecord Offer(const std::string& fileName, const std::vector<TZipMember>& members) {
    EXPECT_TRUE(WriteZip((Server.Folder().Path() / "offer.zip").string(), members));
    TFileRecord record;
    record.Title = "Moonfall";
    record.FileName = fileName;
    record.Url = Server.Url("/files/offer.zip");
    return record;
  }
  TDownloadEngine::TOutcome Download(TFileRecord& record, bool moreToCome = false) {
    return Engine.DownloadOneFile(record, moreToCome);
  }
  std::string ListPath() const { return (Home.Path() / "zebinet.dat").string(); }

  TTestServer Server;
  TTempDir Home;
  TTempDir Hints;
  std::optional<std::string> SavedHome;
  TOptions Options;
  TScriptedDialogs Dialogs;
  TDownloadEngine Engine;
  std::vector<std::string> Statuses;
};

// The hint folder is the settings folder, as an InstallDir kept from an
// older layout may make it. No name a list gives can reach the settings,
// the caches or any place outside; the server is not even asked.
TEST_F(HostileServer, NamesThatAreNoPlainHintFileNamesAreRefused) {
  Options.InstallDir = Home.Path().string() + "/";
  Home.Write("ZEBWIN.INI", "[ZEBWIN]\r\nUpdateServer=good.example\r\n");
  Home.Write("zebinet.dat", "<FILE><FTITLE>Moonfall</FTITLE></FILE>\r\n");
  Home.Write("zeblocal.dat", "");
  Home.Write("x.zip.download", "an archive on its way");
  const auto before = Snapshot(Home.Path());
  const std::string names[] = {"ZEBWIN.INI", "zebinet.dat", "zeblocal.dat", ".profile", "../x.ZEB",
                               "/abs.ZEB", "a/b.ZEB", "x.zip.download", "..\\x.ZEB", ".ZEB",
                               "", "C:x.ZEB", "tab\t.ZEB", std::string(300, 'n') + ".ZEB"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    TFileRecord record = Offer(name, {{fs::path(name).filename().string(), "[ZEBWIN]\r\nUpdateServer=evil\r\n"}});
    Dialogs.Asked.clear();
    EXPECT_EQ(Download(record, true), TDownloadEngine::TOutcome::Failed);
    EXPECT_EQ(Engine.LastFailure, TDownloadEngine::TFailure::Refused);
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].Caption, "Downloading Error");
    EXPECT_TRUE(Dialogs.Asked[0].Text.startsWith("The list of available hint files names the file \"" +
                                                 QString::fromStdString(name) + "\" for Moonfall hints, "))
        << Dialogs.Asked[0].Text.toStdString();
    EXPECT_TRUE(Dialogs.Asked[0].Text.contains("The file was not downloaded."));
    EXPECT_TRUE(Dialogs.Asked[0].Text.endsWith("Do you want to continue downloading other files?"));
    EXPECT_EQ(Dialogs.AskedButtons.back(), TDialogs::TButtons::YesNo);
    EXPECT_FALSE(Engine.CancelRequested) << "Yes goes on with the next file";
    EXPECT_EQ(Server.Requests(), "") << "nothing is fetched";
    EXPECT_EQ(Snapshot(Home.Path()), before) << "nothing is written";
  }
  EXPECT_TRUE(fs::is_empty(Hints.Path()));
}

TEST_F(HostileServer, AHintFileNameOfTheProgramsOwnFileIsRefused) {
  // A list file kept under a hint-file name, in the hint folder.
  TDownloadEngine engine(Options, Dialogs, (Hints.Path() / "LIST.ZEB").string());
  engine.Pause = [](int) {};
  Hints.Write("LIST.ZEB", "the list");
  TFileRecord record = Offer("LIST.ZEB", {{"LIST.ZEB", "evil"}});
  EXPECT_EQ(engine.DownloadOneFile(record, false), TDownloadEngine::TOutcome::Failed);
  EXPECT_EQ(engine.LastFailure, TDownloadEngine::TFailure::Refused);
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_TRUE(Dialogs.Asked[0].Text.contains("which would replace " + QString::fromStdString(Hints.Path().string())))
      << Dialogs.Asked[0].Text.toStdString();
  EXPECT_EQ(FileBytes(Hints.Path() / "LIST.ZEB"), "the list");
}

TEST_F(HostileServer, AnArchivesNameIsNeverAHintFileName) {
  for (const char* url : {"http://h/files/MOONFALL.ZEB", "http://h/x.zip", "http://h/", "http://h/a.zeb?b.ZEB",
                          "http://h/files/.ZEB", "http://h/files/..", "http://h/files/x.zip.download"})
    EXPECT_FALSE(TDownloadEngine::IsDownloadableName(TDownloadEngine::ArchiveFileName(url))) << url;
  for (const char* name : {"MOONFALL.ZEB", "moonfall.zeb", "The Castle (v2).Zeb", "\xC3\xA9t\xC3\xA9.ZEB"})
    EXPECT_TRUE(TDownloadEngine::IsDownloadableName(name)) << name;
}

// A hint file that is a link to a file elsewhere: the download replaces
// the link, and the file it pointed to keeps its bytes.
TEST_F(HostileServer, ALinkInTheHintFolderIsReplacedNotWrittenThrough) {
  TTempDir elsewhere;
  const std::string outside = elsewhere.Write("precious.txt", "not a hint file");
  fs::create_symlink(outside, Hints.Path() / "MOONFALL.ZEB");
  TFileRecord record = Offer("MOONFALL.ZEB", {{"MOONFALL.ZEB", SmallHintFile("Moonfall")}});
  EXPECT_EQ(Download(record), TDownloadEngine::TOutcome::Done);
  EXPECT_FALSE(fs::is_symlink(Hints.Path() / "MOONFALL.ZEB"));
  EXPECT_EQ(FileBytes(Hints.Path() / "MOONFALL.ZEB"), SmallHintFile("Moonfall"));
  EXPECT_EQ(FileBytes(outside), "not a hint file");
}

// A full disk at every stage: the archive, the first block of the hint
// file, its last flush. The good file stays byte for byte and the failure
// is told as a write failure, never as a download.
TEST_F(HostileServer, AFullDiskNeverHarmsTheGoodFile) {
  TSmallDisk disk;
  SCOPED_TRACE(disk.Kind());
  Options.InstallDir = disk.Path().string() + "/";
  const std::string old = Pattern(30000);
  // A hint file of about 100 KB that compresses well: the archive takes a page.
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < 1400; ++i) lines.push_back(Pattern(70 + i % 3));
  const std::string fresh = SmallHintFile("Moonfall", lines);
  for (const std::uint64_t room : {0u, 4096u, 69632u, 98304u}) {
    SCOPED_TRACE(room);
    { std::ofstream(disk.Path() / "MOONFALL.ZEB", std::ios::binary) << old; }
    TFileRecord record = Offer("MOONFALL.ZEB", {{"MOONFALL.ZEB", fresh}});
    Dialogs.Asked.clear();
    disk.LeaveRoom(room);
    const auto done = Download(record);
    disk.EndLimit();
    EXPECT_EQ(done, TDownloadEngine::TOutcome::Failed);
    EXPECT_EQ(Engine.LastFailure, TDownloadEngine::TFailure::Write);
    EXPECT_TRUE(FileBytes(disk.Path() / "MOONFALL.ZEB") == old) << "the good file was harmed";
    EXPECT_EQ(FolderNames(disk.Path()), std::vector<std::string>{"MOONFALL.ZEB"}) << "nothing half written is left";
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    const std::string text = Dialogs.Asked[0].Text.toStdString();
    EXPECT_EQ(text.rfind("An error occurred while saving Moonfall hints (cannot write ", 0), 0u) << text;
    EXPECT_TRUE(text.find("No space left on device") != std::string::npos ||
                text.find("File too large") != std::string::npos)
        << text;
    EXPECT_EQ(text.find("HTTP error"), std::string::npos) << text;
  }
  TFileRecord record = Offer("MOONFALL.ZEB", {{"MOONFALL.ZEB", fresh}});
  EXPECT_EQ(Download(record), TDownloadEngine::TOutcome::Done) << "with room the same download goes through";
  EXPECT_TRUE(FileBytes(disk.Path() / "MOONFALL.ZEB") == fresh);
}

TEST_F(HostileServer, FilesThatCannotBeWrittenAreReportedAsSuch) {
  const std::string blocker = Home.Write("blocker", "a file, not a folder");
  Server.Serve("update.cgi", "<FILE><FTITLE>A</FTITLE></FILE>\r\n");
  fs::create_symlink(Home.Path() / "gone", Home.Path() / "cache");
  for (const fs::path& list : {fs::path(blocker) / "zebinet.dat", Home.Path() / "cache" / "sub" / "zebinet.dat"}) {
    SCOPED_TRACE(list);
    TDownloadEngine engine(Options, Dialogs, list.string());
    engine.ShowStatus = [this](const QString& text) { Statuses.push_back(text.toStdString()); };
    EXPECT_FALSE(engine.RetrieveList());
    EXPECT_EQ(engine.LastFailure, TDownloadEngine::TFailure::Write);
    EXPECT_EQ(Statuses.back().rfind("An error occurred while saving the list of available hint files (cannot write " +
                                        list.string() + ": ",
                                    0),
              0u)
        << Statuses.back();
    EXPECT_EQ(Statuses.back().find("HTTP error"), std::string::npos);
  }

  Options.InstallDir = blocker + "/";
  TFileRecord record = Offer("MOONFALL.ZEB", {{"MOONFALL.ZEB", "hints"}});
  EXPECT_EQ(Download(record), TDownloadEngine::TOutcome::Failed);
  EXPECT_EQ(Engine.LastFailure, TDownloadEngine::TFailure::Write);
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_TRUE(Dialogs.Asked[0].Text.startsWith("An error occurred while saving Moonfall hints (cannot write " +
                                               QString::fromStdString(blocker)))
      << Dialogs.Asked[0].Text.toStdString();
  EXPECT_EQ(FileBytes(blocker), "a file, not a folder");
}

TEST_F(HostileServer, AnEmptyListIsAValidEmptyList) {
  { std::ofstream(ListPath(), std::ios::binary) << "<FILE><FTITLE>Old</FTITLE></FILE>\r\n"; }
  Server.Serve("update.cgi", "");
  EXPECT_TRUE(Engine.RetrieveList()) << Statuses.back();
  EXPECT_TRUE(fs::exists(ListPath()));
  EXPECT_EQ(FileBytes(ListPath()), "");
  EXPECT_TRUE(LoadFileList(ListPath(), {}, false).empty());
  EXPECT_EQ(Engine.LastFailure, TDownloadEngine::TFailure::None);
  // The file the list arrived through is gone, and so are its handlers.
  EXPECT_FALSE(Engine.Http.OnDocBegin);
  EXPECT_FALSE(Engine.Http.OnDocData);
  EXPECT_FALSE(Engine.Http.OnDocEnd);
}

TEST_F(HostileServer, WhatAServerSendsIsBounded) {
  // A list beyond its bound fails as a transfer; the old list stays.
  const std::string old = "<FILE><FTITLE>Old</FTITLE></FILE>\r\n";
  { std::ofstream(ListPath(), std::ios::binary) << old; }
  {
    std::ofstream huge(Server.Folder().Path() / "update.cgi", std::ios::binary);
    const std::string block(1 << 20, 'x');
    for (std::int64_t i = 0; i <= MaxListBytes >> 20; ++i) huge << block;
  }
  EXPECT_FALSE(Engine.RetrieveList());
  EXPECT_EQ(Engine.LastFailure, TDownloadEngine::TFailure::Transfer);
  EXPECT_NE(Statuses.back().find("(HTTP error 413: The document is larger than 64 MB)"), std::string::npos)
      << Statuses.back().substr(0, 300);
  EXPECT_EQ(FileBytes(ListPath()), old);
  EXPECT_EQ(FolderNames(Home.Path()), std::vector<std::string>{"zebinet.dat"});

  // A reason phrase of 100,000 characters comes into the message as one short line.
  TFileRecord record;
  record.Title = "Loud";
  record.FileName = "LOUD.ZEB";
  record.Url = Server.Url("/longreason");
  EXPECT_EQ(Download(record), TDownloadEngine::TOutcome::Failed);
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_TRUE(Dialogs.Asked[0].Text.contains("(HTTP error 500: " + QString(THttpCli::MaxReasonLength, 'R') + "...)."));
  EXPECT_LT(Dialogs.Asked[0].Text.size(), 600);
}

}  // namespace
