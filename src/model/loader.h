#pragma once
// Loading a hint file into its top-level list: object 0 is the 88a top node,
// object 1 (when present) the root of the newer section, then the later
// top-level hunks and an INFO node.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/loadresult.h"
#include "model/zebobject.h"

class THunk;
class TLoadContext;

using TObjectList = std::vector<std::unique_ptr<TZEBObject>>;

// The exact line that ends the 88a section.
inline constexpr const char* EndOf88aMarker = "** END OF 88A FORMAT **";

// Loads the file into the list (emptied first unless the file cannot be
// opened). With inlineImages, pictures show inside their owner's window.
// Hunks nested deeper than TLoadContext::MaxDepth allows, or a line longer
// than THintReader::MaxLine, make the file damaged (code 2): the tree is
// walked by recursion everywhere, and a line is held whole in memory.
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
// header cannot be read or nesting is too deep (the context says so).
THunk* ReadHunk(TLoadContext& context, TZEBObject* owner);
