// Speed of the local catalog scan over folders of small hint files:
//   ColdScan   no cache file: every header is read and a record appended;
//   WarmScan   every file matches a cached record: no hint file is read;
//   ListFolder only listing the folder's files with their sizes, the floor
//              that a warm scan cannot go below.
//   ByTitleCold/ByTitleWarm  the "Hint Files by Title" window listing the
//              folder, laid out, with no cache file or with a full one.
// The folders (1,000, 2,500 and 5,000 files) are written once with the writer
// under the temporary directory and kept for later runs. Counter us_per_file
// is the cost of one file; it stays flat when the scan is linear.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QMdiArea>

#include "authoring/hintwriter.h"
#include "display/displaycontext.h"
#include "display/stringcontrol.h"
#include "display/verboseform.h"
#include "downloader/catalog.h"
#include "settings/homefolder.h"
#include "settings/options.h"

namespace fs = std::filesystem;

namespace {

// Bump when the generated files change, so that old folders are not reused.
constexpr int GeneratorVersion = 1;

fs::path BenchRoot() { return fs::temp_directory_path() / ("zeb-catalog-bench-v" + std::to_string(GeneratorVersion)); }

std::string SmallHintFile(int number) {
  THintFileWriter file;
  file.Title88a = "Game " + std::to_string(number);
  file.Subjects = {{"Start", {{"Where do I begin?", {"At the start.", "Really."}}}}};
  TWHunkPtr root = Subject("The Game Number " + std::to_string(number),
                           {Hint("Where is the key?", {"Look around.", "-", "Under the mat."})});
  root->Keyword = "subject";
  file.Hunks = {root, PlainHunk("version", "96a", {"compiled"}),
                PlainHunk("info", "Info", {"AUTHOR=Bench Author", "PUBLISHER=Bench Games", "TIME=12:00"})};
  return file.Build();
}

// The folder of `count` hint files, ending with "/"; made on first use.
std::string HintFolder(int count) {
  const fs::path folder = BenchRoot() / ("files-" + std::to_string(count));
  const fs::path done = folder / "complete";
  if (!fs::exists(done)) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
      std::ofstream out(folder / ("game" + std::to_string(i) + ".zeb"), std::ios::binary);
      out << SmallHintFile(i);
    }
    std::ofstream(done) << "ok\n";
  }
  return folder.string() + "/";
}

std::string CacheFile(const char* kind, int count) {
  return (BenchRoot() / ("zeblocal-" + std::string(kind) + "-" + std::to_string(count) + ".dat")).string();
}

void PerFile(benchmark::State& state, int count) {
  state.counters["us_per_file"] = benchmark::Counter(static_cast<double>(count) * 1e-6,
                                                     benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * count);
}

void ColdScan(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string folder = HintFolder(count);
  const std::string cache = CacheFile("cold", count);
  const volatile std::uint8_t cancel = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(cache);
    TCatalog catalog;
    state.ResumeTiming();
    ScanHintFolder(folder, catalog, cancel, cache);
    if (catalog.size() != static_cast<std::size_t>(count)) state.SkipWithError("catalog incomplete");
    benchmark::DoNotOptimize(catalog.data());
  }
  PerFile(state, count);
}

void WarmScan(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string folder = HintFolder(count);
  const std::string cache = CacheFile("warm", count);
  const volatile std::uint8_t cancel = 0;
  {
    fs::remove(cache);
    TCatalog catalog;
    ScanHintFolder(folder, catalog, cancel, cache);
  }
  const std::uintmax_t cacheSize = fs::file_size(cache);
  for (auto _ : state) {
    TCatalog catalog;
    ScanHintFolder(folder, catalog, cancel, cache);
    if (catalog.size() != static_cast<std::size_t>(count)) state.SkipWithError("catalog incomplete");
    benchmark::DoNotOptimize(catalog.data());
  }
  if (fs::file_size(cache) != cacheSize) state.SkipWithError("a warm scan appended to the cache");
  PerFile(state, count);
}

void ListFolder(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string folder = HintFolder(count);
  for (auto _ : state) {
    std::vector<std::pair<std::string, std::uintmax_t>> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
      if (entry.is_regular_file() && IsHintFileName(entry.path().filename().string()))
        files.emplace_back(entry.path().filename().string(), entry.file_size());
    if (files.size() != static_cast<std::size_t>(count)) state.SkipWithError("listing incomplete");
    benchmark::DoNotOptimize(files.data());
  }
  PerFile(state, count);
}

// The by-title window lists the folder into a laid-out list; cold removes
// the cache file first (through ZEBWIN_HOME, where the window keeps it).
void ByTitle(benchmark::State& state, bool cold) {
  const int count = static_cast<int>(state.range(0));
  const std::string folder = HintFolder(count);
  const fs::path home = BenchRoot() / ("home-bytitle-" + std::to_string(count));
  fs::create_directories(home);
  qputenv("ZEBWIN_HOME", QByteArray::fromStdString(home.string()));
  const std::string cache = THomeFolder::CatalogCacheFile();
  TOptions options;
  options.MainFont = TextToFont("Arial,10,400,0");
  options.FixedFont = TextToFont("Courier New,9,400,0");
  QMdiArea area;
  area.resize(900, 700);
  area.show();
  DisplayContext().Options = &options;
  DisplayContext().Area = &area;
  TVerboseForm* form = ShowVerboseWindow(folder);  // fills the cache once
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      fs::remove(cache);
      state.ResumeTiming();
    }
    form->ListFolder(folder);
    if (form->Control()->Pieces().size() != static_cast<std::size_t>(count)) state.SkipWithError("list incomplete");
  }
  form->CloseWindow();
  QApplication::processEvents();
  DisplayContext() = TDisplayContext{};
  qunsetenv("ZEBWIN_HOME");
  PerFile(state, count);
}
void ByTitleCold(benchmark::State& state) { ByTitle(state, true); }
void ByTitleWarm(benchmark::State& state) { ByTitle(state, false); }

BENCHMARK(ByTitleCold)->Arg(1000)->Arg(2500)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ByTitleWarm)->Arg(1000)->Arg(2500)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ColdScan)->Arg(1000)->Arg(2500)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WarmScan)->Arg(1000)->Arg(2500)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ListFolder)->Arg(1000)->Arg(2500)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
