#pragma once
// The parts of a hint file a web page carries whole: its embedded pictures,
// read by offset and length, and digests of all its bytes that tell one
// edition of a file from another.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

class THintFileBytes {
 public:
  // Opens the file only when it is a regular file (a FIFO would block).
  explicit THintFileBytes(const std::string& path);
  ~THintFileBytes();
  THintFileBytes(const THintFileBytes&) = delete;
  THintFileBytes& operator=(const THintFileBytes&) = delete;

  bool IsOpen() const { return File != nullptr; }
  // The bytes at the offset, or nothing when they do not all lie in the file.
  std::optional<std::string> Read(std::int64_t offset, std::int64_t length);
  // Digests of the whole file (of no bytes when it cannot be read): the
  // SHA-256 that keys the memory of a page, and the CRC-32 that keyed it
  // before, for pages that find their hints under the old key.
  struct TDigests {
    std::string Sha256;  // 64 hex digits
    std::string Crc32;   // 8 hex digits
  };
  TDigests Digests();

 private:
  std::FILE* File = nullptr;
  std::int64_t Size = 0;
};

struct TPngSize {
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
};
// The size in the header of a PNG stream, or nothing when the bytes do not
// start with a PNG signature and a header of a sensible size.
std::optional<TPngSize> PngSize(std::string_view png);
