#pragma once
// Which file a path names, whatever the spelling: two paths (a hard link, a
// symbolic link, "./A.ZEB" beside "A.ZEB") name the same file exactly when
// their identities are equal. The system's own answer, so that a command
// never takes its input for a new file to write.

#include <cstdint>
#include <optional>
#include <string>

struct TFileIdentity {
  std::uint64_t Device = 0;
  std::uint64_t Number = 0;  // the file's number on its device
  bool operator==(const TFileIdentity&) const = default;
};

// The identity of the file at path, links followed; none when no file can
// be looked at there.
std::optional<TFileIdentity> FileIdentityOf(const std::string& path);
