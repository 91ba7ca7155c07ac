#pragma once
// The text of the lines of one loaded file, copied into large blocks one after
// the other. A text stays where it was put until the store goes, so lines
// refer to it instead of holding a string each; the whole store is freed at
// once.

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "model/blocksupply.h"

class TTextStore {
 public:
  TTextStore() = default;
  TTextStore(const TTextStore&) = delete;
  TTextStore& operator=(const TTextStore&) = delete;

  // Copies the text into the store; the view stays valid as long as the store.
  std::string_view Add(std::string_view text);
  // Room for `size` bytes, to be filled by the caller (a line decoded in
  // place). Rewind(size) right after gives the room back.
  char* Allocate(std::size_t size);
  // Room for `size` bytes at an address that is a multiple of align (a power of two).
  char* AllocateAligned(std::size_t size, std::size_t align);
  void Rewind(std::size_t size);

  // From now on new blocks are of this size and touched ahead on a second
  // thread (for a large load); StopPreparing ends the thread, and later
  // blocks are taken untouched.
  void PrepareBlocksAhead(std::size_t blockSize);
  void StopPreparing() {
    if (Supply) Supply->Stop();
  }

  // Bytes taken from the system, for measurements.
  std::size_t Reserved() const { return ReservedBytes; }

 private:
  std::vector<std::unique_ptr<char[]>> Blocks;
  char* Current = nullptr;  // start of the block that Next points into
  char* Next = nullptr;
  std::size_t Left = 0;
  std::size_t ReservedBytes = 0;
  std::unique_ptr<TBlockSupply> Supply;
};
