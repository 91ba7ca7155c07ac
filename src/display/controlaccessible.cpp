#include "display/controlaccessible.h"

#include <utility>
#include <vector>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QWindow>

#include "display/stringcontrol.h"
#include "display/textlayout.h"
#include "model/zebobject.h"

namespace {

// One link of a control: a child of the control's interface, made and
// remembered by it. The link is found again by its index each time it is
// asked, so a layout that changes the links leaves no dangling target.
class TLinkAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  TLinkAccessible(TStringControl* control, int index) : Control(control), Index(index) {}

  bool isValid() const override { return Link() != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return Control ? Control->window()->windowHandle() : nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(Control.data()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  QString text(QAccessible::Text kind) const override {
    const TLinkInfo* link = Link();
    if (link == nullptr || link->Target == nullptr) return {};
    if (kind == QAccessible::Name) return ItemText(*link->Target).trimmed();
    if (kind == QAccessible::Description) return QStringLiteral("Opens \"%1\"").arg(ItemText(*link->Target).trimmed());
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    const TLinkInfo* link = Link();
    if (link == nullptr) return {};
    const QRect local(link->Rect.Left, link->Rect.Top, link->Rect.Right - link->Rect.Left,
                      link->Rect.Bottom - link->Rect.Top);
    return QRect(Control->mapToGlobal(local.topLeft()), local.size());
  }
  QAccessible::Role role() const override { return QAccessible::Link; }
  QAccessible::State state() const override {
    QAccessible::State state;
    const TLinkInfo* link = Link();
    if (link == nullptr) {
      state.invalid = true;
      return state;
    }
    state.focusable = true;
    state.linked = true;
    state.focused = Control->hasFocus() && Control->FocusTarget() == link->Target;
    state.invisible = !Control->isVisible();
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  QString localizedActionDescription(const QString& name) const override {
    return name == pressAction() ? QStringLiteral("Opens what the link leads to") : QString();
  }
  void doAction(const QString& name) override {
    const TLinkInfo* link = Link();
    if (name == pressAction() && link != nullptr) Control->Activate(link->Target);
  }
  QStringList keyBindingsForAction(const QString& name) const override {
    return name == pressAction() ? QStringList{QStringLiteral("Return")} : QStringList();
  }

 private:
  const TLinkInfo* Link() const {
    if (!Control || Index < 0 || Index >= static_cast<int>(Control->Links().size())) return nullptr;
    return &Control->Links()[static_cast<std::size_t>(Index)];
  }

  QPointer<TStringControl> Control;
  int Index;
};

// A hint window: its hidden parts (the button panel of a window without
// hints) are left out, where Qt would list them as invisible children.
class TFormAccessible : public QAccessibleWidget {
 public:
  explicit TFormAccessible(QWidget* form) : QAccessibleWidget(form, QAccessible::Client) {}

  int childCount() const override { return static_cast<int>(Shown().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> shown = Shown();
    return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown[index]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr || !child->object() || !child->object()->isWidgetType()) return -1;
    return static_cast<int>(Shown().indexOf(static_cast<QWidget*>(child->object())));
  }

 private:
  QList<QWidget*> Shown() const {
    QList<QWidget*> shown;
    for (QObject* object : widget()->children()) {
      auto* child = qobject_cast<QWidget*>(object);
      if (child != nullptr && !child->isWindow() && !child->isHidden() && qobject_cast<QMenu*>(child) == nullptr)
        shown.push_back(child);
    }
    return shown;
  }
};

class TControlAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  // A read-only text view, as Qt's own read-only text views are: screen
  // readers then offer reading by line and by word.
  explicit TControlAccessible(TStringControl* control) : QAccessibleWidget(control, QAccessible::EditableText) {}
  ~TControlAccessible() override {
    for (const QAccessible::Id id : LinkIds) QAccessible::deleteAccessibleInterface(id);
  }

  TStringControl* Control() const { return static_cast<TStringControl*>(widget()); }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) {
      const QString name = QAccessibleWidget::text(kind);
      return name.isEmpty() ? OwnWindowTitle() : name;
    }
    if (kind == QAccessible::Value) return ShownText();
    // The hint revealed last, for a screen reader to read on its own.
    if (kind == QAccessible::Description && !Control()->RevealedText.isEmpty()) return Control()->RevealedText;
    return QAccessibleWidget::text(kind);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    return state;
  }

  int childCount() const override { return static_cast<int>(Control()->Links().size()); }
  // The title of the window the text is in: its child window's, not the
  // main window's.
  QString OwnWindowTitle() const {
    for (const QWidget* widget = Control(); widget != nullptr; widget = widget->parentWidget())
      if (widget->isWindow() || qobject_cast<const QMdiSubWindow*>(widget) != nullptr) return widget->windowTitle();
    return {};
  }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    if (LinkIds.size() != Control()->Links().size()) {
      // The links changed with a layout: the children are made afresh.
      for (const QAccessible::Id id : LinkIds) QAccessible::deleteAccessibleInterface(id);
      LinkIds.clear();
      for (int i = 0; i < childCount(); ++i)
        LinkIds.push_back(QAccessible::registerAccessibleInterface(new TLinkAccessible(Control(), i)));
    }
    return QAccessible::accessibleInterface(LinkIds[static_cast<std::size_t>(index)]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int i = 0; i < static_cast<int>(LinkIds.size()); ++i)
      if (QAccessible::accessibleInterface(LinkIds[static_cast<std::size_t>(i)]) == child) return i;
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int i = 0; i < childCount(); ++i) {
      QAccessibleInterface* link = child(i);
      if (link != nullptr && link->rect().contains(x, y)) return link;
    }
    return nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    const auto& links = Control()->Links();
    for (int i = 0; i < static_cast<int>(links.size()); ++i)
      if (links[static_cast<std::size_t>(i)].Target == Control()->FocusTarget() && Control()->FocusTarget() != nullptr)
        return child(i);
    return nullptr;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  // The text: read-only, no selection, the caret at the start.
  void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int startOffset, int endOffset) const override {
    const QString& all = ShownText();
    if (startOffset < 0) startOffset = 0;
    if (endOffset < 0 || endOffset > all.size()) endOffset = static_cast<int>(all.size());
    return startOffset < endOffset ? all.mid(startOffset, endOffset - startOffset) : QString();
  }
  int characterCount() const override { return static_cast<int>(ShownText().size()); }
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* startOffset, int* endOffset) const override {
    *startOffset = *endOffset = offset;
    return {};
  }

 private:
  // The shown text, made again only after a new layout or reveal: screen
  // readers ask for it piece by piece, and a window may hold many rows.
  const QString& ShownText() const {
    const std::pair<int, int> now{Control()->LayoutCount(), Control()->ShownCount()};
    if (now != TextMadeFor) {
      CachedText = AccessibleText(*Control());
      TextMadeFor = now;
    }
    return CachedText;
  }

  mutable std::vector<QAccessible::Id> LinkIds;
  mutable QString CachedText;
  mutable std::pair<int, int> TextMadeFor{-1, -1};
};

QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
  if (className == QLatin1String("TStringControl") && object != nullptr && object->isWidgetType())
    return new TControlAccessible(static_cast<TStringControl*>(object));
  if (className == QLatin1String("TStringForm") && object != nullptr && object->isWidgetType())
    return new TFormAccessible(static_cast<QWidget*>(object));
  return nullptr;
}

}  // namespace

void InstallControlAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(MakeInterface);
    return true;
  }();
  static_cast<void>(installed);
}

QString AccessibleText(const TStringControl& control) {
  QString text = control.ContentsText();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

void AnnounceAddedText(TStringControl* control, int position, const QString& added) {
  if (control == nullptr || added.isEmpty()) return;
  control->RevealedText = added.trimmed();
  QAccessibleTextInsertEvent inserted(control, position, added);
  QAccessible::updateAccessibility(&inserted);
  QAccessibleValueChangeEvent changed(control, AccessibleText(*control));
  QAccessible::updateAccessibility(&changed);
  QAccessibleEvent described(control, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&described);
}
