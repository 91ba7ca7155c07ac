#include "model/checksum.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
struct TTables {
  std::array<std::uint16_t, 256> Crc{};
  std::array<std::uint8_t, 256> Reversed{};
};

const TTables& Tables() {
  static const TTables tables = [] {
    TTables t;
    for (int i = 0; i < 256; ++i) {
      std::uint16_t r = static_cast<std::uint16_t>(i << 8);
      for (int bit = 0; bit < 8; ++bit) r = static_cast<std::uint16_t>((r & 0x8000) ? (r << 1) ^ 0x8005 : r << 1);
      t.Crc[i] = r;
      std::uint8_t rev = 0;
      for (int bit = 0; bit < 8; ++bit)
        if (i & (1 << bit)) rev = static_cast<std::uint8_t>(rev | (0x80 >> bit));
      t.Reversed[i] = rev;
    }
    return t;
  }();
  return tables;
}

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

std::uint16_t RawChecksum(std::string_view bytes, std::uint16_t start) {
  const TTables& t = Tables();
  std::uint16_t c = start;
  for (const char ch : bytes) {
    const std::uint8_t r = t.Reversed[static_cast<unsigned char>(ch)];
    c = static_cast<std::uint16_t>(t.Crc[(c >> 8) ^ r] ^ (c << 8));
  }
  return c;
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
