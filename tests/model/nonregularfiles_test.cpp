// A FIFO, a device or a folder named where a hint file is expected: every
// way the model opens a hint file refuses it at once, as a file that cannot
// be opened, instead of waiting for a writer or reading without end.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/checksum.h"
#include "model/checksumthread.h"
#include "model/collectionsearch.h"
#include "model/hintreader.h"
#include "model/loader.h"
#include "model/loadmessages.h"
#include "support/fifo.h"
#include "support/fixtures.h"

TEST(SpecialFiles, EveryOpeningOfAHintFileRefusesAFifoAtOnce) {
  TTempDir dir;
  const std::string fifo = (dir.Path() / "PIPE.ZEB").string();
  ASSERT_TRUE(MakeFifo(fifo));
  const std::vector<std::string> fifos = {fifo};

  EXPECT_TRUE(ReturnsPromptly(
      [&] {
        TObjectList list;
        const TLoadResult result = LoadHintFile(fifo, list, false);
        EXPECT_EQ(result.Code, LoadResult::CannotOpen);
        EXPECT_EQ(result.Message, LoadErrorMessage(LoadResult::CannotOpen, fifo));
      },
      fifos))
      << "the loader";
  EXPECT_TRUE(ReturnsPromptly([&] { EXPECT_FALSE(VerifyFileChecksum(fifo, 0, 0)); }, fifos)) << "the checksum check";
  EXPECT_TRUE(ReturnsPromptly(
      [&] {
        TChecksumThread thread(fifo);
        EXPECT_EQ(thread.Trail().End(), 0);
      },
      fifos))
      << "the checksum thread";
  // The search of many files, given a FIFO that took a listed file's place.
  const std::string listed = dir.Write("LISTED.ZEB", "ZEB\r\nTitle\r\n");
  EXPECT_TRUE(ReturnsPromptly(
      [&] {
        const volatile std::uint8_t noCancel = 0;
        const std::vector<TFileSearch> found = SearchHintFiles({listed, fifo}, "phrase", noCancel);
        ASSERT_EQ(found.size(), 2u);
        EXPECT_EQ(found[0].LoadCode, LoadResult::Loaded);
        EXPECT_EQ(found[1].LoadCode, LoadResult::CannotOpen);
      },
      fifos))
      << "the search of many files";
}

TEST(SpecialFiles, OnlyRegularFilesOpen) {
  TTempDir dir;
  const std::string file = dir.Write("FILE.ZEB", "ZEB\r\n");
  for (const std::string& path : {dir.Path().string(), std::string("/dev/null"), std::string("/dev/zero")}) {
    THintReader reader;
    EXPECT_FALSE(reader.Open(path)) << path;
    TObjectList list;
    EXPECT_EQ(LoadHintFile(path, list, false).Code, LoadResult::CannotOpen) << path;
  }
  THintReader reader;
  EXPECT_TRUE(reader.Open(file));
}
