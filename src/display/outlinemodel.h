#pragma once
// The outline of a hint file: the tree of its titles (subjects, questions,
// TEXT entries, pictures and what their regions lead to, links, the credits
// entry) for a tree view, never a hint's text, nor a question that a hint
// holds. Built in one pass over the
// file's tree when it is first needed; a filter keeps the entries whose
// title holds a text (letter case ignored) and the entries above them.

#include <vector>

#include <QAbstractItemModel>
#include <QString>

class THunk;

class TOutlineModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  explicit TOutlineModel(QObject* parent = nullptr);

  // Shows the tree under root (none: an empty outline); the filter stays.
  void SetRoot(THunk* root);
  THunk* Root() const { return RootNode; }
  // Keeps the entries whose title contains the text, with their parents;
  // an empty text keeps every entry.
  void SetFilter(const QString& text);
  const QString& Filter() const { return FilterText; }
  // How many entries the filter keeps.
  int ShownCount() const { return Shown; }

  // The entry of the node, or an invalid index when the node has none or
  // the filter hides it.
  QModelIndex IndexOf(const THunk* node) const;
  THunk* NodeAt(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  struct TEntry {
    THunk* Node = nullptr;
    int Parent = -1;
    int Row = 0;              // among the parent's shown children
    QString Title;
    std::vector<int> Shown;   // the children the filter keeps, in order
  };

  void Build();
  void AddChildren(THunk& node, int entry);
  void ApplyFilter();

  THunk* RootNode = nullptr;
  QString FilterText;
  std::vector<TEntry> Entries;  // in tree order: a parent before its children
  std::vector<int> Top;         // the root's entry, when shown
  int Shown = 0;
};
