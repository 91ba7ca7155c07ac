#include "model/itemlist.h"

#include <string>

namespace {
constexpr std::uint64_t CompactBit = 1;
constexpr int FlagShift = 1;
constexpr int LengthShift = 6;
constexpr int AddressShift = 16;
constexpr std::uint64_t LengthMask = 0x3FF;
constexpr std::uint64_t AddressLimit = std::uint64_t{1} << (64 - AddressShift);

enum : std::uint64_t {
  EndsLineBit = 1u << 0,
  IsRuleBit = 1u << 1,
  WrapsBit = 1u << 2,
  UseFixedFontBit = 1u << 3,
  SpaceAfterBit = 1u << 4,
};

std::uint64_t PackFlags(const TItemFlags& f) {
  return (f.EndsLine ? EndsLineBit : 0) | (f.IsRule ? IsRuleBit : 0) | (f.Wraps ? WrapsBit : 0) |
         (f.UseFixedFont ? UseFixedFontBit : 0) | (f.SpaceAfter ? SpaceAfterBit : 0);
}

TItemFlags UnpackFlags(std::uint64_t slot) {
  const std::uint64_t bits = slot >> FlagShift;
  TItemFlags f;
  f.EndsLine = (bits & EndsLineBit) ? 1 : 0;
  f.IsRule = (bits & IsRuleBit) ? 1 : 0;
  f.Wraps = (bits & WrapsBit) ? 1 : 0;
  f.UseFixedFont = (bits & UseFixedFontBit) ? 1 : 0;
  f.SpaceAfter = (bits & SpaceAfterBit) ? 1 : 0;
  return f;
}

std::string_view TextOf(std::uint64_t slot) {
  const auto* text = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(slot >> AddressShift));
  return {text, static_cast<std::size_t>((slot >> LengthShift) & LengthMask)};
}

TZEBObject* AsObject(std::uint64_t slot) {
  return reinterpret_cast<TZEBObject*>(static_cast<std::uintptr_t>(slot));
}

std::uint64_t AsSlot(const TZEBObject* item) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(item));
}

void SetFlagBit(std::uint64_t& slot, std::uint64_t bit, std::uint8_t value) {
  const std::uint64_t shifted = bit << FlagShift;
  slot = value ? (slot | shifted) : (slot & ~shifted);
}
}  // namespace

TItemView ViewOf(const TZEBObject& item) {
  return {&item, item.Text, {item.EndsLine, item.IsRule, item.Wraps, item.UseFixedFont, item.SpaceAfter}};
}

TZEBObject* TItemList::operator[](std::size_t index) const {
  const std::uint64_t slot = Slots[index];
  return IsCompact(slot) ? Make(index) : AsObject(slot);
}

TZEBObject* TItemList::Make(std::size_t index) const {
  const std::uint64_t slot = Slots[index];
  auto* line = new THunkLine(std::string(TextOf(slot)), nullptr);
  const TItemFlags f = UnpackFlags(slot);
  line->EndsLine = f.EndsLine;
  line->IsRule = f.IsRule;
  line->Wraps = f.Wraps;
  line->UseFixedFont = f.UseFixedFont;
  line->SpaceAfter = f.SpaceAfter;
  Slots[index] = AsSlot(line);
  return line;
}

void TItemList::push_back(TZEBObject* item) { Slots.push_back(AsSlot(item)); }

void TItemList::erase(iterator at) { Slots.erase(Slots.begin() + static_cast<std::ptrdiff_t>(at.Position())); }

void TItemList::clear() { Slots.clear(); }

bool TItemList::PushLine(std::string_view storedText, const TItemFlags& flags,
                         const std::shared_ptr<TTextStore>& store) {
  const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(storedText.data()));
  if (storedText.size() > MaxCompactLength || address >= AddressLimit) return false;
  Slots.push_back((address << AddressShift) | (static_cast<std::uint64_t>(storedText.size()) << LengthShift) |
                  (PackFlags(flags) << FlagShift) | CompactBit);
  if (store && Store != store) Store = store;
  return true;
}

TItemView TItemList::View(std::size_t index) const {
  const std::uint64_t slot = Slots[index];
  if (!IsCompact(slot)) return ViewOf(*AsObject(slot));
  return {nullptr, TextOf(slot), UnpackFlags(slot)};
}

void TItemList::SetEndsLine(std::size_t index, std::uint8_t value) {
  std::uint64_t& slot = Slots[index];
  if (IsCompact(slot)) SetFlagBit(slot, EndsLineBit, value);
  else AsObject(slot)->EndsLine = value;
}

void TItemList::SetSpaceAfter(std::size_t index, std::uint8_t value) {
  std::uint64_t& slot = Slots[index];
  if (IsCompact(slot)) SetFlagBit(slot, SpaceAfterBit, value);
  else AsObject(slot)->SpaceAfter = value;
}

TZEBObject* TItemList::ObjectAt(std::size_t index) const {
  const std::uint64_t slot = Slots[index];
  return IsCompact(slot) ? nullptr : AsObject(slot);
}

void TItemList::Replace(std::size_t index, TZEBObject* item) { Slots[index] = AsSlot(item); }

std::size_t TItemList::LastIndexOf(const TZEBObject* item) const {
  const std::uint64_t wanted = AsSlot(item);
  for (std::size_t i = Slots.size(); i-- > 0;)
    if (Slots[i] == wanted) return i;
  return Slots.size();
}

void TItemList::DeleteAll() {
  for (const std::uint64_t slot : Slots)
    if (!IsCompact(slot)) delete AsObject(slot);
  Slots.clear();
  Store.reset();
}
