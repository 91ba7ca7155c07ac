#pragma once
// The item list of a node: its text lines and child nodes in order, seen by
// the program as a sequence of TZEBObject pointers.
//
// Most items of a loaded file are plain text lines. The list keeps such a
// line as a compact slot of eight bytes: where its text lies in the file's
// text store, its length and its layout flags. The line becomes a THunkLine
// the first time the program asks for it as an object (operator[], front,
// back, iteration); from then on the slot holds that object, which belongs
// to the node like any other item. Code that only reads texts and flags uses
// View and the flag setters, which never make an object.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string_view>

#include "model/textstore.h"
#include "model/zebobject.h"

// The layout flags of an item (see TZEBObject).
struct TItemFlags {
  std::uint8_t EndsLine = 0;
  std::uint8_t IsRule = 0;
  std::uint8_t Wraps = 1;
  std::uint8_t UseFixedFont = 0;
  std::uint8_t SpaceAfter = 0;
};

// An item as read without making an object: the object when the slot holds
// one, else none, and the Text member and flags either way.
struct TItemView {
  const TZEBObject* Object = nullptr;
  std::string_view Text;
  TItemFlags Flags;

  bool IsNode() const { return Object != nullptr && Object->IsNode(); }
};

// The view of an object.
inline TItemView ViewOf(const TZEBObject& item) {
  return {&item, item.Text, {item.EndsLine, item.IsRule, item.Wraps, item.UseFixedFont, item.SpaceAfter}};
}

class TItemList {
 public:
  // Longest text a compact slot holds; longer lines are objects from the start.
  static constexpr std::size_t MaxCompactLength = 1023;

  class iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = TZEBObject*;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = TZEBObject*;

    iterator() = default;
    iterator(const TItemList* list, std::size_t index) : List(list), Index(index) {}
    TZEBObject* operator*() const { return (*List)[Index]; }
    TZEBObject* operator[](difference_type n) const { return (*List)[Index + static_cast<std::size_t>(n)]; }
    iterator& operator++() { ++Index; return *this; }
    iterator operator++(int) { iterator old = *this; ++Index; return old; }
    iterator& operator--() { --Index; return *this; }
    iterator operator--(int) { iterator old = *this; --Index; return old; }
    iterator& operator+=(difference_type n) { Index += static_cast<std::size_t>(n); return *this; }
    iterator& operator-=(difference_type n) { Index -= static_cast<std::size_t>(n); return *this; }
    iterator operator+(difference_type n) const { return {List, Index + static_cast<std::size_t>(n)}; }
    iterator operator-(difference_type n) const { return {List, Index - static_cast<std::size_t>(n)}; }
    difference_type operator-(const iterator& other) const {
      return static_cast<difference_type>(Index) - static_cast<difference_type>(other.Index);
    }
    bool operator==(const iterator& other) const { return Index == other.Index; }
    bool operator!=(const iterator& other) const { return Index != other.Index; }
    bool operator<(const iterator& other) const { return Index < other.Index; }
    std::size_t Position() const { return Index; }

   private:
    const TItemList* List = nullptr;
    std::size_t Index = 0;
  };
  using const_iterator = iterator;
  using value_type = TZEBObject*;
  using size_type = std::size_t;

  TItemList() = default;
  ~TItemList();
  TItemList(const TItemList&) = delete;
  TItemList& operator=(const TItemList&) = delete;

  std::size_t size() const { return Count; }
  bool empty() const { return Count == 0; }
  void reserve(std::size_t count);
  // The item as an object, made from a compact slot when needed.
  TZEBObject* operator[](std::size_t index) const;
  TZEBObject* front() const { return (*this)[0]; }
  TZEBObject* back() const { return (*this)[Count - 1]; }
  iterator begin() const { return {this, 0}; }
  iterator end() const { return {this, Count}; }

  void push_back(TZEBObject* item);
  void erase(iterator at);
  // Forgets every item without deleting any.
  void clear();

  // Appends a text line of the store as a compact slot. False (and nothing
  // appended) when the line cannot be kept compact; the caller then appends
  // an object instead.
  bool PushLine(std::string_view storedText, const TItemFlags& flags, const std::shared_ptr<TTextStore>& store);
  // From now on the list keeps its slots in the store (the lists of a loaded
  // file: freeing a large tree then frees a few blocks, not a list per node).
  void KeepSlotsIn(const std::shared_ptr<TTextStore>& store);

  TItemView View(std::size_t index) const {
    const std::uint64_t slot = Slots[index];
    if (!IsCompact(slot)) return ViewOf(*reinterpret_cast<const TZEBObject*>(static_cast<std::uintptr_t>(slot)));
    return CompactView(slot);
  }
  void SetEndsLine(std::size_t index, std::uint8_t value);
  void SetSpaceAfter(std::size_t index, std::uint8_t value);
  // The object in the slot, or none for a compact line (which it does not make).
  TZEBObject* ObjectAt(std::size_t index) const {
    const std::uint64_t slot = Slots[index];
    return IsCompact(slot) ? nullptr : reinterpret_cast<TZEBObject*>(static_cast<std::uintptr_t>(slot));
  }
  // Puts an object (or none) in the slot, forgetting what was there.
  void Replace(std::size_t index, TZEBObject* item);
  // Index of the last slot that holds the object, or size() when none does.
  std::size_t LastIndexOf(const TZEBObject* item) const;
  // Deletes every object of the list (compact lines need no deleting) and empties it.
  void DeleteAll();

 private:
  static bool IsCompact(std::uint64_t slot) { return (slot & 1) != 0; }
  static TItemView CompactView(std::uint64_t slot);
  TZEBObject* Make(std::size_t index) const;
  void Append(std::uint64_t slot);
  // Room for at least `count` slots.
  void Grow(std::size_t count);
  void FreeSlots();

  // An object pointer (low bit 0), or a compact line (low bit 1): bits 1 to 5
  // the flags, bits 6 to 15 the length, bits 16 to 63 the text's address.
  // On the heap, or in the store when SlotsInStore is set.
  std::uint64_t* Slots = nullptr;  // the list's own, also in const methods that make objects
  std::uint32_t Count = 0;
  std::uint32_t Capacity = 0;
  // How many slots hold an object: deleting a list of compact lines alone
  // then needs no pass over its slots.
  mutable std::uint32_t Objects = 0;
  bool SlotsInStore = false;
  // Keeps the text of the compact lines (and the slots); shared by the nodes of one file.
  std::shared_ptr<TTextStore> Store;
};
