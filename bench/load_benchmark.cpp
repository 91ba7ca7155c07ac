// Inner loops of loading and decoding large hint files. The files are written
// once with the writer into a folder under the temporary directory and kept
// there for later runs; each benchmark loads one of them. Whole commands, as a
// user runs them, are measured by bench/run.
//
// BM_Load times a load and the freeing of the tree in wall time, with the
// memory of the previous iteration given back to the system first, so that
// every load meets fresh pages as a new process does. Counters:
// bytes_per_second (file bytes per second of wall time), PeakMB (the
// process's peak resident memory during one load, when the system lets the
// peak be reset) and PeakPerFileByte (that peak above the memory in use
// before the load, divided by the file size).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <random>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/displaydocument.h"
#include "model/hunk.h"
#include "model/loader.h"

namespace fs = std::filesystem;

namespace {

// Bump when the generator changes, so that old files are not reused.
constexpr int GeneratorVersion = 1;

class TWords {
 public:
  explicit TWords(std::uint32_t seed) : Engine(seed) {}

  std::size_t Below(std::size_t n) { return Engine() % n; }

  // A line of about `length` bytes of words, now and then with markup.
  std::string Line(std::size_t length) {
    static const char* const words[] = {"the", "lamp", "door", "key",    "north", "look",  "under", "behind",
                                        "try", "open", "old",  "garden", "you",   "might", "want",  "to",
                                        "take", "a",   "closer", "at",   "shed",  "rope",  "ladder", "west"};
    std::string line;
    while (line.size() < length) {
      if (!line.empty()) line += ' ';
      line += words[Below(std::size(words))];
    }
    line[0] = static_cast<char>(line[0] - 'a' + 'A');
    if (Below(20) == 0) line += " #p-LOOK#p+";
    return line + ".";
  }

 private:
  std::mt19937 Engine;
};

// A realistic file of about `target` bytes: subjects of questions with graded
// hints (HINT and NESTHINT, some with nested hunks), some TEXT data and pictures.
void WriteFile(const fs::path& path, std::size_t target) {
  THintFileWriter file;
  TWords words(static_cast<std::uint32_t>(target));
  file.Title88a = "Benchmark Adventure";
  file.Subjects = {{"Getting started", {{"Where do I begin", {"At the start.", "Really."}}}}};
  file.NoteLines = {"A file for measuring the loader."};

  const std::string picture = TinyPng(64, 48);
  std::vector<TWHunkPtr> subjects;
  std::size_t size = 0;
  for (int s = 0; size < target; ++s) {
    std::vector<TWHunkPtr> questions;
    for (int q = 0; q < 12; ++q) {
      const std::string title = words.Line(40) + "?";
      std::vector<std::string> hints;
      const std::size_t count = 3 + words.Below(6);
      for (std::size_t h = 0; h < count; ++h) {
        if (h > 0) hints.push_back("-");
        const std::size_t lines = 1 + words.Below(2);
        for (std::size_t l = 0; l < lines; ++l) hints.push_back(words.Line(60));
      }
      for (const std::string& line : hints) size += line.size() + 2;
      size += title.size() + 16;
      if (q % 3 == 2) {
        std::vector<TWNestItem> items(hints.begin(), hints.end());
        if (q % 6 == 5) {
          items.push_back(Hint(words.Line(30) + "?", {words.Line(60), "-", words.Line(60)}));
          size += 200;
        }
        questions.push_back(NestHint(title, std::move(items)));
      } else {
        questions.push_back(Hint(title, std::move(hints)));
      }
    }
    if (s % 25 == 0) {
      std::vector<std::string> lines;
      for (int l = 0; l < 30; ++l) lines.push_back(words.Line(60));
      questions.push_back(file.Text("Notes " + std::to_string(s), s % 2 == 0 ? 0 : 3, lines));
      size += 30 * 64;
    }
    if (s % 40 == 0) {
      questions.push_back(file.HyperPng("Map " + std::to_string(s), picture,
                                        {{0, 0, 32, 24, Hint("Left?", {words.Line(60)})},
                                         {32, 24, 64, 48, file.Overlay("Shade", TinyPng(32, 24), 32, 24)}}));
      size += picture.size() + 1000;
    }
    subjects.push_back(Subject(words.Line(30), std::move(questions)));
  }
  file.Hunks = {Subject("Benchmark Adventure", std::move(subjects)), PlainHunk("VERSION", "96a", {"bench"}),
                PlainHunk("INFO", "", {"AUTHOR=Benchmark", "DATE=01-Jan-26", "TIME=00:00"})};
  const fs::path temporary = path.string() + ".part";
  file.Save(temporary.string());
  fs::rename(temporary, path);
}

// The file of about `megabytes` MB, written on first use.
const std::string& FileOf(int megabytes) {
  static std::string paths[2];
  std::string& path = paths[megabytes >= 50 ? 1 : 0];
  if (path.empty()) {
    const fs::path dir = fs::temp_directory_path() / "zeb-load-benchmark";
    fs::create_directories(dir);
    const fs::path file = dir / ("load-" + std::to_string(megabytes) + "mb-v" + std::to_string(GeneratorVersion) + ".zeb");
    if (!fs::exists(file)) WriteFile(file, static_cast<std::size_t>(megabytes) * 1000 * 1000);
    path = file.string();
  }
  return path;
}

// Reads a "Vm..." figure of /proc/self/status in bytes; 0 when absent.
std::int64_t StatusBytes(const std::string& name) {
  std::ifstream status("/proc/self/status");
  std::string key;
  std::int64_t kilobytes = 0;
  while (status >> key) {
    if (key == name + ":") {
      status >> kilobytes;
      return kilobytes * 1024;
    }
  }
  return 0;
}

// Resets the peak resident memory of the process; false when not allowed.
bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

void MeasurePeak(benchmark::State& state, const std::string& path) {
  TObjectList list;
  // Memory freed by earlier loads stays resident unless it is given back.
  malloc_trim(0);
  if (!ResetPeak()) return;
  const std::int64_t before = StatusBytes("VmRSS");
  LoadHintFile(path, list, false);
  const std::int64_t peak = StatusBytes("VmHWM");
  ClearList(list);
  state.counters["PeakMB"] = static_cast<double>(peak) / 1e6;
  state.counters["PeakPerFileByte"] =
      static_cast<double>(peak - before) / static_cast<double>(fs::file_size(path));
}

void BM_Load(benchmark::State& state) {
  const std::string& path = FileOf(static_cast<int>(state.range(0)));
  const auto size = static_cast<std::int64_t>(fs::file_size(path));
  TObjectList list;
  for (auto _ : state) {
    state.PauseTiming();
    malloc_trim(0);  // fresh memory, as a new process has
    state.ResumeTiming();
    const int code = LoadHintFile(path, list, false).Code;
    if (code != LoadResult::Loaded) {
      state.SkipWithError("the file did not load");
      break;
    }
    ClearList(list);
  }
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["FileMB"] = static_cast<double>(size) / 1e6;
  MeasurePeak(state, path);
}
BENCHMARK(BM_Load)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_ClearList(benchmark::State& state) {
  const std::string& path = FileOf(static_cast<int>(state.range(0)));
  TObjectList list;
  for (auto _ : state) {
    state.PauseTiming();
    if (LoadHintFile(path, list, false) != LoadResult::Loaded) {
      state.SkipWithError("the file did not load");
      break;
    }
    state.ResumeTiming();
    ClearList(list);
  }
}
BENCHMARK(BM_ClearList)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// Decoding a loaded file to text, as "Decode to Text" writes it (the inner
// loop: the load is not timed); the bytes go to a stream that only counts
// them. Speed is in file bytes per second.
class TCountingBuffer : public std::streambuf {
 public:
  std::int64_t Count = 0;

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) ++Count;
    return c;
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    Count += n;
    return n;
  }
};

void BM_Decode(benchmark::State& state) {
  const std::string& path = FileOf(static_cast<int>(state.range(0)));
  const auto size = static_cast<std::int64_t>(fs::file_size(path));
  TObjectList list;
  if (LoadHintFile(path, list, false) != LoadResult::Loaded) {
    state.SkipWithError("the file did not load");
    return;
  }
  auto* root = ListRootNode(list);
  TCountingBuffer counter;
  std::ostream out(&counter);
  for (auto _ : state) DecodeToText(*root, out);
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["TextMB"] = static_cast<double>(counter.Count) / 1e6 / static_cast<double>(state.iterations());
  ClearList(list);
}
BENCHMARK(BM_Decode)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
