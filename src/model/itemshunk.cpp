#include "model/itemshunk.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "model/loadcontext.h"

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
    for (TZEBObject* item : Items) delete item;
  }
  Items.clear();
}

const char* TItemsHunk::ClassName() const { return "TItemsHunk"; }

THunk* TItemsHunk::FindByLine(std::int32_t number) {
  if (LineNumber == number) return this;
  if (NodeItems == 0) return nullptr;
  for (TZEBObject* item : Items) {
    if (!item->IsNode()) continue;
    if (THunk* found = static_cast<THunk*>(item)->FindByLine(number)) return found;
  }
  return nullptr;
}

THunk* TItemsHunk::FindByTitle(const std::string& title) {
  if (Text == title) return this;
  if (NodeItems == 0) return nullptr;
  for (TZEBObject* item : Items) {
    if (!item->IsNode()) continue;
    if (THunk* found = static_cast<THunk*>(item)->FindByTitle(title)) return found;
  }
  return nullptr;
}

void TItemsHunk::AssignLabels(const std::string& prefix) {
  Label = prefix;
  int counter = 0;
  for (TZEBObject* item : Items) {
    if (!item->IsNode()) continue;
    const std::uint8_t kind = item->KindCode();
    if (kind != Kind::Blank && kind != Kind::Link && kind != Kind::Overlay) ++counter;
    static_cast<THunk*>(item)->AssignLabels(prefix + std::to_string(counter) + ".");
  }
}

std::int64_t TItemsHunk::DataEnd() const {
  std::int64_t end = 0;
  if (NodeItems == 0) return end;
  for (TZEBObject* item : Items)
    if (item->IsNode()) end = std::max(end, static_cast<THunk*>(item)->DataEnd());
  return end;
}

void TItemsHunk::LoadDeferredData(TLoadContext& context) {
  if (NodeItems == 0) return;
  for (TZEBObject* item : Items)
    if (item->IsNode()) static_cast<THunk*>(item)->LoadDeferredData(context);
}

void TItemsHunk::RestoreHintsShown(std::string& record) {
  if (NodeItems == 0) return;
  for (TZEBObject* item : Items)
    if (item->IsNode()) static_cast<THunk*>(item)->RestoreHintsShown(record);
}

void TItemsHunk::SaveHintsShown(std::string& record) const {
  if (NodeItems == 0) return;
  for (TZEBObject* item : Items)
    if (item->IsNode()) static_cast<const THunk*>(item)->SaveHintsShown(record);
}

void TItemsHunk::ResetHintsShown() {
  if (NodeItems == 0) return;
  for (TZEBObject* item : Items)
    if (item->IsNode()) static_cast<THunk*>(item)->ResetHintsShown();
}

bool TItemsHunk::HintsShownValid() const {
  for (TZEBObject* item : Items)
    if (item->IsNode() && !static_cast<const THunk*>(item)->HintsShownValid()) return false;
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
  Items.push_back(item);
  Counted(item);
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

void TItemsHunk::AddItem(TZEBObject* item, bool splitPiece, bool hadMarkup) {
  TZEBObject* last = Items.empty() ? nullptr : Items.back();
  item->SpaceAfter = splitPiece ? 0 : 1;
  const bool node = item->IsNode();
  if (!node && item->Text.empty()) {
    // Empty lines never become items; an empty piece before a command joins
    // the previous item to what follows.
    if (splitPiece && !hadMarkup && last != nullptr) last->SpaceAfter = 0;
    delete item;
    return;
  }
  if (LineMode == 1) {
    item->EndsLine = 1;
  } else if (LineMode == 2) {
    item->EndsLine = 0;
  } else {
    const bool forced = splitPiece || hadMarkup;
    if ((node || item->Text.size() == 1) && !forced) {
      item->EndsLine = 1;
      if (last != nullptr) last->EndsLine = 1;
    } else {
      item->EndsLine = (item->Text.size() < ShortLine && !forced) ? 1 : 0;
    }
  }
  item->UseFixedFont = FontMode == 1 ? 1 : 0;
  item->Wraps = BreakMode == 2 ? 0 : 1;
  AppendOwned(item);
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
  const auto last = std::find(Items.rbegin(), Items.rend(), item);
  if (last == Items.rend()) return;
  ForgetItem(item);
  Items.erase(std::next(last).base());
  if (item->IsNode()) --NodeItems;
  if (OwnsItems) delete item;
}

void TItemsHunk::ForgetItem(TZEBObject*) {}
