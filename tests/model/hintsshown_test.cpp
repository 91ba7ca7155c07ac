// The record of revealed hints: saved as one text per file, restored from
// it, reset, and checked against the hints a file really has.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/datahunks.h"
#include "model/itemshunk.h"
#include "model/loader.h"
#include "model/metatexthunk.h"
#include "support/fixtures.h"

namespace {

TMetaTextHunk* AddNode(TItemsHunk& parent, const std::string& title, std::uint8_t kind) {
  auto* node = new TMetaTextHunk(title, &parent, kind);
  parent.AddLine(node);
  return node;
}

// A hint list whose hints are separated by "-" rules.
TMetaTextHunk* AddHints(TItemsHunk& parent, std::uint8_t kind, int hints) {
  TMetaTextHunk* node = AddNode(parent, "Question", kind);
  for (int i = 0; i < hints; ++i) {
    if (i > 0) node->AddLine(MakeSeparator());
    node->AddLine(new THunkLine("Hint number " + std::to_string(i + 1) + ".", nullptr));
  }
  return node;
}

// root -+- Q1 (HINT)
//       +- S (SUBJECT) -+- N (NESTHINT) --- Q3 (HINT)
//       |               +- "text"
//       +- C (COMMENT)
//       +- L (LINK)
//       +- Q4 (HINT)
// Pre-order of the hint lists: Q1, N, Q3, Q4.
class HintsShownTree : public ::testing::Test {
 protected:
  void SetUp() override {
    Q1 = AddHints(Root, Kind::Hint, 3);
    S = AddNode(Root, "S", Kind::Subject);
    N = AddHints(*S, Kind::NestHint, 2);
    Q3 = AddHints(*N, Kind::Hint, 2);
    S->AddLine(new THunkLine("text", nullptr));
    C = AddNode(Root, "C", Kind::Comment);
    Root.AddLine(new TLinkHunk("L", &Root));
    Q4 = AddHints(Root, Kind::Hint, 4);
    // Counts on nodes that hold no hints must be left out of the record.
    Root.HintsShown = 7;
    S->HintsShown = 8;
    C->HintsShown = 9;
  }

  void SetCounts(std::vector<int> counts) {
    for (std::size_t i = 0; i < counts.size(); ++i) Lists()[i]->HintsShown = counts[i];
  }
  std::vector<int> Counts() const {
    std::vector<int> counts;
    for (const TMetaTextHunk* list : Lists()) counts.push_back(list->HintsShown);
    return counts;
  }
  std::vector<TMetaTextHunk*> Lists() const { return {Q1, N, Q3, Q4}; }
  void ExpectOthersUntouched() const {
    EXPECT_EQ(Root.HintsShown, 7);
    EXPECT_EQ(S->HintsShown, 8);
    EXPECT_EQ(C->HintsShown, 9);
  }

  TMetaTextHunk Root{"Root", nullptr, Kind::Subject};
  TMetaTextHunk *Q1 = nullptr, *S = nullptr, *N = nullptr, *Q3 = nullptr, *C = nullptr,
                *Q4 = nullptr;
};

TEST_F(HintsShownTree, SaveWritesHintListsInPreOrder) {
  SetCounts({2, 0, 1, 3});
  std::string record;
  Root.SaveHintsShown(record);
  EXPECT_EQ(record, "2,0,1,3,");

  // The record is appended to what the text already holds.
  std::string more = "x";
  N->SaveHintsShown(more);
  EXPECT_EQ(more, "x0,1,");
}

TEST(HintsShown, SaveOfTwoHintLists) {
  TMetaTextHunk root("Root", nullptr, Kind::Subject);
  AddHints(root, Kind::Hint, 3)->HintsShown = 2;
  AddHints(root, Kind::Hint, 1)->HintsShown = 0;
  std::string record;
  root.SaveHintsShown(record);
  EXPECT_EQ(record, "2,0,");
}

TEST_F(HintsShownTree, RestoreReadsOneNumberPerHintList) {
  struct TCase {
    std::string Record;
    std::vector<int> Counts;
    std::string Left;
  };
  const TCase cases[] = {
      {"2,0,1,3,", {2, 0, 1, 3}, ""},
      {"2,0,1,3,5,", {2, 0, 1, 3}, "5,"},  // more numbers than lists
      {"5,,x,4,", {5, 0, 0, 4}, ""},       // no number reads as 0
      {"1,2,", {1, 2, 0, 0}, ""},          // the empty rest is read as 0 for the others
      {"3,9", {3, 9, 9, 9}, "9"},          // no "," left: the last value repeats
      {"7", {7, 7, 7, 7}, "7"},
      {"", {0, 0, 0, 0}, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE("record \"" + c.Record + "\"");
    SetCounts({6, 6, 6, 6});
    std::string record = c.Record;
    Root.RestoreHintsShown(record);
    EXPECT_EQ(Counts(), c.Counts);
    EXPECT_EQ(record, c.Left);
    ExpectOthersUntouched();
  }
}

TEST_F(HintsShownTree, ResetClearsEveryHintList) {
  SetCounts({2, 1, 2, 4});
  Root.ResetHintsShown();
  EXPECT_EQ(Counts(), (std::vector<int>{0, 0, 0, 0}));
  ExpectOthersUntouched();
}

TEST_F(HintsShownTree, SavedRecordRestoresTheSameCounts) {
  SetCounts({3, 2, 1, 4});
  std::string record;
  Root.SaveHintsShown(record);
  Root.ResetHintsShown();
  Root.RestoreHintsShown(record);
  EXPECT_EQ(Counts(), (std::vector<int>{3, 2, 1, 4}));
  ExpectOthersUntouched();
}

TEST_F(HintsShownTree, ValidUpToTheNumberOfHints) {
  // Only hint lists carry counts in a real tree.
  Root.HintsShown = S->HintsShown = C->HintsShown = 0;
  // Q1 has 3 hints, N 2, Q3 2, Q4 4.
  SetCounts({3, 2, 2, 4});
  EXPECT_TRUE(Root.HintsShownValid());
  EXPECT_TRUE(Q1->HintsShownValid());

  Q3->HintsShown = 3;
  EXPECT_FALSE(Q3->HintsShownValid());
  EXPECT_FALSE(N->HintsShownValid()) << "N holds Q3";
  EXPECT_FALSE(S->HintsShownValid()) << "S holds N";
  EXPECT_FALSE(Root.HintsShownValid());
  EXPECT_TRUE(Q1->HintsShownValid()) << "siblings stay valid";
  EXPECT_TRUE(Q4->HintsShownValid());
  Q3->HintsShown = 2;

  Q4->HintsShown = 5;
  EXPECT_FALSE(Root.HintsShownValid()) << "the last item of the root counts too";
}

TEST(HintsShown, HintWithTwoSeparatorsHoldsThreeHints) {
  TMetaTextHunk root("Root", nullptr, Kind::Subject);
  TMetaTextHunk* subject = AddNode(root, "Subject", Kind::Subject);
  TMetaTextHunk* hint = AddHints(*subject, Kind::Hint, 3);
  ASSERT_EQ(hint->ItemCount(), 5u);

  hint->HintsShown = 3;
  EXPECT_TRUE(hint->HintsShownValid());
  EXPECT_TRUE(subject->HintsShownValid());
  EXPECT_TRUE(root.HintsShownValid());

  hint->HintsShown = 4;
  EXPECT_FALSE(hint->HintsShownValid());
  EXPECT_FALSE(subject->HintsShownValid());
  EXPECT_FALSE(root.HintsShownValid());
}

TEST(HintsShown, OnlyTextItemsOfExactlyDashSeparateHints) {
  TMetaTextHunk hint("Question", nullptr, Kind::Hint);
  hint.AddLine(new THunkLine("First.", nullptr));
  hint.AddLine(new TMetaTextHunk("-", &hint, Kind::Subject));  // a node, not a separator
  hint.AddLine(new THunkLine("- ", nullptr));
  hint.AddLine(new THunkLine("--", nullptr));
  hint.HintsShown = 1;
  EXPECT_TRUE(hint.HintsShownValid());
  hint.HintsShown = 2;
  EXPECT_FALSE(hint.HintsShownValid());

  // A plain "-" line counts even without the rule flag.
  hint.Append(new THunkLine("-", nullptr));
  EXPECT_TRUE(hint.HintsShownValid());
}

TEST(HintsShown, OtherItemNodesAnswerForTheirChildren) {
  TItemsHunk holder("holder", nullptr);
  TMetaTextHunk* hint = AddHints(holder, Kind::Hint, 1);
  auto* link = new TLinkHunk("L", &holder);
  holder.AddLine(link);
  EXPECT_TRUE(holder.HintsShownValid());
  EXPECT_TRUE(link->HintsShownValid());
  hint->HintsShown = 2;
  EXPECT_FALSE(holder.HintsShownValid());
}

TEST(HintsShownLoaded, RecordOfALoadedFile) {
  THintFileWriter writer;
  writer.Hunks = {Subject("Root", {Hint("Two hints", {"First.", "-", "Second."}),
                                   NestHint("Nested", {"Only one.", Hint("Inner", {"A", "-", "B", "-", "C"})})})};
  TLoaded loaded;
  LoadBytes(writer.Build(), loaded);
  ASSERT_EQ(loaded.Code, LoadResult::Loaded);
  auto* root = ListRootNode(loaded.List);
  ASSERT_NE(root, nullptr);

  std::string fresh;
  root->SaveHintsShown(fresh);
  EXPECT_EQ(fresh, "0,0,0,");

  std::string record = "2,1,3,";
  root->RestoreHintsShown(record);
  std::string saved;
  root->SaveHintsShown(saved);
  EXPECT_EQ(saved, "2,1,3,");
  EXPECT_TRUE(root->HintsShownValid());

  record = "3,1,3,";
  root->RestoreHintsShown(record);
  EXPECT_FALSE(root->HintsShownValid()) << "the first list has only two hints";

  record = "2,1,4,";
  root->RestoreHintsShown(record);
  EXPECT_FALSE(root->HintsShownValid()) << "the inner list has only three hints";

  root->ResetHintsShown();
  std::string reset;
  root->SaveHintsShown(reset);
  EXPECT_EQ(reset, "0,0,0,");
}

}  // namespace
