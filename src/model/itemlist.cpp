#include "model/itemlist.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace {
constexpr std::uint64_t CompactBit = 1;
constexpr int FlagShift = 1;
constexpr int LengthShift = 6;
constexpr int AddressShift = 16;
constexpr std::uint64_t LengthMask = 0x3FF;
constexpr std::uint64_t AddressLimit = std::uint64_t{1} << (64 - AddressShift);

constexpr std::uint64_t EndsLineBit = 1u << 0;
constexpr std::uint64_t IsRuleBit = 1u << 1;
constexpr std::uint64_t WrapsBit = 1u << 2;
constexpr std::uint64_t UseFixedFontBit = 1u << 3;
constexpr std::uint64_t SpaceAfterBit = 1u << 4;

std::uint64_t PackFlags(const TItemFlags& f) {
  const std::uint64_t none = 0;
  return (f.EndsLine ? EndsLineBit : none) | (f.IsRule ? IsRuleBit : none) | (f.Wraps ? WrapsBit : none) |
         (f.UseFixedFont ? UseFixedFontBit : none) | (f.SpaceAfter ? SpaceAfterBit : none);
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

TItemList::~TItemList() { FreeSlots(); }

void TItemList::FreeSlots() {
  if (!SlotsInStore) delete[] Slots;
  Slots = nullptr;
  Count = 0;
  Capacity = 0;
  Objects = 0;
  SlotsInStore = false;
}

void TItemList::Grow(std::size_t count) {
  if (count <= Capacity) return;
  if (count > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("item list too long");
  const std::size_t wanted = std::max<std::size_t>({count, 4, std::min<std::size_t>(2 * std::size_t{Capacity}, std::numeric_limits<std::uint32_t>::max())});
  std::uint64_t* grown = nullptr;
  const bool inStore = Store != nullptr;
  if (inStore) {
    grown = reinterpret_cast<std::uint64_t*>(Store->AllocateAligned(wanted * sizeof(std::uint64_t), alignof(std::uint64_t)));
  } else {
    grown = new std::uint64_t[wanted];
  }
  if (Count > 0) std::memcpy(grown, Slots, Count * sizeof(std::uint64_t));
  // Slots given up in the store stay there until the store goes.
  if (!SlotsInStore) delete[] Slots;
  Slots = grown;
  Capacity = static_cast<std::uint32_t>(wanted);
  SlotsInStore = inStore;
}

void TItemList::reserve(std::size_t count) { Grow(count); }

void TItemList::KeepSlotsIn(const std::shared_ptr<TTextStore>& store) {
  if (store && !Store) Store = store;
}

void TItemList::Append(std::uint64_t slot) {
  if (Count == Capacity) Grow(std::size_t{Count} + 1);
  Slots[Count++] = slot;
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
  ++Objects;
  return line;
}

void TItemList::push_back(TZEBObject* item) {
  Append(AsSlot(item));
  if (item != nullptr) ++Objects;
}

void TItemList::erase(iterator at) {
  const std::size_t index = at.Position();
  if (!IsCompact(Slots[index]) && Slots[index] != 0) --Objects;
  std::memmove(Slots + index, Slots + index + 1, (Count - index - 1) * sizeof(std::uint64_t));
  --Count;
}

void TItemList::clear() {
  Count = 0;
  Objects = 0;
}

bool TItemList::PushLine(std::string_view storedText, const TItemFlags& flags,
                         const std::shared_ptr<TTextStore>& store) {
  const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(storedText.data()));
  if (storedText.size() > MaxCompactLength || address >= AddressLimit) return false;
  // A list keeps one store alive: text of another cannot be held.
  if (store && Store && Store != store) return false;
  if (store && !Store) Store = store;
  Append((address << AddressShift) | (static_cast<std::uint64_t>(storedText.size()) << LengthShift) |
         (PackFlags(flags) << FlagShift) | CompactBit);
  return true;
}

TItemView TItemList::CompactView(std::uint64_t slot) { return {nullptr, TextOf(slot), UnpackFlags(slot)}; }

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

void TItemList::Replace(std::size_t index, TZEBObject* item) {
  if (!IsCompact(Slots[index]) && Slots[index] != 0) --Objects;
  Slots[index] = AsSlot(item);
  if (item != nullptr) ++Objects;
}

std::size_t TItemList::LastIndexOf(const TZEBObject* item) const {
  const std::uint64_t wanted = AsSlot(item);
  for (std::size_t i = Count; i-- > 0;)
    if (Slots[i] == wanted) return i;
  return Count;
}

void TItemList::DeleteAll() {
  for (std::size_t i = 0; i < Count && Objects > 0; ++i) {
    if (!IsCompact(Slots[i]) && Slots[i] != 0) {
      --Objects;
      delete AsObject(Slots[i]);
    }
  }
  FreeSlots();
  Store.reset();
}
