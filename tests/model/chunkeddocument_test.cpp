// A display document handed on in chunks while it is built: the chunks
// joined are the document built whole, and the tree is left as loaded.

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/chunkeddocument.h"
#include "model/displaydocument.h"
#include "model/loader.h"
#include "support/fixtures.h"

namespace {

THunk* LoadRoot(THintFileWriter& writer, TLoaded& loaded) {
  LoadBytes(writer.Build(), loaded, false);
  EXPECT_EQ(loaded.Code, LoadResult::Loaded);
  return ListRootNode(loaded.List);
}

// An item's text and every layout flag, and whether it is a picture node.
std::string ItemLine(const TZEBObject& item) {
  return item.Text + " |" + std::to_string(item.EndsLine) + std::to_string(item.IsRule) + std::to_string(item.Wraps) +
         std::to_string(item.UseFixedFont) + std::to_string(item.SpaceAfter) +
         (item.KindCode() == Kind::PngObject ? " picture" : "");
}

// How many text lines of the tree are objects (the rest are compact lines).
std::size_t LineObjects(const TItemsHunk& node) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < node.Items.size(); ++i) {
    const TZEBObject* item = node.Items.ObjectAt(i);
    if (item == nullptr) continue;
    if (const auto* child = dynamic_cast<const TItemsHunk*>(item)) {
      count += LineObjects(*child);
    } else if (!item->IsNode()) {
      ++count;
    }
  }
  return count;
}

TWHunkPtr ChunkedTree(THintFileWriter& writer) {
  return Subject("Game", {Subject("Alpha", {Hint("First", {"One", "-", "Two words here", "-", "Three"}),
                                            PlainHunk("CREDIT", "Thanks", {"Someone"})}),
                          NestHint("Second", {"Intro", "-", Hint("Deep", {"Down", "-", "Further"}), "-", "Last"}),
                          writer.HyperPng("Map", TinyPng(2, 2), {{0, 0, 1, 1, Hint("Spot", {"Here"})}}),
                          writer.Text("Rota", 1, {"MON  Cook", "TUE  Maid"}), Hint("Third", {"Alone"})});
}

// The chunks joined are the document built whole, whatever the chunk size,
// and the tree's text lines stay compact lines as loaded.
TEST(ChunkedDocument, ChunksJoinedAreTheWholeDocumentAndTheTreeStaysAsLoaded) {
  std::vector<std::string> whole;
  {
    THintFileWriter writer;
    writer.Hunks = {ChunkedTree(writer)};
    TLoaded loaded;
    THunk* root = LoadRoot(writer, loaded);
    ASSERT_NE(root, nullptr);
    auto document = MakeDocument("Hints for Game");
    root->AssignLabels("");
    root->AppendDisplay(*document);
    for (const TZEBObject* item : document->Items) whole.push_back(ItemLine(*item));
    FreeDocument(std::move(document));
  }
  ASSERT_GT(whole.size(), 30u);

  for (const std::size_t size : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, whole.size() - 1,
                                 whole.size(), whole.size() + 1}) {
    SCOPED_TRACE(size);
    THintFileWriter writer;
    writer.Hunks = {ChunkedTree(writer)};
    TLoaded loaded;
    THunk* root = LoadRoot(writer, loaded);
    ASSERT_NE(root, nullptr);
    auto& top = static_cast<TItemsHunk&>(*root);
    const std::size_t objectsBefore = LineObjects(top);
    std::vector<std::string> joined;
    std::vector<std::size_t> chunkSizes;
    TChunkedDocument document("Hints for Game", size, [&](const TItemsHunk& chunk) {
      chunkSizes.push_back(chunk.ItemCount());
      for (std::size_t i = 0; i < chunk.ItemCount(); ++i) joined.push_back(ItemLine(*chunk.ItemAt(i)));
    });
    document.Build(*root);
    EXPECT_EQ(joined, whole);
    ASSERT_FALSE(chunkSizes.empty());
    for (std::size_t i = 0; i + 1 < chunkSizes.size(); ++i) EXPECT_EQ(chunkSizes[i], size) << "chunk " << i;
    EXPECT_LE(chunkSizes.back(), size);
    EXPECT_EQ(document.ItemCount(), 0u) << "every chunk was handed on";
    EXPECT_EQ(LineObjects(top), objectsBefore) << "building made objects of the tree's lines";
  }
}

}  // namespace
