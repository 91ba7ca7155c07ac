#include "model/checksum.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
// The checksum is CRC-16/ARC (generator 0x8005, reflected) with its 16 bits
// reversed, at every step. Working in the reflected form lets the loop take
// eight bytes at a time (slicing by 8); the state is reversed on the way in
// and out.
struct TTables {
  std::array<std::array<std::uint16_t, 256>, 8> Slice{};
};

const TTables& Tables() {
  static const TTables tables = [] {
    TTables t;
    for (int i = 0; i < 256; ++i) {
      std::uint16_t r = static_cast<std::uint16_t>(i);
      for (int bit = 0; bit < 8; ++bit) r = static_cast<std::uint16_t>((r & 1) ? (r >> 1) ^ 0xA001 : r >> 1);
      t.Slice[0][i] = r;
    }
    for (int k = 1; k < 8; ++k)
      for (int i = 0; i < 256; ++i) {
        const std::uint16_t previous = t.Slice[k - 1][i];
        t.Slice[k][i] = static_cast<std::uint16_t>((previous >> 8) ^ t.Slice[0][previous & 0xFF]);
      }
    return t;
  }();
  return tables;
}

std::uint16_t Reverse16(std::uint16_t v) {
  v = static_cast<std::uint16_t>(((v >> 1) & 0x5555) | ((v & 0x5555) << 1));
  v = static_cast<std::uint16_t>(((v >> 2) & 0x3333) | ((v & 0x3333) << 2));
  v = static_cast<std::uint16_t>(((v >> 4) & 0x0F0F) | ((v & 0x0F0F) << 4));
  return static_cast<std::uint16_t>((v >> 8) | (v << 8));
}

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

std::uint16_t RawChecksum(std::string_view bytes, std::uint16_t start) {
  const auto& slice = Tables().Slice;
  std::uint16_t crc = Reverse16(start);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  for (; n >= 8; n -= 8, p += 8) {
    crc = static_cast<std::uint16_t>(slice[7][p[0] ^ (crc & 0xFF)] ^ slice[6][p[1] ^ (crc >> 8)] ^ slice[5][p[2]] ^
                                     slice[4][p[3]] ^ slice[3][p[4]] ^ slice[2][p[5]] ^ slice[1][p[6]] ^
                                     slice[0][p[7]]);
  }
  for (; n > 0; --n, ++p) crc = static_cast<std::uint16_t>((crc >> 8) ^ slice[0][(crc ^ *p) & 0xFF]);
  return Reverse16(crc);
}

std::uint16_t AdjustChecksum(std::uint16_t raw) {
  if (raw > 0x7FFF && (raw & 0xFF) != 0) raw = static_cast<std::uint16_t>(raw + 0x100);
  return raw;
}

std::uint16_t HintChecksum(std::string_view bytes) { return AdjustChecksum(RawChecksum(bytes)); }

bool VerifyFileChecksum(const std::string& path, std::int64_t dataEnd, std::int32_t replacingLength) {
  std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
  const std::int64_t size = std::ftell(file.get());
  if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return false;

  // Each candidate end P covers the bytes before P - 2; keep those lengths.
  std::vector<std::int64_t> covered;
  const auto addCandidate = [&](std::int64_t end) {
    if (end >= 2 && end <= size) covered.push_back(end - 2);
  };
  const bool lookForEndOfText = replacingLength == 0;
  if (replacingLength != 0) {
    addCandidate(replacingLength);
  } else {
    if (dataEnd > 0) addCandidate(dataEnd);
    addCandidate(size);
  }
  if (covered.empty() && !lookForEndOfText) return false;

  // One pass over the file, noting the checksum at every covered length.
  std::vector<std::pair<std::int64_t, std::uint16_t>> sums;
  std::vector<char> block(1 << 16);
  std::uint16_t c = 0;
  std::int64_t offset = 0;
  bool endOfTextSeen = !lookForEndOfText;
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
    if (got == 0) break;
    if (!endOfTextSeen) {
      if (const void* z = std::memchr(block.data(), 0x1A, got)) {
        endOfTextSeen = true;
        addCandidate(offset + (static_cast<const char*>(z) - block.data()) + 3);
      }
    }
    std::size_t at = 0;
    while (at < got) {
      // Take the nearest covered length inside this block as a stop.
      std::int64_t stop = offset + static_cast<std::int64_t>(got);
      for (const std::int64_t length : covered)
        if (length >= offset + static_cast<std::int64_t>(at) && length < stop) stop = length;
      const std::size_t until = static_cast<std::size_t>(stop - offset);
      c = RawChecksum(std::string_view(block.data() + at, until - at), c);
      at = until;
      for (const std::int64_t length : covered)
        if (length == stop) sums.emplace_back(length, c);
      if (at < got) {
        // Record each stop once: step past it by one byte.
        c = RawChecksum(std::string_view(block.data() + at, 1), c);
        ++at;
      }
    }
    offset += static_cast<std::int64_t>(got);
    if (std::ferror(file.get())) return false;
  }
  // A covered length equal to the file size never occurs (P <= size).
  for (const auto& [length, sum] : sums) {
    unsigned char stored[2];
    if (std::fseek(file.get(), static_cast<long>(length), SEEK_SET) != 0) continue;
    if (std::fread(stored, 1, 2, file.get()) != 2) continue;
    if (stored[0] + 256u * stored[1] == AdjustChecksum(sum)) return true;
  }
  return false;
}
