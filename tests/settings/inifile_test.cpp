// The settings file: profile semantics (names without regard to case, values
// as text, reads cut to 2047 characters), preservation of everything a write
// does not touch, damaged content, and atomic replacement on disk.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "settings/inifile.h"
#include "support/fixtures.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

class IniFileTest : public ::testing::Test {
 protected:
  std::string IniPath() const { return (Dir.Path() / "ZEBWIN.INI").string(); }
  std::string Content() const { return ReadAll(IniPath()); }

  TTempDir Dir;
};

TEST_F(IniFileTest, SectionAndKeyNamesMatchWithoutRegardToCase) {
  Dir.Write("ZEBWIN.INI", "[ZebWin]\r\nMainFont=Arial,10,400,0\r\n[memory]\r\nc:\\hints\\game.zeb.950=2,0,\r\n");
  TIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadIniString("ZEBWIN", "MAINFONT", "x"), "Arial,10,400,0");
  EXPECT_EQ(ini.ReadIniString("zebwin", "mainfont", "x"), "Arial,10,400,0");
  EXPECT_EQ(ini.ReadIniString("Memory", "C:\\HINTS\\GAME.ZEB.950", "x"), "2,0,");

  // A write under another spelling replaces the entry instead of adding one.
  ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "mainFONT", "Times New Roman,12,700,1"));
  ASSERT_TRUE(ini.WriteIniString("MEMORY", "c:\\hints\\game.zeb.950", "3,"));
  const std::string text = Content();
  EXPECT_EQ(text.find("[ZEBWIN]"), std::string::npos) << text;
  EXPECT_EQ(text.find("[MEMORY]"), std::string::npos) << text;
  EXPECT_EQ(text.find("Arial"), std::string::npos) << text;
  EXPECT_EQ(text.find("2,0,"), std::string::npos) << text;
  EXPECT_EQ(ini.ReadIniString("ZebWin", "MainFont", "x"), "Times New Roman,12,700,1");
  EXPECT_EQ(ini.ReadIniString("memory", "c:\\hints\\game.zeb.950", "x"), "3,");
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheFallbackAndCreatesNothing) {
  TIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadIniString("ZEBWIN", "Counting", "On"), "On");
  EXPECT_FALSE(fs::exists(IniPath()));

  Dir.Write("ZEBWIN.INI", "[ZEBWIN]\r\nCounting=Off\r\n[MRU]\r\n");
  EXPECT_EQ(ini.ReadIniString("ZEBWIN", "Memory", "fallback"), "fallback");
  EXPECT_EQ(ini.ReadIniString("Other", "Counting", "fallback"), "fallback");
  EXPECT_EQ(ini.ReadIniString("MRU", "Counting", "fallback"), "fallback");  // keys belong to their section
  EXPECT_EQ(ini.ReadIniString("ZEBWIN", "Counting", "fallback"), "Off");
}

TEST_F(IniFileTest, ValuesKeepTheirText) {
  TIniFile ini(IniPath());
  const std::string values[] = {"0012", "", "a=b=c", "; not a comment", "[NotASection]", "C:\\Hints\\",
                                "\xE9t\xE9 \x80\xFF"};
  for (const std::string& value : values) {
    SCOPED_TRACE(value);
    ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Key", value));
    EXPECT_EQ(ini.ReadIniString("ZEBWIN", "Key", "fallback"), value);
    EXPECT_EQ(TIniFile(IniPath()).ReadIniString("ZEBWIN", "Key", "fallback"), value);
  }
  // A present but empty value is not a missing key.
  ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Empty", ""));
  EXPECT_EQ(TIniFile(IniPath()).ReadIniString("ZEBWIN", "Empty", "fallback"), "");
}

TEST_F(IniFileTest, ReadsAreCutTo2047Characters) {
  TIniFile ini(IniPath());
  const struct {
    std::size_t Stored, Read;
  } cases[] = {{2046, 2046}, {2047, 2047}, {2048, 2047}, {100000, 2047}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Stored);
    std::string value(c.Stored, 'v');
    value.front() = 'F';
    ASSERT_TRUE(ini.WriteIniString("Memory", "Key", value));
    const std::string read = TIniFile(IniPath()).ReadIniString("memory", "key", "");
    EXPECT_EQ(read, value.substr(0, c.Read));
    // The file itself keeps the whole value.
    EXPECT_NE(Content().find("Key=" + value + "\r\n"), std::string::npos);
  }
}

TEST_F(IniFileTest, FirstWriteCreatesFoldersFileAndSection) {
  const fs::path path = Dir.Path() / "config" / "zebwin" / "ZEBWIN.INI";
  TIniFile ini(path.string());
  ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Counting", "On"));
  EXPECT_EQ(ReadAll(path), "[ZEBWIN]\r\nCounting=On\r\n");
  ASSERT_TRUE(ini.WriteIniString("MRU", "MRU0", "/tmp/a.zeb"));
  ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Memory", "Off"));
  const std::string text = ReadAll(path);
  EXPECT_EQ(TIniFile(path.string()).ReadIniString("ZEBWIN", "Memory", ""), "Off");
  EXPECT_EQ(TIniFile(path.string()).ReadIniString("MRU", "MRU0", ""), "/tmp/a.zeb");
  // Memory joined the existing section, which still comes before MRU.
  EXPECT_LT(text.find("Memory=Off"), text.find("[MRU]")) << text;
  EXPECT_LT(text.find("Counting=On"), text.find("Memory=Off")) << text;
}

// Hand-edited content: comments, blank lines, unknown sections and keys.
const char* const HandEdited =
    "; settings of the reader\r\n"
    "\r\n"
    "[Extra]\r\n"
    "Unknown=kept as it is\r\n"
    "   odd spacing   =  yes  \r\n"
    "\r\n"
    "[ZEBWIN]\r\n"
    "; the fonts\r\n"
    "MainFont=Arial,10,400,0\r\n"
    "Counting=On\r\n"
    "\r\n"
    "[MRU]\r\n"
    "MRU0=/tmp/a.zeb\r\n";

// One reading for a whole section answers every key as a read of each
// would: names without regard to case, the first of a name, values cut.
TEST_F(IniFileTest, ASectionReadOnceAnswersLikeSingleReads) {
  Dir.Write("ZEBWIN.INI", std::string(HandEdited) + "[zebwin]\r\nLong=" + std::string(3000, 'L') +
                              "\r\n[ZEBWIN]\r\ncounting=Off\r\nMemory=On\r\n");
  TIniFile ini(IniPath());
  const TIniValues values = ini.ReadIniStrings("ZEBWIN");
  for (const char* key : {"MainFont", "COUNTING", "Memory", "Long", "Missing"}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(values.Get(key, "fallback"), ini.ReadIniString("ZEBWIN", key, "fallback"));
  }
  EXPECT_EQ(values.Get("counting", ""), "On") << "the first section of the name, its first line";
  EXPECT_EQ(values.Get("Memory", "fallback"), "fallback") << "later sections of the same name are not read";
  EXPECT_EQ(ini.ReadIniStrings("Nowhere").Get("MainFont", "none"), "none");
}

TEST_F(IniFileTest, ChangingOneKeyLeavesEveryOtherByteAlone) {
  Dir.Write("ZEBWIN.INI", HandEdited);
  TIniFile ini(IniPath());
  ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Counting", "Off"));
  std::string expected = HandEdited;
  expected.replace(expected.find("Counting=On"), 11, "Counting=Off");
  EXPECT_EQ(Content(), expected);
}

// A file edited by hand with line feeds alone keeps them on the lines a write
// does not touch.
TEST_F(IniFileTest, UntouchedLinesKeepTheirLineEnds) {
  Dir.Write("ZEBWIN.INI", "; edited by hand\n[ZEBWIN]\nCounting=On\nMemory=On\n[MRU]\r\nMRU0=/tmp/a.zeb\n");
  TIniFile ini(IniPath());
  ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Counting", "Off"));
  const std::string text = Content();
  EXPECT_EQ(text.substr(0, 26), "; edited by hand\n[ZEBWIN]\n") << text;
  EXPECT_NE(text.find("Counting=Off"), std::string::npos) << text;
  EXPECT_NE(text.find("\nMemory=On\n[MRU]\r\nMRU0=/tmp/a.zeb\n"), std::string::npos) << text;
}

TEST_F(IniFileTest, NewKeyLandsAtTheEndOfItsSection) {
  Dir.Write("ZEBWIN.INI", HandEdited);
  TIniFile ini(IniPath());
  ASSERT_TRUE(ini.WriteIniString("zebwin", "Memory", "On"));
  ASSERT_TRUE(ini.WriteIniString("MRU", "MRU1", "/tmp/b.zeb"));
  ASSERT_TRUE(ini.WriteIniString("Memory", "/tmp/a.zeb.950", "1,"));
  std::string expected = HandEdited;
  expected.insert(expected.find("Counting=On\r\n") + 13, "Memory=On\r\n");
  expected += "MRU1=/tmp/b.zeb\r\n";
  const std::string text = Content();
  ASSERT_EQ(text.substr(0, expected.size()), expected);
  // A new section goes after all the others.
  EXPECT_NE(text.find("[Memory]\r\n/tmp/a.zeb.950=1,\r\n", expected.size()), std::string::npos) << text;
  EXPECT_EQ(TIniFile(IniPath()).ReadIniString("MEMORY", "/tmp/a.zeb.950", ""), "1,");
}

TEST_F(IniFileTest, DamagedContentNeverCrashesAndIsKept) {
  std::string garbage = "\x01\x02\xFF\xFE garbage without equals\r\n";
  garbage += std::string("\0\0\0=\0", 5) + "\r\n";
  garbage += "[unclosed section\r\n";
  garbage += "]=[\r\n";
  garbage += "=value without key\r\n";
  garbage += std::string(200000, 'x') + "\r\n";
  garbage += "[ZEBWIN]\r\n";
  garbage += "no equals sign here\r\n";
  garbage += "Long=" + std::string(300000, 'L') + "\r\n";
  garbage += "Counting=On\r\n";
  garbage += "lone\rcarriage return\r\n";
  garbage += std::string("Binary=a\0b\x1A", 11) + "\r\n";
  Dir.Write("ZEBWIN.INI", garbage);

  TIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadIniString("ZEBWIN", "Counting", "x"), "On");
  EXPECT_EQ(ini.ReadIniString("ZEBWIN", "Long", "x"), std::string(2047, 'L'));
  EXPECT_EQ(ini.ReadIniString("ZEBWIN", "Binary", "x"), std::string("a\0b\x1A", 4));
  EXPECT_EQ(ini.ReadIniString("ZEBWIN", "no equals sign here", "x"), "x");
  EXPECT_EQ(ini.ReadIniString("unclosed section", "x", "fallback"), "fallback");

  ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Counting", "Off"));
  std::string expected = garbage;
  expected.replace(expected.find("Counting=On"), 11, "Counting=Off");
  EXPECT_TRUE(Content() == expected) << "the damaged lines were not kept byte for byte";
}

TEST_F(IniFileTest, BinaryFileWithoutLinesReadsAsMissing) {
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919) % 256 == '\n' ? 0 : (i * 7919) % 256);
  Dir.Write("ZEBWIN.INI", binary);
  TIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadIniString("ZEBWIN", "Counting", "fallback"), "fallback");
  ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Counting", "On"));
  EXPECT_EQ(TIniFile(IniPath()).ReadIniString("ZEBWIN", "Counting", ""), "On");
  EXPECT_EQ(Content().substr(0, binary.size()), binary);
}

TEST_F(IniFileTest, WriteReplacesTheFileAndLeavesNoTemporaryFile) {
  TIniFile ini(IniPath());
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Key" + std::to_string(i), "value"));
  EXPECT_EQ(FolderEntries(Dir.Path()), std::vector<std::string>{"ZEBWIN.INI"});
}

TEST_F(IniFileTest, UnwritablePathsFailCleanly) {
  // The parent "folder" is a regular file.
  const std::string blocker = Dir.Write("blocker", "not a folder");
  TIniFile underFile(blocker + "/ZEBWIN.INI");
  EXPECT_FALSE(underFile.WriteIniString("ZEBWIN", "Counting", "On"));
  EXPECT_EQ(underFile.ReadIniString("ZEBWIN", "Counting", "fallback"), "fallback");
  EXPECT_EQ(ReadAll(blocker), "not a folder");

  // The settings path is a folder.
  fs::create_directories(Dir.Path() / "ZEBWIN.INI" / "inside");
  TIniFile onFolder(IniPath());
  EXPECT_FALSE(onFolder.WriteIniString("ZEBWIN", "Counting", "On"));
  EXPECT_EQ(onFolder.ReadIniString("ZEBWIN", "Counting", "fallback"), "fallback");
  EXPECT_TRUE(fs::is_directory(Dir.Path() / "ZEBWIN.INI" / "inside"));
  std::vector<std::string> entries = FolderEntries(Dir.Path());
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"ZEBWIN.INI", "blocker"}));
}

// A full disk, made with a file-size limit: the old file must stay whole.
TEST_F(IniFileTest, FailedWriteLeavesTheOldFileWhole) {
  const std::string old = "[ZEBWIN]\r\nCounting=On\r\nMainFont=Arial,10,400,0\r\n";
  Dir.Write("ZEBWIN.INI", old);
  TIniFile ini(IniPath());
  ASSERT_EQ(ini.ReadIniString("ZEBWIN", "Counting", ""), "On");

  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = ini.WriteIniString("ZEBWIN", "LastUpdateMessage", std::string(100000, 'n'));
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(Content(), old);
  EXPECT_EQ(FolderEntries(Dir.Path()), std::vector<std::string>{"ZEBWIN.INI"});
  // What the failed write held in memory is not taken for the file's content.
  EXPECT_EQ(ini.ReadIniString("ZEBWIN", "LastUpdateMessage", "none"), "none");
  ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Counting", "Off"));
  EXPECT_EQ(Content(), "[ZEBWIN]\r\nCounting=Off\r\nMainFont=Arial,10,400,0\r\n");
}

TEST_F(IniFileTest, ChangesByAnotherWriterAreSeenByTheNextRead) {
  Dir.Write("ZEBWIN.INI", "[ZEBWIN]\r\nCounting=On\r\nMemory=On\r\n");
  TIniFile ini(IniPath());
  TIniFile other(IniPath());
  // Same-size rewrites right after a read: a check of size and time alone may miss them.
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    const std::string value = std::to_string(10 + i);
    Dir.Write("ZEBWIN.INI", "[ZEBWIN]\r\nCounting=" + value + "\r\nMemory=On\r\n");
    ASSERT_EQ(ini.ReadIniString("ZEBWIN", "Counting", ""), value);
    ASSERT_TRUE(other.WriteIniString("ZEBWIN", "Memory", i % 2 == 0 ? "No" : "On"));
    ASSERT_EQ(ini.ReadIniString("ZEBWIN", "Memory", ""), i % 2 == 0 ? "No" : "On");
  }
  // A write through a stale reader keeps the other writer's change.
  ASSERT_EQ(ini.ReadIniString("ZEBWIN", "Counting", ""), "29");
  ASSERT_TRUE(other.WriteIniString("ZEBWIN", "Counting", "77"));
  ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Memory", "Off"));
  EXPECT_EQ(Content(), "[ZEBWIN]\r\nCounting=77\r\nMemory=Off\r\n");

  // A file removed by someone else reads as missing.
  fs::remove(IniPath());
  EXPECT_EQ(ini.ReadIniString("ZEBWIN", "Counting", "gone"), "gone");
}

}  // namespace
