#include "webpage/urlpath.h"

std::string UrlPathSegment(std::string_view bytes) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string segment;
  segment.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
                       byte == '-' || byte == '.' || byte == '_' || byte == '~';
    if (plain) {
      segment += c;
    } else {
      segment += '%';
      segment += Hex[byte >> 4];
      segment += Hex[byte & 0x0F];
    }
  }
  return segment;
}
