#pragma once
// SHA-256 of a stream of bytes, fed in pieces of any size. A page keeps the
// revealed hints of a file under this digest of the file's bytes: unlike a
// CRC-32, two files cannot be made to share it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class TSha256 {
 public:
  TSha256();
  void Update(std::string_view bytes);
  // The digest as 64 lower-case hex digits; the object is spent afterwards.
  std::string HexDigest();

 private:
  void Block(const unsigned char* block);

  std::array<std::uint32_t, 8> State;
  std::array<unsigned char, 64> Pending{};
  std::size_t PendingSize = 0;
  std::uint64_t Length = 0;  // bytes fed so far
};

// The SHA-256 of the bytes, in hex.
std::string Sha256Hex(std::string_view bytes);
