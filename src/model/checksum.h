#pragma once
// The 16-bit integrity checksum of hint files with a newer section: CRC-16
// with the generator 0x8005, most significant bit first, over bit-reversed
// bytes, then adjusted. It is stored low byte first right after the bytes it
// covers.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Checksum of the bytes before the adjustment.
std::uint16_t RawChecksum(std::string_view bytes, std::uint16_t start = 0);
// The adjustment: a value above 0x7FFF whose low byte is not 0 gains 0x100.
std::uint16_t AdjustChecksum(std::uint16_t raw);
// The value that must be stored after the bytes.
std::uint16_t HintChecksum(std::string_view bytes);

// The checksum of the bytes a reader has already read from the start of a
// file, in order, so that checking the file needs no second pass over them.
class TChecksumTrail {
 public:
  // Takes bytes read at the offset; only the bytes that continue the trail
  // (offset == End()) count, anything else read out of order is ignored.
  void Add(std::int64_t offset, std::string_view bytes);
  // The bytes before this offset are covered.
  std::int64_t End() const { return Marks.back().first; }
  // Offset of the first byte 0x1A in the covered bytes, or -1 when none.
  std::int64_t EndOfText() const { return FirstEndOfText; }
  // The raw checksum state after each read: offset and state, from (0, 0) on.
  const std::vector<std::pair<std::int64_t, std::uint16_t>>& Checkpoints() const { return Marks; }

 private:
  std::vector<std::pair<std::int64_t, std::uint16_t>> Marks{{0, 0}};
  std::int64_t FirstEndOfText = -1;
};

// Checks the file at its candidate places. dataEnd is the end of the last GIFA
// or SOUND data of the root's subtree (0 when there is none); a nonzero
// replacingLength (from "LENGTH=") replaces all candidates. False when no
// candidate matches or the file cannot be read. With a trail, the bytes it
// covers are not read again (only the block around a candidate place).
bool VerifyFileChecksum(const std::string& path, std::int64_t dataEnd, std::int32_t replacingLength,
                        const TChecksumTrail* trail = nullptr);
