// zebtool publish on folders it must refuse, skip in or escape: everything
// refused is refused before anything is written; a name's bytes reach the
// server through its links, served by Python's web server on 127.0.0.1 and
// fetched with libcurl, and a reader downloads such a file by its list.
#include <gtest/gtest.h>

#include <curl/curl.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "support/fixtures.h"
#include "support/localserver.h"
#include "tools/zebtoolrun.h"

namespace fs = std::filesystem;

namespace {

std::string GameFile(const std::string& title) {
  THintFileWriter writer;
  writer.Hunks = {Subject(title, {Hint("Where is the key?", {"Under the mat.", "-", "Behind the door."})})};
  return writer.Build();
}

struct TAnswer {
  long Status = 0;
  std::string Body;
};

size_t Collect(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

TAnswer Get(const std::string& url) {
  TAnswer answer;
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer.Body);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
  if (curl_easy_perform(curl) == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.Status);
  curl_easy_cleanup(curl);
  return answer;
}

// The address a browser asks for when a link of the page at base is
// followed: the attribute's entities read, bytes beyond ASCII and spaces
// escaped as UTF-8.
std::string Resolve(const std::string& base, std::string href) {
  for (const auto& [entity, text] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
    for (std::size_t at; (at = href.find(entity)) != std::string::npos;)
      href.replace(at, std::strlen(entity), text);
  std::string url = base;
  for (const char c : href) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x80) {
      url += c;
      continue;
    }
    char escaped[4];
    std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
    url += escaped;
  }
  return url;
}

class ZebtoolPublish : public ::testing::Test {
 public:
  void SetUp() override {
    Tool = ZebtoolPath();
    ASSERT_FALSE(Tool.empty()) << "zebtool not found: set ZEBTOOL to its path";
    Source = Root.Path() / "hint-files";
    Out = Root.Path() / "site";
    fs::create_directory(Source);
    Put("CASTLE.ZEB", GameFile("The Castle"));
  }

  std::string Put(const std::string& name, const std::string& bytes) const {
    const fs::path path = Source / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  TRun Publish(const std::string& baseUrl, const std::string& prefix = "") const {
    return RunTool(Tool, "publish " + Quote(Source.string()) + " " + Quote(Out.string()) + " --base-url " +
                             Quote(baseUrl) + " --html",
                   Root.Path(), prefix);
  }

  TTempDir Root;
  std::string Tool;
  fs::path Source;
  fs::path Out;
};

// Each folder or URL is refused with the exit status and a message naming
// what is wrong, and OUT is not even made.
TEST_F(ZebtoolPublish, RefusesBeforeWritingAnything) {
  const struct {
    const char* Name;
    std::function<void(ZebtoolPublish&)> Prepare;
    std::string BaseUrl;
    int Status;
    std::vector<std::string> Said;
  } cases[] = {
      {"names equal but for letter case", [](ZebtoolPublish& t) { t.Put("castle.Zeb", GameFile("Again")); },
       "http://127.0.0.1/", 65, {"CASTLE.ZEB and ", "castle.Zeb differ only in letter case"}},
      {"a link to a file outside that is no hint file",
       [](ZebtoolPublish& t) {
         t.Root.Write("notes.txt", "Remember the milk.\r\n");
         fs::create_symlink(t.Root.Path() / "notes.txt", t.Source / "NOTES.ZEB");
       },
       "http://127.0.0.1/", 1, {"cannot publish ", "NOTES.ZEB: The file you have tried to open is not a ZEB file."}},
      {"a damaged file", [](ZebtoolPublish& t) { t.Put("BROKEN.ZEB", "ZEB: half a header\r\n"); },
       "http://127.0.0.1/", 1, {"BROKEN.ZEB"}},
      {"a space", [](ZebtoolPublish& t) { t.Put("TWO WORDS.ZEB", GameFile("Words")); }, "http://127.0.0.1/", 65,
       {"TWO WORDS.ZEB: the update list cannot carry this name"}},
      {"a '<'", [](ZebtoolPublish& t) { t.Put("A<B.ZEB", GameFile("Less")); }, "http://127.0.0.1/", 65,
       {"A<B.ZEB: the update list cannot carry"}},
      {"a '#'", [](ZebtoolPublish& t) { t.Put("NO#1.ZEB", GameFile("Hash")); }, "http://127.0.0.1/", 65,
       {"NO#1.ZEB: the update list cannot carry"}},
      {"a '?'", [](ZebtoolPublish& t) { t.Put("WHY?.ZEB", GameFile("Why")); }, "http://127.0.0.1/", 65,
       {"WHY?.ZEB: the update list cannot carry"}},
      {"a tab", [](ZebtoolPublish& t) { t.Put("A\tB.ZEB", GameFile("Tab")); }, "http://127.0.0.1/", 65,
       {"A\\x09B.ZEB: the update list cannot carry"}},
      {"a line feed", [](ZebtoolPublish& t) { t.Put("A\nB.ZEB", GameFile("Feed")); }, "http://127.0.0.1/", 65,
       {"A\\x0AB.ZEB: the update list cannot carry"}},
      {"a leading dot", [](ZebtoolPublish& t) { t.Put(".HIDDEN.ZEB", GameFile("Hidden")); }, "http://127.0.0.1/", 65,
       {".HIDDEN.ZEB: the update list cannot carry"}},
      {"a base URL with a line feed", [](ZebtoolPublish&) {},
       "http://127.0.0.1/\n</FURL></FILE><MESSAGE>Hacked</MESSAGE><FILE><FURL>", 64,
       {"the base URL \"http://127.0.0.1/\\x0A</FURL>", "holds a space, a control character or \"<\""}},
      {"a base URL with a space", [](ZebtoolPublish&) {}, "http://127.0.0.1/my files/", 64,
       {"the base URL \"http://127.0.0.1/my files/\""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(Source);
    fs::create_directory(Source);
    Put("CASTLE.ZEB", GameFile("The Castle"));
    c.Prepare(*this);
    const TRun run = Publish(c.BaseUrl);
    EXPECT_EQ(run.Status, c.Status) << run.Err;
    for (const std::string& said : c.Said) EXPECT_NE(run.Err.find(said), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(Out));
    fs::remove_all(Out);
  }
}

// A file the user cannot read is named as the input it is, not as an
// archive that cannot be written.
TEST_F(ZebtoolPublish, AnInputThatCannotBeReadIsNamed) {
  const std::optional<std::string> otherUser = UserWithoutRootsRights();
  if (!otherUser) GTEST_SKIP() << "cannot run zebtool as a user without root's rights";
  const std::string closed = Put("BOLTED.ZEB", GameFile("Bolted"));
  fs::permissions(closed, fs::perms::none);
  // OUT could be made by that user.
  fs::permissions(Root.Path(), fs::perms::all);
  const TRun run = Publish("http://127.0.0.1/", *otherUser);
  EXPECT_EQ(run.Status, 5) << run.Err;
  EXPECT_NE(run.Err.find("cannot publish " + closed + ": " + closed + " could not be opened."), std::string::npos)
      << run.Err;
  EXPECT_EQ(run.Err.find("cannot write"), std::string::npos) << run.Err;
  EXPECT_FALSE(fs::exists(Out));
}

// A link in a loop is named and left out; the other files are published.
TEST_F(ZebtoolPublish, ALinkInALoopIsSkippedAndNamed) {
  fs::create_symlink("LOOP.ZEB", Source / "LOOP.ZEB");
  const TRun run = Publish("http://127.0.0.1/");
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Err, "zebtool: skipped " + (Source / "LOOP.ZEB").string() + ": Too many levels of symbolic links\n");
  EXPECT_EQ(run.Out, "CASTLE.ZEB\tThe Castle\n");
  const std::string list = ReadFile(Out / "cgi-bin" / "update.cgi");
  EXPECT_NE(list.find("<FNAME>CASTLE.ZEB</FNAME>"), std::string::npos) << list;
  EXPECT_EQ(list.find("LOOP"), std::string::npos) << list;
}

// No file publish writes may be a hint file of DIR under another name; the
// hint file keeps its bytes.
TEST_F(ZebtoolPublish, AnOutputThatIsAnInputIsRefused) {
  const std::string input = (Source / "CASTLE.ZEB").string();
  const std::string original = ReadFile(input);
  const std::function<void()> outputs[] = {
      [&] { fs::create_hard_link(input, Out / "files" / "CASTLE.zip"); },
      [&] { fs::create_symlink(input, Out / "cgi-bin" / "update.cgi"); },
      [&] { fs::create_symlink(input, Out / "hints" / "CASTLE.html"); },
  };
  for (const auto& makeOutput : outputs) {
    fs::remove_all(Out);
    for (const char* folder : {"files", "cgi-bin", "hints"}) fs::create_directories(Out / folder);
    makeOutput();
    const TRun run = Publish("http://127.0.0.1/");
    EXPECT_EQ(run.Status, 73) << run.Err;
    EXPECT_NE(run.Err.find(": it is the input file " + input), std::string::npos) << run.Err;
    EXPECT_EQ(ReadFile(input), original);
    EXPECT_FALSE(fs::exists(Out / "index.html"));
  }
}

// Names with "%", UTF-8 and other bytes a URL escapes: every link of the
// index and every address of the list answers with its file, and a reader
// downloads the files by the list.
TEST_F(ZebtoolPublish, LinksCarryTheNamesOwnBytes) {
  const std::vector<std::string> names = {"50%41.ZEB", "CAF\xC3\x89.ZEB", "R&D+1;=.ZEB"};
  for (const std::string& name : names) Put(name, GameFile("Game " + name));
  TStaticWebServer web(Out.string());
  ASSERT_TRUE(web.Ready) << "python3 -m http.server did not start";
  const std::string base = "http://" + web.Host() + "/";
  const TRun run = Publish(base);
  ASSERT_EQ(run.Status, 0) << run.Err;

  const std::string index = ReadFile(Out / "index.html");
  std::vector<std::string> links;
  const std::regex href("href=\"([^\"]*)\"");
  for (std::sregex_iterator it(index.begin(), index.end(), href), end; it != end; ++it) links.push_back((*it)[1]);
  ASSERT_EQ(links.size(), 2 * (names.size() + 1)) << index;
  for (const std::string& link : links) {
    SCOPED_TRACE(link);
    const TAnswer answer = Get(Resolve(base, link));
    EXPECT_EQ(answer.Status, 200);
    if (link.rfind("files/", 0) == 0) EXPECT_EQ(answer.Body.substr(0, 2), "PK");
    if (link.rfind("hints/", 0) == 0) EXPECT_NE(answer.Body.find("<!DOCTYPE html>"), std::string::npos);
  }
  const std::string list = ReadFile(Out / "cgi-bin" / "update.cgi");
  const std::regex furl("<FURL>([^<]*)</FURL>");
  int listed = 0;
  for (std::sregex_iterator it(list.begin(), list.end(), furl), end; it != end; ++it, ++listed)
    EXPECT_EQ(Get((*it)[1]).Status, 200) << (*it)[1];
  EXPECT_EQ(listed, static_cast<int>(names.size() + 1));

  TTempDir home;
  const std::string inHome = "ZEBWIN_HOME=" + Quote(home.Path().string()) + " ";
  ASSERT_EQ(RunTool(Tool, "update --server " + web.Host(), Root.Path(), inHome).Status, 0);
  std::string wanted;
  for (const std::string& name : names) wanted += " " + Quote(name);
  const TRun download = RunTool(Tool, "download" + wanted, Root.Path(), inHome);
  EXPECT_EQ(download.Status, 0) << download.Err;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_NE(download.Out.find(name + ": downloaded\n"), std::string::npos) << download.Out;
    EXPECT_EQ(ReadFile(home.Path() / "hints" / name), ReadFile(Source / name));
  }
}

}  // namespace
