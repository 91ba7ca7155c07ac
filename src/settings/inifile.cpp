#include "settings/inifile.h"

#include <fstream>
#include <string_view>
#include <utility>

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include "model/textcase.h"
#include "settings/homefolder.h"

namespace {
std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// The line without the CR of its line end.
std::string_view Content(const std::string& line) {
  return !line.empty() && line.back() == '\r' ? std::string_view(line).substr(0, line.size() - 1)
                                                : std::string_view(line);
}

bool SameName(const std::string& a, const std::string& b) { return EqualIgnoringCase(a, b); }

// The name of a section header line "[name]", or false when it is none.
bool SectionName(const std::string& line, std::string& name) {
  const std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return false;
  const std::size_t close = trimmed.find(']');
  if (close == std::string::npos) return false;
  name = Trim(trimmed.substr(1, close - 1));
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
  std::string name;
  for (std::size_t i = 0; i < Lines.size(); ++i)
    if (SectionName(Lines[i], name) && SameName(name, section)) return static_cast<long>(i);
  return -1;
}

long TIniFile::FindKey(long sectionLine, const std::string& key, TKeyMatch match) const {
  std::string section;
  for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1; i < Lines.size(); ++i) {
    if (SectionName(Lines[i], section)) break;
    const std::size_t equals = Lines[i].find('=');
    if (equals == std::string::npos) continue;
    const std::string name = Trim(Lines[i].substr(0, equals));
    if (match == TKeyMatch::Exact ? name == key : SameName(name, key)) return static_cast<long>(i);
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
    std::string name;
    for (; at < Lines.size() && !SectionName(Lines[at], name); ++at)
      if (!Trim(Lines[at]).empty()) insert = at + 1;
    Lines.insert(Lines.begin() + static_cast<long>(insert), entry);
  }
}

bool TIniFile::Save() {
  THomeFolder::MakeFolderFor(FilePath);
  QSaveFile file(QString::fromStdString(FilePath));
  bool ok = file.open(QIODevice::WriteOnly);
  for (std::size_t i = 0; ok && i < Lines.size(); ++i) {
    const std::string line = Lines[i] + "\n";
    ok = file.write(line.data(), static_cast<qint64>(line.size())) == static_cast<qint64>(line.size());
  }
  ok = ok && file.commit();
  if (!ok) file.cancelWriting();
  return ok;
}
