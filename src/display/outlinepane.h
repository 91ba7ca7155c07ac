#pragma once
// The outline pane: a filter box above the tree of the open file's titles.
// Activating an entry (Enter, a double click) hands its node on; the
// program opens it as following a link would.

#include <functional>

#include <QWidget>

class QLineEdit;
class QTreeView;
class THunk;
class TOutlineModel;

class TOutlinePane : public QWidget {
  Q_OBJECT

 public:
  explicit TOutlinePane(QWidget* parent = nullptr);

  // Shows the tree under root (none: empty).
  void SetRoot(THunk* root);
  // Selects the node's entry (its parents opened), or nothing when it has
  // none the filter shows.
  void Select(const THunk* node);
  void SetFilter(const QString& text);

  QLineEdit* FilterBox() const { return Filter; }
  QTreeView* Tree() const { return View; }
  TOutlineModel* Model() const { return Outline; }

  // Called with the node of an activated entry.
  std::function<void(THunk& node)> Activated;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Opens the entries a reader wants to see: the top levels, and every
  // match while a filter with few matches is on.
  void ExpandShown();

  QLineEdit* Filter;
  QTreeView* View;
  TOutlineModel* Outline;
};
