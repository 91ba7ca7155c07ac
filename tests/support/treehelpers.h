#pragma once
// Small helpers for tests that load writer-made files and look into the tree.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "authoring/hintwriter.h"
#include "model/hunk.h"
#include "model/itemshunk.h"
#include "model/loader.h"
#include "support/fixtures.h"

// Builds and loads the file, expecting it to load; returns its bytes.
inline std::string LoadOk(THintFileWriter& writer, TLoaded& loaded, bool inlineImages = false) {
  std::string bytes = writer.Build();
  LoadBytes(bytes, loaded, inlineImages);
  EXPECT_EQ(loaded.Code, LoadResult::Loaded);
  return bytes;
}

// Loads bytes into a new TLoaded.
inline std::unique_ptr<TLoaded> LoadFile(const std::string& bytes, bool inlineImages = false) {
  auto loaded = std::make_unique<TLoaded>();
  LoadBytes(bytes, *loaded, inlineImages);
  return loaded;
}

// The root of a loaded list (ListRoot) as a node with items, or none.
inline TItemsHunk* RootOf(const TLoaded& loaded) { return dynamic_cast<TItemsHunk*>(ListRoot(loaded.List)); }

// The root of the newer section (object 1), or none.
inline TItemsHunk* NewerRoot(const TLoaded& loaded) {
  return loaded.List.size() >= 2 ? dynamic_cast<TItemsHunk*>(loaded.List[1].get()) : nullptr;
}

// Item `index` of a node as a T, or none (also past the end).
template <class T = TItemsHunk>
T* ItemAs(const TItemsHunk& node, std::size_t index) {
  return index < node.ItemCount() ? dynamic_cast<T*>(node.ItemAt(index)) : nullptr;
}

inline std::vector<std::string> ItemTexts(const TItemsHunk& node) {
  std::vector<std::string> texts;
  for (const TZEBObject* item : node.Items) texts.push_back(item->Text);
  return texts;
}

// The line number of a node among the items, or -1 when there is none there.
inline std::int32_t ItemLine(const TItemsHunk& node, std::size_t index) {
  const auto* hunk = index < node.ItemCount() ? dynamic_cast<const THunk*>(node.ItemAt(index)) : nullptr;
  return hunk != nullptr ? hunk->LineNumber : -1;
}
