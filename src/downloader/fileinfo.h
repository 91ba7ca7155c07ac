#pragma once
// The header summary of a hint file on disk: file name, title, version,
// author, publisher, date, time and length, read from the first lines of the
// file without loading it, and cached as an eight-line record.

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "model/zebobject.h"

// The eight lines of one cache record, without their line ends: file name,
// title, length, version, author, publisher, date and time.
using TRecordLines = std::array<std::string_view, 8>;

// Cuts the next record's lines from the front of text, a line ending at
// "\n" or at the end of text, a "\r" before the "\n" dropped; false when
// text holds fewer than eight lines.
bool TakeRecordLines(std::string_view& text, TRecordLines& lines);
// The number of a record's length line: a decimal number, leading blanks
// allowed, then the line end; nothing for any other line.
std::optional<std::int32_t> RecordLength(std::string_view line);

class TFileInfo : public TZEBObject {
 public:
  TFileInfo();
  // Summarises the hint file at path, whose size the caller found.
  TFileInfo(const std::string& path, std::int64_t size);
  TFileInfo(const TFileInfo& other);

  std::string GetText() const override;
  std::uint8_t KindCode() const override;
  bool IsNode() const override;
  // Opens the described hint file through OpenHandler.
  int Open() override;
  const char* ClassName() const override;

  // Reads one cache record; false when the stream holds no complete record.
  bool ReadRecord(std::istream& in);
  // Takes the fields of one record's lines; false, with nothing changed,
  // when its length line is no number.
  bool SetFromRecord(const TRecordLines& lines);
  void WriteRecord(std::ostream& out) const;

  // How the by-title window opens the file a summary describes.
  static std::function<void(TFileInfo&)> OpenHandler;

  std::string FileName;
  std::string Title;
  std::string Version;
  std::string Author;
  std::string Publisher;
  std::string Date;
  std::string Time;
  std::int32_t FileLength = 0;

 private:
  void ScanHeader(const std::string& path);
};

// Upper-cased title with a leading "A " and then "THE " moved to the end.
std::string TitleSortKey(const std::string& title);
bool TitleLess(const TFileInfo& a, const TFileInfo& b);
