#pragma once
// Loading a hint file into its top-level list: object 0 is the 88a top node,
// object 1 (when present) the root of the newer section, then the later
// top-level hunks and an INFO node.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/zebobject.h"

class THunk;
class TLoadContext;

using TObjectList = std::vector<std::unique_ptr<TZEBObject>>;

// Result codes of LoadHintFile.
namespace LoadResult {
constexpr int Loaded = 0;
constexpr int NotHintFile = 1;
constexpr int BadChecksum = 2;
constexpr int OutOfMemory = 3;
constexpr int ZipArchive = 4;
constexpr int CannotOpen = 5;
}  // namespace LoadResult

// The exact line that ends the 88a section.
inline constexpr const char* EndOf88aMarker = "** END OF 88A FORMAT **";

// What a load ended with: its code, and for a failure the reader's message,
// naming the file by the path it was loaded from.
struct TLoadResult {
  int Code = LoadResult::Loaded;
  std::string Message;
  bool Loaded() const { return Code == LoadResult::Loaded; }
  friend bool operator==(const TLoadResult& result, int code) { return result.Code == code; }
};

// Loads the file into the list (emptied first unless the file cannot be
// opened). With inlineImages, pictures show inside their owner's window.
TLoadResult LoadHintFile(const std::string& path, TObjectList& list, bool inlineImages);

// Deletes every object of the list in order and empties it.
void ClearList(TObjectList& list);
// Object 1 when the list holds two or more, object 0 when it holds one, else none.
TZEBObject* ListRoot(const TObjectList& list);
// ListRoot as a node (the 88a top node for the oldest files), or none.
THunk* ListRootNode(const TObjectList& list);
// The first object whose kind code is `kind`, or none.
TZEBObject* FindByKind(const TObjectList& list, std::uint8_t kind);

// The hunk factory: reads one hunk and makes its node, or none when the
// header cannot be read (or nesting is too deep).
THunk* ReadHunk(TLoadContext& context, TZEBObject* owner);
