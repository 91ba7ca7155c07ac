#include "model/datahunks.h"

#include <utility>

#include "model/loadcontext.h"

TOverlayHunk::TOverlayHunk(std::string title, TZEBObject* owner) : THunk(std::move(title), owner) {}
std::uint8_t TOverlayHunk::KindCode() const { return Kind::Overlay; }
const char* TOverlayHunk::ClassName() const { return "TOverlayHunk"; }

void TOverlayHunk::ReadBody(TLoadContext& context) {
  std::int32_t numbers[5] = {};
  if (context.ReadNumbers(numbers, 5)) {
    DataOffset = numbers[1];
    DataLength = numbers[2];
    X = numbers[3];
    Y = numbers[4];
  }
  context.NextLine();
  context.SkipBodyLines(4, LineCount);
}

TDataHunk::TDataHunk(std::string title, TZEBObject* owner) : THunk(std::move(title), owner) {}

std::int64_t TDataHunk::DataEnd() const {
  return static_cast<std::int64_t>(DataOffset) + DataLength;
}

void TDataHunk::ReadBody(TLoadContext& context) {
  context.HasEmbeddedData = true;
  std::int32_t numbers[3] = {};
  if (context.ReadNumbers(numbers, 3)) {
    DataOffset = numbers[1];
    DataLength = numbers[2];
  }
  context.NextLine();
  context.SkipBodyLines(4, LineCount);
}

std::uint8_t TGIFaHunk::KindCode() const { return Kind::Gifa; }
const char* TGIFaHunk::ClassName() const { return "TGIFaHunk"; }
std::uint8_t TSoundHunk::KindCode() const { return Kind::Sound; }
const char* TSoundHunk::ClassName() const { return "TSoundHunk"; }

TLinkHunk::TLinkHunk(std::string title, TZEBObject* owner) : THunk(std::move(title), owner) {}
std::uint8_t TLinkHunk::KindCode() const { return Kind::Link; }
const char* TLinkHunk::ClassName() const { return "TLinkHunk"; }

void TLinkHunk::ReadBody(TLoadContext& context) {
  // A link has exactly three lines, whatever its count says.
  context.Reader.ReadNumber(TargetLine);
  context.ReadLine();
}

THunk* TLinkHunk::Target() const {
  THunk* root = const_cast<TLinkHunk*>(this)->RootNode();
  return root != nullptr ? root->FindByLine(TargetLine) : nullptr;
}

THunk* TLinkHunk::FinalTarget() const {
  // A chain that comes back on itself ends nowhere rather than without end.
  THunk* target = Target();
  for (int hops = 0; target != nullptr && target->KindCode() == Kind::Link; ++hops) {
    if (hops == MaxLinkHops) return nullptr;
    target = static_cast<const TLinkHunk*>(target)->Target();
  }
  return target;
}

std::string TLinkHunk::GetLabel() const {
  // A link to a link takes the label at the end of the chain.
  const THunk* target = FinalTarget();
  return target != nullptr ? target->GetLabel() : std::string();
}

TBlankHunk::TBlankHunk(std::string title, TZEBObject* owner) : THunk(std::move(title), owner) {}
std::uint8_t TBlankHunk::KindCode() const { return Kind::Blank; }
const char* TBlankHunk::ClassName() const { return "TBlankHunk"; }
std::string TBlankHunk::GetText() const { return std::string(); }
