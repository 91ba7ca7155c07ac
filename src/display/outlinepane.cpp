#include "display/outlinepane.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeView>
#include <QVBoxLayout>

#include "display/outlinemodel.h"

namespace {
// Beyond this many entries a filter's matches are not all opened at once.
constexpr int MaxExpandedMatches = 400;
}  // namespace

TOutlinePane::TOutlinePane(QWidget* parent)
    : QWidget(parent), Filter(new QLineEdit(this)), View(new QTreeView(this)), Outline(new TOutlineModel(this)) {
  setObjectName("OutlinePane");
  Filter->setObjectName("OutlineFilter");
  Filter->setPlaceholderText("Filter titles");
  Filter->setClearButtonEnabled(true);
  Filter->setAccessibleName("Filter the outline");
  View->setObjectName("OutlineTree");
  View->setAccessibleName("Outline of the hint file");
  View->setModel(Outline);
  View->setHeaderHidden(true);
  View->setUniformRowHeights(true);  // fast with a large file
  View->setEditTriggers(QAbstractItemView::NoEditTriggers);
  View->setExpandsOnDoubleClick(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(Filter);
  layout->addWidget(View);
  setFocusProxy(Filter);
  Filter->installEventFilter(this);

  connect(Filter, &QLineEdit::textChanged, this, &TOutlinePane::SetFilter);
  connect(View, &QTreeView::activated, this, [this](const QModelIndex& index) {
    if (THunk* node = Outline->NodeAt(index); node != nullptr && Activated) Activated(*node);
  });
}

void TOutlinePane::SetRoot(THunk* root) {
  Outline->SetRoot(root);
  ExpandShown();
}

void TOutlinePane::SetFilter(const QString& text) {
  if (Filter->text() != text) Filter->setText(text);  // comes back here through textChanged
  if (Outline->Filter() == text) return;
  Outline->SetFilter(text);
  ExpandShown();
}

void TOutlinePane::ExpandShown() {
  if (!Outline->Filter().isEmpty() && Outline->ShownCount() <= MaxExpandedMatches) {
    View->expandAll();
  } else {
    View->expandToDepth(0);
  }
  if (!View->currentIndex().isValid()) View->setCurrentIndex(Outline->index(0, 0));
}

void TOutlinePane::Select(const THunk* node) {
  const QModelIndex index = Outline->IndexOf(node);
  if (!index.isValid()) {
    View->selectionModel()->clearSelection();
    return;
  }
  for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) View->expand(up);
  View->setCurrentIndex(index);
  View->scrollTo(index);
}

bool TOutlinePane::eventFilter(QObject* watched, QEvent* event) {
  // Down from the filter box goes into the tree, Enter opens its entry.
  if (watched == Filter && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Down) {
      View->setFocus(Qt::TabFocusReason);
      return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && View->currentIndex().isValid()) {
      emit View->activated(View->currentIndex());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
