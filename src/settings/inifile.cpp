#include "settings/inifile.h"

#include <fstream>
#include <string_view>
#include <utility>

#include "fileio/atomicfile.h"
#include "model/textcase.h"
#include "settings/homefolder.h"

namespace {
constexpr std::string_view Blanks = " \t\r";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(Blanks);
  if (first == std::string_view::npos) return std::string_view();
  const std::size_t last = text.find_last_not_of(Blanks);
  return text.substr(first, last - first + 1);
}

// The line without the CR of its line end.
std::string_view Content(const std::string& line) {
  return !line.empty() && line.back() == '\r' ? std::string_view(line).substr(0, line.size() - 1)
                                                : std::string_view(line);
}

// The name of a section header line "[name]", or false when it is none.
// Lines are looked at without copying them: a large hint memory has a
// million of them.
bool SectionName(const std::string& line, std::string_view& name) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return false;
  const std::size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return false;
  name = Trim(trimmed.substr(1, close - 1));
  return true;
}

bool IsSection(const std::string& line) {
  std::string_view ignored;
  return SectionName(line, ignored);
}

// The key name of a line "name=value", or false when it has no "=".
bool KeyName(const std::string& line, std::string_view& name) {
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos) return false;
  name = Trim(std::string_view(line).substr(0, equals));
  return true;
}

// A value cannot hold a line break: it would end the line in the file.
std::string OneLine(std::string value) {
  for (char& c : value)
    if (c == '\n' || c == '\r') c = ' ';
  return value;
}
}  // namespace

TIniFile::TIniFile(std::string path) : FilePath(std::move(path)) {}

void TIniFile::Refresh() {
  Lines.clear();
  std::ifstream in(FilePath, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) Lines.push_back(std::move(line));
}

long TIniFile::FindSection(const std::string& section) const {
  std::string_view name;
  for (std::size_t i = 0; i < Lines.size(); ++i)
    if (SectionName(Lines[i], name) && EqualIgnoringCase(name, section)) return static_cast<long>(i);
  return -1;
}

long TIniFile::FindKey(long sectionLine, const std::string& key, TKeyMatch match) const {
  std::string_view name;
  for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1; i < Lines.size(); ++i) {
    if (IsSection(Lines[i])) break;
    if (!KeyName(Lines[i], name)) continue;
    if (match == TKeyMatch::Exact ? name == key : EqualIgnoringCase(name, key)) return static_cast<long>(i);
  }
  return -1;
}

long TIniFile::FindLine(const std::string& section, const std::string& key, TKeyMatch match) const {
  const long sectionLine = FindSection(section);
  return sectionLine < 0 ? -1 : FindKey(sectionLine, key, match);
}

std::string TIniFile::ReadIniString(const std::string& section, const std::string& key, const std::string& fallback) {
  Refresh();
  const long keyLine = FindLine(section, key, TKeyMatch::IgnoreCase);
  if (keyLine < 0) return fallback;
  const std::string_view line = Content(Lines[static_cast<std::size_t>(keyLine)]);
  std::string value(line.substr(line.find('=') + 1));
  if (value.size() > MaxValueLength) value.resize(MaxValueLength);
  return value;
}

std::string TIniValues::Get(const std::string& key, const std::string& fallback) const {
  const auto found = Values.find(LowerCaseAtoZ(key));
  return found == Values.end() ? fallback : found->second;
}

TIniValues TIniFile::ReadIniStrings(const std::string& section) {
  Refresh();
  TIniValues values;
  const long sectionLine = FindSection(section);
  if (sectionLine < 0) return values;
  std::string_view name;
  for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1; i < Lines.size(); ++i) {
    if (IsSection(Lines[i])) break;
    if (!KeyName(Lines[i], name)) continue;
    const std::string_view line = Content(Lines[i]);
    std::string value(line.substr(line.find('=') + 1));
    if (value.size() > MaxValueLength) value.resize(MaxValueLength);
    values.Values.emplace(LowerCaseAtoZ(std::string(name)), std::move(value));
  }
  return values;
}

std::optional<std::string> TIniFile::ReadWholeValue(const std::string& section, const std::string& key,
                                                    TKeyMatch match, std::size_t maxLength) {
  Refresh();
  const long keyLine = FindLine(section, key, match);
  if (keyLine < 0) return std::nullopt;
  const std::string_view line = Content(Lines[static_cast<std::size_t>(keyLine)]);
  const std::string_view value = line.substr(line.find('=') + 1);
  if (value.size() > maxLength) return std::nullopt;
  return std::string(value);
}

bool TIniFile::WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                              TKeyMatch match) {
  Refresh();
  Put(section, key, value, match);
  return Save();
}

bool TIniFile::WriteIniStrings(const std::string& section,
                               const std::vector<std::pair<std::string, std::string>>& entries) {
  Refresh();
  for (const auto& [key, value] : entries) Put(section, key, value, TKeyMatch::IgnoreCase);
  return Save();
}

bool TIniFile::Apply(const std::vector<TIniChange>& changes) {
  Refresh();
  for (const TIniChange& change : changes) {
    if (change.Value) {
      Put(change.Section, change.Key, *change.Value, change.Match);
    } else {
      Remove(change.Section, change.Key, change.Match);
    }
  }
  return Save();
}

void TIniFile::Remove(const std::string& section, const std::string& key, TKeyMatch match) {
  const long keyLine = FindLine(section, key, match);
  if (keyLine >= 0) Lines.erase(Lines.begin() + keyLine);
}

void TIniFile::Put(const std::string& section, const std::string& key, const std::string& value, TKeyMatch match) {
  const std::string entry = key + "=" + OneLine(value) + "\r";
  long sectionLine = FindSection(section);
  if (sectionLine < 0) {
    if (!Lines.empty() && !Trim(Lines.back()).empty()) Lines.emplace_back("\r");
    Lines.push_back("[" + section + "]\r");
    sectionLine = static_cast<long>(Lines.size()) - 1;
  }
  const long keyLine = FindKey(sectionLine, key, match);
  if (keyLine >= 0) {
    Lines[static_cast<std::size_t>(keyLine)] = entry;
  } else {
    // After the section's last key, before any blank lines that end it.
    std::size_t at = static_cast<std::size_t>(sectionLine) + 1;
    std::size_t insert = at;
    for (; at < Lines.size() && !IsSection(Lines[at]); ++at)
      if (!Trim(Lines[at]).empty()) insert = at + 1;
    Lines.insert(Lines.begin() + static_cast<long>(insert), entry);
  }
}

bool TIniFile::Save() {
  THomeFolder::MakeFolderFor(FilePath);
  // A settings file kept as a link (in a folder of dotfiles) stays one: the
  // file it points to is replaced.
  TAtomicFile file(FilePath, TAtomicFile::TLinks::Follow);
  bool ok = file.Open();
  for (std::size_t i = 0; ok && i < Lines.size(); ++i) ok = file.Write(Lines[i]) && file.Write("\n");
  ok = ok && file.Commit();
  WriteError = ok ? std::string() : file.Error();
  return ok;
}
