// Searching a folder of hint files: rows in the order of the files, the
// files that do not load reported, and Cancel.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/collectionsearch.h"
#include "model/loader.h"
#include "support/fixtures.h"

namespace {

std::string CastleFile(const TTempDir& dir, const std::string& name, const std::string& title) {
  THintFileWriter writer;
  writer.Hunks = {Subject(title, {Subject("Outside", {Hint("How do I cross the moat?", {"Find a barrel."})})})};
  const std::string path = (dir.Path() / name).string();
  writer.Save(path);
  return path;
}

}  // namespace

TEST(CollectionSearch, RowsOfEveryFileInOrderAndFailuresReported) {
  TTempDir dir;
  const std::string first = CastleFile(dir, "A.ZEB", "Castle One");
  const std::string damaged = dir.Write("B.zeb", "not a hint file\r\n");
  const std::string second = CastleFile(dir, "c.Zeb", "Castle Two");
  dir.Write("D.TXT", "barrel");
  EXPECT_EQ(HintFilesOfFolder(dir.Path().string()), (std::vector<std::string>{first, damaged, second}));

  const volatile std::uint8_t noCancel = 0;
  const auto found = SearchHintFiles({first, damaged, second, first}, "BARREL", noCancel);
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found[0].Path, first);
  EXPECT_EQ(found[0].Title, "Castle One");
  ASSERT_EQ(found[0].Rows.size(), 1u);
  EXPECT_EQ(found[0].Rows[0].Titles, (std::vector<std::string>{"Outside", "How do I cross the moat?"}));
  ASSERT_EQ(found[0].Rows[0].Lines.size(), 2u);
  EXPECT_GT(found[0].Rows[0].Lines[1], found[0].Rows[0].Lines[0]);
  EXPECT_EQ(found[1].LoadCode, LoadResult::NotHintFile);
  EXPECT_TRUE(found[1].Rows.empty());
  EXPECT_EQ(found[2].Title, "Castle Two");
  EXPECT_EQ(found[3].Rows.size(), 1u);
}

TEST(CollectionSearch, CancelStopsStartingFiles) {
  TTempDir dir;
  const std::string file = CastleFile(dir, "A.ZEB", "Castle");
  const std::vector<std::string> many(200, file);
  volatile std::uint8_t cancel = 1;
  EXPECT_TRUE(SearchHintFiles(many, "barrel", cancel).empty());

  // Cancelled while it waits: the files already searched are kept, no more.
  cancel = 0;
  std::atomic<int> calls{0};
  const auto found = SearchHintFiles(many, "barrel", cancel, [&](std::size_t) {
    ++calls;
    cancel = 1;
  });
  EXPECT_GE(calls.load(), 1);
  EXPECT_LT(found.size(), many.size());
  for (const auto& one : found) EXPECT_EQ(one.Rows.size(), 1u);
}
