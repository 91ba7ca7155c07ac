#include "model/textstore.h"

#include <algorithm>
#include <cstring>

namespace {
// Large enough that a file of millions of lines needs few blocks, small
// enough that a small file does not hold much unused memory.
constexpr std::size_t FirstBlock = 16 * 1024;
constexpr std::size_t LargestBlock = 1024 * 1024;
}  // namespace

std::string_view TTextStore::Add(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > Left) {
    // Blocks double up to the largest size; a longer text gets a block of its
    // own, and the current block stays in use.
    const std::size_t grown = Blocks.empty() ? FirstBlock : std::min(LargestBlock, 2 * ReservedBytes);
    Blocks.reserve(Blocks.size() + 1);
    if (text.size() > grown) {
      Blocks.push_back(std::unique_ptr<char[]>(new char[text.size()]));
      ReservedBytes += text.size();
      std::memcpy(Blocks.back().get(), text.data(), text.size());
      return {Blocks.back().get(), text.size()};
    }
    Blocks.push_back(std::unique_ptr<char[]>(new char[grown]));
    ReservedBytes += grown;
    Next = Blocks.back().get();
    Left = grown;
  }
  char* at = Next;
  std::memcpy(at, text.data(), text.size());
  Next += text.size();
  Left -= text.size();
  return {at, text.size()};
}
