#pragma once
// The ZIP extractor of the downloader: opens an archive, tags the members
// whose file name matches (without regard to letter case or stored folder
// parts) and extracts them into one folder. Each member goes to a temporary
// file beside its target and replaces the target only when it is complete,
// its checksum is right and it is synced to disk, so a failed, aborted or
// damaged extraction (or a full disk) never harms the file already there.
// No member can leave the folder: a link of the member's name is replaced
// itself, and what it points to is never written.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

struct zip;

class TZipError : public std::runtime_error {
 public:
  explicit TZipError(const std::string& message, bool writeFailure = false)
      : std::runtime_error(message), WriteFailure(writeFailure) {}
  // The archive was fine, but its member could not be written (a full disk,
  // an unwritable folder).
  bool WriteFailure;
};

class TAbUnZipper {
 public:
  TAbUnZipper() = default;
  ~TAbUnZipper();
  TAbUnZipper(const TAbUnZipper&) = delete;
  TAbUnZipper& operator=(const TAbUnZipper&) = delete;

  // Opens the archive; throws TZipError when it is no readable ZIP archive.
  void SetFileName(const std::string& path);
  // The destination folder (ending with "/" or not).
  void SetBaseDirectory(const std::string& folder);
  // Tags every member whose file name (the part after the last "/" or "\")
  // equals name, ignoring the case of ASCII letters; returns how many.
  int TagItems(const std::string& name);
  int GetCount() const { return static_cast<int>(Tags.size()); }
  bool Tagged(int index) const { return Tags.at(static_cast<std::size_t>(index)); }
  // The stored name of a member.
  std::string ItemName(int index) const;
  // Writes every tagged member into the folder under its file name,
  // replacing a file of that name; throws TZipError.
  void ExtractTaggedItems();
  void CloseArchive();

  // Raised while a member is extracted; setting abort stops the extraction
  // with a failure.
  std::function<void(bool& abort)> OnArchiveItemProgress;
  // A member that would expand beyond this is refused.
  std::int64_t MaxExtractedBytes = std::int64_t{256} << 20;

 private:
  void Extract(std::int64_t index);

  zip* Archive = nullptr;
  std::string Folder;
  std::vector<bool> Tags;
};
