#pragma once
// The header summary of a hint file on disk: file name, title, version,
// author, publisher, date, time and length, read from the first lines of the
// file without loading it, and cached as an eight-line record.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "model/zebobject.h"

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
