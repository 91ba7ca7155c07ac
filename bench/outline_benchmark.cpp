// The outline pane on a large hint file, as a user meets it: the file is
// opened in the reader, then the outline is shown (F9) until it has painted,
// then a filter is typed one key at a time, each key until the tree has
// painted again. Wall milliseconds of each step, and the number of titles.
//
//   outline_benchmark FILE.zeb [FILTER]        (default filter: "lever")
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTreeView>

#include "display/outlinemodel.h"
#include "display/outlinepane.h"
#include "shell/main.h"

namespace {
double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

int CountAll(const TOutlineModel& model, const QModelIndex& parent = {}) {
  int count = model.rowCount(parent);
  for (int row = 0; row < model.rowCount(parent); ++row) count += CountAll(model, model.index(row, 0, parent));
  return count;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: outline_benchmark FILE.zeb [FILTER]\n");
    return 64;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const std::string filter = argc > 2 ? argv[2] : "lever";
  TZEBMain main(QCoreApplication::applicationDirPath().toStdString() + "/", {});
  main.resize(1200, 900);
  main.show();
  QCoreApplication::processEvents();
  main.OpenHintFile(argv[1]);
  QCoreApplication::processEvents();

  auto start = std::chrono::steady_clock::now();
  main.Action("WindowsOutline")->trigger();
  main.OutlinePane()->Tree()->repaint();
  const double shown = Since(start);
  const int titles = CountAll(*main.OutlinePane()->Model());
  std::printf("outline shown and painted: %.1f ms for %d titles\n", shown, titles);

  // The parts: the model alone, then the pane (model and view).
  THunk* root = main.OutlinePane()->Model()->Root();
  main.OutlinePane()->SetRoot(nullptr);
  start = std::chrono::steady_clock::now();
  main.OutlinePane()->Model()->SetRoot(root);
  std::printf("  of which the outline's model: %.1f ms\n", Since(start));
  main.OutlinePane()->SetRoot(nullptr);
  start = std::chrono::steady_clock::now();
  main.OutlinePane()->SetRoot(root);
  main.OutlinePane()->Tree()->repaint();
  std::printf("  model and view again: %.1f ms\n", Since(start));

  QLineEdit* box = main.OutlinePane()->FilterBox();
  double worst = 0;
  double total = 0;
  for (std::size_t n = 1; n <= filter.size(); ++n) {
    start = std::chrono::steady_clock::now();
    box->setText(QString::fromStdString(filter.substr(0, n)));
    main.OutlinePane()->Tree()->repaint();
    const double ms = Since(start);
    worst = std::max(worst, ms);
    total += ms;
    std::printf("filter \"%s\": %.1f ms, %d entries shown\n", filter.substr(0, n).c_str(), ms,
                main.OutlinePane()->Model()->ShownCount());
  }
  start = std::chrono::steady_clock::now();
  box->clear();
  main.OutlinePane()->Tree()->repaint();
  std::printf("filter cleared: %.1f ms\n", Since(start));
  std::printf("per keystroke: mean %.1f ms, worst %.1f ms\n", total / static_cast<double>(filter.size()), worst);
  return 0;
}
