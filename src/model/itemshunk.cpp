#include "model/itemshunk.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "model/hintsrecord.h"
#include "model/loadcontext.h"
#include "model/textwriter.h"

namespace {
constexpr const char* Terminators = "#+-.1234567890";
constexpr std::size_t ShortLine = 20;

bool IsTerminator(char c) { return c != '\0' && std::strchr(Terminators, c) != nullptr; }
bool IsModeTerminator(char c) { return c == '+' || c == '-' || c == '.'; }

// Applies a mode command ("w+", "P-" ...) to the node's modes.
void ApplyModeCommand(TItemsHunk& node, const std::string& command) {
  if (command.size() != 2) return;
  const char letter = command[0];
  const char sign = command[1];
  if (letter == 'w' || letter == 'W') {
    if (sign == '+') {
      node.LineMode = 2;
      node.BreakMode = 1;
    } else if (sign == '-') {
      node.LineMode = 1;
      node.BreakMode = 2;
    } else {
      node.LineMode = 0;
      node.BreakMode = 0;
    }
  } else if (letter == 'p' || letter == 'P') {
    if (sign == '+') node.FontMode = 2;
    if (sign == '-') node.FontMode = 1;
  }
}
}  // namespace

TItemsHunk::TItemsHunk(std::string title, TZEBObject* owner) : THunk(std::move(title), owner) {}

TItemsHunk::~TItemsHunk() {
  CloseWindow();
  if (OwnsItems) {
    Items.DeleteAll();
  } else {
    Items.clear();
  }
}

const char* TItemsHunk::ClassName() const { return "TItemsHunk"; }

THunk* TItemsHunk::FindByLine(std::int32_t number) {
  if (LineNumber == number) return this;
  if (NodeItems == 0) return nullptr;
  for (std::size_t i = 0; i < Items.size(); ++i) {
    if (THunk* node = NodeAt(i))
      if (THunk* found = node->FindByLine(number)) return found;
  }
  return nullptr;
}

THunk* TItemsHunk::FindByTitle(const std::string& title) {
  if (Text == title) return this;
  if (NodeItems == 0) return nullptr;
  for (std::size_t i = 0; i < Items.size(); ++i) {
    if (THunk* node = NodeAt(i))
      if (THunk* found = node->FindByTitle(title)) return found;
  }
  return nullptr;
}

void TItemsHunk::AssignLabels(const std::string& prefix) {
  Label = prefix;
  int counter = 0;
  for (std::size_t i = 0; i < Items.size(); ++i) {
    THunk* node = NodeAt(i);
    if (node == nullptr) continue;
    const std::uint8_t kind = node->KindCode();
    if (kind != Kind::Blank && kind != Kind::Link && kind != Kind::Overlay) ++counter;
    node->AssignLabels(prefix + std::to_string(counter) + ".");
  }
}

std::int64_t TItemsHunk::DataEnd() const {
  std::int64_t end = 0;
  if (NodeItems == 0) return end;
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (const THunk* node = NodeAt(i)) end = std::max(end, node->DataEnd());
  return end;
}

void TItemsHunk::LoadDeferredData(TLoadContext& context) {
  if (NodeItems == 0) return;
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (THunk* node = NodeAt(i)) node->LoadDeferredData(context);
}

void TItemsHunk::RestoreHintsShown(std::string& record) {
  if (NodeItems == 0) return;
  const THintsRecordReading reading(record);  // one reading for the whole walk
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (THunk* node = NodeAt(i)) node->RestoreHintsShown(record);
}

void TItemsHunk::SaveHintsShown(std::string& record) const {
  if (NodeItems == 0) return;
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (const THunk* node = NodeAt(i)) node->SaveHintsShown(record);
}

void TItemsHunk::ResetHintsShown() {
  if (NodeItems == 0) return;
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (THunk* node = NodeAt(i)) node->ResetHintsShown();
}

bool TItemsHunk::HintsShownValid() const {
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (const THunk* node = NodeAt(i); node != nullptr && !node->HintsShownValid()) return false;
  return OwnHintsShownValid();
}

bool TItemsHunk::OwnHintsShownValid() const { return true; }

bool TItemsHunk::SetOwnsItems(bool owns) {
  OwnsItems = owns ? 1 : 0;
  return OwnsItems != 0;
}

void TItemsHunk::Counted(const TZEBObject* item) {
  if (item->IsNode()) ++NodeItems;
}

void TItemsHunk::Append(TZEBObject* item) {
  if (Writer != nullptr) {
    Writer->Write(ViewOf(*item));
    if (item->Owner == this) delete item;
    return;
  }
  Items.push_back(item);
  Counted(item);
}

void TItemsHunk::AppendFrom(const TItemsHunk& node, std::size_t index) {
  if (Writer != nullptr) {
    Writer->Write(node.Items.View(index));
    return;
  }
  Append(node.Items[index]);
}

void TItemsHunk::AppendOwned(TZEBObject* item) {
  try {
    Items.push_back(item);
  } catch (...) {
    delete item;
    throw;
  }
  Counted(item);
}

TItemFlags TItemsHunk::AddedFlags(bool node, std::size_t textSize, bool splitPiece, bool hadMarkup,
                                  bool& endsPrevious) const {
  TItemFlags flags;
  flags.SpaceAfter = splitPiece ? 0 : 1;
  endsPrevious = false;
  if (LineMode == 1) {
    flags.EndsLine = 1;
  } else if (LineMode == 2) {
    flags.EndsLine = 0;
  } else {
    const bool forced = splitPiece || hadMarkup;
    if ((node || textSize == 1) && !forced) {
      flags.EndsLine = 1;
      endsPrevious = true;
    } else {
      flags.EndsLine = (textSize < ShortLine && !forced) ? 1 : 0;
    }
  }
  flags.UseFixedFont = FontMode == 1 ? 1 : 0;
  flags.Wraps = BreakMode == 2 ? 0 : 1;
  return flags;
}

void TItemsHunk::AddItem(TZEBObject* item, bool splitPiece, bool hadMarkup) {
  const bool node = item->IsNode();
  if (!node && item->Text.empty()) {
    // Empty lines never become items; an empty piece before a command joins
    // the previous item to what follows.
    if (splitPiece && !hadMarkup && !Items.empty()) Items.SetSpaceAfter(Items.size() - 1, 0);
    delete item;
    return;
  }
  bool endsPrevious = false;
  const TItemFlags flags = AddedFlags(node, item->Text.size(), splitPiece, hadMarkup, endsPrevious);
  if (endsPrevious && !Items.empty()) Items.SetEndsLine(Items.size() - 1, 1);
  item->EndsLine = flags.EndsLine;
  item->SpaceAfter = flags.SpaceAfter;
  item->UseFixedFont = flags.UseFixedFont;
  item->Wraps = flags.Wraps;
  AppendOwned(item);
}

bool TItemsHunk::AddCompactLine(std::string_view storedText, std::uint8_t isRule,
                                const std::shared_ptr<TTextStore>& store) {
  if (storedText.empty()) return false;
  bool endsPrevious = false;
  TItemFlags flags = AddedFlags(false, storedText.size(), false, false, endsPrevious);
  flags.IsRule = isRule;
  if (!Items.PushLine(storedText, flags, store)) return false;
  if (endsPrevious && Items.size() >= 2) Items.SetEndsLine(Items.size() - 2, 1);
  return true;
}

void TItemsHunk::ReserveLines(TLoadContext& context, bool oneItemPerLine) {
  Items.KeepSlotsIn(context.SharedTexts());
  if (oneItemPerLine && LineCount > 2) Items.reserve(static_cast<std::size_t>(std::min<std::int32_t>(LineCount - 2, 4096)));
}

void TItemsHunk::AddFileLine(TLoadContext& context, std::string_view raw, const TLineDecoder& decoder) {
  if (raw.empty()) return;  // empty lines never become items
  if (raw.size() <= TItemList::MaxCompactLength) {
    // Decoded straight into the store; kept there when it holds no markup,
    // the common case.
    const std::shared_ptr<TTextStore>& store = context.SharedTexts();
    char* text = store->Allocate(raw.size());
    decoder.Decode(raw, text);
    const std::string_view line(text, raw.size());
    if (line.find('#') == std::string_view::npos && AddCompactLine(line, 0, store)) return;
    std::string copy(line);
    store->Rewind(raw.size());
    AddLine(new THunkLine(std::move(copy), nullptr));
    return;
  }
  std::string line(raw);
  decoder.Decode(line, line.data());
  AddLine(new THunkLine(std::move(line), nullptr));
}

void TItemsHunk::AddLine(TZEBObject* item) {
  if (item->IsNode()) {
    AddItem(item, false, false);
    return;
  }
  std::unique_ptr<TZEBObject> line(item);
  if (line->Text.find('#') == std::string::npos) {
    AddItem(line.release(), false, false);  // no markup: the common case
    return;
  }
  const std::string source = std::move(line->Text);
  // The text of the current piece is `done` followed by the unscanned rest of
  // the source from `from`; building it this way keeps long lines linear.
  std::string done;
  std::size_t from = 0;
  bool found = false;
  for (;;) {
    const std::size_t a = source.find('#', from);
    if (a == std::string::npos) break;
    // The terminator must follow within two characters of the "#".
    std::size_t e = std::string::npos;
    if (a + 1 < source.size() && IsTerminator(source[a + 1])) {
      e = a + 1;
    } else if (a + 2 < source.size() && IsTerminator(source[a + 2])) {
      e = a + 2;
    }
    if (e == std::string::npos) {
      done.append(source, from, a + 1 - from);
      from = a + 1;
      continue;
    }
    found = true;
    const std::string command = source.substr(a + 1, e - a);
    if (IsModeTerminator(command.back())) {
      done.append(source, from, a - from);
      AddItem(new THunkLine(std::move(done), this), true, false);
      done.clear();
      from = e + 1;
      ApplyModeCommand(*this, command);
    } else if (command == "#") {
      // "##" leaves one "#", and scanning goes on after it.
      done.append(source, from, a + 1 - from);
      from = e + 1;
    } else {
      // Any other command stays in the text; scanning goes on after the "#".
      done.append(source, from, a + 1 - from);
      from = a + 1;
    }
  }
  done.append(source, from, std::string::npos);
  if (done.empty() && !source.empty()) return;  // the line held nothing but commands
  line->Text = std::move(done);
  AddItem(line.release(), false, found);
}

void TItemsHunk::RemoveItem(TZEBObject* item) {
  const std::size_t last = Items.LastIndexOf(item);
  if (last == Items.size()) return;
  ForgetItem(item);
  Items.erase(Items.begin() + static_cast<std::ptrdiff_t>(last));
  if (item->IsNode()) --NodeItems;
  if (OwnsItems) delete item;
}

void TItemsHunk::ForgetItem(TZEBObject*) {}
