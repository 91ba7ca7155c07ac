#pragma once
// The two scramblings of hint text. The 88a substitution is a fixed byte
// table; the masked scheme mixes each byte with a mask derived from the title
// of the file's root hunk. Both keep the length of a line.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The salt that enters every title mask.
inline constexpr std::string_view MaskSalt = "qix";

// The 88a decoding table, indexed by the scrambled byte; built on first use.
const std::array<std::uint8_t, 256>& Table88a();

// Replaces every byte of the line by its 88a decoding.
void Decode88a(std::string& line);
// Writes the 88a decoding of the bytes to `to` (which may be from.data()).
void Decode88a(std::string_view from, char* to);

// The mask of a title: as long as the title.
std::string TitleMask(std::string_view title);

enum class TMaskVariant {
  NestedHint,  // NESTHINT and INCENTIVE lines: k = mask[i mod n] xor (i + 40)
  TextData,    // TEXT hunk data: k = mask[i mod n] xor ((i mod n) + 40)
};

// The key that position i of a line is mixed with.
std::int32_t MaskKey(std::string_view mask, std::size_t i, TMaskVariant variant);

// Decodes one byte scrambled with key k.
std::uint8_t DecodeMaskedByte(std::uint8_t scrambled, std::int32_t key);

// Decodes a line with the mask. An empty mask leaves the line as it is.
void DecodeWithMask(std::string& line, std::string_view mask, TMaskVariant variant);
// Writes the decoding of the bytes with the mask to `to` (which may be
// from.data()); an empty mask copies them.
void DecodeWithMask(std::string_view from, char* to, std::string_view mask, TMaskVariant variant);

// How the lines of a hunk's body are scrambled, for decoding them on the way
// into memory.
struct TLineDecoder {
  enum class TScheme { Plain, Scramble88a, Masked };
  TScheme Scheme = TScheme::Plain;
  std::string_view Mask;  // for Masked
  TMaskVariant Variant = TMaskVariant::NestedHint;

  static TLineDecoder Scrambled88a() { return {TScheme::Scramble88a, {}, TMaskVariant::NestedHint}; }
  static TLineDecoder MaskedWith(std::string_view mask, TMaskVariant variant) { return {TScheme::Masked, mask, variant}; }

  // Writes the decoding of the bytes to `to` (which may be from.data()).
  void Decode(std::string_view from, char* to) const;
};
