#pragma once
// A file extended by whole pieces. Each Append writes all of its bytes or,
// when a write fails (a full disk), cuts the file back to where the piece
// began, so the file never ends in half a piece; what was there before stays
// byte for byte. Close syncs the file to disk.

#include <string>
#include <string_view>

class TAppendFile {
 public:
  explicit TAppendFile(std::string path);
  ~TAppendFile();
  TAppendFile(const TAppendFile&) = delete;
  TAppendFile& operator=(const TAppendFile&) = delete;

  // Opens the file for appending, creating it when missing.
  bool Open();
  // Appends the piece whole; false (with Error) when it could not.
  bool Append(std::string_view piece);
  // Syncs and closes; false when that failed or any piece did.
  bool Close();

  bool Failed() const { return !ErrorText.empty(); }
  const std::string& Error() const { return ErrorText; }

 private:
  void Fail(int error);

  std::string Path;
  int Descriptor = -1;
  std::string ErrorText;
};
