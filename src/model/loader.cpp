#include "model/loader.h"

#include "model/loadmessages.h"

#include <array>
#include <memory>
#include <new>
#include <string_view>

#include "model/checksum.h"
#include "model/datahunks.h"
#include "model/encodings.h"
#include "model/hintreader.h"
#include "model/hunk.h"
#include "model/incentivehunk.h"
#include "model/infohunk.h"
#include "model/loadcontext.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"
#include "model/texthunk.h"
#include "model/textcase.h"

namespace {
// Keywords in the order of their kind codes.
constexpr std::array<std::string_view, 15> Keywords = {
    "COMMENT", "CREDIT", "GIFA",     "HINT", "SUBJECT", "VERSION", "BLANK",   "INCENTIVE",
    "INFO",    "LINK",   "NESTHINT", "TEXT", "HYPERPNG", "OVERLAY", "SOUND"};

constexpr std::size_t MaxKeyword = 79;
constexpr int TableSize = 1000;

std::uint8_t KeywordKind(const std::string& text) {
  const std::string keyword = UpperCaseAtoZ(text);
  for (std::size_t i = 0; i < Keywords.size(); ++i)
    if (keyword == Keywords[i]) return static_cast<std::uint8_t>(i);
  return Kind::Unknown;
}

std::unique_ptr<THunk> MakeNode(std::uint8_t kind, TZEBObject* owner, bool inlineImages) {
  switch (kind) {
    case Kind::Comment:
    case Kind::Credit:
    case Kind::VerHunk:
    case Kind::Hint:
    case Kind::Subject:
    case Kind::NestHint:
      return std::make_unique<TMetaTextHunk>("", owner, kind);
    case Kind::Gifa:
      return std::make_unique<TGIFaHunk>("", owner);
    case Kind::Blank:
      return std::make_unique<TBlankHunk>("", owner);
    case Kind::Incentive:
      return std::make_unique<TIncentiveHunk>("", owner);
    case Kind::Info:
      return std::make_unique<TInfoHunk>("", owner);
    case Kind::Link:
      return std::make_unique<TLinkHunk>("", owner);
    case Kind::Text:
      return std::make_unique<TTextHunk>("", owner);
    case Kind::HyperPng:
      if (inlineImages) return std::make_unique<TPNGObject>("", owner);
      return std::make_unique<THyperPNGHunk>("", owner);
    case Kind::Overlay:
      return std::make_unique<TOverlayHunk>("", owner);
    case Kind::Sound:
      return std::make_unique<TSoundHunk>("", owner);
    default:
      return std::make_unique<THunk>("", owner);
  }
}

// Result of reading the 88a section: a code, and whether the newer section follows.
struct T88aResult {
  int Code = LoadResult::Loaded;
  bool NewerSectionFollows = false;
};

// The node at the largest index not above `index` that holds one.
TMetaTextHunk* FindParent(const std::array<TMetaTextHunk*, TableSize>& table, int index) {
  while (table[index] == nullptr) --index;
  return table[index];
}

T88aResult Read88aSection(THintReader& reader, TObjectList& list) {
  std::string line;
  // A first line too long for a line is judged by its first bytes all the
  // same: a ZIP archive need hold no line feed for a long way.
  reader.ReadLine(line);
  if (line != "ZEB") {
    const bool zip = line.size() >= 2 && line[0] == 'P' && line[1] == 'K';
    return {zip ? LoadResult::ZipArchive : LoadResult::NotHintFile, false};
  }
  reader.ReadLine(line);
  list.push_back(std::make_unique<TMetaTextHunk>(line, nullptr, Kind::Subject));
  auto* top = static_cast<TMetaTextHunk*>(list.back().get());

  std::int32_t firstHint = 0;
  std::int32_t lastHint = 0;
  if (!reader.ReadNumber(firstHint) || !reader.ReadNumber(lastHint)) return {};
  reader.ReadLine(line);

  // Indexes of 1000 or more are not an 88a body: reading stops there.
  std::array<TMetaTextHunk*, TableSize> table{};
  table[0] = top;
  bool haveSplit = false;
  std::int32_t split = 0;
  for (std::int64_t g = 1; g < firstHint; g += 2) {
    if (g >= TableSize || reader.AtEnd()) return {};
    reader.ReadLine(line);
    Decode88a(line);
    std::int32_t target = 0;
    if (!reader.ReadNumber(target)) return {};
    std::string rest;
    reader.ReadLine(rest);
    if (target < 0 || target >= TableSize) return {};
    TMetaTextHunk* parent = FindParent(table, static_cast<int>(g));
    if (!haveSplit) {
      split = target;
      haveSplit = true;
    }
    auto entry = g < split ? std::make_unique<TMetaTextHunk>(line, parent, Kind::Subject)
                           : std::make_unique<TMetaTextHunk>(line + "?", parent, Kind::Hint);
    entry->LineNumber = static_cast<std::int32_t>(g);
    table[target] = entry.get();
    parent->AddLine(entry.release());
  }
  for (std::int64_t p = firstHint; p <= lastHint; ++p) {
    if (p < 0 || p >= TableSize || reader.AtEnd()) return {};
    reader.ReadLine(line);
    Decode88a(line);
    TMetaTextHunk* parent = FindParent(table, static_cast<int>(p));
    parent->AddLine(new THunkLine(line, nullptr));
    const bool nextIsNode = p + 1 < TableSize && table[p + 1] != nullptr;
    if (!nextIsNode && p != lastHint && !reader.AtEnd()) parent->AddLine(MakeSeparator());
  }
  if (reader.AtEnd()) return {};

  auto note = std::make_unique<TMetaTextHunk>("A note from the author", top, Kind::Credit);
  bool markerFound = false;
  while (reader.ReadLine(line)) {
    if (line == EndOf88aMarker) {
      markerFound = true;
      break;
    }
    note->AddLine(new THunkLine(line, nullptr));
  }
  if (!note->Items.empty()) {
    note->LineNumber = lastHint + 1;
    top->AddLine(note.release());
  }
  return {LoadResult::Loaded, markerFound && !reader.AtEnd() && !reader.Failed()};
}

// Reads the hunks of the newer section into the list.
void ReadNewerSection(TLoadContext& context, TObjectList& list) {
  context.LineCounter = 0;
  THunk* root = ReadHunk(context, nullptr);
  if (root == nullptr) return;  // no hunk at all: the list keeps only the 88a node
  list.push_back(std::unique_ptr<TZEBObject>(root));
  bool infoSeen = false;
  const auto version = [&list] { return dynamic_cast<const TItemsHunk*>(FindByKind(list, Kind::VerHunk)); };
  while (!context.Reader.Failed() && !context.Reader.AtEnd()) {
    THunk* node = ReadHunk(context, root);
    if (node == nullptr) continue;
    list.push_back(std::unique_ptr<TZEBObject>(node));
    if (node->KindCode() == Kind::Incentive) {
      static_cast<TIncentiveHunk*>(node)->Apply();
    } else if (node->KindCode() == Kind::Info) {
      static_cast<TInfoHunk*>(node)->Finish(version());
      infoSeen = true;
    }
  }
  if (context.HasDeferredData) root->LoadDeferredData(context);
  if (!infoSeen) {
    list.push_back(std::make_unique<TInfoHunk>("", root));
    static_cast<TInfoHunk*>(list.back().get())->Finish(version());
  }
}

TLoadResult Damaged(TObjectList& list, TDamage damage) {
  ClearList(list);
  return {LoadResult::BadChecksum, damage, {}};
}

TLoadResult LoadInto(const std::string& path, THintReader& reader, TObjectList& list, bool inlineImages) {
  const T88aResult first = Read88aSection(reader, list);
  if (first.Code != LoadResult::Loaded) {
    ClearList(list);
    return {first.Code, TDamage::None, {}};
  }
  if (reader.LineTooLong()) return Damaged(list, TDamage::LineTooLong);
  if (!first.NewerSectionFollows) return {};

  TLoadContext context(reader, inlineImages);
  ReadNewerSection(context, list);
  // Not checked further: the checksum would wait for the whole file.
  if (context.Damage != TDamage::None) return Damaged(list, context.Damage);
  if (reader.LineTooLong()) return Damaged(list, TDamage::LineTooLong);

  const TZEBObject* info = FindByKind(list, Kind::Info);
  const std::int32_t length = info != nullptr ? static_cast<const TInfoHunk*>(info)->FileLength : 0;
  const TZEBObject* root = list.size() >= 2 ? list[1].get() : nullptr;
  const std::int64_t dataEnd =
      root != nullptr && context.HasEmbeddedData ? static_cast<const THunk*>(root)->DataEnd() : 0;
  if (!VerifyFileChecksum(path, dataEnd, length, &reader.Trail())) return Damaged(list, TDamage::Checksum);
  return {};
}
}  // namespace

THunk* ReadHunk(TLoadContext& context, TZEBObject* owner) {
  THintReader& reader = context.Reader;
  if (context.Depth >= TLoadContext::MaxDepth) {
    context.Damage = TDamage::NestedTooDeep;
    reader.Fail();
    return nullptr;
  }
  std::int32_t count = 0;
  if (!reader.ReadNumber(count)) return nullptr;
  // Exactly one separator character, then the keyword up to the line end.
  std::string keyword;
  if (reader.AtLineEnd()) {
    reader.SkipChar();
  } else {
    if (!reader.SkipChar()) {
      reader.Fail();
      return nullptr;
    }
    reader.ReadLine(keyword);
    if (keyword.size() > MaxKeyword) keyword.resize(MaxKeyword);
  }
  ++context.LineCounter;

  const std::uint8_t kind = KeywordKind(keyword);
  std::unique_ptr<THunk> node = MakeNode(kind, owner, context.InlineImages);
  node->LineNumber = context.LineCounter;
  node->LineCount = count;
  node->Text = context.ReadLine();
  ++context.Depth;
  try {
    node->ReadBody(context);
  } catch (...) {
    --context.Depth;
    throw;
  }
  --context.Depth;
  return node.release();
}

namespace {
TLoadResult LoadCodeAndDamage(const std::string& path, TObjectList& list, bool inlineImages) {
  try {
    THintReader reader;
    if (!reader.Open(path)) return {LoadResult::CannotOpen, TDamage::None, {}};
    if (reader.FileSize() >= TLoadContext::LargeFile) reader.TakeChecksumAside(path);
    ClearList(list);
    return LoadInto(path, reader, list, inlineImages);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  ClearList(list);
  return {LoadResult::OutOfMemory, TDamage::None, {}};
}
}  // namespace

TLoadResult LoadHintFile(const std::string& path, TObjectList& list, bool inlineImages) {
  TLoadResult result = LoadCodeAndDamage(path, list, inlineImages);
  result.Message = LoadErrorMessage(result.Code, path, result.Damage);
  return result;
}

void ClearList(TObjectList& list) {
  for (auto& object : list) object.reset();
  list.clear();
}

TZEBObject* ListRoot(const TObjectList& list) {
  if (list.size() >= 2) return list[1].get();
  if (list.size() == 1) return list[0].get();
  return nullptr;
}

THunk* ListRootNode(const TObjectList& list) {
  TZEBObject* root = ListRoot(list);
  return root != nullptr && root->IsNode() ? static_cast<THunk*>(root) : nullptr;
}

TZEBObject* FindByKind(const TObjectList& list, std::uint8_t kind) {
  for (const auto& object : list)
    if (object->KindCode() == kind) return object.get();
  return nullptr;
}
