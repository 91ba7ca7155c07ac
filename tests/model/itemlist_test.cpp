// The item lists of loaded nodes: lines kept as compact slots of the file's
// text store, made into objects only when the program asks for them, and
// the same to the rest of the program as lists of objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/itemlist.h"
#include "model/metatexthunk.h"
#include "model/textstore.h"
#include "support/fixtures.h"

namespace {

const std::string LongLine = std::string(1500, 'w') + " end";

// A small file: a hint list of plain lines, a line with markup, a line too
// long for a compact slot, and a nested hint list.
std::string SmallFile() {
  THintFileWriter file;
  file.Title88a = "Lists";
  file.Hunks = {Subject("Lists", {Hint("Where is the key?", {"Under the mat.", "-", "Behind the painting in the hall.",
                                                             "#p-Fixed#p+ pitch", "-", LongLine}),
                                  NestHint("And the lamp?", {"On the hook.", "-", "Light it first."})}),
                PlainHunk("VERSION", "96a", {"test"})};
  return file.Build();
}

class LoadedLists : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadBytes(SmallFile(), Loaded);
    ASSERT_EQ(Loaded.Code, LoadResult::Loaded);
    auto* root = static_cast<THunk*>(Loaded.List[1].get());
    Key = dynamic_cast<TMetaTextHunk*>(root->FindByTitle("Where is the key?"));
    Lamp = dynamic_cast<TMetaTextHunk*>(root->FindByTitle("And the lamp?"));
    ASSERT_NE(Key, nullptr);
    ASSERT_NE(Lamp, nullptr);
  }

  static std::vector<std::string> Texts(const TItemList& items) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < items.size(); ++i) texts.emplace_back(items.View(i).Text);
    return texts;
  }

  TLoaded Loaded;
  TMetaTextHunk* Key = nullptr;
  TMetaTextHunk* Lamp = nullptr;
};

TEST_F(LoadedLists, PlainLinesStayCompactUntilAskedForAndMarkupOrLongLinesAreObjects) {
  const TItemList& items = Key->Items;
  const std::vector<std::string> texts = Texts(items);
  ASSERT_GE(texts.size(), 6u);
  EXPECT_EQ(texts.front(), "Under the mat.");
  EXPECT_EQ(texts.back(), LongLine);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TItemView view = items.View(i);
    const bool plain = view.Text.size() <= TItemList::MaxCompactLength &&
                       (view.Text == "Under the mat." || view.Text == "-" ||
                        view.Text == "Behind the painting in the hall.");
    EXPECT_EQ(items.ObjectAt(i) == nullptr, plain) << "item " << i << " \"" << view.Text << "\"";
  }
}

TEST_F(LoadedLists, AnObjectMadeFromASlotHasItsTextAndFlagsAndStaysTheSame) {
  TItemList& items = Lamp->Items;
  ASSERT_EQ(items.size(), 3u);
  std::vector<TItemView> before;
  for (std::size_t i = 0; i < items.size(); ++i) before.push_back(items.View(i));
  std::vector<std::string> texts;
  for (const TItemView& view : before) texts.emplace_back(view.Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"On the hook.", "-", "Light it first."}));

  for (std::size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE("item " + std::to_string(i));
    ASSERT_EQ(items.ObjectAt(i), nullptr);
    TZEBObject* made = items[i];
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->ClassName(), "THunkLine");
    EXPECT_EQ(made->Text, texts[i]);
    EXPECT_EQ(made->Owner, nullptr);
    EXPECT_EQ(made->EndsLine, before[i].Flags.EndsLine);
    EXPECT_EQ(made->IsRule, before[i].Flags.IsRule);
    EXPECT_EQ(made->Wraps, before[i].Flags.Wraps);
    EXPECT_EQ(made->UseFixedFont, before[i].Flags.UseFixedFont);
    EXPECT_EQ(made->SpaceAfter, before[i].Flags.SpaceAfter);
    EXPECT_EQ(items.ObjectAt(i), made);
    EXPECT_EQ(items[i], made) << "asked again, the same object";
  }
  // The separator is a rule that ends its line, and so is the line before it.
  EXPECT_EQ(items[1]->IsRule, 1);
  EXPECT_EQ(items[0]->EndsLine, 1);
  EXPECT_EQ(Lamp->HintCount(), 2);
}

TEST_F(LoadedLists, FlagsSetOnACompactLineAreThoseOfItsObject) {
  TItemList& items = Lamp->Items;
  const std::uint8_t ends = items.View(2).Flags.EndsLine;
  items.SetEndsLine(2, ends ? 0 : 1);
  items.SetSpaceAfter(2, 0);
  EXPECT_EQ(items.ObjectAt(2), nullptr);
  EXPECT_EQ(items.View(2).Flags.EndsLine, ends ? 0 : 1);
  EXPECT_EQ(items.View(2).Flags.SpaceAfter, 0);
  EXPECT_EQ(items[2]->EndsLine, ends ? 0 : 1);
  EXPECT_EQ(items[2]->SpaceAfter, 0);
  items.SetEndsLine(2, ends);  // and on the object, once there is one
  EXPECT_EQ(items[2]->EndsLine, ends);
}

TEST_F(LoadedLists, IterationFindAndRemovalSeeObjects) {
  TItemList& items = Lamp->Items;
  std::vector<TZEBObject*> seen(items.begin(), items.end());
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(std::find(items.begin(), items.end(), seen[2]) - items.begin(), 2);
  EXPECT_EQ(items.LastIndexOf(seen[1]), 1u);

  Lamp->RemoveItem(seen[1]);  // deleted by its owner
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0], seen[0]);
  EXPECT_EQ(items[1], seen[2]);
  EXPECT_EQ(Lamp->HintCount(), 1);
}

// A node taken out of its tree keeps its compact lines readable after the
// rest of the file is gone: the text store lives as long as a list using it.
TEST_F(LoadedLists, ANodeTakenOutOfTheTreeOutlivesTheFile) {
  auto* subject = static_cast<TItemsHunk*>(Lamp->Owner);
  subject->SetOwnsItems(false);
  subject->RemoveItem(Lamp);
  subject->SetOwnsItems(true);
  std::unique_ptr<TMetaTextHunk> lamp(Lamp);
  ClearList(Loaded.List);
  EXPECT_EQ(Texts(lamp->Items), (std::vector<std::string>{"On the hook.", "-", "Light it first."}));
  EXPECT_EQ(lamp->Items[2]->Text, "Light it first.");
}

TEST(ItemList, LinesOnlyACompactSlotCanHoldArePushed) {
  auto store = std::make_shared<TTextStore>();
  TItemList items;
  const std::string longest(TItemList::MaxCompactLength, 'x');
  EXPECT_TRUE(items.PushLine(store->Add(longest), {}, store));
  const std::string tooLong(TItemList::MaxCompactLength + 1, 'y');
  EXPECT_FALSE(items.PushLine(store->Add(tooLong), {}, store));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items.View(0).Text, longest);
  items.DeleteAll();
  EXPECT_TRUE(items.empty());
}

TEST(TextStore, TextsStayWhereTheyArePutAcrossManyBlocks) {
  TTextStore store;
  std::vector<std::string_view> views;
  std::vector<std::string> texts;
  for (int i = 0; i < 20000; ++i) {
    texts.push_back("line " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 97), '.'));
    views.push_back(store.Add(texts.back()));
  }
  texts.push_back(std::string(3 * 1024 * 1024, 'b'));  // longer than any block
  views.push_back(store.Add(texts.back()));
  views.push_back(store.Add("after the long one"));
  texts.push_back("after the long one");
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(views[i], texts[i]) << i;

  // Room given back right after it was taken is taken again.
  char* first = store.Allocate(10);
  store.Rewind(10);
  EXPECT_EQ(store.Allocate(10), first);
  EXPECT_EQ(views.back(), "after the long one");
}

}  // namespace
