#include "model/hintreader.h"

#include <cstring>
#include <limits>

#include "model/regularfile.h"

namespace {
constexpr std::size_t BufferSize = 1 << 16;
constexpr char EndOfText = 0x1A;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
}  // namespace

THintReader::~THintReader() {
  if (File != nullptr) std::fclose(File);
}

bool THintReader::Open(const std::string& path) {
  File = OpenRegularFile(path);
  if (File == nullptr) return false;
  if (std::fseek(File, 0, SEEK_END) != 0) return false;
  const long size = std::ftell(File);
  if (size < 0 || std::fseek(File, 0, SEEK_SET) != 0) return false;
  Size = size;
  Buffer.reset(new char[BufferSize]);
  Capacity = BufferSize;
  Seek(0, true);
  // A folder opens but cannot be read.
  Ensure(1);
  return !std::ferror(File);
}

void THintReader::FailLineTooLong() {
  HasFailed = true;
  TooLong = true;
  Len = Pos;  // nothing buffered is read any more either
  Background.reset();
}

void THintReader::TakeChecksumAside(const std::string& path) {
  if (!Background) Background = std::make_unique<TChecksumThread>(path);
}

std::int64_t THintReader::Limit() const {
  if (TextMode && TextEnd >= 0) return TextEnd;
  return Size;
}

void THintReader::Seek(std::int64_t offset, bool textMode) {
  TextMode = textMode;
  const std::int64_t end = BufferOffset + static_cast<std::int64_t>(Len);
  if (offset >= BufferOffset && offset <= end && Len > 0) {
    Pos = static_cast<std::size_t>(offset - BufferOffset);
    // The buffer may hold bytes past the text end that data mode read.
    const std::int64_t limit = Limit();
    if (end > limit) Len = static_cast<std::size_t>(std::max<std::int64_t>(limit - BufferOffset, static_cast<std::int64_t>(Pos)));
    return;
  }
  Pos = 0;
  Len = 0;
  BufferOffset = (offset < 0 || offset > Size) ? Size : offset;
}

bool THintReader::Ensure(std::size_t count) {
  if (Len - Pos >= count) return true;
  if (File == nullptr || HasFailed) return false;
  // Keep the unread bytes and read more behind them.
  const std::size_t kept = Len - Pos;
  if (Pos > 0) {
    std::memmove(Buffer.get(), Buffer.get() + Pos, kept);
    BufferOffset += static_cast<std::int64_t>(Pos);
    Pos = 0;
    Len = kept;
  }
  while (Len < count) {
    const std::int64_t next = BufferOffset + static_cast<std::int64_t>(Len);
    const std::int64_t limit = Limit();
    if (next >= limit) return false;
    if (std::fseek(File, static_cast<long>(next), SEEK_SET) != 0) {
      HasFailed = true;
      return false;
    }
    std::size_t want = Capacity - Len;
    if (static_cast<std::int64_t>(want) > limit - next) want = static_cast<std::size_t>(limit - next);
    const std::size_t got = std::fread(Buffer.get() + Len, 1, want, File);
    if (got == 0) {
      if (std::ferror(File)) HasFailed = true;
      return false;
    }
    if (!Background) ReadTrail.Add(next, std::string_view(Buffer.get() + Len, got));
    std::size_t usable = got;
    if (TextMode && TextEnd < 0) {
      const void* stop = std::memchr(Buffer.get() + Len, EndOfText, got);
      if (stop != nullptr) {
        usable = static_cast<std::size_t>(static_cast<const char*>(stop) - (Buffer.get() + Len));
        TextEnd = next + static_cast<std::int64_t>(usable);
      }
    }
    Len += usable;
    if (usable < got && Len < count) return false;
  }
  return true;
}

bool THintReader::AtEnd() { return !Ensure(1); }

bool THintReader::ReadLine(std::string& line) {
  line.clear();
  bool any = false;
  while (Ensure(1)) {
    any = true;
    const char* start = Buffer.get() + Pos;
    const std::size_t avail = Len - Pos;
    const void* nl = std::memchr(start, '\n', avail);
    if (nl != nullptr) {
      const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
      line.append(start, n);
      Pos += n + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      break;
    }
    line.append(start, avail);
    Pos = Len;
    // One byte more may still be the CR of the line end.
    if (line.size() > MaxLine + 1) break;
  }
  if (line.size() > MaxLine) {
    FailLineTooLong();
    return false;
  }
  return any;
}

bool THintReader::ReadLineView(std::string_view& line, std::string& scratch) {
  if (Ensure(1)) {
    const char* start = Buffer.get() + Pos;
    const void* nl = std::memchr(start, '\n', Len - Pos);
    if (nl != nullptr) {
      std::size_t n = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
      Pos += n + 1;
      if (n > 0 && start[n - 1] == '\r') --n;
      line = std::string_view(start, n);
      if (n <= MaxLine) return true;
      FailLineTooLong();
      line = {};
      return false;
    }
  }
  // The line runs past the buffer (or nothing is left): collect it.
  const bool any = ReadLine(scratch);
  line = TooLong ? std::string_view() : std::string_view(scratch);
  return any;
}

bool THintReader::ReadNumber(std::int32_t& value) {
  value = 0;
  // Blanks on one line count towards its length too.
  std::size_t run = 0;
  for (;;) {
    if (!Ensure(1)) {
      HasFailed = true;
      return false;
    }
    const char c = Buffer[Pos];
    if (!IsBlank(c)) break;
    ++Pos;
    run = c == '\n' ? 0 : run + 1;
    if (run > MaxLine + 1) {
      FailLineTooLong();
      return false;
    }
  }
  std::string token;
  while (Ensure(1) && !IsBlank(Buffer[Pos])) {
    if (token.size() > 16) {  // too long for any 32-bit number
      HasFailed = true;
      return false;
    }
    token.push_back(Buffer[Pos++]);
  }
  std::size_t i = 0;
  bool negative = false;
  if (token[0] == '+' || token[0] == '-') {
    negative = token[0] == '-';
    i = 1;
  }
  if (i == token.size()) {
    HasFailed = true;
    return false;
  }
  std::int64_t v = 0;
  for (; i < token.size(); ++i) {
    const char c = token[i];
    if (c < '0' || c > '9') {
      HasFailed = true;
      return false;
    }
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
    HasFailed = true;
    return false;
  }
  value = static_cast<std::int32_t>(v);
  return true;
}

bool THintReader::AtLineEnd() {
  if (!Ensure(1)) return false;
  if (Buffer[Pos] == '\n') return true;
  return Buffer[Pos] == '\r' && Ensure(2) && Buffer[Pos + 1] == '\n';
}

bool THintReader::SkipChar() {
  if (!Ensure(1)) return false;
  if (Buffer[Pos] == '\r' && Ensure(2) && Buffer[Pos + 1] == '\n') ++Pos;
  ++Pos;
  return true;
}

void THintReader::SkipLineEnd() {
  for (int i = 0; i < 2; ++i) {
    const bool lineEnd = AtLineEnd();
    if (!SkipChar() || lineEnd) return;
  }
}
