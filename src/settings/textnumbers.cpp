#include "settings/textnumbers.h"

std::uint32_t AtolModulo32(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                             text[i] == '\v' || text[i] == '\f'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  return negative ? 0u - value : value;
}

std::int32_t Atol32(std::string_view text) { return static_cast<std::int32_t>(AtolModulo32(text)); }
