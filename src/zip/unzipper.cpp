#include "zip/unzipper.h"

#include <zip.h>

#include <set>

#include "fileio/atomicfile.h"

namespace {
// The file name of a stored member: what follows its last folder separator.
std::string BaseName(const std::string& stored) {
  const std::size_t slash = stored.find_last_of("/\\");
  return slash == std::string::npos ? stored : stored.substr(slash + 1);
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The first stored name that two members share, or "".
std::string FirstDuplicate(zip_t* archive) {
  std::set<std::string> seen;
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
    if (name != nullptr && !seen.insert(name).second) return name;
  }
  return std::string();
}

std::string ZipMessage(zip_error_t* error) {
  const char* text = zip_error_strerror(error);
  return text != nullptr ? text : "unknown error";
}
}  // namespace

TAbUnZipper::~TAbUnZipper() { CloseArchive(); }

void TAbUnZipper::SetFileName(const std::string& path) {
  CloseArchive();
  int code = 0;
  Archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (Archive == nullptr && code == ZIP_ER_EXISTS) {
    // Two members of one name: opened again without the check only to
    // name the member, and refused all the same.
    zip_t* lenient = zip_open(path.c_str(), ZIP_RDONLY, &code);
    const std::string member = lenient != nullptr ? FirstDuplicate(lenient) : std::string();
    if (lenient != nullptr) zip_discard(lenient);
    throw TZipError("the archive holds two files named " + member, TZipError::TKind::Duplicate, member);
  }
  if (Archive == nullptr) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const std::string message = ZipMessage(&error);
    zip_error_fini(&error);
    throw TZipError(message);
  }
  const zip_int64_t count = zip_get_num_entries(Archive, 0);
  Tags.assign(static_cast<std::size_t>(count < 0 ? 0 : count), false);
}

void TAbUnZipper::SetBaseDirectory(const std::string& folder) {
  Folder = folder;
  if (!Folder.empty() && Folder.back() != '/') Folder += '/';
}

std::string TAbUnZipper::ItemName(int index) const {
  if (Archive == nullptr) return std::string();
  const char* name = zip_get_name(Archive, static_cast<zip_uint64_t>(index), ZIP_FL_ENC_RAW);
  return name != nullptr ? name : std::string();
}

int TAbUnZipper::TagItems(const std::string& name) {
  int tagged = 0;
  for (std::size_t i = 0; i < Tags.size(); ++i) {
    const std::string stored = ItemName(static_cast<int>(i));
    // A folder entry ("dir/") has no file name and matches nothing.
    Tags[i] = !stored.empty() && stored.back() != '/' && SameNameIgnoringCase(BaseName(stored), name);
    if (Tags[i]) ++tagged;
  }
  return tagged;
}

void TAbUnZipper::ExtractTaggedItems() {
  if (Archive == nullptr) throw TZipError("no archive is open");
  for (std::size_t i = 0; i < Tags.size(); ++i)
    if (Tags[i]) Extract(static_cast<std::int64_t>(i));
}

void TAbUnZipper::Extract(std::int64_t index) {
  const std::string name = TargetName.empty() ? BaseName(ItemName(static_cast<int>(index))) : TargetName;
  // No folder part survives BaseName (nor is one taken from TargetName); a
  // hidden or empty name is no file to unpack.
  if (name.empty() || name.front() == '.' || name.find_first_of("/\\") != std::string::npos)
    throw TZipError("the member has no usable file name");
  zip_stat_t info;
  zip_stat_init(&info);
  if (zip_stat_index(Archive, static_cast<zip_uint64_t>(index), 0, &info) != 0)
    throw TZipError(ZipMessage(zip_get_error(Archive)));
  if ((info.valid & ZIP_STAT_SIZE) != 0 && info.size > static_cast<zip_uint64_t>(MaxExtractedBytes))
    throw TZipError(name + " would expand beyond " + std::to_string(MaxExtractedBytes >> 20) + " MB");

  zip_file_t* member = zip_fopen_index(Archive, static_cast<zip_uint64_t>(index), 0);
  if (member == nullptr) throw TZipError(ZipMessage(zip_get_error(Archive)));
  // Written beside the target and renamed over it only when whole and
  // synced. A link of the member's name is replaced itself: what it points
  // to, perhaps outside the folder, is never written.
  TAtomicFile out(Folder + name, TAtomicFile::TLinks::Replace);
  if (!out.Open()) {
    zip_fclose(member);
    throw TZipError(out.Error(), TZipError::TKind::Write);
  }
  std::string failure;
  bool writeFailure = false;
  std::int64_t total = 0;
  char buffer[65536];
  for (;;) {
    const zip_int64_t n = zip_fread(member, buffer, sizeof buffer);
    if (n < 0) {
      failure = ZipMessage(zip_file_get_error(member));  // a bad checksum ends here too
      break;
    }
    if (n == 0) break;
    total += n;
    if (total > MaxExtractedBytes) {
      failure = name + " expands beyond " + std::to_string(MaxExtractedBytes >> 20) + " MB";
      break;
    }
    if (!out.Write(std::string_view(buffer, static_cast<std::size_t>(n)))) {
      failure = out.Error();
      writeFailure = true;
      break;
    }
    bool abort = false;
    if (OnArchiveItemProgress) OnArchiveItemProgress(abort);
    if (abort) {
      failure = "extraction aborted";
      break;
    }
  }
  zip_fclose(member);
  if (failure.empty() && (info.valid & ZIP_STAT_SIZE) != 0 && static_cast<zip_uint64_t>(total) != info.size)
    failure = name + " is shorter than the archive says";
  if (!failure.empty()) {
    out.Discard();
    throw TZipError(failure, writeFailure ? TZipError::TKind::Write : TZipError::TKind::Archive);
  }
  if (!out.Finish()) throw TZipError(out.Error(), TZipError::TKind::Write);
  if (CheckExtracted) {
    const std::string refusal = CheckExtracted(out.WrittenPath());
    if (!refusal.empty()) {
      out.Discard();
      throw TZipError(refusal, TZipError::TKind::Rejected);
    }
  }
  if (!out.Commit()) throw TZipError(out.Error(), TZipError::TKind::Write);
}

void TAbUnZipper::CloseArchive() {
  if (Archive != nullptr) zip_discard(Archive);
  Archive = nullptr;
  Tags.clear();
}
