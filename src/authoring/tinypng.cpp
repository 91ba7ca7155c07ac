#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "authoring/hintwriter.h"

// A PNG written by hand: an 8-bit greyscale image whose pixel data is kept in
// stored (uncompressed) deflate blocks, so no compressor is needed.
namespace {
std::uint32_t Crc32(const std::string& bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (const char ch : bytes) c = table[(c ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void Put32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void Chunk(std::string& png, const char* type, const std::string& data) {
  Put32(png, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(type) + data;
  png += typed;
  Put32(png, Crc32(typed));
}
}  // namespace

std::string TinyPng(int width, int height) {
  std::string raw;
  for (int y = 0; y < height; ++y) {
    raw += '\0';  // filter: none
    for (int x = 0; x < width; ++x) raw += static_cast<char>((x * 255) / (width > 1 ? width - 1 : 1));
  }
  std::string zlib = "\x78\x01";
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const char ch : raw) {
    a = (a + static_cast<unsigned char>(ch)) % 65521;
    b = (b + a) % 65521;
  }
  for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
    const bool last = at + n >= raw.size();
    zlib += static_cast<char>(last ? 1 : 0);
    zlib += static_cast<char>(n & 0xFF);
    zlib += static_cast<char>(n >> 8);
    zlib += static_cast<char>(~n & 0xFF);
    zlib += static_cast<char>((~n >> 8) & 0xFF);
    zlib += raw.substr(at, n);
    if (last) break;
  }
  Put32(zlib, (b << 16) | a);

  std::string ihdr;
  Put32(ihdr, static_cast<std::uint32_t>(width));
  Put32(ihdr, static_cast<std::uint32_t>(height));
  ihdr += std::string("\x08\x00\x00\x00\x00", 5);  // 8-bit grey, deflate, no filter, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", zlib);
  Chunk(png, "IEND", "");
  return png;
}
