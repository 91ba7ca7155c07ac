#include "webpage/filebytes.h"

#include <array>
#include <vector>

#include "model/regularfile.h"
#include "webpage/sha256.h"

THintFileBytes::THintFileBytes(const std::string& path) : File(OpenRegularFile(path)) {
  if (File == nullptr) return;
  const long size = std::fseek(File, 0, SEEK_END) == 0 ? std::ftell(File) : -1;
  if (size < 0) {
    std::fclose(File);
    File = nullptr;
    return;
  }
  Size = size;
}

THintFileBytes::~THintFileBytes() {
  if (File != nullptr) std::fclose(File);
}

std::optional<std::string> THintFileBytes::Read(std::int64_t offset, std::int64_t length) {
  if (File == nullptr || offset < 0 || length <= 0 || offset > Size || length > Size - offset) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  if (std::fseek(File, static_cast<long>(offset), SEEK_SET) != 0) return std::nullopt;
  if (std::fread(bytes.data(), 1, bytes.size(), File) != bytes.size()) return std::nullopt;
  return bytes;
}

THintFileBytes::TDigests THintFileBytes::Digests() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  TSha256 sha;
  if (File != nullptr && std::fseek(File, 0, SEEK_SET) == 0) {
    std::vector<char> buffer(1 << 16);
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), File)) > 0) {
      sha.Update(std::string_view(buffer.data(), got));
      for (std::size_t i = 0; i < got; ++i) crc = table[(crc ^ static_cast<unsigned char>(buffer[i])) & 0xFF] ^ (crc >> 8);
    }
  }
  char text[9];
  std::snprintf(text, sizeof text, "%08x", crc ^ 0xFFFFFFFFu);
  return {sha.HexDigest(), text};
}

std::optional<TPngSize> PngSize(std::string_view png) {
  static constexpr std::string_view Signature("\x89PNG\r\n\x1a\n", 8);
  if (png.size() < 24 || png.substr(0, 8) != Signature || png.substr(12, 4) != "IHDR") return std::nullopt;
  const auto word = [&](std::size_t at) {
    return (std::uint32_t{static_cast<unsigned char>(png[at])} << 24) |
           (std::uint32_t{static_cast<unsigned char>(png[at + 1])} << 16) |
           (std::uint32_t{static_cast<unsigned char>(png[at + 2])} << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  const TPngSize size{word(16), word(20)};
  // The reader refuses pictures beyond 64 million pixels; so does the page.
  if (size.Width == 0 || size.Height == 0 || std::uint64_t{size.Width} * size.Height > 64ull * 1024 * 1024)
    return std::nullopt;
  return size;
}
