// zebtool publish, update and download end to end: a folder of hint files
// published, served by Python's web server on 127.0.0.1, listed, fetched
// into an empty home and verified.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "authoring/hintwriter.h"
#include "support/fixtures.h"
#include "support/localserver.h"
#include "support/smallhints.h"
#include "support/ziparchives.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct TRun {
  int Status = -1;
  std::string Out;
  std::string Err;
};

// Runs zebtool (beside this test program's build tree) with ZEBWIN_HOME.
TRun Zebtool(const std::string& home, const std::string& arguments) {
  const fs::path self = fs::read_symlink("/proc/self/exe");
  const fs::path tool = self.parent_path().parent_path() / "src" / "tools" / "zebtool";
  TTempDir capture;
  const std::string out = (capture.Path() / "out").string();
  const std::string err = (capture.Path() / "err").string();
  const std::string command = "ZEBWIN_HOME='" + home + "' '" + tool.string() + "' " + arguments + " >'" + out +
                              "' 2>'" + err + "' </dev/null";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
}

TEST(ZebtoolUpdate, PublishServeUpdateDownloadAndVerify) {
  TTempDir source;
  const std::string example = std::string(ZEB_BUILD_DIR) + "/examples/MOONFALL.ZEB";
  ASSERT_TRUE(fs::exists(example));
  fs::copy_file(example, source.Path() / "MOONFALL.ZEB");
  for (const char* title : {"The Castle", "A Bridge"}) {
    THintFileWriter writer;
    writer.Hunks = {Subject(title, {Hint("Where?", {"Here.", "-", "There."})})};
    writer.Save((source.Path() / (std::string(title[0] == 'T' ? "CASTLE" : "BRIDGE") + ".ZEB")).string());
  }
  TTempDir site;
  TStaticWebServer web(site.Path().string());
  ASSERT_TRUE(web.Ready) << "python3 -m http.server did not start";
  const TRun publish = Zebtool(site.Path().string(), "publish '" + source.Path().string() + "' '" +
                                                         site.Path().string() + "' --base-url http://" + web.Host() +
                                                         "/files/");
  ASSERT_EQ(publish.Status, 0) << publish.Err;
  EXPECT_TRUE(fs::exists(site.Path() / "cgi-bin" / "update.cgi"));
  EXPECT_TRUE(fs::exists(site.Path() / "files" / "MOONFALL.zip"));

  TTempDir home;
  const TRun update = Zebtool(home.Path().string(), "update --server " + web.Host());
  ASSERT_EQ(update.Status, 0) << update.Err;
  EXPECT_NE(update.Out.find("\"title\":\"Moonfall\""), std::string::npos) << update.Out;
  EXPECT_NE(update.Out.find("\"fileName\":\"CASTLE.ZEB\""), std::string::npos);
  EXPECT_NE(update.Out.find("\"haveCurrent\":false"), std::string::npos);

  const TRun download = Zebtool(home.Path().string(), "download MOONFALL.ZEB castle.zeb NOSUCH.ZEB");
  EXPECT_EQ(download.Status, 69) << "one name is not in the list";
  EXPECT_EQ(download.Out, "MOONFALL.ZEB: downloaded\ncastle.zeb: downloaded\nNOSUCH.ZEB: not in the update list\n");
  // Into the hint folder of the home folder, away from the settings.
  EXPECT_EQ(ReadFile(home.Path() / "hints" / "MOONFALL.ZEB"), ReadFile(example));
  for (const char* name : {"MOONFALL.ZEB", "CASTLE.ZEB"}) {
    const TRun verify = Zebtool(home.Path().string(), "verify '" + (home.Path() / "hints" / name).string() + "'");
    EXPECT_EQ(verify.Status, 0) << name << verify.Err;
  }

  // Present and current: skipped, unless --yes.
  const TRun again = Zebtool(home.Path().string(), "download MOONFALL.ZEB");
  EXPECT_EQ(again.Status, 0);
  EXPECT_EQ(again.Out, "MOONFALL.ZEB: skipped, the current version is already here\n");
  const TRun forced = Zebtool(home.Path().string(), "download MOONFALL.ZEB --yes");
  EXPECT_EQ(forced.Out, "MOONFALL.ZEB: downloaded again\n");

  // A server that is not there: the reader's message and 69.
  const TRun gone = Zebtool(home.Path().string(), "update --server 127.0.0.1:" + std::to_string(FreePort()));
  EXPECT_EQ(gone.Status, 69);
  EXPECT_NE(gone.Err.find("An error occurred while downloading the list of available hint files"), std::string::npos)
      << gone.Err;
}

// A list whose entries name the settings file, the list and a file in
// another folder, against a home whose hint folder is the home itself (an
// InstallDir from an older layout): every entry is refused with the
// reader's message and exit 69, and the home keeps every byte.
TEST(ZebtoolUpdate, HostileNamesAreRefusedAndTheHomeStaysAsItWas) {
  TTestServer server;
  TTempDir home;
  const std::string settings = "[ZEBWIN]\r\nInstallDir=" + home.Path().string() + "/\r\n";
  home.Write("ZEBWIN.INI", settings);
  std::string list;
  for (const char* name : {"ZEBWIN.INI", "zebinet.dat", ".profile", "../x.ZEB"}) {
    const std::string archive = std::string("a") + std::to_string(list.size()) + ".zip";
    ASSERT_TRUE(WriteZip((server.Folder().Path() / archive).string(),
                         {{fs::path(name).filename().string(), "[ZEBWIN]\r\nUpdateServer=evil\r\n"}}));
    list += "<FILE><FTITLE>Evil</FTITLE><FURL>" + server.Url("/files/" + archive) + "</FURL><FNAME>" + name +
            "</FNAME></FILE>\r\n";
  }
  server.Serve("update.cgi", list);
  ASSERT_EQ(Zebtool(home.Path().string(), "update --server " + server.Host()).Status, 0);
  const std::string listed = ReadFile(home.Path() / "zebinet.dat");
  for (const char* name : {"ZEBWIN.INI", "zebinet.dat", ".profile", "../x.ZEB"}) {
    SCOPED_TRACE(name);
    const TRun run = Zebtool(home.Path().string(), std::string("download '") + name + "'");
    EXPECT_EQ(run.Status, 69);
    EXPECT_EQ(run.Out, std::string(name) + ": failed\n");
    EXPECT_NE(run.Err.find("The file was not downloaded."), std::string::npos) << run.Err;
    EXPECT_EQ(ReadFile(home.Path() / "ZEBWIN.INI"), settings);
    EXPECT_EQ(ReadFile(home.Path() / "zebinet.dat"), listed);
    EXPECT_FALSE(fs::exists(home.Path() / ".profile"));
    EXPECT_FALSE(fs::exists(home.Path().parent_path() / "x.ZEB"));
  }
}

// An archive whose file is itself an archive, or no hint file at all: the
// line says so, the exit status is 69, the copy already there keeps its
// bytes and no archive is left in the hint folder.
TEST(ZebtoolUpdate, AFileThatIsNoHintFileIsNotCalledDownloaded) {
  TTestServer server;
  TTempDir home;
  ASSERT_TRUE(WriteZip((server.Folder().Path() / "inner.zip").string(), {{"INNER.ZEB", SmallHintFile("Inner")}}));
  ASSERT_TRUE(WriteZip((server.Folder().Path() / "nested.zip").string(),
                       {{"NESTED.ZEB", ReadFile(server.Folder().Path() / "inner.zip")}}));
  ASSERT_TRUE(WriteZip((server.Folder().Path() / "text.zip").string(), {{"TEXT.ZEB", "just text"}}));
  server.Serve("update.cgi", "<FILE><FTITLE>Nested</FTITLE><FURL>" + server.Url("/files/nested.zip") +
                                 "</FURL><FNAME>NESTED.ZEB</FNAME></FILE>\r\n<FILE><FTITLE>Text</FTITLE><FURL>" +
                                 server.Url("/files/text.zip") + "</FURL><FNAME>TEXT.ZEB</FNAME></FILE>\r\n");
  const std::string old = SmallHintFile("The copy the user has");
  const fs::path hints = home.Path() / "hints";
  fs::create_directories(hints);
  { std::ofstream(hints / "NESTED.ZEB", std::ios::binary) << old; }
  const TRun run = Zebtool(home.Path().string(), "download NESTED.ZEB TEXT.ZEB --yes --server " + server.Host());
  EXPECT_EQ(run.Status, 69);
  EXPECT_EQ(run.Out,
            "NESTED.ZEB: failed, the file NESTED.ZEB in the archive is itself a ZIP archive, not a hint file; nothing "
            "was replaced\nTEXT.ZEB: failed, the file TEXT.ZEB in the archive is not a hint file; nothing was "
            "replaced\n");
  const std::string kept = "It was not saved, and a copy of NESTED.ZEB already in the hint-file folder is kept";
  EXPECT_NE(run.Err.find(kept), std::string::npos) << run.Err;
  EXPECT_EQ(ReadFile(hints / "NESTED.ZEB"), old);
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(hints)) left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"NESTED.ZEB"});
}

// A home under a file, and an empty list: clear results, never an abort.
TEST(ZebtoolUpdate, AnUnwritableHomeAndAnEmptyList) {
  TTestServer server;
  server.Serve("update.cgi", "");
  TTempDir dir;
  const std::string blocker = dir.Write("blocker", "a file");
  const TRun underFile = Zebtool(blocker + "/home", "update --server " + server.Host());
  EXPECT_EQ(underFile.Status, 73) << underFile.Err;
  EXPECT_NE(underFile.Err.find("An error occurred while saving the list of available hint files (cannot write"),
            std::string::npos)
      << underFile.Err;
  EXPECT_EQ(ReadFile(blocker), "a file");

  const TRun empty = Zebtool(dir.Path().string(), "update --server " + server.Host());
  EXPECT_EQ(empty.Status, 0) << empty.Err;
  EXPECT_EQ(empty.Out, "");
  EXPECT_TRUE(fs::exists(dir.Path() / "zebinet.dat"));
  EXPECT_EQ(ReadFile(dir.Path() / "zebinet.dat"), "");
}

}  // namespace
