// Search in a hint file: rows of links for every node whose own text holds a
// phrase, and Find in File's results document.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/datahunks.h"
#include "model/displaydocument.h"
#include "model/loader.h"
#include "model/metatexthunk.h"
#include "model/search.h"
#include "support/fixtures.h"

namespace {

// Castle
//   Outside
//     How do I cross the moat?
//     The gate
//       Where is the winch?
//   Notes on the moat
class SearchTree : public ::testing::Test {
 protected:
  void SetUp() override {
    THintFileWriter writer;
    writer.Hunks = {Subject(
        "Castle",
        {Subject("Outside",
                 {Hint("How do I cross the moat?", {"Find a barrel.", "-", "Ride the barrel across the moat."}),
                  NestHint("The gate", {"The winch is over there.", "-",
                                        Hint("Where is the winch?", {"The winch hides behind the door."})})}),
         PlainHunk("COMMENT", "Notes on the moat",
                   {"Caf\xE9 [menu]", "A line that flows into the next", "line here.", "Type #p-OPEN GATE#p+."})})};
    LoadBytes(writer.Build(), Loaded);
    ASSERT_EQ(Loaded.Code, LoadResult::Loaded);
    Root = ListRootNode(Loaded.List);
    ASSERT_NE(Root, nullptr);
  }

  // The results document of a search from the root.
  std::unique_ptr<TMetaTextHunk> Search(const std::string& phrase) {
    auto results = MakeDocument(SearchTitle(phrase));
    Root->Search(phrase, *results);
    return results;
  }

  THunk* Node(const std::string& title) { return Root->FindByTitle(title); }

  TLoaded Loaded;
  THunk* Root = nullptr;
};

// The document as rows: a link shows as [title], other items as their text;
// each row runs up to and including the item that ends it.
std::vector<std::string> Rows(const TItemsHunk& results) {
  std::vector<std::string> rows;
  std::string row;
  for (const TZEBObject* item : results.Items) {
    row += item->KindCode() == Kind::Link ? "[" + item->Text + "]" : item->Text;
    if (item->Text == " " && item->KindCode() != Kind::Link) {
      rows.push_back(row);
      row.clear();
    }
  }
  if (!row.empty()) rows.push_back(row + "<unended>");
  return rows;
}

using TRows = std::vector<std::string>;

TEST_F(SearchTree, MatchesInTheRootANodeAndItsChild) {
  // The root holds the title "Notes on the moat"; Outside the title of the
  // question; the question its hint line. The root comes first, alone.
  EXPECT_EQ(Rows(*Search("moat")),
            (TRows{" ", "[Outside] ", "[Outside]:[How do I cross the moat?] "}));
  // The nested question matches as well as the node that holds it; the node first.
  EXPECT_EQ(Rows(*Search("winch")),
            (TRows{"[Outside]:[The gate] ", "[Outside]:[The gate]:[Where is the winch?] "}));
}

TEST_F(SearchTree, RowItemsAreLinksToTheNodesOnTheWay) {
  auto results = Search("hides behind");
  ASSERT_EQ(results->Items.size(), 6u);
  const THunk* way[] = {Node("Outside"), Node("The gate"), Node("Where is the winch?")};
  for (int i = 0; i < 3; ++i) {
    const TZEBObject* item = results->Items[2 * i];
    const auto* link = dynamic_cast<const TLinkHunk*>(item);
    ASSERT_NE(link, nullptr) << "item " << 2 * i << " \"" << item->Text << "\"";
    ASSERT_NE(way[i], nullptr);
    EXPECT_EQ(link->Text, way[i]->Text);
    EXPECT_EQ(link->Owner, way[i]);
    EXPECT_EQ(link->TargetLine, way[i]->LineNumber);
    EXPECT_EQ(link->Target(), way[i]);  // opening it finds the node again
  }
  for (int i : {1, 3}) {
    const TZEBObject* colon = results->Items[i];
    EXPECT_EQ(colon->Text, ":");
    EXPECT_EQ(colon->KindCode(), Kind::Abstract);
    EXPECT_EQ(colon->Owner, nullptr);
  }
  const TZEBObject* end = results->Items[5];
  EXPECT_EQ(end->Text, " ");
  EXPECT_EQ(end->KindCode(), Kind::Abstract);
  EXPECT_EQ(end->EndsLine, 1);
  EXPECT_EQ(results->LineMode, 0);  // put back after the row
  EXPECT_EQ(results->OwnsItems, 1);
}

TEST_F(SearchTree, LetterCaseCountsOnlyForAToZ) {
  const TRows comment = {"[Notes on the moat] "};
  const struct {
    const char* Phrase;
    TRows Expected;
  } cases[] = {
      {"MOAT", {" ", "[Outside] ", "[Outside]:[How do I cross the moat?] "}},
      {"mOaT", {" ", "[Outside] ", "[Outside]:[How do I cross the moat?] "}},
      {"CAF\xE9", comment},  // the accented byte itself matches
      {"caf\xE9", comment},
      {"CAF\xC9", {}},  // its capital is another byte
      {"[MENU]", comment},
      {"{menu}", {}},  // '{' is not a lower-case '['
      {"dragon", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Rows(*Search(c.Phrase)), c.Expected) << c.Phrase;
}

TEST_F(SearchTree, PhrasesSpanningTwoItems) {
  const TRows comment = {"[Notes on the moat] "};
  const struct {
    const char* Phrase;
    TRows Expected;
  } cases[] = {
      {"the next line here", comment},  // a flowing line joins the next with a space
      {"nextline", {}},
      {"here. Type", comment},  // so does a line that ends its line
      {"like OPEN", {}},
      {"Type OPEN GATE.", comment},  // pieces split by markup join without a space
      {"GATE .", {}},
      {"barrel. - Ride", {"[Outside]:[How do I cross the moat?] "}},  // the separator is a line too
  };
  for (const auto& c : cases) EXPECT_EQ(Rows(*Search(c.Phrase)), c.Expected) << c.Phrase;
}

TEST_F(SearchTree, NoMatchLeavesTheDocumentEmpty) {
  EXPECT_TRUE(Search("unicorn")->Items.empty());
  auto found = FindInFile(*Root, "unicorn");
  EXPECT_TRUE(found->Items.empty());
  EXPECT_EQ(found->Text, "Search Results for \"unicorn\"");
}

TEST_F(SearchTree, EmptyPhraseMatchesEveryNode) {
  EXPECT_EQ(Rows(*Search("")),
            (TRows{" ", "[Outside] ", "[Outside]:[How do I cross the moat?] ", "[Outside]:[The gate] ",
                   "[Outside]:[The gate]:[Where is the winch?] ", "[Notes on the moat] "}));
}

TEST_F(SearchTree, FindInFileDropsALeadingRootRowAndKeepsTheTitle) {
  auto found = FindInFile(*Root, "moat");
  EXPECT_EQ(found->Text, "Search Results for \"moat\"");
  EXPECT_EQ(Rows(*found), (TRows{"[Outside] ", "[Outside]:[How do I cross the moat?] "}));

  // A phrase found only in the root's own text leaves an empty document.
  auto rootOnly = FindInFile(*Root, "Notes on");
  EXPECT_TRUE(rootOnly->Items.empty());
  EXPECT_EQ(rootOnly->Text, "Search Results for \"Notes on\"");

  // The phrase is used as typed, spaces included.
  EXPECT_EQ(FindInFile(*Root, " moat ")->Text, "Search Results for \" moat \"");
  EXPECT_EQ(Rows(*FindInFile(*Root, "winch? ")), (TRows{"[Outside]:[The gate] "}));
  EXPECT_TRUE(FindInFile(*Root, "winch?  ")->Items.empty());
}

TEST(SearchText, UpperCaseChangesOnlyAToZ) {
  std::string every;
  for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
  const std::string upper = UpperCaseAtoZ(every);
  ASSERT_EQ(upper.size(), 256u);
  for (int b = 0; b < 256; ++b) {
    const int expected = b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b;
    EXPECT_EQ(static_cast<unsigned char>(upper[b]), expected) << "byte " << b;
  }
}

TEST(SearchText, OwnTextJoinsItemsAndChildTitles) {
  TMetaTextHunk node("Node", nullptr, Kind::Subject);
  node.AddLine(new THunkLine("A line that flows into the next", nullptr));
  node.AddLine(new THunkLine("Try #p-LOOK#p+ now", nullptr));
  node.AddLine(new TMetaTextHunk("Child title", &node, Kind::Hint));
  EXPECT_EQ(node.OwnText(), "A line that flows into the next Try LOOK now Child title ");
}

}  // namespace
