// The reader driven from the keyboard and the mouse as a user drives it:
// shortcuts that win over the child windows' own, where the focus goes when
// a window opens or closes, the window a closed one returns to, and the
// window area's arrangements with many windows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

#include "display/stringchild.h"
#include "display/stringcontrol.h"
#include "model/itemshunk.h"
#include "model/pngobject.h"
#include "shell/mainfixture.h"

namespace {

TStringForm* FormOf(const THunk* node) { return node != nullptr ? dynamic_cast<TStringForm*>(node->Window) : nullptr; }
int OpenSubWindowCount(const TZEBMain& main) {
  int open = 0;
  for (QMdiSubWindow* window : main.WindowArea()->subWindowList())
    if (!window->isHidden()) ++open;
  return open;
}

QString ActiveTitle(const TZEBMain& main) {
  const QMdiSubWindow* active = main.WindowArea()->activeSubWindow();
  return active != nullptr ? active->windowTitle() : QString("(none)");
}

// A subject of many short questions, each with two hints.
THintFileWriter ManyQuestions(int count) {
  std::vector<TWHunkPtr> questions;
  for (int i = 1; i <= count; ++i)
    questions.push_back(Hint("Question " + std::to_string(i), {"First hint.", "-", "Second hint."}));
  THintFileWriter writer;
  writer.Hunks = {Subject("Many", std::move(questions))};
  return writer;
}

class WindowKeys : public MainWindowTest {
 protected:
  TZEBMain& ShowWithGame() {
    TZEBMain& main = StartShown();
    main.OpenHintFile(SaveGame());
    Settle();
    return main;
  }
  static void Open(THunk* node) {
    ASSERT_NE(node, nullptr);
    node->Open();
    Settle();
  }
};

// ---- keyboard and focus ---------------------------------------------------------------

TEST_F(WindowKeys, ShowTopWindowShortcutWinsInsideAChildWindow) {
  TZEBMain& main = ShowWithGame();
  Open(FileNode("Chapter One"));
  Open(FileNode("How do I open the gate?"));
  ASSERT_EQ(ActiveTitle(main), "How do I open the gate?");
  ASSERT_TRUE(FormOf(FileNode("How do I open the gate?"))->isAncestorOf(QApplication::focusWidget()));
  Press(Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(ActiveTitle(main), "Moonfall");
  EXPECT_EQ(OpenSubWindowCount(main), 3) << "Ctrl+W closed a window instead";
}

TEST_F(WindowKeys, NewWindowTakesTheFocusWhereKeysWorkAtOnce) {
  THintFileWriter writer;
  std::vector<std::string> lines;
  for (int i = 1; i <= 120; ++i) lines.push_back("Line " + std::to_string(i) + " of a long story.");
  lines.insert(lines.begin(), "#w-");  // each on a line of its own
  std::vector<std::string> hinted = lines;
  hinted.push_back("-");
  hinted.push_back("The end.");
  writer.Hunks = {Subject("Game", {PlainHunk("COMMENT", "Story", lines), Hint("Long question", hinted)})};
  TZEBMain& main = StartShown();
  main.OpenHintFile(Save("LONG.ZEB", writer));
  Settle();

  // No hint button: the text has the focus, and PageDown scrolls.
  Open(FileNode("Story"));
  TStringForm* story = FormOf(FileNode("Story"));
  ASSERT_NE(story, nullptr);
  EXPECT_EQ(QApplication::focusWidget(), story->Control());
  QScrollBar* bar = story->ScrollBox()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), story->ScrollBox()->viewport()->height());
  Press(Qt::Key_PageDown);
  EXPECT_EQ(bar->value(), story->ScrollBox()->viewport()->height());
  Press(Qt::Key_End);
  EXPECT_EQ(bar->value(), bar->maximum());

  // With the button: it has the focus (Enter reveals), and the scrolling
  // keys still move the text.
  Open(FileNode("Long question"));
  TStringForm* question = FormOf(FileNode("Long question"));
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(QApplication::focusWidget(), question->HintButton());
  QScrollBar* questionBar = question->ScrollBox()->verticalScrollBar();
  ASSERT_GT(questionBar->maximum(), question->ScrollBox()->viewport()->height());
  Press(Qt::Key_Home);
  EXPECT_EQ(questionBar->value(), 0);
  Press(Qt::Key_PageDown);
  EXPECT_EQ(questionBar->value(), question->ScrollBox()->viewport()->height());
}

TEST_F(WindowKeys, AfterAWindowClosesTabShowsTheLinkItReachesAndEnterOpensOnlyThat) {
  TZEBMain& main = ShowWithGame();
  THunk* chapter = FileNode("Chapter One");
  THunk* gate = FileNode("How do I open the gate?");
  Open(chapter);
  Open(gate);
  FormOf(gate)->SubWindow()->close();  // the close box, with the mouse
  Settle();
  ASSERT_EQ(ActiveTitle(main), "Chapter One");
  TStringControl* control = FormOf(chapter)->Control();
  ASSERT_EQ(QApplication::focusWidget(), control);
  EXPECT_EQ(control->FocusTarget(), nullptr);
  Press(Qt::Key_Return);
  EXPECT_EQ(gate->Window, nullptr) << "Enter opened a link that showed no focus box";

  Press(Qt::Key_Tab);
  EXPECT_EQ(control->FocusTarget(), gate) << "Tab selects the first link";
  // The focus box shows: dark dots in the column just left of the link,
  // where nothing else is drawn.
  const QImage image = control->grab().toImage();
  const TRect link = control->Links().at(0).Rect;
  int dots = 0;
  for (int y = link.Top; y < link.Bottom; ++y)
    if (qGray(image.pixel(link.Left - 3, y)) < 200) ++dots;
  EXPECT_GT(dots, 2) << "no focus box around the selected link";
  Press(Qt::Key_Return);
  EXPECT_NE(gate->Window, nullptr);
}

TEST_F(WindowKeys, ClosingAWindowReturnsToTheOneTheUserCameFrom) {
  TZEBMain& main = ShowWithGame();
  Open(FileNode("Chapter One"));
  Open(FileNode("About this file"));
  Open(FileNode("Chapter One"));  // back to the chapter: brought forward
  Open(FileNode("Where is the key?"));
  ASSERT_EQ(main.WindowArea()->subWindowList().size(), 4);
  FormOf(FileNode("Where is the key?"))->SubWindow()->close();
  Settle();
  EXPECT_EQ(ActiveTitle(main), "Chapter One");
  FormOf(FileNode("Chapter One"))->SubWindow()->close();
  Settle();
  EXPECT_EQ(ActiveTitle(main), "About this file");
}

// ---- the window area ------------------------------------------------------------------

TEST_F(WindowKeys, WindowsMenuListsNineWindowsThenMoreWindows) {
  TZEBMain& main = StartShown();
  main.OpenHintFile(Save("MANY.ZEB", ManyQuestions(51)));
  Settle();
  for (int i = 1; i <= 51; ++i) FileNode("Question " + std::to_string(i))->Open();
  Settle();
  ASSERT_EQ(main.WindowArea()->subWindowList().size(), 52);

  QMenu* menu = main.findChild<QMenu*>("Windows");
  ASSERT_NE(menu, nullptr);
  main.ListWindowsIn(*menu);
  int entries = 0;
  QAction* more = nullptr;
  for (QAction* action : menu->actions()) {
    if (!action->property("windowEntry").toBool() || action->isSeparator()) continue;
    if (action->text() == "&More Windows...") {
      more = action;
    } else {
      ++entries;
    }
  }
  EXPECT_EQ(entries, 9);
  ASSERT_NE(more, nullptr);

  Dialogs.ListAnswers = {30};
  more->trigger();
  Settle();
  ASSERT_EQ(Dialogs.ListsShown.size(), 1u);
  EXPECT_EQ(Dialogs.ListsShown[0].size(), 52);
  EXPECT_EQ(ActiveTitle(main), Dialogs.ListsShown[0][30]);

  // Listed again with fewer windows: no "More Windows..." is left over.
  main.WindowsCloseAllClick();
  Settle();
  FileNode("Question 1")->Open();
  Settle();
  main.ListWindowsIn(*menu);
  for (QAction* action : menu->actions()) EXPECT_NE(action->text(), "&More Windows...");
}

// With fourteen windows the menu lists nine; the active window is always
// among them, checked, also when it is not one of the first nine.
TEST_F(WindowKeys, TheWindowsMenuListsAndChecksTheActiveWindow) {
  TZEBMain& main = StartShown();
  main.OpenHintFile(Save("MANY.ZEB", ManyQuestions(13)));
  Settle();
  for (int i = 1; i <= 13; ++i) Open(FileNode("Question " + std::to_string(i)));
  ASSERT_EQ(main.WindowArea()->subWindowList().size(), 14);
  QMenu* menu = main.findChild<QMenu*>("Windows");
  ASSERT_NE(menu, nullptr);
  const auto entries = [&] {
    main.ListWindowsIn(*menu);
    QStringList listed;
    for (QAction* action : menu->actions())
      if (action->property("windowEntry").toBool() && !action->isSeparator())
        listed << action->text() + (action->isChecked() ? " *" : "");
    return listed;
  };
  QStringList listed = entries();
  ASSERT_EQ(listed.size(), 10);
  EXPECT_EQ(listed[8], "&9 Question 13 *") << listed.join(", ").toStdString();
  EXPECT_EQ(listed[9], "&More Windows...");
  EXPECT_EQ(listed.filter(" *").size(), 1);

  main.WindowArea()->setActiveSubWindow(main.WindowArea()->subWindowList()[2]);
  Settle();
  listed = entries();
  EXPECT_EQ(listed[2], "&3 Question 2 *");
  EXPECT_EQ(listed[8], "&9 Question 8");
  EXPECT_EQ(listed.filter(" *").size(), 1);
}

TEST_F(WindowKeys, ArrangementsKeepEveryWindowReachable) {
  TZEBMain& main = StartShown();
  main.OpenHintFile(Save("MANY.ZEB", ManyQuestions(51)));
  Settle();
  for (int i = 1; i <= 51; ++i) FileNode("Question " + std::to_string(i))->Open();
  Settle();
  const QRect area = main.WindowArea()->viewport()->rect();

  main.WindowsCascadeClick();
  Settle();
  for (QMdiSubWindow* window : main.WindowArea()->subWindowList()) {
    const QRect frame = window->geometry();
    const QPoint titleBar(frame.left() + 20, frame.top() + 5);
    EXPECT_TRUE(area.contains(titleBar)) << window->windowTitle().toStdString() << " title bar out of view at "
                                         << frame.left() << "," << frame.top();
  }

  // Minimised: rows of icons, none on top of another.
  for (QMdiSubWindow* window : main.WindowArea()->subWindowList()) window->showMinimized();
  Settle();
  main.ArrangeIcons();
  Settle();
  const QList<QMdiSubWindow*> windows = main.WindowArea()->subWindowList();
  for (int i = 0; i < windows.size(); ++i) {
    EXPECT_TRUE(area.contains(windows[i]->geometry())) << windows[i]->windowTitle().toStdString();
    for (int k = i + 1; k < windows.size(); ++k)
      EXPECT_FALSE(windows[i]->geometry().intersects(windows[k]->geometry()))
          << windows[i]->windowTitle().toStdString() << " covers " << windows[k]->windowTitle().toStdString();
  }
}

TEST_F(WindowKeys, WorkspaceScrollsToWindowsOutsideIt) {
  TZEBMain& main = ShowWithGame();
  Open(FileNode("Chapter One"));
  FormOf(FileNode("Chapter One"))->SubWindow()->move(main.WindowArea()->width() + 200, main.WindowArea()->height() + 200);
  Settle();
  EXPECT_TRUE(main.WindowArea()->horizontalScrollBar()->isVisible());
  EXPECT_TRUE(main.WindowArea()->verticalScrollBar()->isVisible());
}

TEST_F(WindowKeys, WindowOpenedWhileOthersAreMaximisedOpensMaximisedAtItsOwnSize) {
  TZEBMain& main = ShowWithGame();
  Open(FileNode("Chapter One"));
  QMdiSubWindow* chapter = FormOf(FileNode("Chapter One"))->SubWindow();
  const QSize normalSize = chapter->size();
  chapter->showMaximized();
  Settle();
  Open(FileNode("Where is the key?"));
  QMdiSubWindow* key = FormOf(FileNode("Where is the key?"))->SubWindow();
  EXPECT_TRUE(key->isMaximized());
  EXPECT_EQ(key->size(), main.WindowArea()->viewport()->size());
  key->showNormal();
  Settle();
  EXPECT_EQ(key->size(), normalSize) << "restored, the window has the size it would have opened with";
}

// ---- pictures in the reader -------------------------------------------------------------

class PictureWindows : public WindowKeys {
 protected:
  // "Map", a 60 x 40 picture whose region (10, 10)-(30, 30) leads to "Spot";
  // "Tune", a sound; "Old", a picture of the older kind; "Broken", a
  // picture whose data is damaged.
  TZEBMain& StartWithPictures() {
    THintFileWriter writer;
    std::string broken = TinyPng(8, 8);
    broken[50] = static_cast<char>(broken[50] ^ 0x55);
    auto map = writer.HyperPng("Map", TinyPng(60, 40), {{10, 10, 30, 30, Hint("Spot", {"Under the rug."})}});
    writer.Hunks = {Subject("Pictures", {map, writer.Sound("Tune", "RIFF....WAVE"), writer.Gifa("Old", "GIF89a"),
                                         writer.HyperPng("Broken", broken)})};
    TZEBMain& main = StartShown();
    main.OpenHintFile(Save("PICTURES.ZEB", writer));
    Settle();
    return main;
  }
};

TEST_F(PictureWindows, ClickingAHotRegionKeepsAMaximisedWindowMaximised) {
  TZEBMain& main = StartWithPictures();
  Open(FileNode("Map"));
  TStringForm* map = FormOf(FileNode("Map"));
  ASSERT_NE(map, nullptr);
  map->SubWindow()->showMaximized();
  Settle();
  ASSERT_EQ(map->Control()->Links().size(), 1u);
  const TRect region = map->Control()->Links()[0].Rect;
  QTest::mouseClick(map->Control(), Qt::LeftButton, Qt::NoModifier,
                    QPoint((region.Left + region.Right) / 2, (region.Top + region.Bottom) / 2));
  Settle();
  EXPECT_NE(FileNode("Spot")->Window, nullptr);
  // Back to the picture, as the Windows menu or a second click would bring it.
  FileNode("Map")->Open();
  Settle();
  EXPECT_TRUE(map->SubWindow()->isMaximized());
  EXPECT_EQ(ActiveTitle(main), "Map");
}

TEST_F(PictureWindows, NodesWithNothingToShowSayWhyInTheStatusBar) {
  TZEBMain& main = StartWithPictures();
  struct TCase {
    const char* Title;
    const char* Note;
  };
  for (const TCase& c : {TCase{"Tune", SoundNotPlayedNote}, TCase{"Old", OldPictureNote},
                         TCase{"Broken", PictureNotShownNote}}) {
    SCOPED_TRACE(c.Title);
    main.statusBar()->clearMessage();
    Open(FileNode(c.Title));
    EXPECT_EQ(main.statusBar()->currentMessage().toStdString(), c.Note);
  }
  main.statusBar()->clearMessage();
  Open(FileNode("Map"));
  EXPECT_EQ(main.statusBar()->currentMessage(), QString()) << "a picture that shows needs no note";
}

TEST_F(PictureWindows, TileKeepsAPictureWindowInsideItsTile) {
  TZEBMain& main = StartWithPictures();
  Open(FileNode("Map"));
  Open(FileNode("Spot"));
  Open(FileNode("Pictures"));
  main.WindowsTileClick();
  Settle();
  const QList<QMdiSubWindow*> windows = main.WindowArea()->subWindowList();
  for (int i = 0; i < windows.size(); ++i)
    for (int k = i + 1; k < windows.size(); ++k)
      EXPECT_FALSE(windows[i]->geometry().intersects(windows[k]->geometry()))
          << windows[i]->windowTitle().toStdString() << " overlaps " << windows[k]->windowTitle().toStdString();
}

}  // namespace
