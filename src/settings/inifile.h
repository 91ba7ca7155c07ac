#pragma once
// A settings file of sections and NAME=value lines, read and written the way
// the profile functions of the original platform do: section and key names
// match without regard to letter case, values are kept as text, a read value
// is cut to 2047 characters, and the first write creates the file and its
// section. Keys that name files (the hint memory) can instead be matched
// exactly and read whole, so that no record is lost or applied in part.
// Every write keeps the rest of the file as it was and replaces the file
// whole (synced, then renamed), so a crash or a full disk never leaves it
// half written: on a failure the old file stays byte for byte.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// How a key name is matched: without regard to letter case, as the
// profile functions do, or exactly (keys that are case-sensitive paths).
enum class TKeyMatch { IgnoreCase, Exact };

// The keys of one section as one reading of the file found them.
class TIniValues {
 public:
  // The value (cut to 2047 characters), or fallback when the key is missing.
  std::string Get(const std::string& key, const std::string& fallback) const;

 private:
  friend class TIniFile;
  // By lower-cased name; the first line of a name wins, as a lookup finds it.
  std::unordered_map<std::string, std::string> Values;
};

// One change of a write: a value to store, or none to remove the key.
struct TIniChange {
  std::string Section;
  std::string Key;
  std::optional<std::string> Value;
  TKeyMatch Match = TKeyMatch::IgnoreCase;
};

class TIniFile {
 public:
  static constexpr std::size_t MaxValueLength = 2047;

  explicit TIniFile(std::string path);

  const std::string& Path() const { return FilePath; }

  // The stored value, or fallback when the key (or the file) is missing.
  std::string ReadIniString(const std::string& section, const std::string& key, const std::string& fallback);
  // Every key of a section from one reading of the file: a large file (a
  // long hint memory) is read once, not once for each key.
  TIniValues ReadIniStrings(const std::string& section);
  // The whole stored value, not cut; none when the key is missing or the
  // value is longer than maxLength (a value that cannot be read whole).
  std::optional<std::string> ReadWholeValue(const std::string& section, const std::string& key, TKeyMatch match,
                                            std::size_t maxLength);
  // Stores the value; returns false when the file could not be written.
  bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                      TKeyMatch match = TKeyMatch::IgnoreCase);
  // Stores several values of one section in order, writing the file once.
  bool WriteIniStrings(const std::string& section, const std::vector<std::pair<std::string, std::string>>& entries);
  // Makes the changes in order, in any sections, writing the file once.
  bool Apply(const std::vector<TIniChange>& changes);
  // Why the last write failed ("" after a good one).
  const std::string& LastError() const { return WriteError; }

 private:
  // Reads the file again: another program may have changed it.
  void Refresh();
  // Line index of the section header, or -1.
  long FindSection(const std::string& section) const;
  // Line index of the key inside the section starting at sectionLine, or -1.
  long FindKey(long sectionLine, const std::string& key, TKeyMatch match) const;
  // The line of the key, or -1.
  long FindLine(const std::string& section, const std::string& key, TKeyMatch match) const;
  // Sets one key in the lines read, without saving.
  void Put(const std::string& section, const std::string& key, const std::string& value, TKeyMatch match);
  // Removes one key from the lines read, without saving.
  void Remove(const std::string& section, const std::string& key, TKeyMatch match);
  bool Save();

  std::string FilePath;
  // The file's lines, each with the CR of a CR LF line end kept, so that
  // lines a write does not touch keep their bytes.
  std::vector<std::string> Lines;
  std::string WriteError;
};
