// zebtool on files that are no fair hint files: gigabytes without a line
// feed, hints nested too deep, a FIFO where a listed hint file was. Every
// command ends soon, in little memory, and says what is wrong.

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "authoring/encoders.h"
#include "authoring/hintwriter.h"
#include "model/checksum.h"
#include "support/fifo.h"
#include "support/fixtures.h"

namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct TRun {
  int Status = -1;
  double Seconds = 0;
  long PeakKB = 0;  // the largest resident set of the run
  std::string Out;
  std::string Err;
};

// The text part of a newer file up to its end marker.
std::string HeadOfNewerFile() {
  THintFileWriter w;
  w.EndOfTextByte = false;
  w.Checksum = THintFileWriter::TChecksum::None;
  return w.Build();
}

class ZebtoolHostileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* tool = std::getenv("ZEBTOOL"); tool != nullptr && *tool != '\0') {
      Tool = tool;
    } else {
      const fs::path self = fs::read_symlink("/proc/self/exe");
      Tool = (self.parent_path().parent_path() / "src" / "tools" / "zebtool").string();
    }
    ASSERT_TRUE(fs::exists(Tool)) << "zebtool not found: set ZEBTOOL to its path";
  }

  // Runs zebtool with the arguments (already quoted), stopped after 60 s,
  // and checks that it stayed within 1.5 GB of resident memory. The peak is
  // measured rather than capped with ulimit -v, which a build with
  // AddressSanitizer (reserving terabytes of address space) cannot start under.
  TRun Run(const std::string& arguments) const {
    const std::string out = (Dir.Path() / "stdout").string();
    const std::string err = (Dir.Path() / "stderr").string();
    const std::string peak = (Dir.Path() / "peak").string();
    const std::string command = "export ZEBWIN_HOME=" + Quote((Dir.Path() / "home").string()) +
                                "; exec /usr/bin/time -f %M -o " + Quote(peak) + " timeout -s KILL 60 " +
                                Quote(Tool) + " " + arguments + " >" + Quote(out) + " 2>" + Quote(err) +
                                " </dev/null";
    const auto start = std::chrono::steady_clock::now();
    const int raw = std::system(("bash -c " + Quote(command)).c_str());
    TRun run;
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.Status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.Out = ReadFile(out);
    run.Err = ReadFile(err);
    // time writes a line of its own before the figure when the run was killed.
    const std::string figures = ReadFile(peak);
    const std::size_t last = figures.find_last_not_of('\n');
    const std::size_t from = last == std::string::npos ? 0 : figures.find_last_of('\n', last);
    run.PeakKB = std::atol(figures.c_str() + (from == std::string::npos ? 0 : from + 1));
    EXPECT_GT(run.PeakKB, 0) << "no peak measured: " << figures;
    EXPECT_LT(run.PeakKB, 1500000) << arguments;
    return run;
  }

  TTempDir Dir;
  std::string Tool;
};

}  // namespace

// A hint file whose newer section runs into 4 GB without a line feed (a
// sparse file: no disk is used), beside a good one.
TEST_F(ZebtoolHostileFiles, GigabytesWithoutALineFeedEndEveryCommandSoon) {
  const fs::path folder = Dir.Path() / "hints";
  fs::create_directories(folder);
  THintFileWriter good;
  good.Hunks = {Subject("Castle", {Hint("Where is the moat?", {"North."})})};
  good.LowerCaseKeywords = true;
  good.Save((folder / "GOOD.ZEB").string());
  const fs::path huge = folder / "HUGE.ZEB";
  {
    std::ofstream out(huge, std::ios::binary);
    out << HeadOfNewerFile() << "5 subject\r\nHuge\r\n3 hint\r\nmoat\r\n";
  }
  fs::resize_file(huge, std::uintmax_t{4} << 30);
  const std::string damaged = "a line of its text is longer than 10,239 characters.";
  const struct {
    const char* What;
    std::string Arguments;
    int Status;
    const char* Out;  // found in the output
    std::string Err;  // found in the errors
  } cases[] = {
      {"verify", "verify " + Quote(huge.string()), 2, "", damaged},
      {"html", "html " + Quote(huge.string()), 2, "", damaged},
      {"search", "search " + Quote(huge.string()) + " moat", 2, "", damaged},
      {"summary", "summary " + Quote(huge.string()), 0, "HUGE.ZEB", ""},
      {"titles", "titles " + Quote(folder.string()), 0, "Castle", ""},
      {"search DIR", "search " + Quote(folder.string()) + " moat", 0, "GOOD.ZEB\t",
       "skipped HUGE.ZEB: The hint file you have tried to open is damaged: " + damaged},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    const TRun run = Run(c.Arguments);
    EXPECT_EQ(run.Status, c.Status) << run.Err;
    EXPECT_NE(run.Out.find(c.Out), std::string::npos) << run.Out;
    EXPECT_NE(run.Err.find(c.Err), std::string::npos) << run.Err;
    EXPECT_LT(run.Seconds, 15.0);
  }
}

// Hints nested deeper than 255 levels: not "ok", but a damaged file.
TEST_F(ZebtoolHostileFiles, HintsNestedTooDeepAreADamagedFile) {
  for (const int levels : {255, 256}) {
    std::string text = HeadOfNewerFile();
    for (int depth = 0; depth < levels; ++depth)
      text += std::to_string(3 + 2 * (levels - depth)) + " SUBJECT\r\nLevel\r\n";
    text += "3 HINT\r\nDeepest question\r\n" + Encode88a("Deepest answer") + "\r\n\x1a";
    const std::uint16_t sum = HintChecksum(text);
    text += static_cast<char>(sum & 0xFF);
    text += static_cast<char>(sum >> 8);
    const std::string path = Dir.Write("DEEP.ZEB", text);
    const TRun verify = Run("verify " + Quote(path));
    const TRun decode = Run("decode " + Quote(path));
    SCOPED_TRACE(levels);
    if (levels == 255) {
      EXPECT_EQ(verify.Out, "ok\n");
      EXPECT_NE(decode.Out.find("Deepest answer"), std::string::npos);
    } else {
      EXPECT_EQ(verify.Status, 2);
      EXPECT_EQ(verify.Out, "");
      EXPECT_EQ(verify.Err,
                "The hint file you have tried to open is damaged: its hints are nested more than 255 levels deep.\n");
      EXPECT_EQ(decode.Status, 2);
    }
  }
}

// The search of a folder lists it, then loads its files in name order. A
// FIFO put in the last file's place once the first file is opened (the
// listing is over then) is passed over as a file that cannot be opened.
// The swap races the loads, so a run in which the last file was loaded
// before it is repeated.
TEST_F(ZebtoolHostileFiles, SearchOfAFolderPassesOverAFifoSwappedInAfterTheListing) {
  const fs::path folder = Dir.Path() / "many";
  fs::create_directories(folder);
  THintFileWriter writer;
  std::vector<TWHunkPtr> questions;
  for (int q = 0; q < 2000; ++q) questions.push_back(Hint("Question " + std::to_string(q), {"An answer"}));
  writer.Hunks = {Subject("Castle", questions)};
  const std::string bytes = writer.Build();
  constexpr int Files = 300;
  const auto name = [](int i) {
    char text[16];
    std::snprintf(text, sizeof text, "F%03d.ZEB", i);
    return std::string(text);
  };
  bool swappedInTime = false;
  for (int attempt = 0; attempt < 5 && !swappedInTime; ++attempt) {
    for (int i = 0; i < Files; ++i) {
      std::ofstream out(folder / name(i), std::ios::binary | std::ios::trunc);
      out << bytes;
    }
    const fs::path last = folder / name(Files - 1);
    const fs::path fifo = Dir.Path() / "pipe";
    fs::remove(fifo);
    ASSERT_TRUE(MakeFifo(fifo));
    const int watch = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, (folder / name(0)).c_str(), IN_OPEN), 0);
    TRun run;
    const bool prompt = ReturnsPromptly(
        [&] {
          std::thread swapper([&] {
            char event[sizeof(inotify_event) + 256];
            if (read(watch, event, sizeof event) > 0) fs::rename(fifo, last);
          });
          run = Run("search " + Quote(folder.string()) + " answer");
          // Frees the swapper should the program not have opened the file.
          std::ifstream(folder / name(0)).close();
          swapper.join();
        },
        {last.string()}, std::chrono::seconds(90));
    close(watch);
    ASSERT_TRUE(prompt);
    ASSERT_EQ(run.Status, 0) << run.Err;
    swappedInTime = run.Out.find(name(Files - 1)) == std::string::npos;
    if (swappedInTime)
      EXPECT_NE(run.Err.find("skipped " + name(Files - 1) + ": " + last.string() + " could not be opened"),
                std::string::npos)
          << run.Err;
    fs::remove(last);
  }
  EXPECT_TRUE(swappedInTime) << "the FIFO never came in before the last file was searched";
}
