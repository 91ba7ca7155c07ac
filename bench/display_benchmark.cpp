// Speed of the reader's display: laying out a long node with the real fonts,
// and opening a large hint file until its root window has painted.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <QKeyEvent>
#include <QPageSize>
#include <QPrinter>
#include <QScrollArea>

#include "authoring/hintwriter.h"
#include "display/displaycontext.h"
#include "display/hunkprintout.h"
#include "model/loader.h"
#include "display/stringchild.h"
#include "display/stringcontrol.h"
#include "display/textlayout.h"
#include "display/textmeasure.h"
#include "model/metatexthunk.h"
#include "settings/options.h"
#include "shell/main.h"

namespace fs = std::filesystem;

namespace {
// A node of `count` items: lines of words, every tenth a child node's title.
std::unique_ptr<TMetaTextHunk> LongNode(int count) {
  auto node = std::make_unique<TMetaTextHunk>("Long", nullptr, Kind::Subject);
  for (int i = 0; i < count; ++i) {
    if (i % 10 == 9) {
      node->AddLine(new TMetaTextHunk("A question about item " + std::to_string(i) + "?", node.get(), Kind::Hint));
    } else {
      node->AddLine(new THunkLine("The lamp is behind the door of the old shed, under the rope and the ladder; look "
                                  "west " + std::to_string(i) + ".",
                                  nullptr));
    }
  }
  return node;
}

void BM_WrapText(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  auto node = LongNode(count);
  const TFontMeasure measure(MakeFont(TextToFont("Arial,10,400,0")), MakeFont(TextToFont("Courier New,9,400,0")));
  TTextLayout layout;
  layout.Document = node.get();
  layout.ShownCount = count;
  layout.LayoutWidth = 640;
  for (auto _ : state) benchmark::DoNotOptimize(layout.WrapText(measure, QSize(640, 480)));
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_WrapText)->Arg(1250)->Arg(2500)->Arg(5000)->Unit(benchmark::kMillisecond);

// A hint file of about 5 MB (800 subjects) whose root window lists many
// subjects; 8000 subjects make about 50 MB.
std::string LargeFile(int subjectCount = 800) {
  const fs::path path =
      fs::temp_directory_path() / ("zeb-display-benchmark-" + std::to_string(subjectCount) + "-subjects-v1.zeb");
  if (fs::exists(path)) return path.string();
  THintFileWriter file;
  std::vector<TWHunkPtr> subjects;
  std::string line = "Try looking behind the painting in the hall, then under the rug by the fire.";
  for (int s = 0; s < subjectCount; ++s) {
    std::vector<TWHunkPtr> questions;
    for (int q = 0; q < 12; ++q) {
      std::vector<std::string> hints;
      for (int h = 0; h < 6; ++h) {
        if (h > 0) hints.push_back("-");
        hints.push_back(line);
      }
      questions.push_back(Hint("Question " + std::to_string(q) + " of subject " + std::to_string(s) + "?", hints));
    }
    subjects.push_back(Subject("Subject number " + std::to_string(s), std::move(questions)));
  }
  file.Hunks = {Subject("Display Benchmark", std::move(subjects)), PlainHunk("VERSION", "96a", {"bench"})};
  file.Save(path.string());
  return path.string();
}

void BM_OpenUntilPainted(benchmark::State& state) {
  const std::string path = LargeFile();
  const fs::path home = fs::temp_directory_path() / "zeb-display-benchmark-home";
  fs::create_directories(home);
  qputenv("ZEBWIN_HOME", QByteArray::fromStdString(home.string()));
  TZEBMain main(home.string() + "/", {});
  main.resize(900, 700);
  main.show();
  QApplication::processEvents();
  for (auto _ : state) {
    main.OpenHintFile(path);
    QMdiSubWindow* window = main.WindowArea()->activeSubWindow();
    if (window == nullptr) {
      state.SkipWithError("no root window");
      break;
    }
    window->repaint();  // paint now, not at the next turn of the event loop
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
  qunsetenv("ZEBWIN_HOME");
}
BENCHMARK(BM_OpenUntilPainted)->Unit(benchmark::kMillisecond)->MinTime(2.0);
// A window of search results for a common word in a very large file: one
// row (a link) for each of `rows` matches, owned by the window.
struct TLongWindow {
  explicit TLongWindow(int rows) {
    Options.MainFont = TextToFont("Arial,10,400,0");
    Options.FixedFont = TextToFont("Courier New,9,400,0");
    DisplayContext().Options = &Options;
    DisplayContext().Area = &Area;
    InstallNodeOpening();
    auto* results = new TMetaTextHunk("Search Results for \"the\"", nullptr, Kind::Subject);
    for (int i = 0; i < rows; ++i) {
      auto* row = new TMetaTextHunk("Subject " + std::to_string(i / 40) + " > Where is the lamp number " +
                                        std::to_string(i) + "?",
                                    results, Kind::Hint);
      row->EndsLine = 1;
      results->Append(row);
    }
    Area.resize(1000, 760);
    Area.show();
    Form = ShowHintWindow(*results, true);
    Form->SubWindow()->resize(600, 400);
    QApplication::processEvents();
  }
  ~TLongWindow() {
    Form->CloseWindow();
    QApplication::processEvents();
    DisplayContext() = TDisplayContext{};
  }
  TOptions Options;
  QMdiArea Area;
  THintForm* Form = nullptr;
};

void SendKey(QWidget* target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
}

// PageDown in the window, and the repaint it causes.
void BM_PageDownInLongWindow(benchmark::State& state) {
  TLongWindow window(static_cast<int>(state.range(0)));
  TStringControl* control = window.Form->Control();
  QWidget* viewport = window.Form->ScrollBox()->viewport();
  for (auto _ : state) {
    SendKey(control, Qt::Key_PageDown);
    viewport->repaint();
  }
}
BENCHMARK(BM_PageDownInLongWindow)->Arg(15000)->Arg(30000)->Arg(60000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Maximising the window (a new layout at the new width) until painted, and
// restoring it again: two relayouts and paints per iteration.
void BM_MaximiseLongWindow(benchmark::State& state) {
  TLongWindow window(static_cast<int>(state.range(0)));
  QMdiSubWindow* frame = window.Form->SubWindow();
  for (auto _ : state) {
    frame->showMaximized();
    window.Area.repaint();
    QApplication::processEvents();
    frame->showNormal();
    window.Area.repaint();
    QApplication::processEvents();
  }
  state.counters["s_per_change"] =
      benchmark::Counter(2 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate |
                                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_MaximiseLongWindow)->Arg(15000)->Arg(30000)->Arg(60000)->Unit(benchmark::kMillisecond)->UseRealTime();
// Formatting a whole hint file for print (a PDF printer at 1200 dpi, A4) as
// Print File does: the display built a chunk at a time, every page laid out.
void BM_FormatFileForPrint(benchmark::State& state) {
  const std::string path = LargeFile(static_cast<int>(state.range(0)));
  TObjectList list;
  if (LoadHintFile(path, list, false) != LoadResult::Loaded) {
    state.SkipWithError("the file did not load");
    return;
  }
  auto* root = ListRootNode(list);
  TOptions options;
  options.MainFont = TextToFont("Arial,10,400,0");
  options.FixedFont = TextToFont("Courier New,9,400,0");
  DisplayContext().Options = &options;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  int pages = 0;
  for (auto _ : state) {
    THunkPrintout job(*root, "Hints for " + root->GetText());
    job.SetUpPage(printer);
    job.Format(printer);
    pages = job.PageCount();
  }
  state.counters["pages"] = pages;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
  ClearList(list);
  DisplayContext() = TDisplayContext{};
}
BENCHMARK(BM_FormatFileForPrint)->Arg(800)->Arg(8000)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
