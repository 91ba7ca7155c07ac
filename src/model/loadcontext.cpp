#include "model/loadcontext.h"

namespace {
constexpr std::size_t PreparedBlock = 2 << 20;
}  // namespace

TLoadContext::TLoadContext(THintReader& reader, bool inlineImages)
    : Reader(reader), InlineImages(inlineImages) {}

TLoadContext::~TLoadContext() {
  if (TextStore) TextStore->StopPreparing();
}

bool TLoadContext::Stopped() { return Reader.Failed() || Reader.AtEnd(); }

std::string TLoadContext::ReadLine() {
  std::string line;
  Reader.ReadLine(line);
  ++LineCounter;
  return line;
}

std::string_view TLoadContext::ReadLineView() {
  std::string_view line;
  Reader.ReadLineView(line, Scratch);
  ++LineCounter;
  return line;
}

const std::shared_ptr<TTextStore>& TLoadContext::SharedTexts() {
  if (!TextStore) {
    TextStore = std::make_shared<TTextStore>();
    if (Reader.FileSize() >= LargeFile) TextStore->PrepareBlocksAhead(PreparedBlock);
  }
  return TextStore;
}

void TLoadContext::SkipBodyLines(std::int64_t first, std::int64_t last) {
  std::string line;
  for (std::int64_t i = first; i <= last && !Stopped(); ++i) {
    Reader.ReadLine(line);
    ++LineCounter;
  }
}

bool TLoadContext::ReadNumbers(std::int32_t* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (!Reader.ReadNumber(values[i])) return false;
  }
  return true;
}

void TLoadContext::NextLine() {
  Reader.SkipLineEnd();
  ++LineCounter;
}
