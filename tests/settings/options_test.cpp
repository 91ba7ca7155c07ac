// The settings record: defaults, value formats (flags, colours, fonts), the
// order and round trip of a save, and the revealed-hints record per file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "model/metatexthunk.h"
#include "model/zebobject.h"
#include "settings/inifile.h"
#include "settings/options.h"
#include "settings/textnumbers.h"
#include "support/files.h"
#include "support/fixtures.h"
#include "support/smalldisk.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void ExpectSameOptions(const TOptions& a, const TOptions& b) {
  EXPECT_EQ(a.InstallDir, b.InstallDir);
  EXPECT_EQ(a.FontColor, b.FontColor);
  EXPECT_EQ(a.WindowBackColor, b.WindowBackColor);
  EXPECT_EQ(a.TextColor, b.TextColor);
  EXPECT_EQ(a.MainFont, b.MainFont);
  EXPECT_EQ(a.FixedFont, b.FixedFont);
  EXPECT_EQ(a.Counting, b.Counting);
  EXPECT_EQ(a.Memory, b.Memory);
  EXPECT_EQ(a.StretchGraphics, b.StretchGraphics);
  EXPECT_EQ(a.DisplayInfo, b.DisplayInfo);
  EXPECT_EQ(a.ProxyIP, b.ProxyIP);
  EXPECT_EQ(a.ProxyPort, b.ProxyPort);
  EXPECT_EQ(a.LastUpdateMessage, b.LastUpdateMessage);
  EXPECT_EQ(a.SkipUpdateBeforeDownload, b.SkipUpdateBeforeDownload);
  EXPECT_EQ(a.SkipUpdateMessages, b.SkipUpdateMessages);
  EXPECT_EQ(a.SkipUpdateAfterDownload, b.SkipUpdateAfterDownload);
  EXPECT_EQ(a.ProxyOn, b.ProxyOn);
  EXPECT_EQ(a.ShowOutline, b.ShowOutline);
  EXPECT_EQ(a.OutlineFilter, b.OutlineFilter);
  EXPECT_EQ(a.WindowPlacement, b.WindowPlacement);
  EXPECT_EQ(a.ReopenLastFile, b.ReopenLastFile);
  EXPECT_EQ(a.LastFile, b.LastFile);
  EXPECT_EQ(a.LastWindows, b.LastWindows);
}

// A record in which every field differs from its default.
TOptions Unusual() {
  TOptions o;
  o.InstallDir = "/home/user/My Hints/";
  o.FontColor = 0x80000008;
  o.WindowBackColor = 0x80000005;
  o.TextColor = 0x00123456;
  o.MainFont = {"Times New Roman", 12, true, true};
  o.FixedFont = {"Liberation Mono", 7, false, true};
  o.Counting = false;
  o.Memory = false;
  o.StretchGraphics = false;
  o.DisplayInfo = false;
  o.ProxyIP = "proxy.example";
  o.ProxyPort = "3128";
  o.LastUpdateMessage = "New files this week, 12 of them";
  o.UpdateServer = "hints.example.org:8080";
  o.SkipUpdateBeforeDownload = true;
  o.SkipUpdateMessages = true;
  o.SkipUpdateAfterDownload = true;
  o.ProxyOn = true;
  o.ShowOutline = true;
  o.OutlineFilter = "manor house";
  o.WindowPlacement = "10,20,800,600,1";
  o.ReopenLastFile = true;
  o.LastFile = "/home/user/My Hints/MOONFALL.ZEB";
  o.LastWindows = "3,17,42";
  return o;
}

// Sets or removes an environment variable for one scope.
class TScopedEnv {
 public:
  TScopedEnv(const char* name, const char* value) : Name(name) {
    if (const char* old = std::getenv(name)) Old = old;
    if (value != nullptr)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~TScopedEnv() {
    if (Old)
      setenv(Name, Old->c_str(), 1);
    else
      unsetenv(Name);
  }

 private:
  const char* Name;
  std::optional<std::string> Old;
};

class OptionsTest : public ::testing::Test {
 protected:
  std::string IniPath() const { return (Dir.Path() / "ZEBWIN.INI").string(); }
  // Loads from a settings file holding these lines of section ZEBWIN.
  TOptions LoadWith(const std::string& zebwinLines, const TBrowserDefaults& defaults = {}) {
    Dir.Write("ZEBWIN.INI", "[ZEBWIN]\r\n" + zebwinLines);
    TIniFile ini(IniPath());
    TOptions options = Unusual();
    LoadSettings(ini, options, defaults, "/default/hints/");
    return options;
  }

  TTempDir Dir;
};

TEST_F(OptionsTest, DefaultsWithoutSettingsFile) {
  TIniFile ini(IniPath());
  TOptions options = Unusual();
  LoadSettings(ini, options, TBrowserDefaults{}, "/default/hints/");

  EXPECT_EQ(options.InstallDir, "/default/hints/");
  EXPECT_EQ(options.TextColor, 0xFF0000u);        // links blue
  EXPECT_EQ(options.WindowBackColor, 0xFFFFFFu);  // white
  EXPECT_EQ(options.FontColor, 0u);               // black
  EXPECT_EQ(options.MainFont, (TFontSpec{"Arial", 10, false, false}));
  EXPECT_EQ(options.FixedFont, (TFontSpec{"Courier New", 9, false, false}));
  EXPECT_TRUE(options.Counting);
  EXPECT_TRUE(options.Memory);
  EXPECT_TRUE(options.StretchGraphics);
  EXPECT_TRUE(options.DisplayInfo);
  EXPECT_FALSE(options.ProxyOn);
  EXPECT_EQ(options.ProxyIP, "");
  EXPECT_EQ(options.ProxyPort, "");
  EXPECT_EQ(options.LastUpdateMessage, "");
  EXPECT_FALSE(options.SkipUpdateBeforeDownload);
  EXPECT_FALSE(options.SkipUpdateMessages);
  EXPECT_FALSE(options.SkipUpdateAfterDownload);
  EXPECT_FALSE(fs::exists(IniPath())) << "loading must not create the settings file";
}

TEST_F(OptionsTest, ProxyDefaultsFromTheProxyText) {
  const struct {
    const char* Proxy;
    bool On;
    const char* Host;
    const char* Port;
  } cases[] = {
      {"10.0.0.1:80", true, "10.0.0.1", "80"},
      {"http://10.0.0.1:80/", true, "10.0.0.1", "80"},
      {"http://proxy.example:3128", true, "proxy.example", "3128"},
      {"host-without-port", true, "", ""},
      {"", false, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Proxy);
    const TBrowserDefaults defaults = TBrowserDefaults::WithProxy(c.Proxy);
    EXPECT_EQ(defaults.ProxySwitch, c.On ? "On" : "Off");
    EXPECT_EQ(defaults.ProxyHost, c.Host);
    EXPECT_EQ(defaults.ProxyPort, c.Port);
    // The colours stay the fixed ones whatever the proxy.
    EXPECT_EQ(defaults.LinkColor, 0xFF0000u);
    EXPECT_EQ(defaults.BackgroundColor, 0xFFFFFFu);
    EXPECT_EQ(defaults.TextColor, 0u);

    TIniFile ini((Dir.Path() / "absent.ini").string());
    TOptions options;
    LoadSettings(ini, options, defaults, "/hints/");
    EXPECT_EQ(options.ProxyOn, c.On);
    EXPECT_EQ(options.ProxyIP, c.Host);
    EXPECT_EQ(options.ProxyPort, c.Port);
  }
}

TEST_F(OptionsTest, ProxyDefaultsFromTheEnvironment) {
  {
    TScopedEnv proxy("http_proxy", "http://10.0.0.1:80/");
    const TBrowserDefaults defaults = TBrowserDefaults::FromEnvironment();
    EXPECT_EQ(defaults.ProxySwitch, "On");
    EXPECT_EQ(defaults.ProxyHost, "10.0.0.1");
    EXPECT_EQ(defaults.ProxyPort, "80");
  }
  {
    TScopedEnv proxy("http_proxy", nullptr);
    const TBrowserDefaults defaults = TBrowserDefaults::FromEnvironment();
    EXPECT_EQ(defaults.ProxySwitch, "Off");
    EXPECT_EQ(defaults.ProxyHost, "");
    EXPECT_EQ(defaults.ProxyPort, "");
  }
}

TEST_F(OptionsTest, StoredValuesWinOverTheDefaults) {
  const TOptions options = LoadWith(
      "ProxyOn=Off\r\nProxyIP=\r\nProxyPort=8080\r\nTextColor=255\r\nWindowBackColor=0\r\nFontColor=65280\r\n"
      "InstallDir=/stored/\r\n",
      TBrowserDefaults::WithProxy("10.0.0.1:80"));
  EXPECT_FALSE(options.ProxyOn);
  EXPECT_EQ(options.ProxyIP, "");  // present but empty is not missing
  EXPECT_EQ(options.ProxyPort, "8080");
  EXPECT_EQ(options.TextColor, 255u);
  EXPECT_EQ(options.WindowBackColor, 0u);
  EXPECT_EQ(options.FontColor, 65280u);
  EXPECT_EQ(options.InstallDir, "/stored/");
}

TEST(FontText, ReadsFaceSizeWeightAndItalic) {
  const struct {
    const char* Text;
    TFontSpec Font;
  } cases[] = {
      {"Arial,10,400,0", {"Arial", 10, false, false}},
      {"Times New Roman,12,700,1", {"Times New Roman", 12, true, true}},
      {"Arial,10,401,0", {"Arial", 10, true, false}},  // any weight above 400 is bold
      {"Arial,10,399,0", {"Arial", 10, false, false}},
      {"Arial,14,700", {"Arial", 14, true, false}},  // missing fields read as 0
      {"Arial,14", {"Arial", 14, false, false}},
      {"Arial,", {"Arial", 0, false, false}},
      {"Arial", {"", 0, false, false}},  // no comma: no face name
      {"", {"", 0, false, false}},
      {",,,", {"", 0, false, false}},
      {"Arial, 12,  800 ,1", {"Arial", 12, true, true}},  // numbers read like atol
      {"Arial,12pt,bold,1", {"Arial", 12, false, true}},
      {"Arial,10,400,1 ", {"Arial", 10, false, false}},  // italic only for exactly "1"
      {"Arial,10,400,2", {"Arial", 10, false, false}},
      {"Arial,10,400,1,extra", {"Arial", 10, false, false}},
      {"Arial,-8,700,1", {"Arial", -8, true, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(TextToFont(c.Text), c.Font);
  }
}

TEST(FontText, WritesWeight700Or400AndRoundTrips) {
  EXPECT_EQ(FontToText({"Arial", 10, false, false}), "Arial,10,400,0");
  EXPECT_EQ(FontToText({"Times New Roman", 12, true, true}), "Times New Roman,12,700,1");
  // Read as bold from 401, written back as 700.
  EXPECT_EQ(FontToText(TextToFont("Arial,10,401,0")), "Arial,10,700,0");
  const TFontSpec fonts[] = {{"Courier New", 9, false, false}, {"Liberation Sans", 72, true, false},
                             {"DejaVu Serif", 1, false, true}};
  for (const TFontSpec& font : fonts) EXPECT_EQ(TextToFont(FontToText(font)), font);
}

TEST_F(OptionsTest, FlagsAreOnOnlyForExactlyOn) {
  const struct {
    const char* Text;
    bool On;
  } cases[] = {{"On", true}, {"on", false}, {"ON", false}, {"On ", false}, {" On", false},
               {"1", false}, {"Yes", false}, {"", false}, {"Off", false}};
  const char* const keys[] = {"Counting", "Memory", "StretchGraphics", "DisplayInfo", "ProxyOn",
                              "SkipUpdateBeforeDownload", "SkipUpdateAfterDownload", "SkipUpdateMessages"};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("value \"") + c.Text + "\"");
    std::string lines;
    for (const char* key : keys) lines += std::string(key) + "=" + c.Text + "\r\n";
    const TOptions options = LoadWith(lines);
    EXPECT_EQ(options.Counting, c.On);
    EXPECT_EQ(options.Memory, c.On);
    EXPECT_EQ(options.StretchGraphics, c.On);
    EXPECT_EQ(options.DisplayInfo, c.On);
    EXPECT_EQ(options.ProxyOn, c.On);
    EXPECT_EQ(options.SkipUpdateBeforeDownload, c.On);
    EXPECT_EQ(options.SkipUpdateAfterDownload, c.On);
    EXPECT_EQ(options.SkipUpdateMessages, c.On);
  }
}

TEST_F(OptionsTest, ColoursReadLikeAtolModulo2To32) {
  const struct {
    const char* Text;
    TColor Color;
  } cases[] = {
      {"2147483653", 0x80000005u},
      {"2147483656", 0x80000008u},
      {"4294967295", 0xFFFFFFFFu},
      {"-1", 0xFFFFFFFFu},
      {"-2147483643", 0x80000005u},
      {"4294967296", 0u},
      {"4294967297", 1u},
      {"99999999999999999999", 1661992959u},  // 10^20 - 1 modulo 2^32
      {"12abc", 12u},
      {"abc", 0u},
      {"", 0u},  // present but empty: 0, not the default
      {"  \t42", 42u},
      {"+7", 7u},
      {"- 7", 0u},
      {"0x10", 0u},
      {"16777215", 0xFFFFFFu},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("value \"") + c.Text + "\"");
    const std::string text = c.Text;
    const TOptions options =
        LoadWith("TextColor=" + text + "\r\nFontColor=" + text + "\r\nWindowBackColor=" + text + "\r\n");
    EXPECT_EQ(options.TextColor, c.Color);
    EXPECT_EQ(options.FontColor, c.Color);
    EXPECT_EQ(options.WindowBackColor, c.Color);
    EXPECT_EQ(AtolModulo32(text), c.Color);
  }
}

TEST(ColorTriple, RedGreenBlueIntoOneColour) {
  const struct {
    const char* Text;
    TColor Color;
  } cases[] = {
      {"255,128,0", 0x0080FFu},
      {"0,0,255", 0xFF0000u},
      {"255,255,255", 0xFFFFFFu},
      {"0,0,0", 0u},
      {"1,2,3", 0x030201u},
      {" 10, 20, 30", 10u + 20u * 256u + 30u * 65536u},
      {"1,2", 1u + 2u * 256u},
      {"7", 7u},
      {"", 0u},
      {"a,b,c", 0u},
      {"255,128,0,99", 0x0080FFu},
      {"12x,34y,56z", 12u + 34u * 256u + 56u * 65536u},
      {",,9", 9u * 65536u},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(ParseColorTriple(c.Text), c.Color);
  }
}

TEST_F(OptionsTest, SaveWritesEveryKeyInOrder) {
  TIniFile ini(IniPath());
  SaveSettings(ini, Unusual(), nullptr, nullptr);
  const std::vector<std::string> expected = {
      "[ZEBWIN]",
      "MainFont=Times New Roman,12,700,1",
      "FixedFont=Liberation Mono,7,400,1",
      "Counting=Off",
      "Memory=Off",
      "StretchGraphics=Off",
      "DisplayInfo=Off",
      "TextColor=1193046",
      "WindowBackColor=2147483653",
      "FontColor=2147483656",
      "InstallDir=/home/user/My Hints/",
      "LastVersionRun=4.50",
      "ProxyOn=On",
      "ProxyIP=proxy.example",
      "ProxyPort=3128",
      "SkipUpdateBeforeDownload=On",
      "SkipUpdateAfterDownload=On",
      "SkipUpdateMessages=On",
      "LastUpdateMessage=New files this week, 12 of them",
      "UpdateServer=hints.example.org:8080",
      "ShowOutline=On",
      "OutlineFilter=manor house",
      "WindowPlacement=10,20,800,600,1",
      "ReopenLastFile=On",
      "LastFile=/home/user/My Hints/MOONFALL.ZEB",
      "LastWindows=3,17,42",
  };
  EXPECT_EQ(LinesOf(ReadAll(IniPath())), expected);

  // Saving again rewrites in place: no entry doubles, the order stays.
  TOptions changed = Unusual();
  changed.Counting = true;
  SaveSettings(ini, changed, nullptr, nullptr);
  std::vector<std::string> again = expected;
  again[3] = "Counting=On";
  EXPECT_EQ(LinesOf(ReadAll(IniPath())), again);
}

TEST_F(OptionsTest, SaveAndLoadRoundTrip) {
  const TOptions saved = Unusual();
  {
    TIniFile ini(IniPath());
    SaveSettings(ini, saved, nullptr, nullptr);
  }
  // After a save, the defaults no longer matter.
  TIniFile ini(IniPath());
  TOptions loaded;
  LoadSettings(ini, loaded, TBrowserDefaults::WithProxy("10.0.0.1:80"), "/elsewhere/");
  ExpectSameOptions(loaded, saved);

  // The defaults themselves survive a round trip too.
  TOptions defaults;
  {
    TIniFile absent((Dir.Path() / "first.ini").string());
    LoadSettings(absent, defaults, TBrowserDefaults{}, "/hints/");
    SaveSettings(absent, defaults, nullptr, nullptr);
  }
  TIniFile first((Dir.Path() / "first.ini").string());
  TOptions reloaded = Unusual();
  LoadSettings(first, reloaded, TBrowserDefaults::WithProxy("h:1"), "/other/");
  ExpectSameOptions(reloaded, defaults);
  EXPECT_EQ(first.ReadIniString("ZEBWIN", "MainFont", ""), "Arial,10,400,0");
  EXPECT_EQ(first.ReadIniString("ZEBWIN", "FixedFont", ""), "Courier New,9,400,0");
  EXPECT_EQ(first.ReadIniString("ZEBWIN", "TextColor", ""), "16711680");
  EXPECT_EQ(first.ReadIniString("ZEBWIN", "WindowBackColor", ""), "16777215");
  EXPECT_EQ(first.ReadIniString("ZEBWIN", "FontColor", ""), "0");
}

TEST_F(OptionsTest, DamagedSettingsFileGivesDefaultsWhereUnreadable) {
  std::string content = std::string("\xFF\xFE\0\x01[ZEBWIN\r\n", 13);
  content += "[ZEBWIN]\r\nMainFont\r\nCounting=on\r\nFixedFont=" + std::string(5000, ',') + "\r\n";
  content += "TextColor=\x80\x81\r\n" + std::string(100000, '=') + "\r\nMemory=Off\r\n";
  Dir.Write("ZEBWIN.INI", content);
  TIniFile ini(IniPath());
  TOptions options = Unusual();
  LoadSettings(ini, options, TBrowserDefaults{}, "/hints/");
  EXPECT_EQ(options.MainFont, (TFontSpec{"Arial", 10, false, false}));  // no "=": missing
  EXPECT_EQ(options.FixedFont, (TFontSpec{"", 0, false, false}));
  EXPECT_FALSE(options.Counting);
  EXPECT_FALSE(options.Memory);
  EXPECT_EQ(options.TextColor, 0u);
  EXPECT_TRUE(options.DisplayInfo);
  EXPECT_EQ(options.WindowBackColor, 0xFFFFFFu);
}

// File names that differ only in letter case are two files here, so the key
// keeps the path's letters as they are.
TEST(MemoryKeyText, PathDotLengthWithTheLettersOfThePath) {
  EXPECT_EQ(MemoryKey("/tmp/x/Game.ZEB", 950), "/tmp/x/Game.ZEB.950");
  EXPECT_EQ(MemoryKey("/tmp/x/Missing.ZEB", -1), "/tmp/x/Missing.ZEB.-1");
  EXPECT_EQ(MemoryKey("/T/big.zeb", 5000000000LL), "/T/big.zeb.5000000000");
  // Ordinary paths, brackets and inner blanks included, keep their keys.
  EXPECT_EQ(MemoryKey("/h/The Game [v2] (1999).zeb", 9), "/h/The Game [v2] (1999).zeb.9");
  // What would break the line or the key is escaped.
  const std::pair<const char*, const char*> escaped[] = {
      {"/h/a=b.zeb", "/h/a%3Db.zeb.9"},      {"/h/line\nfeed.zeb", "/h/line%0Afeed.zeb.9"},
      {"/h/cr\r.zeb", "/h/cr%0D.zeb.9"},     {"/h/100%.zeb", "/h/100%25.zeb.9"},
      {"[x]/a.zeb", "%5Bx]/a.zeb.9"},        {" lead.zeb", "%20lead.zeb.9"},
  };
  for (const auto& [path, key] : escaped) EXPECT_EQ(MemoryKey(path, 9), key) << path;
}

TEST_F(OptionsTest, FileLengthOrMinusOne) {
  EXPECT_EQ(FileLengthOrMinusOne(Dir.Write("Game.ZEB", std::string(950, 'x'))), 950);
  EXPECT_EQ(FileLengthOrMinusOne(Dir.Write("Empty.ZEB", "")), 0);
  EXPECT_EQ(FileLengthOrMinusOne((Dir.Path() / "Missing.ZEB").string()), -1);
  // A folder cannot be opened as a file.
  fs::create_directories(Dir.Path() / "Folder.ZEB");
  EXPECT_EQ(FileLengthOrMinusOne((Dir.Path() / "Folder.ZEB").string()), -1);
}

// A root with two hint lists: the record reads "2,0,".
class HintsShownRecordTest : public OptionsTest {
 protected:
  void SetUp() override {
    for (int counts : {2, 0}) {
      auto* list = new TMetaTextHunk("Question", &Root, Kind::Hint);
      list->AddLine(new THunkLine("First hint.", nullptr));
      list->AddLine(MakeSeparator());
      list->AddLine(new THunkLine("Second hint.", nullptr));
      list->HintsShown = counts;
      Root.AddLine(list);
      Lists.push_back(list);
    }
  }

  TMetaTextHunk Root{"Root", nullptr, Kind::Subject};
  std::vector<TMetaTextHunk*> Lists;
};

TEST_F(HintsShownRecordTest, SaveWritesTheOpenFilesRecordUnderItsKey) {
  const fs::path folder = Dir.Path() / "x";
  fs::create_directories(folder);
  const std::string game = (folder / "Game.ZEB").string();
  {
    std::ofstream(game, std::ios::binary) << std::string(950, 'z');
  }
  TIniFile ini(IniPath());
  SaveSettings(ini, TOptions{}, &game, &Root);

  const std::string key = MemoryKey(game, 950);
  EXPECT_EQ(key, (Dir.Path() / "x" / "Game.ZEB.950").string());
  const std::string text = ReadAll(IniPath());
  const std::vector<std::string> lines = LinesOf(text);
  ASSERT_GE(lines.size(), 2u);
  // The record is written first, before the settings.
  EXPECT_EQ(lines[0], "[Memory]");
  EXPECT_EQ(lines[1], key + "=2,0,");
  EXPECT_NE(text.find("[ZEBWIN]"), std::string::npos);
  EXPECT_EQ(ReadHintsShownRecord(ini, game), "2,0,");
  EXPECT_EQ(ReadHintsShownRecord(ini, (folder / "GAME.zeb").string()), "")  // another file, not on disk
      << "a path that cannot be opened has length -1";

  // A second save overwrites the record instead of adding one.
  Lists[0]->HintsShown = 1;
  SaveSettings(ini, TOptions{}, &game, &Root);
  TIniFile reread(IniPath());
  EXPECT_EQ(ReadHintsShownRecord(reread, game), "1,0,");
  EXPECT_EQ(LinesOf(ReadAll(IniPath()))[1], key + "=1,0,");

  // Once the file's length changes it is another file: nothing remembered.
  {
    std::ofstream(game, std::ios::binary | std::ios::app) << "more";
  }
  EXPECT_EQ(ReadHintsShownRecord(ini, game), "");
}

// A file opened and read without revealing anything leaves no record, and
// takes away the one it had: a line of "0," per hint list says nothing.
TEST_F(HintsShownRecordTest, ARecordOfNothingRevealedIsNotKept) {
  const std::string game = Dir.Write("GAME.ZEB", "hints");
  Dir.Write("ZEBWIN.INI", "[Memory]\r\n" + MemoryKey(game, 5) + "=2,1,\r\n/other.zeb.9=1,\r\n");
  for (TMetaTextHunk* list : Lists) list->HintsShown = 0;
  TIniFile ini(IniPath());
  ASSERT_TRUE(SaveSettings(ini, TOptions{}, &game, &Root));
  const std::string text = ReadAll(IniPath());
  EXPECT_EQ(text.find(MemoryKey(game, 5)), std::string::npos) << text;
  EXPECT_NE(text.find("/other.zeb.9=1,\r\n"), std::string::npos) << "other files keep theirs";
  EXPECT_EQ(ReadHintsShownRecord(ini, game), "");
}

TEST_F(HintsShownRecordTest, NoFileOpenWritesNoMemoryEntry) {
  TIniFile ini(IniPath());
  SaveSettings(ini, TOptions{}, nullptr, nullptr);
  EXPECT_EQ(ReadAll(IniPath()).find("Memory]"), std::string::npos);
  EXPECT_EQ(ReadAll(IniPath()).find("[memory"), std::string::npos);

  // Records of other files already in the file are kept.
  Dir.Write("ZEBWIN.INI", "[Memory]\r\n/old/game.zeb.10=3,\r\n");
  TIniFile again(IniPath());
  SaveSettings(again, TOptions{}, nullptr, nullptr);
  const std::vector<std::string> lines = LinesOf(ReadAll(IniPath()));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "[Memory]");
  EXPECT_EQ(lines[1], "/old/game.zeb.10=3,");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "[ZEBWIN]"), lines.end());
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "[Memory]"), 1);
}

TEST_F(HintsShownRecordTest, MissingFileIsRecordedUnderLengthMinusOne) {
  // A long path too: the key has no length limit.
  const std::string missing = (Dir.Path() / "Gone").string() + "/" + std::string(3000, 'Q') + ".ZEB";
  TIniFile ini(IniPath());
  SaveSettings(ini, TOptions{}, &missing, &Root);
  const std::string key = MemoryKey(missing, -1);
  EXPECT_EQ(key.substr(key.size() - 10), "QQQ.ZEB.-1");
  EXPECT_GT(key.size(), 3000u);
  EXPECT_NE(ReadAll(IniPath()).find("\r\n" + key + "=2,0,\r\n"), std::string::npos);
  EXPECT_EQ(ReadHintsShownRecord(ini, missing), "2,0,");
}

// Two files whose names differ only in letter case keep a record each, and
// a record of any length is read back whole; one too long to read whole is
// not read at all.
TEST_F(HintsShownRecordTest, RecordsAreKeptPerExactPathAndReadWhole) {
  const std::string upper = Dir.Write("A.ZEB", std::string(100, 'a'));
  const std::string lower = Dir.Write("a.zeb", std::string(100, 'b'));
  TIniFile ini(IniPath());
  SaveSettings(ini, TOptions{}, &upper, &Root);  // "2,0,"
  Lists[0]->HintsShown = 1;
  SaveSettings(ini, TOptions{}, &lower, &Root);  // "1,0,"
  EXPECT_EQ(ReadHintsShownRecord(ini, upper), "2,0,");
  EXPECT_EQ(ReadHintsShownRecord(ini, lower), "1,0,");

  // The record of a file of 65,000 hint lists, far past 2,047 characters.
  std::string record;
  for (int i = 0; i < 65000; ++i) record += std::to_string(i % 4) + ",";
  ASSERT_EQ(record.size(), 130000u);
  ASSERT_TRUE(ini.WriteIniString(MemorySection, MemoryKey(upper, 100), record, TKeyMatch::Exact));
  EXPECT_EQ(ReadHintsShownRecord(ini, upper), record);
  EXPECT_EQ(ini.ReadIniString(MemorySection, MemoryKey(upper, 100), "").size(), TIniFile::MaxValueLength)
      << "other values keep the cut";
  EXPECT_EQ(ReadHintsShownRecord(ini, lower), "1,0,");

  EXPECT_EQ(ini.ReadWholeValue(MemorySection, MemoryKey(upper, 100), TKeyMatch::Exact, record.size() - 1),
            std::nullopt)
      << "a value longer than the limit is not read in part";
  EXPECT_EQ(ini.ReadWholeValue(MemorySection, MemoryKey(upper, 100), TKeyMatch::Exact, record.size()), record);
}

// Paths holding "=", a line feed or other characters a settings line cannot
// carry as they are: each record is found again, a save replaces it instead
// of adding a line, and nothing breaks the file's lines.
TEST_F(HintsShownRecordTest, EveryPathKeepsOneRecordThatReadsBack) {
  const std::string names[] = {"a=b.ZEB", "line\nfeed.ZEB", "cr\rturn.ZEB", "100%.ZEB", "[bracket].ZEB",
                               "trailing .ZEB", "=.ZEB"};
  TIniFile ini(IniPath());
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string path = Dir.Write(name, "hints");
    Lists[0]->HintsShown = 1;
    ASSERT_TRUE(SaveSettings(ini, TOptions{}, &path, &Root));
    Lists[0]->HintsShown = 2;
    ASSERT_TRUE(SaveSettings(ini, TOptions{}, &path, &Root));
    EXPECT_EQ(ReadHintsShownRecord(ini, path), "2,0,");
  }
  const std::vector<std::string> lines = LinesOf(ReadAll(IniPath()));
  // One section header, one line per file, then the settings.
  const auto settings = std::find(lines.begin(), lines.end(), "[ZEBWIN]");
  ASSERT_NE(settings, lines.end());
  EXPECT_EQ(lines.front(), "[Memory]");
  EXPECT_EQ(settings - lines.begin() - 1, static_cast<long>(std::size(names)) + 1)
      << "a record per file, and the blank line before the next section";
  for (auto line = lines.begin() + 1; line != settings - 1; ++line) EXPECT_NE(line->find("=2,0,"), std::string::npos) << *line;
}

// A record saved under a key's plain text before keys were escaped is read,
// and the next save moves it to the escaped key.
TEST_F(HintsShownRecordTest, ARecordUnderTheOldKeyIsFoundAndMoved) {
  const std::string path = Dir.Write("100% Walkthrough.ZEB", "hints");
  const std::string plain = path + ".5";
  Dir.Write("ZEBWIN.INI", "[Memory]\r\n" + plain + "=3,1,\r\n");
  TIniFile ini(IniPath());
  EXPECT_EQ(ReadHintsShownRecord(ini, path), "3,1,");
  ASSERT_TRUE(SaveSettings(ini, TOptions{}, &path, &Root));
  const std::string text = ReadAll(IniPath());
  EXPECT_EQ(text.find(plain + "="), std::string::npos) << text;
  EXPECT_NE(text.find(MemoryKey(path, 5) + "=2,0,\r\n"), std::string::npos) << text;
  EXPECT_EQ(ReadHintsShownRecord(ini, path), "2,0,");
}

// Closing the reader on a full disk: the settings file keeps what it held,
// whether the write fails on the way or at its last flush, and the save
// says it failed.
TEST_F(HintsShownRecordTest, AFullDiskKeepsTheSettingsFileWhole) {
  TSmallDisk disk;
  SCOPED_TRACE(disk.Kind());
  const std::string iniPath = (disk.Path() / "ZEBWIN.INI").string();
  const std::string game = (disk.Path() / "GAME.ZEB").string();
  { std::ofstream(game) << "hints"; }
  TOptions options;
  options.MainFont = {"Times New Roman", 12, true, true};
  options.UpdateServer = "hints.example.org";
  {
    TIniFile ini(iniPath);
    ASSERT_TRUE(SaveSettings(ini, options, &game, &Root));
  }
  const std::string before = ReadAll(iniPath);
  for (const std::size_t news : {std::size_t{0}, std::size_t{300000}}) {
    SCOPED_TRACE(news);
    options.LastUpdateMessage = std::string(news, 'n');
    TIniFile ini(iniPath);
    disk.LeaveRoom(0);
    const bool saved = SaveSettings(ini, options, &game, &Root);
    disk.EndLimit();
    EXPECT_FALSE(saved);
    EXPECT_TRUE(ini.LastError().find("No space left on device") != std::string::npos ||
                ini.LastError().find("File too large") != std::string::npos)
        << ini.LastError();
    EXPECT_EQ(ReadAll(iniPath), before);
    EXPECT_EQ(FolderNames(disk.Path()), (std::vector<std::string>{"GAME.ZEB", "ZEBWIN.INI"}));
  }
}

}  // namespace
