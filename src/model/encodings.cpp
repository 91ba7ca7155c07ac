#include "model/encodings.h"

namespace {
// Bytes enter the arithmetic as signed 8-bit values.
std::int32_t Signed(char c) { return static_cast<std::int8_t>(static_cast<unsigned char>(c)); }

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

void Decode88a(std::string& line) {
  const auto& table = Table88a();
  for (char& c : line) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
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
  if (mask.empty()) return;
  // The mask position wraps by counting, not by dividing for every byte.
  const bool nested = variant == TMaskVariant::NestedHint;
  std::size_t at = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const std::int32_t key = Signed(mask[at]) ^ static_cast<std::int32_t>((nested ? i : at) + 40);
    line[i] = static_cast<char>(DecodeMaskedByte(static_cast<std::uint8_t>(line[i]), key));
    if (++at == mask.size()) at = 0;
  }
}
