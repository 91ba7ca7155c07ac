#pragma once
// The 16-bit integrity checksum of hint files with a newer section: CRC-16
// with the generator 0x8005, most significant bit first, over bit-reversed
// bytes, then adjusted. It is stored low byte first right after the bytes it
// covers.

#include <cstdint>
#include <string>
#include <string_view>

// Checksum of the bytes before the adjustment.
std::uint16_t RawChecksum(std::string_view bytes, std::uint16_t start = 0);
// The adjustment: a value above 0x7FFF whose low byte is not 0 gains 0x100.
std::uint16_t AdjustChecksum(std::uint16_t raw);
// The value that must be stored after the bytes.
std::uint16_t HintChecksum(std::string_view bytes);

// Checks the file at its candidate places. dataEnd is the end of the last GIFA
// or SOUND data of the root's subtree (0 when there is none); a nonzero
// replacingLength (from "LENGTH=") replaces all candidates. False when no
// candidate matches or the file cannot be read.
bool VerifyFileChecksum(const std::string& path, std::int64_t dataEnd, std::int32_t replacingLength);
