// Opening large hint files in the reader, as a user does: the time from
// asking for a file to its painted root window, and the same for a second
// file opened after it (the first file's tree is freed on the way). Each run
// of this program is a fresh process, so the first open meets fresh memory.
//
//   open_benchmark FIRST.zeb SECOND.zeb [ROUNDS]
//
// Prints one line per open: which file, wall milliseconds, MB/s of the file,
// and the process's peak resident memory so far as a multiple of the file.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "fileio/largepages.h"
#include "shell/main.h"

namespace fs = std::filesystem;

namespace {
double PeakMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      double kilobytes = 0;
      status >> kilobytes;
      return kilobytes * 1024 / 1e6;
    }
  }
  return 0;
}

// Opens the file and paints its root window; false when no window came up.
bool OpenAndPaint(TZEBMain& main, const std::string& path, const char* label) {
  const auto start = std::chrono::steady_clock::now();
  main.OpenHintFile(path);
  QMdiSubWindow* window = main.WindowArea()->activeSubWindow();
  if (window == nullptr) {
    std::fprintf(stderr, "open_benchmark: %s gave no root window\n", path.c_str());
    return false;
  }
  window->repaint();  // paint now, not at the next turn of the event loop
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const double megabytes = static_cast<double>(fs::file_size(path)) / 1e6;
  std::printf("%-7s %-24s %8.1f ms %7.0f MB/s  peak %.2fx the file\n", label, fs::path(path).filename().c_str(), ms,
              megabytes / (ms / 1000), PeakMegabytes() / megabytes);
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: open_benchmark FIRST.zeb SECOND.zeb [ROUNDS]\n");
    return 64;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  RestartWithLargePages(argv);  // as the reader starts
  const std::string first = fs::absolute(argv[1]).string();
  const std::string second = fs::absolute(argv[2]).string();
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  const fs::path home = fs::temp_directory_path() / "zeb-open-benchmark-home";
  fs::create_directories(home);
  setenv("ZEBWIN_HOME", home.c_str(), 1);

  QApplication app(argc, argv);
  TZEBMain main(home.string() + "/", {});
  main.resize(900, 700);
  main.show();
  QApplication::processEvents();
  if (!OpenAndPaint(main, first, "first")) return 1;
  for (int round = 0; round < rounds; ++round) {
    if (!OpenAndPaint(main, round % 2 == 0 ? second : first, "next")) return 1;
  }
  return 0;
}
