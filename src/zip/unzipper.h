#pragma once
// The ZIP extractor of the downloader: opens an archive, tags the members
// whose file name matches (without regard to letter case or stored folder
// parts) and extracts them into one folder. Each member goes to a temporary
// file beside its target and replaces the target only when it is complete,
// its checksum is right and it is synced to disk, so a failed, aborted or
// damaged extraction (or a full disk) never harms the file already there;
// a check of the caller's may refuse the content before it replaces it.
// No member can leave the folder: a link of the member's name is replaced
// itself, and what it points to is never written.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

struct zip;

class TZipError : public std::runtime_error {
 public:
  enum class TKind {
    Archive,    // the archive is damaged, no ZIP archive, or the extraction was aborted
    Write,      // the archive was fine, but its member could not be written (a full disk, an unwritable folder)
    Rejected,   // the member was whole, but the check of its content refused it
    Duplicate,  // the archive holds two members of the same stored name
  };
  explicit TZipError(const std::string& message, TKind kind = TKind::Archive, std::string member = std::string())
      : std::runtime_error(message), Kind(kind), Member(std::move(member)) {}
  TKind Kind;
  // The member's name, for a duplicate.
  std::string Member;
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
  // Writes every tagged member into the folder under its file name (or
  // under TargetName when set), replacing a file of that name; throws
  // TZipError.
  void ExtractTaggedItems();
  void CloseArchive();

  // Raised while a member is extracted; setting abort stops the extraction
  // with a failure.
  std::function<void(bool& abort)> OnArchiveItemProgress;
  // The name a tagged member is written under, in place of its own (the
  // name the caller asked for, in the letter case it asked for); "" keeps
  // the member's own.
  std::string TargetName;
  // Called with the path of a member written whole, before it replaces the
  // file already there: a non-empty answer (why it is refused) drops it,
  // and the extraction fails with that message.
  std::function<std::string(const std::string& path)> CheckExtracted;
  // A member that would expand beyond this is refused.
  std::int64_t MaxExtractedBytes = std::int64_t{256} << 20;

 private:
  void Extract(std::int64_t index);

  zip* Archive = nullptr;
  std::string Folder;
  std::vector<bool> Tags;
};
