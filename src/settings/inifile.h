#pragma once
// A settings file of sections and NAME=value lines, read and written the way
// the profile functions of the original platform do: section and key names
// match without regard to letter case, values are kept as text, a read value
// is cut to 2047 characters, and the first write creates the file and its
// section. Every write keeps the rest of the file as it was and replaces the
// file atomically, so a crash or a full disk never leaves it half written.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class TIniFile {
 public:
  static constexpr std::size_t MaxValueLength = 2047;

  explicit TIniFile(std::string path);

  const std::string& Path() const { return FilePath; }

  // The stored value, or fallback when the key (or the file) is missing.
  std::string ReadIniString(const std::string& section, const std::string& key, const std::string& fallback);
  // Stores the value; returns false when the file could not be written.
  bool WriteIniString(const std::string& section, const std::string& key, const std::string& value);

 private:
  // Reads the file again when it changed on disk since it was last read.
  void Refresh();
  // Line index of the section header, or -1.
  long FindSection(const std::string& section) const;
  // Line index of the key inside the section starting at sectionLine, or -1.
  long FindKey(long sectionLine, const std::string& key) const;
  bool Save();

  std::string FilePath;
  std::vector<std::string> Lines;
  bool Loaded = false;
  std::filesystem::file_time_type LoadedTime{};
  std::uintmax_t LoadedSize = 0;
};
