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
  if (Next == nullptr || size > static_cast<std::size_t>(Next - Blocks.back().get())) return;
  Next -= size;
  Left += size;
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
    const std::size_t grown = Blocks.empty() ? FirstBlock : std::min(LargestBlock, 2 * ReservedBytes);
    Blocks.reserve(Blocks.size() + 1);
    if (size > grown) {
      // Put before the current block, which stays last for Rewind.
      auto block = std::unique_ptr<char[]>(new char[size]);
      char* at = block.get();
      Blocks.insert(Blocks.end() - (Blocks.empty() ? 0 : 1), std::move(block));
      ReservedBytes += size;
      return at;
    }
    Blocks.push_back(std::unique_ptr<char[]>(new char[grown]));
    ReservedBytes += grown;
    Next = Blocks.back().get();
    Left = grown;
  }
  char* at = Next;
  Next += size;
  Left -= size;
  return at;
}
