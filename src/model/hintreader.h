#pragma once
// Buffered reader of a hint file. In text mode it sees the text part only:
// everything before the first byte 0x1A. In data mode (after Seek) it reads up
// to the end of the file, for embedded data that lies after the text part.
//
// Lines end with LF; a CR directly before the LF belongs to the line end.
// A failed read (a malformed number, an I/O error, a line longer than
// MaxLine) is sticky: every later read fails too, so that no loop over a
// damaged file can run on. Reading a line never takes more than MaxLine
// bytes and one buffer, whatever the file holds.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <memory>

#include "model/checksum.h"
#include "model/checksumthread.h"

class THintReader {
 public:
  // The longest line of a hint file, in characters without the line end.
  static constexpr std::size_t MaxLine = 10239;

  THintReader() = default;
  ~THintReader();
  THintReader(const THintReader&) = delete;
  THintReader& operator=(const THintReader&) = delete;

  // Opens the file in text mode at offset 0; false when it cannot be opened
  // or read, or is no regular file.
  bool Open(const std::string& path);

  std::int64_t FileSize() const { return Size; }
  // Offset of the next byte to read.
  std::int64_t Tell() const { return BufferOffset + static_cast<std::int64_t>(Pos); }
  // Moves to a byte offset; an offset outside the file leaves nothing to read.
  void Seek(std::int64_t offset, bool textMode);

  bool Failed() const { return HasFailed; }
  void Fail() { HasFailed = true; }
  // True once a line (or a run of blanks before a number) was longer than
  // MaxLine: the read failed there.
  bool LineTooLong() const { return TooLong; }
  // True when there is no next character to read (or a read failed).
  bool AtEnd();

  // Reads a line without its line end. False, with an empty line, when nothing
  // was left to read; false too for a line longer than MaxLine, which fails
  // the reader and leaves the line's first bytes (at least MaxLine) in line.
  bool ReadLine(std::string& line);
  // Reads a line as ReadLine does, as a view of the reader's buffer when the
  // line lies in it, else of `scratch`; the view is good until the next read.
  bool ReadLineView(std::string_view& line, std::string& scratch);
  // Skips blanks (bytes up to 0x20, line ends included), then reads a token of
  // other bytes, which must be an optional sign and decimal digits that fit
  // in 32 bits. Anything else fails the read.
  bool ReadNumber(std::int32_t& value);
  // True when the next character is a line end (LF, or CR LF).
  bool AtLineEnd();
  // Consumes one character; a line end counts as one character.
  bool SkipChar();
  // Skips at most two characters, stopping after the first line end.
  void SkipLineEnd();

  // From now on the checksum is taken of the whole file, on a second thread
  // (a large load, which checks the checksum at its end).
  void TakeChecksumAside(const std::string& path);
  // The checksum of the bytes read so far from the start of the file; once
  // taken aside, of the whole file (waited for here).
  const TChecksumTrail& Trail() { return Background ? Background->Trail() : ReadTrail; }

 private:
  // Makes at least count bytes available from Pos when the text holds them.
  bool Ensure(std::size_t count);
  // Fails the reader for a line longer than MaxLine; the checksum thread,
  // if any, stops: the load ends here.
  void FailLineTooLong();
  std::int64_t Limit() const;

  std::FILE* File = nullptr;
  std::unique_ptr<char[]> Buffer;  // not zero-filled: opening many files stays cheap
  std::size_t Capacity = 0;
  std::size_t Pos = 0;
  std::size_t Len = 0;
  std::int64_t BufferOffset = 0;
  std::int64_t Size = 0;
  std::int64_t TextEnd = -1;  // offset of the first 0x1A; -1 while unknown
  bool TextMode = true;
  bool HasFailed = false;
  bool TooLong = false;
  TChecksumTrail ReadTrail;
  std::unique_ptr<TChecksumThread> Background;
};
