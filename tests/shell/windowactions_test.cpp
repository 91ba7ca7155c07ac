// Every window action of the mouse from the keyboard as well: closing,
// going to the next window, the child window's menu, restoring a minimised
// window; the keys working after a maximise by the title-bar button; and
// the window area's arrangements keeping minimised windows in view.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTest>
#include <QWheelEvent>

#include "display/stringchild.h"
#include "display/stringcontrol.h"
#include "shell/mainfixture.h"

namespace {

TStringForm* FormOf(const THunk* node) { return node != nullptr ? dynamic_cast<TStringForm*>(node->Window) : nullptr; }

QString ActiveTitle(const TZEBMain& main) {
  const QMdiSubWindow* active = main.WindowArea()->activeSubWindow();
  return active != nullptr ? active->windowTitle() : QString("(none)");
}

// The centre of a button of the child window's title bar, where the mouse clicks it.
QPoint TitleBarButton(QMdiSubWindow& window, QStyle::SubControl button) {
  QStyleOptionTitleBar option;
  option.initFrom(&window);
  option.subControls = QStyle::SC_All;
  option.titleBarFlags = window.windowFlags();
  option.titleBarState = static_cast<int>(window.windowState());
  option.text = window.windowTitle();
  const int height = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &window);
  option.rect = QRect(0, 0, window.width(), height);
  return window.style()->subControlRect(QStyle::CC_TitleBar, &option, button, &window).center();
}

class WindowActions : public MainWindowTest {
 protected:
  // The main window shown and active, with a file of a long story, three
  // questions and a chapter.
  TZEBMain& StartWithStory() {
    std::vector<std::string> lines = {"#w-"};
    for (int i = 1; i <= 120; ++i) lines.push_back("Line " + std::to_string(i) + " of a long story.");
    THintFileWriter writer;
    writer.Hunks = {Subject("Game", {PlainHunk("COMMENT", "Story", lines), Hint("First", {"One.", "-", "Two."}),
                                     Hint("Second", {"One.", "-", "Two."}), Hint("Third", {"One.", "-", "Two."})})};
    TZEBMain& main = StartShown();
    main.OpenHintFile(Save("STORY.ZEB", writer));
    Settle();
    return main;
  }
  void Open(const std::string& title) {
    ASSERT_NE(FileNode(title), nullptr) << title;
    FileNode(title)->Open();
    Settle();
  }
};

TEST_F(WindowActions, KeysWorkAtOnceAfterAMaximiseByTheTitleBarButton) {
  TZEBMain& main = StartWithStory();
  Open("Story");
  TStringForm* story = FormOf(FileNode("Story"));
  QMdiSubWindow* window = story->SubWindow();
  // The mouse comes over the button, then clicks it (the window takes the
  // button it is over from the mouse's moves).
  const QPoint button = TitleBarButton(*window, QStyle::SC_TitleBarMaxButton);
  QMouseEvent move(QEvent::MouseMove, button, window->mapToGlobal(button), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(window, &move);
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, button);
  Settle();
  ASSERT_TRUE(window->isMaximized()) << "the click missed the maximise button";
  EXPECT_TRUE(story->isAncestorOf(QApplication::focusWidget())) << "the keys go nowhere";
  QScrollBar* bar = story->ScrollBox()->verticalScrollBar();
  Press(Qt::Key_End);
  EXPECT_EQ(bar->value(), bar->maximum());
  Press(Qt::Key_PageUp);
  EXPECT_EQ(bar->value(), bar->maximum() - story->ScrollBox()->viewport()->height());
  Press(Qt::Key_Escape);
  EXPECT_EQ(FileNode("Story")->Window, nullptr) << "Escape closes the window";
  EXPECT_NE(ActiveTitle(main), "Story");
}

// A window without hints opens on its first line, and its scroll bar says
// so: the two agree from the first paint and after the first wheel step.
TEST_F(WindowActions, TheScrollBarAndTheViewAgreeFromTheFirstPaint) {
  StartWithStory();
  Open("Story");
  TStringForm* story = FormOf(FileNode("Story"));
  story->grab();  // painted
  QScrollBar* bar = story->ScrollBox()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(story->Control()->y(), 0);
  QWheelEvent wheel(QPointF(20, 20), story->ScrollBox()->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                    QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(story->ScrollBox()->viewport(), &wheel);
  Settle();
  EXPECT_GT(bar->value(), 0) << "the wheel moved down";
  EXPECT_EQ(story->Control()->y(), -bar->value());
}

TEST_F(WindowActions, EveryWindowActionHasItsKey) {
  TZEBMain& main = StartWithStory();
  for (const char* title : {"First", "Second", "Third"}) Open(title);
  ASSERT_EQ(ActiveTitle(main), "Third");

  // Ctrl+F6 and Ctrl+Shift+F6 go to the next and the previous window, and
  // the keys then work in it.
  Press(Qt::Key_F6, Qt::ControlModifier);
  const QString next = ActiveTitle(main);
  EXPECT_NE(next, "Third");
  EXPECT_TRUE(main.WindowArea()->activeSubWindow()->isAncestorOf(QApplication::focusWidget()));
  Press(Qt::Key_F6, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(ActiveTitle(main), "Third");

  // Alt+minus opens the child window's own menu.
  QMdiSubWindow* third = main.WindowArea()->activeSubWindow();
  Press(Qt::Key_Minus, Qt::AltModifier);
  ASSERT_NE(third->systemMenu(), nullptr);
  EXPECT_TRUE(third->systemMenu()->isVisible());
  third->systemMenu()->hide();
  Settle();

  // Ctrl+F4 closes the active window.
  Press(Qt::Key_F4, Qt::ControlModifier);
  EXPECT_EQ(FileNode("Third")->Window, nullptr);
  EXPECT_EQ(main.WindowArea()->subWindowList().size(), 3);

  // A minimised window reached with Ctrl+Tab comes back with Enter.
  QMdiSubWindow* first = FormOf(FileNode("First"))->SubWindow();
  first->showMinimized();
  Settle();
  for (int i = 0; i < 4 && main.WindowArea()->activeSubWindow() != first; ++i) Press(Qt::Key_Tab, Qt::ControlModifier);
  ASSERT_EQ(main.WindowArea()->activeSubWindow(), first);
  Press(Qt::Key_Return);
  EXPECT_FALSE(first->isMinimized());
  EXPECT_TRUE(first->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(WindowActions, TileAndCascadeLeaveTheIconsOfMinimisedWindowsInView) {
  TZEBMain& main = StartWithStory();
  for (const char* title : {"Story", "First", "Second", "Third"}) Open(title);
  QMdiSubWindow* first = FormOf(FileNode("First"))->SubWindow();
  QMdiSubWindow* second = FormOf(FileNode("Second"))->SubWindow();
  first->showMinimized();
  second->showMinimized();
  Settle();
  main.ArrangeIcons();
  Settle();
  for (const auto arrange : {&TZEBMain::WindowsTileClick, &TZEBMain::WindowsCascadeClick}) {
    (main.*arrange)();
    Settle();
    main.ArrangeIcons();
    Settle();
    for (QMdiSubWindow* icon : {first, second}) {
      EXPECT_TRUE(icon->isMinimized());
      EXPECT_TRUE(main.WindowArea()->viewport()->rect().contains(icon->geometry()));
      for (QMdiSubWindow* window : main.WindowArea()->subWindowList()) {
        if (window->isMinimized()) continue;
        EXPECT_FALSE(window->geometry().intersects(icon->geometry()))
            << window->windowTitle().toStdString() << " covers the icon of " << icon->windowTitle().toStdString();
      }
    }
  }
}

}  // namespace
