#include "authoring/encoders.h"

#include <array>
#include <cstdio>

namespace {
// The first scrambled byte that decodes to each byte, or -1.
std::array<int, 256> Build88aInverse() {
  std::array<int, 256> inverse;
  inverse.fill(-1);
  const auto& table = Table88a();
  for (int v = 0; v < 256; ++v) {
    const unsigned char plain = table[v];
    const bool breaks = LineBreakingBytes.find(static_cast<char>(v)) != std::string_view::npos;
    if (inverse[plain] < 0 && !breaks) inverse[plain] = v;
  }
  return inverse;
}

bool Allowed(int byte, std::string_view avoid) {
  const char c = static_cast<char>(byte);
  return LineBreakingBytes.find(c) == std::string_view::npos && avoid.find(c) == std::string_view::npos;
}

[[noreturn]] void CannotCarry(std::string_view scheme, unsigned char byte, std::size_t position,
                              std::string_view plain) {
  throw TWriterError(std::string(scheme) + " cannot carry the byte " + ByteName(byte) + " at position " +
                     std::to_string(position) + " of the line \"" + std::string(plain) + "\"");
}
}  // namespace

std::string ByteName(unsigned char byte) {
  char name[8];
  std::snprintf(name, sizeof name, "0x%02X", byte);
  if (byte >= 32 && byte < 127) return std::string(name) + " '" + static_cast<char>(byte) + "'";
  return name;
}

std::string Encode88a(std::string_view plain) {
  static const std::array<int, 256> inverse = Build88aInverse();
  std::string scrambled(plain.size(), '\0');
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const int v = inverse[static_cast<unsigned char>(plain[i])];
    if (v < 0) CannotCarry("The 88a substitution", static_cast<unsigned char>(plain[i]), i, plain);
    scrambled[i] = static_cast<char>(v);
  }
  return scrambled;
}

std::string EncodeWithMask(std::string_view plain, std::string_view mask, TMaskVariant variant,
                           std::string_view avoid) {
  if (mask.empty()) throw TWriterError("Masked text needs a root hunk with a non-empty title");
  std::string scrambled(plain.size(), '\0');
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const unsigned char want = static_cast<unsigned char>(plain[i]);
    const std::int32_t key = MaskKey(mask, i, variant);
    // A scrambled byte e decodes to e - key, raised by 96 until it reaches 32.
    // Candidates: e = want + key exactly (mod 256), and those congruent to it
    // modulo 96 that the raising brings back to the wanted byte.
    const int base = want + key;
    const int exact = ((base + 128) % 256 + 256) % 256 - 128;
    const int low = ((base + 128) % 96 + 96) % 96 - 128;
    const int candidates[4] = {exact, low + 192, low + 96, low};
    int chosen = -1;
    for (const int e : candidates) {
      if (e < -128 || e > 127) continue;
      const int byte = e & 0xFF;
      if (Allowed(byte, avoid) && DecodeMaskedByte(static_cast<std::uint8_t>(byte), key) == want) {
        chosen = byte;
        break;
      }
    }
    if (chosen < 0) CannotCarry("The masked scrambling", want, i, plain);
    scrambled[i] = static_cast<char>(chosen);
  }
  return scrambled;
}
