// The reader started with a FIFO as the file it reopens: it comes up at
// once, passes over the file without a word, and opens other files.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "shell/main.h"
#include "support/fifo.h"
#include "mainfixture.h"

namespace {
class SpecialFiles : public MainWindowTest {};
}  // namespace

TEST_F(SpecialFiles, AFifoAsTheLastFileDoesNotHoldUpTheStart) {
  const std::string game = SaveGame();
  {
    TZEBMain& main = Start();
    main.show();
    Settle();
    main.OptionsRecord().ReopenLastFile = true;
    main.OpenHintFile(game);
    Settle();
    ASSERT_NE(main.FileRoot(), nullptr);
    main.close();
  }
  Main.reset();
  FlushDeletes();
  std::filesystem::remove(game);
  ASSERT_TRUE(MakeFifo(game));
  Dialogs.Asked.clear();

  const auto start = std::chrono::steady_clock::now();
  bool held = false;
  {
    const TFifoWatchdog watchdog({game}, std::chrono::seconds(10));
    TZEBMain& main = Start();
    main.show();
    Settle();
    Settle();
    held = watchdog.HasFired();
  }
  EXPECT_FALSE(held) << "the start waited on the FIFO";
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
  EXPECT_EQ(Main->FileRoot(), nullptr);
  EXPECT_TRUE(Messages().empty());
  // It answers: another file opens.
  Main->OpenHintFile(Save("OTHER.ZEB", GameFileWriter("Other")));
  Settle();
  ASSERT_NE(Main->FileRoot(), nullptr);
  EXPECT_EQ(Main->FileRoot()->Text, "Other");
}
