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
  std::error_code error;
  EXPECT_EQ(HintFilesOfFolder(dir.Path().string(), error), (std::vector<std::string>{first, damaged, second}));
  EXPECT_FALSE(error);
  // A folder that cannot be listed is told apart from an empty one.
  EXPECT_TRUE(HintFilesOfFolder((dir.Path() / "gone").string(), error).empty());
  EXPECT_EQ(error, std::errc::no_such_file_or_directory);
  EXPECT_TRUE(HintFilesOfFolder(first + "/", error).empty());
  EXPECT_EQ(error, std::errc::not_a_directory);

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

// One large file's search split between two threads finds the rows one
// thread finds, in the same order, whatever the number of subjects.
TEST(CollectionSearch, TwoThreadsGiveTheRowsOfOneInOrder) {
  TTempDir dir;
  for (const int subjects : {0, 1, 2, 3, 8}) {
    SCOPED_TRACE(testing::Message() << subjects << " subjects");
    std::vector<TWHunkPtr> children;
    for (int s = 0; s < subjects; ++s) {
      std::vector<TWHunkPtr> questions;
      for (int q = 0; q < 3; ++q)
        questions.push_back(Hint("Question " + std::to_string(s) + "." + std::to_string(q),
                                 {q == s % 3 ? "Roll the Barrel." : "Look around.", "-", "Think of a barrel."}));
      questions.push_back(Subject("Deeper " + std::to_string(s), {Hint("Inner", {"no barrel here? a BARREL"})}));
      children.push_back(Subject("Subject " + std::to_string(s), questions));
    }
    THintFileWriter writer;
    writer.Hunks = {Subject("Root", children)};
    const std::string path = (dir.Path() / ("S" + std::to_string(subjects) + ".ZEB")).string();
    writer.Save(path);
    TObjectList list;
    ASSERT_EQ(LoadHintFile(path, list, false).Code, LoadResult::Loaded);
    THunk* root = ListRootNode(list);
    const auto one = SearchRows(*root, "barrel", TSearchThreads::One);
    const auto two = SearchRows(*root, "barrel", TSearchThreads::Two);
    EXPECT_EQ(one.size(), static_cast<std::size_t>(4 * subjects));
    ASSERT_EQ(two.size(), one.size());
    for (std::size_t i = 0; i < one.size(); ++i) {
      EXPECT_EQ(two[i].Titles, one[i].Titles) << "row " << i;
      EXPECT_EQ(two[i].Lines, one[i].Lines) << "row " << i;
    }
    ClearList(list);
  }
}
