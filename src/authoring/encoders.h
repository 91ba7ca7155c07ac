#pragma once
// Scrambling of hint text: the inverse of the decodings of the model.
// decode(encode(x)) == x for every text an encoder accepts; a byte that a
// scheme cannot carry (or only as a byte that would break the file's lines)
// raises TWriterError naming the byte and its position.

#include <stdexcept>
#include <string>
#include <string_view>

#include "model/encodings.h"

class TWriterError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bytes no scrambled line may contain: they would end the line or the text part.
inline constexpr std::string_view LineBreakingBytes{"\n\r\x1a", 3};

std::string Encode88a(std::string_view plain);

// `avoid` lists further bytes the scrambled line must not contain (INCENTIVE
// lines avoid "#", which the reader would take for markup).
std::string EncodeWithMask(std::string_view plain, std::string_view mask, TMaskVariant variant,
                           std::string_view avoid = {});

// A short printable form of a byte for messages, such as 0xE8.
std::string ByteName(unsigned char byte);
