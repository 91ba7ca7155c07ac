#pragma once
// Numbers read from settings texts the way C's atol reads them: optional
// leading blanks and a sign, then digits up to the first non-digit; no digits
// gives 0. The result is kept modulo 2^32, so any 32-bit value reads back.

#include <cstdint>
#include <string_view>

std::uint32_t AtolModulo32(std::string_view text);
// The same value as a signed 32-bit number.
std::int32_t Atol32(std::string_view text);
