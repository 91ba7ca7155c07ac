#include "model/checksum.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "model/regularfile.h"

namespace {
// The checksum is CRC-16/ARC (generator 0x8005, reflected) with its 16 bits
// reversed, at every step. Working in the reflected form lets the loop take
// sixteen bytes at a time (slicing by 16); the state is reversed on the way
// in and out.
constexpr int Slices = 16;

struct TTables {
  std::array<std::array<std::uint16_t, 256>, Slices> Slice{};
};

const TTables& Tables() {
  static const TTables tables = [] {
    TTables t;
    for (int i = 0; i < 256; ++i) {
      std::uint16_t r = static_cast<std::uint16_t>(i);
      for (int bit = 0; bit < 8; ++bit) r = static_cast<std::uint16_t>((r & 1) ? (r >> 1) ^ 0xA001 : r >> 1);
      t.Slice[0][i] = r;
    }
    for (int k = 1; k < Slices; ++k)
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
  for (; n >= 16; n -= 16, p += 16) {
    crc = static_cast<std::uint16_t>(
        slice[15][p[0] ^ (crc & 0xFF)] ^ slice[14][p[1] ^ (crc >> 8)] ^ slice[13][p[2]] ^ slice[12][p[3]] ^
        slice[11][p[4]] ^ slice[10][p[5]] ^ slice[9][p[6]] ^ slice[8][p[7]] ^ slice[7][p[8]] ^ slice[6][p[9]] ^
        slice[5][p[10]] ^ slice[4][p[11]] ^ slice[3][p[12]] ^ slice[2][p[13]] ^ slice[1][p[14]] ^ slice[0][p[15]]);
  }
  for (; n > 0; --n, ++p) crc = static_cast<std::uint16_t>((crc >> 8) ^ slice[0][(crc ^ *p) & 0xFF]);
  return Reverse16(crc);
}

std::uint16_t AdjustChecksum(std::uint16_t raw) {
  if (raw > 0x7FFF && (raw & 0xFF) != 0) raw = static_cast<std::uint16_t>(raw + 0x100);
  return raw;
}

std::uint16_t HintChecksum(std::string_view bytes) { return AdjustChecksum(RawChecksum(bytes)); }

void TChecksumTrail::Add(std::int64_t offset, std::string_view bytes) {
  if (offset != End() || bytes.empty()) return;
  if (FirstEndOfText < 0) {
    if (const void* z = std::memchr(bytes.data(), 0x1A, bytes.size()))
      FirstEndOfText = offset + (static_cast<const char*>(z) - bytes.data());
  }
  const std::uint16_t c = RawChecksum(bytes, Marks.back().second);
  Marks.emplace_back(offset + static_cast<std::int64_t>(bytes.size()), c);
}

namespace {
// The raw checksum of the first `length` bytes, from the trail's nearest
// checkpoint at or before that length and the file's bytes after it.
bool ChecksumFromTrail(std::FILE* file, const TChecksumTrail& trail, std::int64_t length, std::uint16_t& sum) {
  const auto& marks = trail.Checkpoints();
  auto after = std::upper_bound(marks.begin(), marks.end(), length,
                                [](std::int64_t value, const auto& mark) { return value < mark.first; });
  const auto& [from, state] = *std::prev(after);
  std::vector<char> bytes(static_cast<std::size_t>(length - from));
  if (!bytes.empty()) {
    if (std::fseek(file, static_cast<long>(from), SEEK_SET) != 0) return false;
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) return false;
  }
  sum = RawChecksum(std::string_view(bytes.data(), bytes.size()), state);
  return true;
}
}  // namespace

bool VerifyFileChecksum(const std::string& path, std::int64_t dataEnd, std::int32_t replacingLength,
                        const TChecksumTrail* trail) {
  std::unique_ptr<std::FILE, TFileCloser> file(OpenRegularFile(path));
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
  const std::int64_t size = std::ftell(file.get());
  if (size < 0) return false;
  const TChecksumTrail none;
  if (trail == nullptr || trail->End() > size) trail = &none;

  // Each candidate end P covers the bytes before P - 2; keep those lengths.
  std::vector<std::int64_t> covered;
  const auto addCandidate = [&](std::int64_t end) {
    if (end >= 2 && end <= size) covered.push_back(end - 2);
  };
  bool lookForEndOfText = replacingLength == 0;
  if (replacingLength != 0) {
    addCandidate(replacingLength);
  } else {
    if (dataEnd > 0) addCandidate(dataEnd);
    addCandidate(size);
    if (trail->EndOfText() >= 0) {
      addCandidate(trail->EndOfText() + 3);
      lookForEndOfText = false;
    }
  }
  if (covered.empty() && !lookForEndOfText) return false;

  // Lengths the trail covers take their checksum from it.
  std::vector<std::pair<std::int64_t, std::uint16_t>> sums;
  for (const std::int64_t length : covered) {
    std::uint16_t sum = 0;
    if (length <= trail->End() && ChecksumFromTrail(file.get(), *trail, length, sum)) sums.emplace_back(length, sum);
  }
  std::erase_if(covered, [&](std::int64_t length) { return length <= trail->End(); });

  // One pass over the rest of the file, noting the checksum at every covered length.
  std::int64_t offset = trail->End();
  std::uint16_t c = trail->Checkpoints().back().second;
  if ((!covered.empty() || lookForEndOfText) && std::fseek(file.get(), static_cast<long>(offset), SEEK_SET) != 0)
    return false;
  std::vector<char> block(1 << 16);
  bool endOfTextSeen = !lookForEndOfText;
  while (!covered.empty() || !endOfTextSeen) {
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
      bool taken = false;
      for (const std::int64_t length : covered)
        if (length == stop) {
          sums.emplace_back(length, c);
          taken = true;
        }
      if (taken) std::erase(covered, stop);
      if (at < got) {
        // Step past the stop by one byte.
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
