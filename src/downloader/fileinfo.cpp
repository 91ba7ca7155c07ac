#include "downloader/fileinfo.h"

#include <istream>
#include <ostream>

#include "model/hintreader.h"
#include "model/loader.h"
#include "model/numbers.h"
#include "model/textcase.h"

namespace {
bool StartsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

// A hunk header line of the given keyword: it holds " keyword" (any letter
// case) and starts with a non-zero number.
bool IsHeaderOf(const std::string& line, std::string_view keyword) {
  return LowerCaseAtoZ(line).find(keyword) != std::string::npos && LeadingNumber(line) != 0;
}
}  // namespace

std::function<void(TFileInfo&)> TFileInfo::OpenHandler;

TFileInfo::TFileInfo() : TZEBObject("", nullptr, true) {}

TFileInfo::TFileInfo(const std::string& path, std::int64_t size) : TFileInfo() {
  const std::size_t slash = path.rfind('/');
  FileName = slash == std::string::npos ? path : path.substr(slash + 1);
  FileLength = static_cast<std::int32_t>(size);
  ScanHeader(path);
}

TFileInfo::TFileInfo(const TFileInfo& other)
    : TZEBObject("", nullptr, true),
      FileName(other.FileName),
      Title(other.Title),
      Version(other.Version),
      Author(other.Author),
      Publisher(other.Publisher),
      Date(other.Date),
      Time(other.Time),
      FileLength(other.FileLength) {}

std::string TFileInfo::GetText() const { return Title; }
std::uint8_t TFileInfo::KindCode() const { return Kind::FileInfo; }
bool TFileInfo::IsNode() const { return false; }
const char* TFileInfo::ClassName() const { return "TFileInfo"; }

int TFileInfo::Open() {
  if (OpenHandler) OpenHandler(*this);
  return 0;
}

void TFileInfo::ScanHeader(const std::string& path) {
  THintReader reader;
  if (!reader.Open(path)) return;
  std::string line;
  const auto next = [&]() { return reader.ReadLine(line); };
  if (!next() || line != "ZEB") return;
  Version = "88a";
  if (!next()) return;
  Title = line.substr(std::min(line.find_first_not_of(' '), line.size()));
  do {
    if (!next()) return;
  } while (line != EndOf88aMarker);
  do {
    if (!next()) return;
  } while (!IsHeaderOf(line, " subject"));
  if (!next()) return;
  Title = line;
  do {
    if (!next()) return;
  } while (!IsHeaderOf(line, " version"));
  if (!next()) return;
  Version = line;
  do {
    if (!next()) return;
  } while (!IsHeaderOf(line, " info"));
  const std::size_t space = line.find(' ');
  const std::int64_t count = LeadingNumber(std::string_view(line).substr(0, space));
  for (std::int64_t i = 0; i < count && next(); ++i) {
    if (StartsWithUpper(line, "AUTHOR=")) Author = line.substr(7);
    if (StartsWithUpper(line, "PUBLISHER=")) Publisher = line.substr(10);
    if (StartsWithUpper(line, "DATE=")) Date = line.substr(5);
    if (StartsWithUpper(line, "TIME=")) Time = line.substr(5);
    if (StartsWithUpper(line, "LENGTH=")) FileLength = LeadingNumber(std::string_view(line).substr(7));
  }
}

bool TakeRecordLines(std::string_view& text, TRecordLines& lines) {
  std::string_view rest = text;
  for (std::string_view& line : lines) {
    if (rest.empty()) return false;
    const std::size_t end = rest.find('\n');
    line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  }
  text = rest;
  return true;
}

std::optional<std::int32_t> RecordLength(std::string_view line) {
  std::size_t i = line.find_first_not_of(" \t");
  if (i == std::string_view::npos) return std::nullopt;
  if (line[i] == '+' || line[i] == '-') ++i;
  if (i == line.size() || line.find_first_not_of("0123456789", i) != std::string_view::npos) return std::nullopt;
  return LeadingNumber(line);
}

bool TFileInfo::ReadRecord(std::istream& in) {
  std::string lines[8];
  TRecordLines views;
  for (std::size_t i = 0; i < views.size(); ++i) {
    if (!std::getline(in, lines[i])) return false;
    if (!lines[i].empty() && lines[i].back() == '\r') lines[i].pop_back();
    views[i] = lines[i];
  }
  return SetFromRecord(views);
}

bool TFileInfo::SetFromRecord(const TRecordLines& lines) {
  const std::optional<std::int32_t> length = RecordLength(lines[2]);
  if (!length) return false;
  FileName = lines[0];
  Title = lines[1];
  FileLength = *length;
  Version = lines[3];
  Author = lines[4];
  Publisher = lines[5];
  Date = lines[6];
  Time = lines[7];
  return true;
}

void TFileInfo::WriteRecord(std::ostream& out) const {
  out << FileName << "\r\n"
      << Title << "\r\n"
      << FileLength << "\r\n"
      << Version << "\r\n"
      << Author << "\r\n"
      << Publisher << "\r\n"
      << Date << "\r\n"
      << Time << "\r\n";
}

std::string TitleSortKey(const std::string& title) {
  std::string key = UpperCaseAtoZ(title);
  if (StartsWith(key, "A ")) key = key.substr(2) + ", A";
  if (StartsWith(key, "THE ")) key = key.substr(4) + ", THE";
  return key;
}

bool TitleLess(const TFileInfo& a, const TFileInfo& b) {
  const std::string ka = TitleSortKey(a.Title);
  const std::string kb = TitleSortKey(b.Title);
  // Character codes 0 to 255: compare as unsigned bytes.
  return std::lexicographical_compare(ka.begin(), ka.end(), kb.begin(), kb.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}
