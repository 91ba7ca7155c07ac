#include "downloader/updatelist.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string_view>
#include <vector>

#include <QLocale>
#include <QString>

#include "downloader/listdates.h"
#include "model/textcase.h"
#include "settings/options.h"

namespace {
constexpr std::string_view FileOpen = "<FILE>";
constexpr std::string_view FileClose = "</FILE>";
constexpr std::string_view MessageOpen = "<MESSAGE>";
constexpr std::string_view MessageClose = "</MESSAGE>";


// The whole text as a decimal number, or 0.
std::int32_t SizeValue(const std::string& text) {
  if (text.empty() || text.size() > 10) return 0;
  std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size() || text.find_first_not_of("0123456789", i) != std::string::npos) return 0;
  const long long value = std::stoll(text);
  return value > INT32_MAX || value < INT32_MIN ? 0 : static_cast<std::int32_t>(value);
}

// Position of the first "</FILE>" after the first "<FILE>", or npos. A
// closing tag before the opening one does not close it (the entry could
// otherwise never be taken out of the buffer).
std::size_t EntryClose(const std::string& buffer, std::size_t open) {
  return open == std::string::npos ? std::string::npos : buffer.find(FileClose, open + FileOpen.size());
}

// The lines of the list file, no further than MaxListBytes into it: a line
// of a larger file is cut there and ends the reading, so no file, however
// large or long its lines, needs more memory than the bound.
class TLineReader {
 public:
  explicit TLineReader(std::istream& in) : In(in), Chunk(1 << 16) {}

  // Reads the next line into line, replacing its content; a CR before the
  // LF is dropped. False at the end.
  bool Next(std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
      if (At == Filled && !Refill()) break;
      any = true;
      const char* start = Chunk.data() + At;
      const char* end = Chunk.data() + Filled;
      const char* feed = static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(end - start)));
      if (feed != nullptr) {
        line.append(start, feed);
        At += static_cast<std::size_t>(feed - start) + 1;
        break;
      }
      line.append(start, end);
      At = Filled;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
  }

 private:
  bool Refill() {
    if (Total >= MaxListBytes || !In) return false;
    const std::int64_t room = std::min<std::int64_t>(static_cast<std::int64_t>(Chunk.size()), MaxListBytes - Total);
    In.read(Chunk.data(), static_cast<std::streamsize>(room));
    Filled = static_cast<std::size_t>(In.gcount());
    At = 0;
    Total += static_cast<std::int64_t>(Filled);
    return Filled > 0;
  }

  std::istream& In;
  std::vector<char> Chunk;
  std::size_t At = 0;
  std::size_t Filled = 0;
  std::int64_t Total = 0;
};

// A value cut to at most length bytes, not inside a UTF-8 sequence.
std::string CutTo(std::string_view value, std::size_t length) {
  if (value.size() <= length) return std::string(value);
  std::size_t cut = length;
  for (int back = 0; back < 3 && cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80; ++back) --cut;
  return std::string(value.substr(0, cut));
}
}  // namespace

TFileRecord::TFileRecord() : Updated(NoDate()) {}

namespace {
// Fills the record from the entry body: elements <NAME>value</NAME>. Taking
// an element out of the body leaves no "<" before the next one, so reading
// goes on from where the element ended. False when the entry is skipped.
bool ParseEntryBody(std::string_view body, TFileRecord& record, const TCatalog& catalog) {
  std::size_t from = 0;
  for (;;) {
    const std::size_t p = body.find('<', from);
    if (p == std::string_view::npos) break;
    const std::size_t q = body.find('>', p + 1);
    if (q == std::string_view::npos) break;
    const std::string name(body.substr(p + 1, q - p - 1));
    const std::string closing = "</" + name + ">";
    const std::size_t r = body.find(closing, p);
    if (r == std::string_view::npos) break;
    if (r <= q) {
      // The closing tag overlaps the opening one: skip the opening tag.
      from = q + 1;
      continue;
    }
    const std::string_view value = body.substr(q + 1, r - q - 1);
    from = r + closing.size();
    if (name == "FTITLE") {
      record.Title = CutTo(value, MaxListTitleLength);
    } else if (name == "FURL") {
      if (value.size() > MaxListUrlLength) return false;
      record.Url = value;
    } else if (name == "FNAME") {
      if (value.size() > MaxListFileNameLength) return false;
      record.FileName = value;
    } else if (name == "FDATE") {
      const TListDate date = ParseListDate(CutTo(value, MaxListShortFieldLength));
      record.Updated = date.Date;
      record.UpdatedText = date.Display;
      if (record.Updated != NoDate())
        record.UpdatedText = ShortDateText(record.Updated).toStdString();
    } else if (name == "FSIZE") {
      record.Size = SizeValue(CutTo(value, MaxListShortFieldLength));
      record.SizeText = FormatFileSize(record.Size, true);
    }
  }

  record.HaveCurrent = false;
  // Names compare without regard to the case of their ASCII letters.
  for (const auto& info : catalog) {
    if (!EqualIgnoringCase(info->FileName, record.FileName)) continue;
    record.HaveCurrent = ParseListDate(info->Date).Date >= record.Updated;
    break;
  }
  return true;
}
}  // namespace

bool ParseFileEntry(std::string& buffer, TFileRecord& record, const TCatalog& catalog) {
  const std::size_t open = buffer.find(FileOpen);
  const std::size_t close = EntryClose(buffer, open);
  if (close == std::string::npos) return false;
  const std::string body = buffer.substr(open + FileOpen.size(), close - open - FileOpen.size());
  buffer.erase(open, close + FileClose.size() - open);
  return ParseEntryBody(body, record, catalog);
}

namespace {
// Looks for a tag in a growing buffer without scanning the same text twice:
// a search that fails remembers where a later match could still start.
class TTagFinder {
 public:
  explicit TTagFinder(std::string_view tag) : Tag(tag) {}
  std::size_t Find(const std::string& buffer) {
    const std::size_t at = buffer.find(Tag, From);
    if (at == std::string::npos && buffer.size() >= Tag.size()) From = std::max(From, buffer.size() - Tag.size() + 1);
    return at;
  }
  void StartAt(std::size_t from) { From = from; }

 private:
  std::string_view Tag;
  std::size_t From = 0;
};
}  // namespace

std::vector<TFileRecord> LoadFileList(const std::string& listFile, const TCatalog& catalog, bool showNews,
                                      const std::function<void(const std::string& news)>& onNews) {
  std::vector<TFileRecord> records;
  std::ifstream in(listFile, std::ios::binary);
  if (!in) return records;
  TLineReader lines(in);
  std::string buffer;
  std::string line;
  // Entries taken out of the buffer are passed over instead of erased, so a
  // document of many entries on one line reads in linear time. A news block
  // stays in the buffer with the entries after it; it is handled once, not
  // again for each entry that follows it.
  TTagFinder messageOpen(MessageOpen);
  TTagFinder messageClose(MessageClose);
  TTagFinder fileOpen(FileOpen);
  TTagFinder fileClose(FileClose);
  bool newsHandled = false;
  while (records.size() < MaxListEntries) {
    if (showNews && !newsHandled) {
      const std::size_t open = messageOpen.Find(buffer);
      if (open != std::string::npos) {
        std::size_t close = messageClose.Find(buffer);
        while (close == std::string::npos && lines.Next(line)) {
          buffer += line;
          close = messageClose.Find(buffer);
        }
        if (close != std::string::npos) {
          const std::size_t start = open + MessageOpen.size();
          newsHandled = true;
          if (onNews)
            onNews(close > start ? CutTo(std::string_view(buffer).substr(start, close - start), MaxListNewsLength)
                                 : std::string());
        }
      }
    }
    const std::size_t open = fileOpen.Find(buffer);
    if (open != std::string::npos) {
      fileClose.StartAt(open + FileOpen.size());
      std::size_t close = fileClose.Find(buffer);
      while (close == std::string::npos && lines.Next(line)) {
        buffer += line;
        close = fileClose.Find(buffer);
      }
      if (close == std::string::npos) break;  // the file ended inside the entry
      TFileRecord record;
      if (ParseEntryBody(std::string_view(buffer).substr(open + FileOpen.size(), close - open - FileOpen.size()),
                         record, catalog))
        records.push_back(std::move(record));
      fileOpen.StartAt(close + FileClose.size());
      continue;
    }
    // The next line replaces the buffer: read straight into it.
    if (!lines.Next(buffer)) break;
    for (TTagFinder* finder : {&messageOpen, &messageClose, &fileOpen, &fileClose}) finder->StartAt(0);
    newsHandled = false;
  }
  return records;
}

std::optional<std::string> NewsToShow(const std::string& news, const TOptions& options) {
  if (news == options.LastUpdateMessage || options.SkipUpdateMessages) return std::nullopt;
  std::string shown = news;
  for (std::size_t i = 0; i + 1 < shown.size();) {
    if (shown[i] == '\\' && shown[i + 1] == 'n') {
      shown[i] = '\n';
      shown[i + 1] = '\n';
      i += 2;
    } else {
      ++i;
    }
  }
  return shown;
}

void RememberNews(const std::string& news, bool doNotShowAgain, TOptions& options) {
  if (doNotShowAgain) options.LastUpdateMessage = news;
}
