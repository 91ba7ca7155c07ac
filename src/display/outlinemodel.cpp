#include "display/outlinemodel.h"

#include <algorithm>

#include "display/textcodec.h"
#include "model/itemshunk.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"

TOutlineModel::TOutlineModel(QObject* parent) : QAbstractItemModel(parent) {}

void TOutlineModel::SetRoot(THunk* root) {
  beginResetModel();
  RootNode = root;
  Build();
  ApplyFilter();
  endResetModel();
}

void TOutlineModel::SetFilter(const QString& text) {
  if (text == FilterText) return;
  beginResetModel();
  FilterText = text;
  ApplyFilter();
  endResetModel();
}

void TOutlineModel::Build() {
  Entries.clear();
  if (RootNode == nullptr) return;
  Entries.push_back({RootNode, -1, 0, FromCp1252(RootNode->GetText()), {}});
  AddChildren(*RootNode, 0);
}

void TOutlineModel::AddChildren(THunk& node, int entry) {
  auto* items = dynamic_cast<TItemsHunk*>(&node);
  // Most nodes hold text lines only: their lines are not walked.
  if (items == nullptr || items->NodeItemCount() == 0) return;
  // A question inside a hint is part of that hint: the outline shows it no
  // more than the question's window does before the hint is revealed.
  if (const auto* question = dynamic_cast<const TMetaTextHunk*>(&node); question != nullptr && question->HoldsHints())
    return;
  for (std::size_t i = 0; i < items->Items.size(); ++i) {
    const TItemView item = items->Items.View(i);
    if (!item.IsNode()) continue;
    auto* child = const_cast<THunk*>(static_cast<const THunk*>(item.Object));
    if (child->KindCode() == Kind::PngObject) {
      // A picture inside a window: what its regions lead to belongs to the window.
      AddChildren(*child, entry);
      continue;
    }
    const std::string title = child->GetText();
    if (title.empty()) continue;  // a blank line, no entry
    Entries.push_back({child, entry, 0, FromCp1252(title), {}});
    AddChildren(*child, static_cast<int>(Entries.size()) - 1);
  }
}

void TOutlineModel::ApplyFilter() {
  Top.clear();
  Shown = 0;
  std::vector<char> kept(Entries.size(), FilterText.isEmpty() ? 1 : 0);
  if (!FilterText.isEmpty()) {
    // Children come after their parents: from the end, a kept entry keeps its parent.
    for (std::size_t i = Entries.size(); i-- > 0;) {
      if (!kept[i] && Entries[i].Title.contains(FilterText, Qt::CaseInsensitive)) kept[i] = 1;
      if (kept[i] && Entries[i].Parent >= 0) kept[static_cast<std::size_t>(Entries[i].Parent)] = 1;
    }
  }
  for (TEntry& entry : Entries) entry.Shown.clear();
  for (std::size_t i = 0; i < Entries.size(); ++i) {
    if (!kept[i]) continue;
    ++Shown;
    TEntry& entry = Entries[i];
    std::vector<int>& siblings = entry.Parent >= 0 ? Entries[static_cast<std::size_t>(entry.Parent)].Shown : Top;
    entry.Row = static_cast<int>(siblings.size());
    siblings.push_back(static_cast<int>(i));
  }
}

QModelIndex TOutlineModel::IndexOf(const THunk* node) const {
  // Only a few windows ask, one at a time: a walk is fast enough and keeps
  // no second table of a large file's nodes.
  for (std::size_t i = 0; i < Entries.size(); ++i) {
    if (Entries[i].Node != node) continue;
    // Hidden by the filter: the entry is not among its parent's children.
    const int parent = Entries[i].Parent;
    const std::vector<int>& siblings = parent >= 0 ? Entries[static_cast<std::size_t>(parent)].Shown : Top;
    const int row = Entries[i].Row;
    if (row >= static_cast<int>(siblings.size()) || siblings[static_cast<std::size_t>(row)] != static_cast<int>(i))
      return {};
    return createIndex(row, 0, static_cast<quintptr>(i));
  }
  return {};
}

THunk* TOutlineModel::NodeAt(const QModelIndex& index) const {
  return index.isValid() ? Entries[static_cast<std::size_t>(index.internalId())].Node : nullptr;
}

QModelIndex TOutlineModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const std::vector<int>& children =
      parent.isValid() ? Entries[static_cast<std::size_t>(parent.internalId())].Shown : Top;
  if (row >= static_cast<int>(children.size())) return {};
  return createIndex(row, 0, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex TOutlineModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  const int parent = Entries[static_cast<std::size_t>(child.internalId())].Parent;
  if (parent < 0) return {};
  return createIndex(Entries[static_cast<std::size_t>(parent)].Row, 0, static_cast<quintptr>(parent));
}

int TOutlineModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  return static_cast<int>(parent.isValid() ? Entries[static_cast<std::size_t>(parent.internalId())].Shown.size()
                                           : Top.size());
}

int TOutlineModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TOutlineModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
    return Entries[static_cast<std::size_t>(index.internalId())].Title;
  return {};
}
