#pragma once
// ZIP archives for tests, written with libzip: members of any name
// (also "../x" or "/abs/x") and content, stored or deflated.

#include <zip.h>

#include <string>
#include <utility>
#include <vector>

struct TZipMember {
  std::string Name;
  std::string Bytes;
};

// Writes the archive; false when libzip fails.
inline bool WriteZip(const std::string& path, const std::vector<TZipMember>& members) {
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (archive == nullptr) return false;
  for (const TZipMember& member : members) {
    zip_source_t* source = zip_source_buffer(archive, member.Bytes.data(), member.Bytes.size(), 0);
    if (source == nullptr || zip_file_add(archive, member.Name.c_str(), source, ZIP_FL_ENC_RAW) < 0) {
      zip_discard(archive);
      return false;
    }
  }
  return zip_close(archive) == 0;
}
