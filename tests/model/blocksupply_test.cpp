// Memory touched ahead on a second thread: the blocks of a supply never
// overlap and stay whole, the text store keeps every text intact when its
// blocks come from a supply, and a file large enough to use one loads whole.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/blocksupply.h"
#include "model/hunk.h"
#include "model/loadcontext.h"
#include "model/loader.h"
#include "model/metatexthunk.h"
#include "model/textstore.h"
#include "support/fixtures.h"

namespace {
struct TSupplyCase {
  std::size_t BlockSize;
  std::size_t PerReservation;
  int Takes;
  int StopAfter;  // Stop after this many takes (-1: never)
};

TEST(BlockSupply, BlocksNeverOverlapAndStayWholeAcrossReservationsAndStop) {
  const std::vector<TSupplyCase> cases = {
      {4096, 1, 5, -1},       // every block a reservation of its own
      {3 * 4096 + 7, 3, 10, -1},  // blocks not a whole number of pages, reservations crossed
      {64, 4, 9, 4},          // blocks smaller than a page; stopped halfway
      {8192, 8, 3, 0},        // stopped before the first block
      {4096, 0, 3, -1},       // no count per reservation is taken as one
  };
  for (const TSupplyCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "block " << c.BlockSize << " x" << c.PerReservation);
    TBlockSupply supply(c.BlockSize, c.PerReservation);
    EXPECT_EQ(supply.BlockSize(), c.BlockSize);
    std::vector<char*> blocks;
    for (int i = 0; i < c.Takes; ++i) {
      if (i == c.StopAfter) supply.Stop();
      char* block = supply.Take();
      ASSERT_NE(block, nullptr);
      // Filled whole with its own byte: an overlap with any other block shows below.
      std::fill(block, block + c.BlockSize, static_cast<char>('A' + i));
      blocks.push_back(block);
    }
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      const std::string_view block(blocks[i], c.BlockSize);
      EXPECT_EQ(block.find_first_not_of(static_cast<char>('A' + i)), std::string_view::npos) << "block " << i;
    }
  }
}

TEST(BlockSupply, GoesWithoutEverHandingOutABlock) {
  // The thread is stopped and its untaken block freed (the leak checker sees the rest).
  TBlockSupply supply(1 << 16, 2);
}

TEST(TextStore, TextsStayWholeWhenBlocksArePreparedAheadAndAfterPreparingStops) {
  TTextStore store;
  store.PrepareBlocksAhead(4096);
  std::vector<std::string> texts;
  std::vector<std::string_view> stored;
  for (int i = 0; i < 6000; ++i) {
    // Mostly short lines, some longer than a block (a block of their own).
    std::string text = std::to_string(i) + std::string(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26));
    if (i % 1000 == 999) text.append(9000, 'L');
    if (i == 3000) store.StopPreparing();
    if (i % 7 == 0) {
      // Room taken and given back leaves the next text where it would have gone.
      store.Allocate(5);
      store.Rewind(5);
    }
    stored.push_back(store.Add(text));
    texts.push_back(std::move(text));
  }
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(stored[i], texts[i]) << "text " << i;
}

TEST(Loader, AFileLargeEnoughToPrepareItsMemoryAheadLoadsEveryLine) {
  // About 9 MB of hints: a large load, whose text store takes its blocks from a second thread.
  std::vector<TWHunkPtr> questions;
  std::vector<std::vector<std::string>> expected;
  std::size_t bytes = 0;
  for (int q = 0; static_cast<std::int64_t>(bytes) < TLoadContext::LargeFile + (1 << 20); ++q) {
    std::vector<std::string> lines;
    for (int l = 0; l < 6; ++l) {
      lines.push_back("Question " + std::to_string(q) + " line " + std::to_string(l) + " of a long enough hint text");
      bytes += lines.back().size() + 1;
    }
    expected.push_back(lines);
    questions.push_back(Hint("Q" + std::to_string(q), lines));
  }
  THintFileWriter writer;
  writer.Hunks = {Subject("Root", questions)};
  const TTempDir dir;
  const std::string path = dir.Write("large.zeb", writer.Build());

  TObjectList list;
  ASSERT_EQ(LoadHintFile(path, list, false).Code, LoadResult::Loaded);
  THunk* root = ListRootNode(list);
  ASSERT_NE(root, nullptr);
  const auto& subject = static_cast<TMetaTextHunk&>(*root);
  ASSERT_EQ(subject.Items.size(), expected.size());
  for (std::size_t q = 0; q < expected.size(); ++q) {
    const auto& question = static_cast<const TMetaTextHunk&>(*subject.Items.View(q).Object);
    ASSERT_EQ(question.Items.size(), expected[q].size()) << "question " << q;
    for (std::size_t l = 0; l < expected[q].size(); ++l)
      ASSERT_EQ(question.Items.View(l).Text, expected[q][l]) << "question " << q << " line " << l;
  }
  ClearList(list);
}
}  // namespace
