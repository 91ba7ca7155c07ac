#include "model/chunkeddocument.h"

#include <algorithm>
#include <memory>
#include <utility>

TChunkedDocument::TChunkedDocument(std::string title, std::size_t chunkItems, TTakeChunk take)
    : TMetaTextHunk(std::move(title), nullptr, Kind::Subject),
      ChunkItems(std::max<std::size_t>(chunkItems, 1)),
      Take(std::move(take)) {
  // The items of the tree are borrowed; the made ones are freed chunk by chunk.
  SetOwnsItems(false);
  Items.reserve(ChunkItems);
}

TChunkedDocument::~TChunkedDocument() { FreeItems(); }

void TChunkedDocument::Build(THunk& root) {
  root.AssignLabels("");
  root.AppendDisplay(*this);
  HandOn();
}

void TChunkedDocument::Append(TZEBObject* item) {
  TItemsHunk::Append(item);
  if (Items.size() >= ChunkItems) HandOn();
}

void TChunkedDocument::AppendFrom(const TItemsHunk& node, std::size_t index) {
  if (node.Items.ObjectAt(index) != nullptr) {
    Append(node.Items[index]);
    return;
  }
  const TItemView line = node.Items.View(index);
  auto copy = std::make_unique<THunkLine>(std::string(line.Text), this);
  copy->EndsLine = line.Flags.EndsLine;
  copy->IsRule = line.Flags.IsRule;
  copy->Wraps = line.Flags.Wraps;
  copy->UseFixedFont = line.Flags.UseFixedFont;
  copy->SpaceAfter = line.Flags.SpaceAfter;
  Append(copy.release());
}

void TChunkedDocument::HandOn() {
  if (Take) Take(*this);
  FreeItems();
}

void TChunkedDocument::FreeItems() {
  for (std::size_t i = 0; i < Items.size(); ++i) {
    if (TZEBObject* item = Items.ObjectAt(i); item != nullptr && item->Owner == this) delete item;
  }
  Items.clear();
  NodeItems = 0;
}
