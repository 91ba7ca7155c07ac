#include "downloader/updatelist.h"

#include <algorithm>
#include <fstream>
#include <string_view>

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

// Reads the next line into line; a CR before the LF is dropped.
bool NextLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}
}  // namespace

TFileRecord::TFileRecord() : Updated(NoDate()) {}

namespace {
// Fills the record from the entry body: elements <NAME>value</NAME>. Taking
// an element out of the body leaves no "<" before the next one, so reading
// goes on from where the element ended.
void ParseEntryBody(std::string_view body, TFileRecord& record, const TCatalog& catalog) {
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
    const std::string value(body.substr(q + 1, r - q - 1));
    from = r + closing.size();
    if (name == "FTITLE") {
      record.Title = value;
    } else if (name == "FURL") {
      record.Url = value;
    } else if (name == "FNAME") {
      record.FileName = value;
    } else if (name == "FDATE") {
      const TListDate date = ParseListDate(value);
      record.Updated = date.Date;
      record.UpdatedText = date.Display;
      if (record.Updated != NoDate())
        record.UpdatedText = QLocale().toString(record.Updated, QLocale::ShortFormat).toStdString();
    } else if (name == "FSIZE") {
      record.Size = SizeValue(value);
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
}
}  // namespace

void ParseFileEntry(std::string& buffer, TFileRecord& record, const TCatalog& catalog) {
  const std::size_t open = buffer.find(FileOpen);
  const std::size_t close = EntryClose(buffer, open);
  if (close == std::string::npos) return;
  const std::string body = buffer.substr(open + FileOpen.size(), close - open - FileOpen.size());
  buffer.erase(open, close + FileClose.size() - open);
  ParseEntryBody(body, record, catalog);
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
  for (;;) {
    if (showNews && !newsHandled) {
      const std::size_t open = messageOpen.Find(buffer);
      if (open != std::string::npos) {
        std::size_t close = messageClose.Find(buffer);
        while (close == std::string::npos && NextLine(in, line)) {
          buffer += line;
          close = messageClose.Find(buffer);
        }
        if (close != std::string::npos) {
          const std::size_t start = open + MessageOpen.size();
          newsHandled = true;
          if (onNews) onNews(close > start ? buffer.substr(start, close - start) : std::string());
        }
      }
    }
    const std::size_t open = fileOpen.Find(buffer);
    if (open != std::string::npos) {
      fileClose.StartAt(open + FileOpen.size());
      std::size_t close = fileClose.Find(buffer);
      while (close == std::string::npos && NextLine(in, line)) {
        buffer += line;
        close = fileClose.Find(buffer);
      }
      if (close == std::string::npos) break;  // the file ended inside the entry
      TFileRecord record;
      ParseEntryBody(std::string_view(buffer).substr(open + FileOpen.size(), close - open - FileOpen.size()), record,
                     catalog);
      records.push_back(std::move(record));
      fileOpen.StartAt(close + FileClose.size());
      continue;
    }
    if (!NextLine(in, line)) break;
    buffer = line;
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
