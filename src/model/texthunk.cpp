#include "model/texthunk.h"

#include <utility>

#include "model/encodings.h"
#include "model/loadcontext.h"

TTextHunk::TTextHunk(std::string title, TZEBObject* owner) : TItemsHunk(std::move(title), owner) {}

std::uint8_t TTextHunk::KindCode() const { return Kind::Text; }
const char* TTextHunk::ClassName() const { return "TTextHunk"; }

void TTextHunk::ReadBody(TLoadContext& context) {
  context.HasDeferredData = true;
  std::int32_t numbers[4] = {};
  if (context.ReadNumbers(numbers, 4)) {
    TextFlags = numbers[1];
    DataOffset = numbers[2];
    DataLength = numbers[3];
  }
  context.NextLine();
  context.SkipBodyLines(4, LineCount);
}

void TTextHunk::LoadDeferredData(TLoadContext& context) {
  THunk* root = RootNode();
  const std::string mask = TitleMask(root != nullptr ? root->Text : Text);
  THintReader& reader = context.Reader;
  if (reader.Failed()) return;
  const std::int64_t resume = reader.Tell();
  reader.Seek(DataOffset, false);
  LineMode = 1;
  if (TextFlags & 2) BreakMode = 2;
  if (TextFlags & 1) FontMode = 1;
  // Every line counts with two line-end bytes, as the data is written with CR LF.
  std::int64_t read = 0;
  const TLineDecoder decoder = TLineDecoder::MaskedWith(mask, TMaskVariant::TextData);
  ReserveLines(context, false);
  std::string scratch;
  std::string_view line;
  while (read < DataLength && reader.ReadLineView(line, scratch)) {
    read += static_cast<std::int64_t>(line.size()) + 2;
    AddFileLine(context, line, decoder);
  }
  reader.Seek(resume, true);
}
