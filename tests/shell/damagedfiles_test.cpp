// Damaged hint files opened in the reader: whatever loads must also show.
// Every node of the tree gets its window, painted, and the windows close
// again, for many mutated copies of the example file (fixed seeds).
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "model/checksum.h"
#include "model/itemshunk.h"
#include "shell/main.h"
#include "support/scripteddialogs.h"
#include "support/fixtures.h"

namespace {
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Opens the window of every node below (and including) node.
void OpenEveryNode(TZEBObject& node, int& opened) {
  if (!node.IsNode() || opened > 200) return;
  static_cast<THunk&>(node).Open();
  ++opened;
  if (auto* items = dynamic_cast<TItemsHunk*>(&node))
    for (TZEBObject* item : items->Items) OpenEveryNode(*item, opened);
}
}  // namespace

TEST(DamagedFiles, EveryWindowOfAMutatedExampleOpensPaintsAndCloses) {
  const std::string example = ReadFile(std::string(ZEB_BUILD_DIR) + "/examples/MOONFALL.ZEB");
  ASSERT_FALSE(example.empty()) << "the example hint file is built with the project";
  TTempDir home;
  qputenv("ZEBWIN_HOME", QByteArray::fromStdString(home.Path().string()));
  TScriptedDialogs dialogs;
  TZEBMain main(home.Path().string() + "/", {});
  main.resize(800, 600);
  main.show();

  std::mt19937 random(20261210);
  int loaded = 0;
  for (int round = 0; round < 80; ++round) {
    std::string bytes = example;
    // A few random bytes changed, and now and then the file cut short.
    const int changes = 1 + static_cast<int>(random() % 8);
    for (int c = 0; c < changes; ++c) bytes[random() % bytes.size()] = static_cast<char>(random() % 256);
    if (round % 5 == 4) bytes.resize(random() % bytes.size());
    // Half the rounds seal the damage with a right checksum (stored last,
    // where the example keeps it), so that it reaches the tree.
    if (round % 2 == 0 && bytes.size() == example.size()) {
      const std::uint16_t sum = HintChecksum(std::string_view(bytes).substr(0, bytes.size() - 2));
      bytes[bytes.size() - 2] = static_cast<char>(sum & 0xFF);
      bytes[bytes.size() - 1] = static_cast<char>(sum >> 8);
    }
    const std::string path = home.Write("damaged.zeb", bytes);
    main.OpenHintFile(path);
    THunk* root = main.FileRoot();
    if (root == nullptr) continue;
    ++loaded;
    int opened = 0;
    OpenEveryNode(*root, opened);
    for (QMdiSubWindow* window : main.WindowArea()->subWindowList()) (void)window->grab();
    main.WindowsCloseAllClick();
    QApplication::processEvents();
  }
  // Not every mutant loads (most fail their checksum), but some must, or the
  // test shows nothing.
  EXPECT_GT(loaded, 20);
  qunsetenv("ZEBWIN_HOME");
}
