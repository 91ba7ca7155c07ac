#include "webpage/pagetext.h"

#include <cstdint>

namespace {
// Code points of the bytes 0x80 to 0x9F; the five unassigned bytes keep
// their own value, as the reader shows them.
constexpr char16_t High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char32_t CodePoint(unsigned char b) { return b >= 0x80 && b < 0xA0 ? High[b - 0x80] : b; }

// The rotation at a position: the same for both ranges, taken modulo each.
std::uint32_t Shift(std::size_t position) { return static_cast<std::uint32_t>((position * 31 + 7) % 380); }

unsigned char Rotate(unsigned char b, std::size_t position, bool forward) {
  const std::uint32_t shift = Shift(position);
  if (b >= 0x20 && b <= 0x7E) {
    const std::uint32_t k = shift % 95;
    return static_cast<unsigned char>(0x20 + (b - 0x20 + (forward ? k : 95 - k)) % 95);
  }
  if (b >= 0x80) {
    const std::uint32_t k = shift % 128;
    return static_cast<unsigned char>(0x80 + (b - 0x80 + (forward ? k : 128 - k)) % 128);
  }
  return b;
}

std::string RotateAll(std::string_view bytes, bool forward) {
  std::string out(bytes.size(), '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i)
    out[i] = static_cast<char>(Rotate(static_cast<unsigned char>(bytes[i]), i, forward));
  return out;
}
}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) AppendUtf8(out, CodePoint(static_cast<unsigned char>(c)));
  return out;
}

void AppendHtmlText(std::string& out, std::string_view bytes) {
  for (const char c : bytes) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: {
        const auto b = static_cast<unsigned char>(c);
        // Control characters have no place in HTML text.
        AppendUtf8(out, b < 0x20 ? U' ' : CodePoint(b));
      }
    }
  }
}

void AppendJsonBytes(std::string& out, std::string_view bytes) {
  static constexpr char Hex[] = "0123456789abcdef";
  out += '"';
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '"' || b == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20 || b == '<') {
      out += "\\u00";
      out += Hex[b >> 4];
      out += Hex[b & 15];
    } else {
      AppendUtf8(out, b);
    }
  }
  out += '"';
}

std::string ScrambleForPage(std::string_view bytes) { return RotateAll(bytes, true); }
std::string UnscrambleFromPage(std::string_view bytes) { return RotateAll(bytes, false); }

std::string ShownTitle(std::string_view title) {
  if (title.size() <= ShownTitleLength) return std::string(title);
  // 0x85 is the ellipsis of the Windows Western code page.
  return std::string(title.substr(0, ShownTitleLength)) + '\x85';
}

void AppendBase64(std::string& out, std::string_view bytes) {
  static constexpr char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::size_t i = 0;
  out.reserve(out.size() + (bytes.size() + 2) / 3 * 4);
  for (; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t v = (std::uint32_t{static_cast<unsigned char>(bytes[i])} << 16) |
                            (std::uint32_t{static_cast<unsigned char>(bytes[i + 1])} << 8) |
                            static_cast<unsigned char>(bytes[i + 2]);
    out += Digits[v >> 18];
    out += Digits[(v >> 12) & 63];
    out += Digits[(v >> 6) & 63];
    out += Digits[v & 63];
  }
  const std::size_t rest = bytes.size() - i;
  if (rest == 0) return;
  std::uint32_t v = std::uint32_t{static_cast<unsigned char>(bytes[i])} << 16;
  if (rest == 2) v |= std::uint32_t{static_cast<unsigned char>(bytes[i + 1])} << 8;
  out += Digits[v >> 18];
  out += Digits[(v >> 12) & 63];
  out += rest == 2 ? Digits[(v >> 6) & 63] : '=';
  out += '=';
}
