#pragma once
// What a load of a hint file ended with: a result code, for a damaged file
// what is wrong with it, and the reader's message.

#include <string>

// Result codes of LoadHintFile.
namespace LoadResult {
constexpr int Loaded = 0;
constexpr int NotHintFile = 1;
constexpr int BadChecksum = 2;  // a damaged file: see TDamage for what is wrong
constexpr int OutOfMemory = 3;
constexpr int ZipArchive = 4;
constexpr int CannotOpen = 5;
}  // namespace LoadResult

// What is wrong with a file that loads with code 2.
enum class TDamage {
  None,
  Checksum,       // the integrity checksum does not match
  NestedTooDeep,  // hunks nest deeper than the reader follows
  LineTooLong,    // a line of its text is longer than a line may be
};

// The code, the damage for code 2, and for a failure the reader's message,
// naming the file by the path it was loaded from.
struct TLoadResult {
  int Code = LoadResult::Loaded;
  TDamage Damage = TDamage::None;
  std::string Message;
  bool Loaded() const { return Code == LoadResult::Loaded; }
  friend bool operator==(const TLoadResult& result, int code) { return result.Code == code; }
};
