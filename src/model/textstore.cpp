#include "model/textstore.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {
// Large enough that a file of millions of lines needs few blocks, small
// enough that a small file does not hold much unused memory.
constexpr std::size_t FirstBlock = 16 * 1024;
constexpr std::size_t LargestBlock = 1024 * 1024;
}  // namespace

std::string_view TTextStore::Add(std::string_view text) {
  if (text.empty()) return {};
  char* at = Allocate(text.size());
  std::memcpy(at, text.data(), text.size());
  return {at, text.size()};
}

void TTextStore::Rewind(std::size_t size) {
  // Only room taken from the current block can be given back.
  if (Next == nullptr || size > static_cast<std::size_t>(Next - Current)) return;
  Next -= size;
  Left += size;
}

void TTextStore::PrepareBlocksAhead(std::size_t blockSize) {
  // Reservations of eight blocks: the allocator's own writes at the ends of
  // a reservation touch two of its pages, the thread the rest.
  if (!Supply) Supply = std::make_unique<TBlockSupply>(blockSize, 8);
}

char* TTextStore::AllocateAligned(std::size_t size, std::size_t align) {
  const std::size_t misalignment = reinterpret_cast<std::uintptr_t>(Next) & (align - 1);
  const std::size_t padding = misalignment == 0 ? 0 : align - misalignment;
  if (Next != nullptr && padding + size <= Left) {
    Next += padding;
    Left -= padding;
    return Allocate(size);
  }
  // A new block starts aligned (blocks come from operator new[]), or the
  // allocation gets a block of its own, which is aligned too.
  Left = 0;
  return Allocate(size);
}

char* TTextStore::Allocate(std::size_t size) {
  if (size > Left) {
    // Blocks double up to the largest size; a longer text gets a block of its
    // own, and the current block stays in use.
    std::size_t grown = Blocks.empty() ? FirstBlock : std::min(LargestBlock, 2 * ReservedBytes);
    if (Supply) grown = Supply->BlockSize();
    Blocks.reserve(Blocks.size() + 1);
    if (size > grown) {
      auto block = std::unique_ptr<char[]>(new char[size]);
      char* at = block.get();
      Blocks.push_back(std::move(block));
      ReservedBytes += size;
      return at;
    }
    if (Supply) {
      Current = Supply->Take();
    } else {
      Blocks.push_back(std::unique_ptr<char[]>(new char[grown]));
      Current = Blocks.back().get();
    }
    ReservedBytes += grown;
    Next = Current;
    Left = grown;
  }
  char* at = Next;
  Next += size;
  Left -= size;
  return at;
}
