#include "model/metatexthunk.h"

#include <string_view>
#include <utility>

#include "model/encodings.h"
#include "model/hintsrecord.h"
#include "model/loader.h"
#include "model/loadcontext.h"

THunkLine* MakeSeparator() {
  auto* separator = new THunkLine("-", nullptr);
  separator->IsRule = 1;
  separator->EndsLine = 1;
  return separator;
}

TMetaTextHunk::TMetaTextHunk(std::string title, TZEBObject* owner, std::uint8_t kind)
    : TItemsHunk(std::move(title), owner), Kind(kind) {}

std::uint8_t TMetaTextHunk::KindCode() const { return Kind; }
const char* TMetaTextHunk::ClassName() const { return "TMetaTextHunk"; }

bool TMetaTextHunk::HoldsHints() const { return Kind == Kind::Hint || Kind == Kind::NestHint; }

std::int32_t TMetaTextHunk::HintCount() const {
  std::int32_t count = 1;
  for (std::size_t i = 0; i < Items.size(); ++i) {
    const TItemView item = Items.View(i);
    if (!item.IsNode() && item.Text == "-") ++count;
  }
  return count;
}

bool TMetaTextHunk::OwnHintsShownValid() const { return HintsShown <= HintCount(); }

void TMetaTextHunk::SaveHintsShown(std::string& record) const {
  if (HoldsHints()) record += std::to_string(HintsShown) + ",";
  TItemsHunk::SaveHintsShown(record);
}

void TMetaTextHunk::RestoreHintsShown(std::string& record) {
  THintsRecordReading reading(record);
  if (HoldsHints()) HintsShown = reading.Next();
  TItemsHunk::RestoreHintsShown(record);
}

void TMetaTextHunk::ResetHintsShown() {
  if (HoldsHints()) HintsShown = 0;
  TItemsHunk::ResetHintsShown();
}

void TMetaTextHunk::SetHintsShown(std::int32_t count) { HintsShown = count; }
std::int32_t TMetaTextHunk::GetHintsShown() const { return HintsShown; }

void TMetaTextHunk::ReadBody(TLoadContext& context) {
  switch (Kind) {
    case Kind::Subject:
      ReadSubjectBody(context);
      break;
    case Kind::Hint:
      ReadHintBody(context);
      break;
    case Kind::NestHint:
      ReadNestHintBody(context);
      break;
    default:
      ReadPlainBody(context);
      break;
  }
}

void TMetaTextHunk::ReadSubjectBody(TLoadContext& context) {
  ReserveLines(context, false);
  // The nested hunks fill lines 3 to n; a body that runs past the end of the
  // text stops at the first hunk that cannot be read.
  for (std::int64_t i = 3; i <= LineCount;) {
    THunk* child = ReadHunk(context, this);
    if (child == nullptr) break;
    i += child->LineCount;
    AddLine(child);
  }
}

void TMetaTextHunk::AddSeparator() {
  if (!Items.empty()) Items.SetEndsLine(Items.size() - 1, 1);
  // Every separator's text is this one constant, which outlives every list.
  static constexpr std::string_view Separator = "-";
  if (!AddCompactLine(Separator, 1, nullptr)) AddLine(MakeSeparator());
}

void TMetaTextHunk::ReadHintBody(TLoadContext& context) {
  const TLineDecoder decoder = TLineDecoder::Scrambled88a();
  ReserveLines(context, true);
  for (std::int64_t i = 3; i <= LineCount && !context.Stopped(); ++i) {
    const std::string_view line = context.ReadLineView();
    if (line == "-") {
      AddSeparator();
    } else {
      AddFileLine(context, line, decoder);
    }
  }
}

void TMetaTextHunk::ReadNestHintBody(TLoadContext& context) {
  THunk* root = RootNode();
  const std::string mask = TitleMask(root != nullptr ? root->Text : Text);
  const TLineDecoder decoder = TLineDecoder::MaskedWith(mask, TMaskVariant::NestedHint);
  ReserveLines(context, false);
  for (std::int64_t i = 3; i <= LineCount && !context.Stopped(); ++i) {
    const std::string_view line = context.ReadLineView();
    if (line == "=") {
      THunk* child = ReadHunk(context, this);
      if (child == nullptr) break;
      AddLine(child);
      i += child->LineCount;
    } else if (line == "-") {
      if (i >= 4) AddSeparator();
    } else {
      AddFileLine(context, line, decoder);
    }
  }
}

void TMetaTextHunk::ReadPlainBody(TLoadContext& context) {
  const TLineDecoder plain;
  ReserveLines(context, true);
  for (std::int64_t i = 3; i <= LineCount && !context.Stopped(); ++i) AddFileLine(context, context.ReadLineView(), plain);
}
