// zebtool decode, search and build, run as the real program on a small
// compiled source.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "support/fixtures.h"
#include "support/pdftext.h"
#include "tools/zebtoolrun.h"

namespace {

constexpr const char* CastleSource =
    "@subject Castle\n"
    "@subject Outside\n"
    "@hint How do I cross the moat?\n"
    "Find a barrel.\n"
    "-\n"
    "Ride the barrel across the moat.\n"
    "@end\n"
    "@end\n"
    "@comment Moat notes\n"
    "Short.\n"
    "@end\n"
    "@end\n";

const std::string CastleText =
    "ZEB: Hints for Castle\r\n\r\n\r\n"
    "1. Outside\r\n"
    "\r\n\r\n1.1. How do I cross the moat?\r\n\r\n"
    "* Find a barrel.\r\n"
    "* Ride the barrel across the moat. \r\n"
    "\r\n\r\n2. Moat notes\r\n\r\n"
    "Short.\r\n";

class ZebtoolCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    Tool = ZebtoolPath();
    ASSERT_FALSE(Tool.empty()) << "zebtool not found: set ZEBTOOL to its path";
    const std::string source = Dir.Write("castle.zebsrc", CastleSource);
    HintFile = (Dir.Path() / "CASTLE.ZEB").string();
    const TRun build = Run("build " + Quote(source) + " -o " + Quote(HintFile));
    ASSERT_EQ(build.Status, 0) << build.Err;
  }

  // Runs zebtool with the arguments (already quoted) and collects its output.
  TRun Run(const std::string& arguments, const std::string& prefix = "") const {
    return RunTool(Tool, arguments, Dir.Path(), prefix);
  }

  TTempDir Dir;
  std::string Tool;
  std::string HintFile;
};

TEST_F(ZebtoolCommands, DecodeWritesTheTextToStandardOutput) {
  const TRun run = Run("decode " + Quote(HintFile));
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out, CastleText);
  EXPECT_EQ(run.Err, "");
}

TEST_F(ZebtoolCommands, DecodeToAFileReplacesItsContent) {
  const std::string target = Dir.Write("CASTLE.TXT", std::string(4000, 'x'));  // longer than the text
  for (int round = 0; round < 2; ++round) {
    const TRun run = Run("decode " + Quote(HintFile) + " -o " + Quote(target));
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(ReadFile(target), CastleText) << "round " << round;
  }
}

// The page goes to standard output or, whole, to the file; hints are not
// readable in its bytes, titles are.
TEST_F(ZebtoolCommands, HtmlWritesOnePageToStandardOutputOrAFile) {
  const TRun toOutput = Run("html " + Quote(HintFile));
  EXPECT_EQ(toOutput.Status, 0) << toOutput.Err;
  EXPECT_EQ(toOutput.Out.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(toOutput.Out.find("How do I cross the moat?"), std::string::npos);
  for (const char* hint : {"Find a barrel.", "Ride the barrel", "barrel"})
    EXPECT_EQ(toOutput.Out.find(hint), std::string::npos) << hint;

  const std::string target = Dir.Write("CASTLE.html", std::string(100000, 'x'));
  const TRun toFile = Run("html " + Quote(HintFile) + " -o " + Quote(target));
  EXPECT_EQ(toFile.Status, 0) << toFile.Err;
  EXPECT_EQ(toFile.Out, "");
  EXPECT_EQ(ReadFile(target), toOutput.Out);
}

TEST_F(ZebtoolCommands, HtmlFailuresExitWithTheirCodes) {
  const std::string missingFolder = (Dir.Path() / "missing" / "out.html").string();
  const TRun cannotWrite = Run("html " + Quote(HintFile) + " -o " + Quote(missingFolder));
  EXPECT_EQ(cannotWrite.Status, 73);
  EXPECT_NE(cannotWrite.Err.find(missingFolder), std::string::npos) << cannotWrite.Err;
  EXPECT_FALSE(std::filesystem::exists(missingFolder));
  for (const std::string& args : std::vector<std::string>{"html", "html -o", "html a.zeb b.zeb", "html " + Quote(HintFile) + " -o"}) {
    const TRun run = Run(args);
    EXPECT_EQ(run.Status, 64) << args;
    EXPECT_EQ(run.Out, "") << args;
  }
}

// An output that is the input file itself, however it is named, is refused
// before anything is written, and the hint file keeps its bytes.
TEST_F(ZebtoolCommands, AnOutputThatIsTheInputIsRefused) {
  namespace fs = std::filesystem;
  const std::string original = ReadFile(HintFile);
  const fs::path hardLink = Dir.Path() / "hard.html";
  fs::create_hard_link(HintFile, hardLink);
  const fs::path symbolicLink = Dir.Path() / "link.txt";
  fs::create_symlink("CASTLE.ZEB", symbolicLink);
  const std::string otherSpelling = (Dir.Path() / "." / "CASTLE.ZEB").string();
  for (const std::string command : {"html", "decode", "print"}) {
    for (const std::string& output : {HintFile, otherSpelling, hardLink.string(), symbolicLink.string()}) {
      SCOPED_TRACE(command + " -o " + output);
      const TRun run = Run(command + " " + Quote(HintFile) + " -o " + Quote(output));
      EXPECT_EQ(run.Status, 73);
      EXPECT_EQ(run.Err, "zebtool: will not write " + output + ": it is the input file " + HintFile + "\n");
      EXPECT_EQ(ReadFile(HintFile), original);
    }
  }
  // build's input is its source.
  const std::string source = (Dir.Path() / "castle.zebsrc").string();
  const TRun build = Run("build " + Quote(source) + " -o " + Quote(source));
  EXPECT_EQ(build.Status, 73);
  EXPECT_EQ(ReadFile(source), CastleSource);
  // A copy is another file.
  const std::string copy = (Dir.Path() / "copy.zeb").string();
  fs::copy_file(HintFile, copy);
  EXPECT_EQ(Run("decode " + Quote(HintFile) + " -o " + Quote(copy)).Status, 0);
  EXPECT_EQ(ReadFile(copy), CastleText);
}

// A folder that cannot be listed is an error with the system's reason, not
// a folder without hint files: one that is not there, one under a file,
// and one closed to the user.
TEST_F(ZebtoolCommands, AFolderThatCannotBeListedIsAnError) {
  namespace fs = std::filesystem;
  const std::string missing = (Dir.Path() / "missing").string();
  const std::string underFile = HintFile + "/folder";
  for (const auto& [folder, reason] : {std::pair{missing, "No such file or directory"},
                                       std::pair{underFile, "Not a directory"}}) {
    SCOPED_TRACE(folder);
    const TRun run = Run("titles " + Quote(folder));
    EXPECT_EQ(run.Status, 66);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "zebtool: cannot read folder " + folder + ": " + reason + "\n");
  }

  const std::optional<std::string> otherUser = UserWithoutRootsRights();
  if (!otherUser) GTEST_SKIP() << "cannot run zebtool as a user without root's rights";
  TTempDir home;
  TTempDir parent;
  const fs::path closed = parent.Path() / "closed";
  fs::create_directory(closed);
  fs::copy_file(HintFile, closed / "CASTLE.ZEB");
  fs::permissions(closed, fs::perms::none);
  for (const std::string arguments : {"titles " + Quote(closed.string()), "search " + Quote(closed.string()) + " moat"}) {
    SCOPED_TRACE(arguments);
    const TRun run = Run(arguments, *otherUser + "env ZEBWIN_HOME=" + Quote(home.Path().string()) + " ");
    EXPECT_EQ(run.Status, 66);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "zebtool: cannot read folder " + closed.string() + ": Permission denied\n");
  }
  fs::permissions(closed, fs::perms::owner_all);
}

TEST_F(ZebtoolCommands, SearchPrintsOneLinePerRow) {
  const struct {
    const char* Phrase;
    const char* Expected;
  } cases[] = {
      // The root holds the title "Moat notes": an empty first line.
      {"moat", "\nOutside\nOutside : How do I cross the moat?\n"},
      {"MOAT", "\nOutside\nOutside : How do I cross the moat?\n"},
      {"barrel", "Outside : How do I cross the moat?\n"},
      {"Short.", "Moat notes\n"},
      {"dragon", ""},
  };
  for (const auto& c : cases) {
    const TRun run = Run("search " + Quote(HintFile) + " " + Quote(c.Phrase));
    EXPECT_EQ(run.Status, 0) << c.Phrase << ": " << run.Err;
    EXPECT_EQ(run.Out, c.Expected) << c.Phrase;
  }
}

// A folder: every hint file in it, by name, one line per row with the file
// name first; files that do not load are named on the error stream and
// skipped; other files and folders are left alone.
TEST_F(ZebtoolCommands, SearchOfAFolderListsTheRowsOfEveryFile) {
  TTempDir folder;
  std::filesystem::copy_file(HintFile, folder.Path() / "castle.zeb");
  std::filesystem::copy_file(HintFile, folder.Path() / "B COPY.ZEB");
  folder.Write("DAMAGED.ZEB", "Just some text\r\n");
  folder.Write("notes.txt", "moat moat moat");
  std::filesystem::create_directory(folder.Path() / "inner.zeb");
  const TRun run = Run("search " + Quote(folder.Path().string()) + " moat");
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out,
            "B COPY.ZEB\t\nB COPY.ZEB\tOutside\nB COPY.ZEB\tOutside : How do I cross the moat?\n"
            "castle.zeb\t\ncastle.zeb\tOutside\ncastle.zeb\tOutside : How do I cross the moat?\n");
  EXPECT_NE(run.Err.find("DAMAGED.ZEB"), std::string::npos) << run.Err;
  EXPECT_EQ(run.Err.find("castle"), std::string::npos) << run.Err;

  const TRun none = Run("search " + Quote(folder.Path().string()) + " dragon");
  EXPECT_EQ(none.Status, 0);
  EXPECT_EQ(none.Out, "");
}

TEST_F(ZebtoolCommands, DamagedFilesExitWithTheLoadersCode) {
  THintFileWriter wrongSum;
  wrongSum.Hunks = {Subject("Castle", {Hint("Q", {"a"})})};
  wrongSum.Checksum = THintFileWriter::TChecksum::Wrong;
  const struct {
    const char* Name;
    std::string Path;
    int Code;
  } cases[] = {
      {"NotAHintFile", Dir.Write("text.zeb", "Just some text\r\n"), 1},
      {"WrongChecksum", Dir.Write("sum.zeb", wrongSum.Build()), 2},
      {"Missing", (Dir.Path() / "missing.zeb").string(), 5},
  };
  for (const auto& c : cases) {
    for (const std::string command : {"decode ", "search ", "html "}) {
      const std::string extra = command == "search " ? " moat" : "";
      const TRun run = Run(command + Quote(c.Path) + extra);
      EXPECT_EQ(run.Status, c.Code) << command << c.Name;
      EXPECT_EQ(run.Out, "") << command << c.Name;
      EXPECT_FALSE(run.Err.empty()) << command << c.Name;
    }
  }
}

TEST_F(ZebtoolCommands, BuildOfABadSourceNamesTheLine) {
  const std::string source = Dir.Write("bad.zebsrc", "@subject Castle\n@hint Q\n@subject Inner\n@end\n@end\n@end\n");
  const TRun run = Run("build " + Quote(source) + " -o " + Quote((Dir.Path() / "BAD.ZEB").string()));
  EXPECT_NE(run.Status, 0);
  EXPECT_NE(run.Err.find("line 3"), std::string::npos) << run.Err;
}

}  // namespace

// ---- zebtool print ------------------------------------------------------------------

namespace {

// Text with every run of white space made one space.
std::string Squeezed(const std::string& text) {
  std::string out;
  bool space = false;
  for (const char c : text) {
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f') {
      space = !out.empty();
      continue;
    }
    if (space) out += ' ';
    space = false;
    out += c;
  }
  return out;
}

}  // namespace

TEST_F(ZebtoolCommands, PrintWritesTheExampleAsAPdfHoldingEveryHint) {
  const std::string example = std::string(ZEB_BUILD_DIR) + "/examples/MOONFALL.ZEB";
  ASSERT_TRUE(std::filesystem::exists(example)) << example;
  const std::string pdfPath = (Dir.Path() / "moonfall.pdf").string();
  const TRun run = Run("print " + Quote(example) + " -o " + Quote(pdfPath));
  ASSERT_EQ(run.Status, 0) << run.Err;
  const int pages = pdf::PageCount(pdfPath);
  ASSERT_GE(pages, 2);
  const std::string printed = Squeezed(pdf::Run("pdftotext " + Quote(pdfPath) + " - 2>/dev/null"));
  EXPECT_NE(printed.find("ZEB: Hints for Moonfall"), std::string::npos);
  EXPECT_NE(printed.find("Page " + std::to_string(pages) + " of " + std::to_string(pages)), std::string::npos);

  // Every hint of the decoded text, by its first words (a printed line may
  // break anywhere after them).
  const TRun decoded = Run("decode " + Quote(example));
  ASSERT_EQ(decoded.Status, 0);
  std::istringstream lines(decoded.Out);
  std::string line;
  int hints = 0;
  while (std::getline(lines, line)) {
    if (line.rfind("* ", 0) != 0) continue;
    std::string words = Squeezed(line.substr(2));
    std::size_t cut = 0;
    for (int w = 0; w < 4 && cut != std::string::npos; ++w) cut = words.find(' ', cut + 1);
    if (cut != std::string::npos) words.resize(cut);
    ++hints;
    EXPECT_NE(printed.find(words), std::string::npos) << "hint not printed: " << words;
  }
  EXPECT_GT(hints, 10);

  // A page range: from page 2 on.
  const std::string tail = (Dir.Path() / "tail.pdf").string();
  ASSERT_EQ(Run("print " + Quote(example) + " -o " + Quote(tail) + " --pages 2-99").Status, 0);
  EXPECT_EQ(pdf::PageCount(tail), pages - 1);
}

TEST_F(ZebtoolCommands, PrintFailuresExitWithTheirCodes) {
  std::string damaged = ReadFile(HintFile);
  damaged[damaged.size() / 2] ^= 0x20;
  const std::string broken = Dir.Write("BROKEN.ZEB", damaged);
  const std::string pdfPath = (Dir.Path() / "out.pdf").string();
  struct TCase {
    std::string Arguments;
    int Status;
    std::string Message;
  };
  const TCase cases[] = {
      {"print " + Quote(broken) + " -o " + Quote(pdfPath), 2, "has been corrupted"},
      {"print " + Quote((Dir.Path() / "GONE.ZEB").string()) + " -o " + Quote(pdfPath), 5, "could not be opened"},
      {"print " + Quote(HintFile) + " -o " + Quote((Dir.Path() / "no" / "out.pdf").string()), 73, "cannot write"},
      {"print " + Quote(HintFile), 64, "-o OUT.pdf"},
      {"print " + Quote(HintFile) + " -o " + Quote(pdfPath) + " --pages 3", 64, "--pages"},
      {"print " + Quote(HintFile) + " -o " + Quote(pdfPath) + " --pages 5-2", 64, "--pages"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Arguments);
    const TRun run = Run(c.Arguments);
    EXPECT_EQ(run.Status, c.Status) << run.Err;
    EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
  }
  EXPECT_FALSE(std::filesystem::exists(pdfPath));
}

// zebtool runs the commands on hint files itself and hands the others to
// zebtool-full beside it, with the same arguments and exit status.
TEST_F(ZebtoolCommands, OtherCommandsRunInTheFullProgramWithTheirExitStatus) {
  const TRun summary = Run("summary " + Quote(HintFile));
  EXPECT_EQ(summary.Status, 0) << summary.Err;
  EXPECT_NE(summary.Out.find("\"title\":\"Castle\""), std::string::npos) << summary.Out;

  const TRun unknown = Run("frobnicate");
  EXPECT_EQ(unknown.Status, 64);
  EXPECT_NE(unknown.Err.find("unknown command \"frobnicate\""), std::string::npos) << unknown.Err;

  const TRun help = Run("--help");
  EXPECT_EQ(help.Status, 0);
  for (const char* command : {"build", "decode", "download", "print", "publish", "search", "summary", "verify"})
    EXPECT_NE(help.Out.find("  " + std::string(command) + " "), std::string::npos) << command;
}

TEST_F(ZebtoolCommands, WithoutTheFullProgramTheOtherCommandsFailClearly) {
  const std::filesystem::path alone = Dir.Path() / "alone";
  std::filesystem::create_directories(alone);
  std::filesystem::copy_file(Tool, alone / "zebtool");
  Tool = (alone / "zebtool").string();

  const TRun verify = Run("verify " + Quote(HintFile));
  EXPECT_EQ(verify.Status, 0) << verify.Err;
  EXPECT_EQ(verify.Out, "ok\n");

  const TRun summary = Run("summary " + Quote(HintFile));
  EXPECT_EQ(summary.Status, 69);
  EXPECT_NE(summary.Err.find("cannot run"), std::string::npos) << summary.Err;
  EXPECT_NE(summary.Err.find("zebtool-full"), std::string::npos) << summary.Err;
}
