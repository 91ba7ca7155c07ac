#pragma once
// Decimal numbers inside texts, read the forgiving way: the number at the
// start of a text, after leading spaces, with an optional sign; 0 when there
// is no digit. Values beyond 32 bits are clamped.

#include <cstdint>
#include <string_view>

std::int32_t LeadingNumber(std::string_view text);
