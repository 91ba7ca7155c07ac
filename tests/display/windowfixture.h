#pragma once
// Shared by the window tests: the settings and the display context of one
// test (put back afterwards), documents built in memory or written to a
// temporary hint file, and key and mouse input delivered to widgets the way
// the platform delivers it.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include "authoring/hintwriter.h"
#include "display/displaycontext.h"
#include "display/stringchild.h"
#include "display/stringcontrol.h"
#include "model/loader.h"
#include "model/metatexthunk.h"
#include "settings/options.h"
#include "support/fixtures.h"

namespace wintest {

// Runs the pending events, deferred deletions included.
inline void Settle() {
  for (int i = 0; i < 5; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// Activates the widget's window and runs events until it is the active one
// (keyboard focus only moves inside the active window).
inline bool Activate(QWidget* widget) {
  QWidget* window = widget->window();
  window->activateWindow();
  for (int i = 0; i < 100 && QApplication::activeWindow() != window; ++i) QCoreApplication::processEvents();
  return QApplication::activeWindow() == window;
}

// A key press and release sent to the widget.
inline void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  ASSERT_NE(target, nullptr);
  QPointer<QWidget> alive(target);
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(target, &press);
  if (alive.isNull()) return;
  QKeyEvent release(QEvent::KeyRelease, key, modifiers);
  QApplication::sendEvent(target, &release);
}

// A key typed by the user: it goes to the widget that has the keyboard focus.
inline void Type(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr) << "no widget has the keyboard focus";
  Key(focus, key, modifiers);
}

// Shift+Tab as the platform reports it.
inline void TypeBacktab() { Type(Qt::Key_Backtab, Qt::ShiftModifier); }

// A press and release of a mouse button at a point of the widget.
inline void Click(QWidget* target, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  ASSERT_NE(target, nullptr);
  QPointer<QWidget> alive(target);
  const QPointF local(at);
  const QPointF global(target->mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonPress, local, local, global, button, button, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  if (alive.isNull()) return;
  QMouseEvent release(QEvent::MouseButtonRelease, local, local, global, button, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

inline void Move(QWidget* target, QPoint at) {
  const QPointF local(at);
  QMouseEvent move(QEvent::MouseMove, local, local, QPointF(target->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(target, &move);
}

// The hint window open for a node, or none.
inline THintForm* FormOf(const THunk& node) { return dynamic_cast<THintForm*>(node.Window); }

// The window the user sees: the child window in the window area, or the form.
inline QWidget* Frame(TStringForm* form) {
  QMdiSubWindow* sub = form->SubWindow();
  return sub != nullptr ? static_cast<QWidget*>(sub) : form;
}

// The links of the control that lead to the target.
inline std::vector<TLinkInfo> LinksTo(const TStringControl& control, const TZEBObject* target) {
  std::vector<TLinkInfo> links;
  for (const TLinkInfo& link : control.Links())
    if (link.Target == target) links.push_back(link);
  return links;
}

inline QPoint Centre(const TRect& rect) { return QPoint((rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2); }

inline QScrollBar* VerticalBar(TStringForm* form) { return form->ScrollBox()->verticalScrollBar(); }

}  // namespace wintest

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SavedContext = DisplayContext();
    SavedOpen = THunk::OpenHandler;
    Options.MainFont = TextToFont("Arial,10,400,0");
    Options.FixedFont = TextToFont("Courier New,9,400,0");
    Options.Counting = true;
    Options.Memory = true;
    Options.StretchGraphics = true;
    TDisplayContext& context = DisplayContext();
    context = TDisplayContext{};
    context.Options = &Options;
    context.FileOfTree = [this](const TZEBObject&) { return FilePath; };
    context.WindowClosed = [this](TStringForm& form) { ClosedForms.push_back(&form); };
    InstallNodeOpening();
  }

  void TearDown() override {
    ClearList(List);  // closes the windows of every tree
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (qobject_cast<TStringForm*>(widget) != nullptr) widget->close();
    wintest::Settle();
    delete Area;
    wintest::Settle();
    DisplayContext() = SavedContext;
    THunk::OpenHandler = SavedOpen;
  }

  // Hint windows open as child windows of a window area from now on.
  QMdiArea* UseArea() {
    Area = new QMdiArea;
    Area->resize(900, 700);
    Area->show();
    DisplayContext().Area = Area;
    return Area;
  }

  // Writes the file, loads it into List and returns its root node.
  TItemsHunk* Load(THintFileWriter& writer, bool inlineImages = false) {
    FilePath = Dir.Write("test.zeb", writer.Build());
    EXPECT_EQ(LoadHintFile(FilePath, List, inlineImages), LoadResult::Loaded);
    return dynamic_cast<TItemsHunk*>(ListRoot(List));
  }

  // A top node built in memory, owned by List.
  TMetaTextHunk& MakeNode(const std::string& title, std::uint8_t kind) {
    auto node = std::make_unique<TMetaTextHunk>(title, nullptr, kind);
    TMetaTextHunk& result = *node;
    List.push_back(std::move(node));
    return result;
  }
  static THunkLine& AddText(TItemsHunk& node, const std::string& text) {
    auto* line = new THunkLine(text, &node);
    line->EndsLine = 1;
    node.Append(line);
    return *line;
  }
  static void AddSeparator(TItemsHunk& node) {
    THunkLine* separator = MakeSeparator();
    separator->Owner = &node;
    node.Append(separator);
  }
  static TMetaTextHunk& AddChild(TItemsHunk& node, const std::string& title, std::uint8_t kind = Kind::Hint) {
    auto* child = new TMetaTextHunk(title, &node, kind);
    child->EndsLine = 1;
    node.Append(child);
    AddText(*child, "Inside " + title);
    return *child;
  }

  // Opens the node through the model and makes its window the active one.
  THintForm* Open(THunk& node) {
    node.Open();
    THintForm* form = wintest::FormOf(node);
    if (form != nullptr) {
      EXPECT_TRUE(wintest::Activate(form)) << "the window of " << node.Text << " did not become active";
      wintest::Settle();
    }
    return form;
  }

  TOptions Options;
  TTempDir Dir;
  std::string FilePath;
  TObjectList List;
  QMdiArea* Area = nullptr;
  std::vector<TStringForm*> ClosedForms;

 private:
  TDisplayContext SavedContext;
  std::function<void(THunk&)> SavedOpen;
};
