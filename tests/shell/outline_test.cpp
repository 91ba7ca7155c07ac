// The outline pane (Windows > Show Outline, F9) and the reader coming back
// as it was left: the main window's place, the outline, and with the option
// on, the last file and its windows.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <QAction>
#include <QDockWidget>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeView>

#include "display/outlinemodel.h"
#include "display/outlinepane.h"
#include "display/stringchild.h"
#include "model/itemshunk.h"
#include "shell/mainfixture.h"

namespace {

// Every title the outline shows, depth first, indented by level.
std::vector<std::string> Titles(const TOutlineModel& model, const QModelIndex& parent = {}, int depth = 0) {
  std::vector<std::string> titles;
  for (int row = 0; row < model.rowCount(parent); ++row) {
    const QModelIndex index = model.index(row, 0, parent);
    titles.push_back(std::string(2 * depth, ' ') + model.data(index).toString().toStdString());
    for (std::string& below : Titles(model, index, depth + 1)) titles.push_back(std::move(below));
  }
  return titles;
}

const THunk* ActiveNode(const TZEBMain& main) {
  QMdiSubWindow* active = main.WindowArea()->activeSubWindow();
  const auto* form = active != nullptr ? qobject_cast<TStringForm*>(active->widget()) : nullptr;
  return form != nullptr ? form->Node() : nullptr;
}

class Outline : public MainWindowTest {
 protected:
  // The reader started again, as a user starts it: the last one gone first.
  TZEBMain& Restart() {
    Main.reset();
    FlushDeletes();
    TZEBMain& main = Start();
    main.show();
    Settle();
    Settle();
    return main;
  }
  TOutlinePane& ShowOutline(TZEBMain& main) {
    main.Action("WindowsOutline")->trigger();
    Settle();
    EXPECT_NE(main.OutlineDock(), nullptr);
    return *main.OutlinePane();
  }
};

}  // namespace

TEST_F(Outline, HiddenAtFirstThenShowsTheTitlesAndNoHintText) {
  TZEBMain& main = StartShown();
  EXPECT_EQ(main.OutlineDock(), nullptr) << "made only when first shown";
  EXPECT_EQ(main.Action("WindowsOutline")->shortcut(), QKeySequence("F9"));
  main.OpenHintFile(SaveGame());
  Settle();
  TOutlinePane& pane = ShowOutline(main);
  EXPECT_TRUE(main.OutlineDock()->isVisible());
  EXPECT_TRUE(main.Action("WindowsOutline")->isChecked());
  EXPECT_EQ(Titles(*pane.Model()), (std::vector<std::string>{"Moonfall", "  Chapter One", "    How do I open the gate?",
                                                              "    Where is the key?", "  About this file",
                                                              "  Credits and File Information"}));
  EXPECT_EQ(pane.Tree()->accessibleName(), "Outline of the hint file");
  EXPECT_EQ(pane.FilterBox()->accessibleName(), "Filter the outline");
  EXPECT_TRUE(pane.FilterBox()->hasFocus()) << "the outline takes the keyboard when shown";

  // F9 again hides it.
  main.Action("WindowsOutline")->trigger();
  EXPECT_TRUE(main.OutlineDock()->isHidden());
  EXPECT_FALSE(main.Action("WindowsOutline")->isChecked());
}

TEST_F(Outline, ActivatingAnEntryOpensItsWindowAndTheSelectionFollowsTheActiveWindow) {
  TZEBMain& main = StartShown();
  main.OpenHintFile(SaveGame());
  Settle();
  TOutlinePane& pane = ShowOutline(main);
  THunk* question = FileNode("Where is the key?");
  ASSERT_NE(question, nullptr);
  const QModelIndex entry = pane.Model()->IndexOf(question);
  ASSERT_TRUE(entry.isValid());
  // Enter on the entry, from the keyboard.
  pane.Tree()->setFocus();
  pane.Tree()->setCurrentIndex(entry);
  Press(Qt::Key_Return);
  EXPECT_TRUE(WindowOpen(question));
  EXPECT_EQ(ActiveNode(main), question);
  EXPECT_EQ(pane.Model()->NodeAt(pane.Tree()->currentIndex()), question);

  // Another window comes to the front: its entry is selected.
  main.WindowsShowTopClick();
  Settle();
  EXPECT_EQ(pane.Model()->NodeAt(pane.Tree()->currentIndex()), main.FileRoot());
  static_cast<TStringForm*>(question->Window)->ShowWindow();
  Settle();
  EXPECT_EQ(pane.Model()->NodeAt(pane.Tree()->currentIndex()), question);
}

TEST_F(Outline, TheFilterKeepsMatchesWithTheirParents) {
  TZEBMain& main = StartShown();
  main.OpenHintFile(SaveGame());
  Settle();
  TOutlinePane& pane = ShowOutline(main);
  const struct {
    const char* Filter;
    std::vector<std::string> Titles;
  } cases[] = {
      {"KEY", {"Moonfall", "  Chapter One", "    Where is the key?"}},
      {"credits", {"Moonfall", "  Credits and File Information"}},
      {"lever", {}},  // hint text is not searched
      {"", {"Moonfall", "  Chapter One", "    How do I open the gate?", "    Where is the key?", "  About this file",
            "  Credits and File Information"}},
  };
  for (const auto& c : cases) {
    pane.FilterBox()->setText(c.Filter);
    EXPECT_EQ(Titles(*pane.Model()), c.Titles) << c.Filter;
  }
}

TEST_F(Outline, TheLayoutAndWithTheOptionTheFileAndItsWindowsComeBack) {
  const std::string game = SaveGame();
  {
    TZEBMain& main = StartShown();
    main.showNormal();
    main.setGeometry(40, 30, 720, 540);
    Settle();
    main.OptionsRecord().ReopenLastFile = true;
    main.OpenHintFile(game);
    Settle();
    ShowOutline(main).FilterBox()->setText("gate");
    FileNode("Where is the key?")->Open();
    FileNode("How do I open the gate?")->Open();
    Settle();
    main.close();
  }
  {
    TZEBMain& main = Restart();
    EXPECT_EQ(main.size(), QSize(720, 540));
    EXPECT_EQ(main.CurrentFile(), game);
    ASSERT_NE(main.OutlineDock(), nullptr);
    EXPECT_FALSE(main.OutlineDock()->isHidden());
    EXPECT_EQ(main.OutlinePane()->FilterBox()->text(), "gate");
    // The windows in their order, the active one last.
    std::vector<std::string> order;
    for (QMdiSubWindow* window : main.WindowArea()->subWindowList(QMdiArea::StackingOrder))
      order.push_back(qobject_cast<TStringForm*>(window->widget())->Node()->Text);
    EXPECT_EQ(order, (std::vector<std::string>{"Moonfall", "Where is the key?", "How do I open the gate?"}));
    EXPECT_EQ(ActiveNode(main), FileNode("How do I open the gate?"));
    main.close();
  }
  // The file is gone: the reader starts without it, and says nothing.
  std::filesystem::remove(game);
  {
    TZEBMain& main = Restart();
    EXPECT_EQ(main.FileRoot(), nullptr);
    EXPECT_TRUE(Messages().empty());
  }
}

// A question that a hint holds is part of the hint: the outline does not
// give its title away.
TEST_F(Outline, QuestionsInsideHintsAreNotListed) {
  TZEBMain& main = StartShown();
  THintFileWriter writer;
  writer.Hunks = {Subject("Clockwork", {NestHint("Why does the clock strike thirteen?",
                                                 {"It wants winding.", "-", "=", Hint("Where is the secret key?",
                                                                                      {"Ask the butler."})})})};
  main.OpenHintFile(Save("CLOCK.ZEB", writer));
  Settle();
  ASSERT_NE(FileNode("Where is the secret key?"), nullptr);
  TOutlinePane& pane = ShowOutline(main);
  EXPECT_EQ(Titles(*pane.Model()), (std::vector<std::string>{"Clockwork", "  Why does the clock strike thirteen?"}));
  pane.FilterBox()->setText("secret");
  EXPECT_TRUE(Titles(*pane.Model()).empty());
}
