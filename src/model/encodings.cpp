#include "model/encodings.h"

#include <algorithm>

namespace {
// Bytes enter the arithmetic as signed 8-bit values.
std::int32_t Signed(char c) { return static_cast<std::int8_t>(static_cast<unsigned char>(c)); }

// Keys up to this size (a mixer of the position plus 40, xor a mask byte)
// keep d - 32 above -96 * 64 and the lifted value below 12,288, where the
// remainder by multiplication is exact; longer lines go on byte by byte.
constexpr std::size_t ArithmeticKeysUpTo = 5800;

std::array<std::uint8_t, 256> Build88aTable() {
  std::array<std::uint8_t, 256> table{};
  for (int v = 0; v < 256; ++v) table[v] = static_cast<std::uint8_t>(v);
  for (int v = 32; v < 256; ++v) {
    const int decoded = v <= 79 ? 2 * v - 32 : 2 * v - 127;
    table[v] = static_cast<std::uint8_t>(decoded & 0xFF);
  }
  return table;
}
}  // namespace

const std::array<std::uint8_t, 256>& Table88a() {
  static const std::array<std::uint8_t, 256> table = Build88aTable();
  return table;
}

void Decode88a(std::string& line) { Decode88a(line, line.data()); }

void Decode88a(std::string_view from, char* to) {
  // The table's rule as arithmetic, so that the loop runs on many bytes at once:
  // bytes below 32 stay, 32 to 79 become 2v - 32, the others 2v - 127.
  const auto* in = reinterpret_cast<const std::uint8_t*>(from.data());
  auto* out = reinterpret_cast<std::uint8_t*>(to);
  // Masks instead of branches: which side of 79 a letter falls on is
  // anybody's guess, and a mispredicted branch costs more than the arithmetic.
  for (std::size_t i = 0; i < from.size(); ++i) {
    const std::uint8_t v = in[i];
    const auto high = static_cast<std::uint8_t>(-static_cast<int>(v > 79));
    const auto low = static_cast<std::uint8_t>(-static_cast<int>(v < 32));
    const auto decoded = static_cast<std::uint8_t>(2 * v - 32 - (95 & high));
    out[i] = static_cast<std::uint8_t>((v & low) | (decoded & ~low));
  }
}

std::string TitleMask(std::string_view title) {
  std::string mask(title.size(), '\0');
  for (std::size_t i = 0; i < title.size(); ++i) {
    const std::int32_t salt = static_cast<unsigned char>(MaskSalt[i % 3]);
    std::int32_t v = Signed(title[i]) + (salt ^ static_cast<std::int32_t>(i + 40));
    // "While v > 127: v -= 96", in one step so long titles stay linear.
    if (v > 127) v -= 96 * ((v - 127 + 95) / 96);
    mask[i] = static_cast<char>(v & 0xFF);
  }
  return mask;
}

std::int32_t MaskKey(std::string_view mask, std::size_t i, TMaskVariant variant) {
  const std::size_t n = mask.size();
  const std::size_t at = i % n;
  const std::size_t mixer = variant == TMaskVariant::NestedHint ? i : at;
  return Signed(mask[at]) ^ static_cast<std::int32_t>(mixer + 40);
}

std::uint8_t DecodeMaskedByte(std::uint8_t scrambled, std::int32_t key) {
  std::int32_t d = static_cast<std::int8_t>(scrambled) - key;
  // "While d < 32: d += 96": at most three steps for the keys of ordinary
  // lines, counted without branches; one division for the large keys far
  // into a long line.
  if (d >= -256) {
    d += 96 * ((d < 32) + (d < -64) + (d < -160));
  } else {
    d += 96 * ((32 - d + 95) / 96);
  }
  return static_cast<std::uint8_t>(d & 0xFF);
}

void DecodeWithMask(std::string& line, std::string_view mask, TMaskVariant variant) {
  DecodeWithMask(line, line.data(), mask, variant);
}

void DecodeWithMask(std::string_view from, char* to, std::string_view mask, TMaskVariant variant) {
  if (mask.empty()) {
    if (to != from.data()) std::copy(from.begin(), from.end(), to);
    return;
  }
  // The line is taken one mask length at a time, so the mask position needs
  // no wrapping inside the inner loop.
  const bool nested = variant == TMaskVariant::NestedHint;
  const std::size_t n = mask.size();
  for (std::size_t start = 0; start < from.size(); start += n) {
    const std::size_t count = std::min(n, from.size() - start);
    const std::int32_t mixer = static_cast<std::int32_t>((nested ? start : 0) + 40);
    const char* in = from.data() + start;
    char* out = to + start;
    if (static_cast<std::size_t>(mixer) + count > ArithmeticKeysUpTo) {
      for (std::size_t j = 0; j < count; ++j) {
        const std::int32_t key = Signed(mask[j]) ^ (mixer + static_cast<std::int32_t>(j));
        out[j] = static_cast<char>(DecodeMaskedByte(static_cast<std::uint8_t>(in[j]), key));
      }
      continue;
    }
    // "While d < 32: d += 96" as arithmetic with no branch, so that the loop
    // runs on many bytes at once: d - 32 is lifted by a multiple of 96 above
    // zero, and its remainder by 96 taken with a multiplication (exact for
    // the values these keys give).
    for (std::size_t j = 0; j < count; ++j) {
      const std::int32_t key = Signed(mask[j]) ^ (mixer + static_cast<std::int32_t>(j));
      const std::int32_t d = Signed(in[j]) - key;
      const std::int32_t lifted = d - 32 + 96 * 64;
      const std::int32_t remainder = lifted - 96 * ((lifted * 43691) >> 22);
      const std::int32_t decoded = d < 32 ? 32 + remainder : d;
      out[j] = static_cast<char>(decoded & 0xFF);
    }
  }
}

void TLineDecoder::Decode(std::string_view from, char* to) const {
  switch (Scheme) {
    case TScheme::Scramble88a:
      Decode88a(from, to);
      break;
    case TScheme::Masked:
      DecodeWithMask(from, to, Mask, Variant);
      break;
    case TScheme::Plain:
      if (to != from.data()) std::copy(from.begin(), from.end(), to);
      break;
  }
}
