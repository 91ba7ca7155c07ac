#pragma once
// A display document handed on in chunks while it is built, so that the
// display of a large file is never held whole: once the document holds a
// chunk's worth of items, it hands them on and frees the ones it made.
// Text lines of the tree are copied into the document rather than made
// objects in the tree, so the tree stays as it was loaded.

#include <cstddef>
#include <functional>
#include <string>

#include "model/metatexthunk.h"

class TChunkedDocument : public TMetaTextHunk {
 public:
  // Takes the items of one chunk (they live until it returns).
  using TTakeChunk = std::function<void(const TItemsHunk& chunk)>;

  TChunkedDocument(std::string title, std::size_t chunkItems, TTakeChunk take);
  ~TChunkedDocument() override;

  // Numbers the root's subtree afresh and builds its whole display, handing
  // it on chunk by chunk; the last chunk may be shorter (or empty).
  void Build(THunk& root);

  void Append(TZEBObject* item) override;
  void AppendFrom(const TItemsHunk& node, std::size_t index) override;

 private:
  void HandOn();
  // Deletes the items the document made and forgets the borrowed ones.
  void FreeItems();

  std::size_t ChunkItems;
  TTakeChunk Take;
};
