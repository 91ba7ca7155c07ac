#pragma once
// A node with an ordered item list: its text lines and child nodes in file
// order. With OwnsItems set the node deletes its items; a display document
// clears it because it borrows items of the tree.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/encodings.h"
#include "model/hunk.h"
#include "model/itemlist.h"

class TTextWriter;

class TItemsHunk : public THunk {
 public:
  TItemsHunk(std::string title, TZEBObject* owner);
  ~TItemsHunk() override;

  const char* ClassName() const override;
  THunk* FindByLine(std::int32_t number) override;
  THunk* FindByTitle(const std::string& title) override;
  void AssignLabels(const std::string& prefix) override;
  void AppendDisplay(TItemsHunk& document) override;
  void WriteText(std::ostream& out, int count) const override;
  std::int64_t DataEnd() const override;
  void LoadDeferredData(TLoadContext& context) override;
  void RestoreHintsShown(std::string& record) override;
  void SaveHintsShown(std::string& record) const override;
  void ResetHintsShown() override;
  bool HintsShownValid() const override;
  void Search(const std::string& phrase, TItemsHunk& results) override;
  // The row of this node alone (not of the nodes it holds) when its own text
  // holds the phrase; reads the tree only, so threads may search apart.
  void SearchOwnText(const std::string& phrase, TItemsHunk& results) const;

  virtual bool SetOwnsItems(bool owns);

  // Puts the item at the end, flags untouched (for display documents). A
  // document with a Writer writes the item out instead, and deletes it when
  // the document made it.
  virtual void Append(TZEBObject* item);
  // Appends the item at the index of the node's list, as Append does; a
  // document with a Writer writes a compact line without making an object.
  virtual void AppendFrom(const TItemsHunk& node, std::size_t index);
  // Sets the item's layout flags from the node's modes and appends it; the
  // node takes the item and deletes it when it adds nothing.
  void AddItem(TZEBObject* item, bool splitPiece, bool hadMarkup);
  // Adds a line read from the file, or a child node, applying the text
  // markup; the node takes the item.
  void AddLine(TZEBObject* item);
  // Removes the last occurrence of the item, deleting it when OwnsItems is set.
  void RemoveItem(TZEBObject* item);
  // Decodes a line read from the file and adds it as AddLine does, keeping
  // it as a compact line of the load's text store when it holds no markup.
  void AddFileLine(TLoadContext& context, std::string_view raw, const TLineDecoder& decoder);
  // Adds a line of text that lives as long as the store (or longer) as a
  // compact line, with the flags AddItem would give it; false when it
  // cannot be kept compact, and nothing was added.
  bool AddCompactLine(std::string_view storedText, std::uint8_t isRule, const std::shared_ptr<TTextStore>& store);

  // The texts of the items joined in order, with a space after every item
  // that ends its line or carries a trailing space.
  std::string OwnText() const;

  TZEBObject* ItemAt(std::size_t index) const { return Items[index]; }
  // How many items are nodes (0 for the many nodes of text lines only).
  std::size_t NodeItemCount() const { return NodeItems; }
  std::size_t ItemCount() const { return Items.size(); }

  std::uint8_t LineMode = 0;   // 0 automatic, 1 every line ends, 2 paragraphs
  std::uint8_t BreakMode = 0;  // 2: lines never break at spaces
  std::uint8_t FontMode = 0;   // 1: fixed-pitch font
  std::uint8_t OwnsItems = 1;
  TItemList Items;
  // Set on a document while it is written out as it is built (see DecodeToText).
  TTextWriter* Writer = nullptr;

 protected:
  // Keeps the item list in the load's text store, with room for the body's
  // lines (up to a bound, as a damaged count may be huge), so that loading a
  // hunk does not grow the list again and again.
  void ReserveLines(TLoadContext& context, bool oneItemPerLine);
  // How many items are nodes: walks over the tree pass over the many nodes
  // that hold text lines only. Kept by Append, AddItem and RemoveItem, the
  // only ways items come and go.
  std::size_t NodeItems = 0;

  // The item at the index when it is a node, else none; never makes an
  // object of a compact line.
  THunk* NodeAt(std::size_t index) const {
    TZEBObject* item = Items.ObjectAt(index);
    return item != nullptr && item->IsNode() ? static_cast<THunk*>(item) : nullptr;
  }

  // Called by RemoveItem before the item leaves the list.
  virtual void ForgetItem(TZEBObject* item);
  // Checks of the own hints-shown count; children are checked by the caller.
  virtual bool OwnHintsShownValid() const;

 private:
  // The flags AddItem gives an item; endsPrevious tells whether the item
  // before it must end its line.
  TItemFlags AddedFlags(bool node, std::size_t textSize, bool splitPiece, bool hadMarkup, bool& endsPrevious) const;
  void AppendOwned(TZEBObject* item);
  void Counted(const TZEBObject* item);
};
