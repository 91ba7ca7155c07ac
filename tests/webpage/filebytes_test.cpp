// The web page reads the bytes of its hint file a second time (pictures,
// the edition checksum): a FIFO that took the file's place after it loaded
// is refused at once, and the page is not written.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "authoring/hintwriter.h"
#include "model/loader.h"
#include "support/fifo.h"
#include "support/fixtures.h"
#include "webpage/filebytes.h"
#include "webpage/webpage.h"

TEST(WebPageFileBytes, AFifoInTheHintFilesPlaceIsRefusedAtOnce) {
  TTempDir dir;
  THintFileWriter writer;
  writer.Hunks = {Subject("Root", {Hint("Q", {"A"})})};
  const std::string path = dir.Write("GAME.ZEB", writer.Build());
  TObjectList list;
  ASSERT_EQ(LoadHintFile(path, list, false).Code, LoadResult::Loaded);
  {
    THintFileBytes bytes(path);
    EXPECT_TRUE(bytes.IsOpen());
    EXPECT_EQ(bytes.Read(0, 3), std::optional<std::string>("ZEB"));
  }
  std::filesystem::remove(path);
  ASSERT_TRUE(MakeFifo(path));
  EXPECT_TRUE(ReturnsPromptly(
      [&] {
        EXPECT_FALSE(THintFileBytes(path).IsOpen());
        std::ostringstream page;
        EXPECT_FALSE(WriteWebPage(*ListRootNode(list), path, page));
      },
      {path}));
  ClearList(list);
}
