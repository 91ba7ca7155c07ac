// The recent-files list: its slot rules in the settings file, the four menu
// items built from it, and reopening a file from it.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include <QAction>
#include <QMenu>

#include "shell/mainfixture.h"
#include "shell/recentfiles.h"

namespace {

using TSlots = std::array<std::string, 4>;

void WriteSlots(TIniFile& ini, const TSlots& paths) {
  for (int n = 0; n < 4; ++n) {
    ini.WriteIniString("MRU", "MRU" + std::to_string(n), paths[n]);
    ini.WriteIniString("MRU", "MRUTitle" + std::to_string(n), paths[n].empty() ? "" : "Title of " + paths[n]);
  }
}

TSlots ReadPaths(TIniFile& ini) {
  TSlots paths;
  for (int n = 0; n < 4; ++n) paths[n] = ini.ReadIniString("MRU", "MRU" + std::to_string(n), "");
  return paths;
}

TSlots ReadTitles(TIniFile& ini) {
  TSlots titles;
  for (int n = 0; n < 4; ++n) titles[n] = ini.ReadIniString("MRU", "MRUTitle" + std::to_string(n), "");
  return titles;
}

// The separator just before the first recent-files item.
QAction* RecentSeparator(const TZEBMain& main) {
  QAction* first = main.Action("MRU0");
  for (QObject* object : first->associatedObjects()) {
    if (auto* menu = qobject_cast<QMenu*>(object)) {
      const QList<QAction*> actions = menu->actions();
      const qsizetype at = actions.indexOf(first);
      if (at > 0) return actions[at - 1];
    }
  }
  return nullptr;
}

}  // namespace

TEST(RecentFileSlots, AddRecentFileMovesAListedFileUpOrDropsTheOldest) {
  struct TCase {
    const char* Name;
    TSlots Before;
    std::string Path;
    TSlots After;
  };
  const TCase cases[] = {
      {"listed in slot 2",
       {"/h/one.zeb", "/h/two.zeb", "/x/a.zeb", "/h/four.zeb"},
       "/x/a.zeb",
       {"/x/a.zeb", "/h/one.zeb", "/h/two.zeb", "/h/four.zeb"}},
      // Names that differ in letter case are two files here: both stay listed.
      {"another file in other case",
       {"/h/one.zeb", "/h/two.zeb", "/x/a.zeb", "/h/four.zeb"},
       "/X/A.ZEB",
       {"/X/A.ZEB", "/h/one.zeb", "/h/two.zeb", "/x/a.zeb"}},
      {"new file drops the oldest",
       {"/h/one.zeb", "/h/two.zeb", "/h/three.zeb", "/h/four.zeb"},
       "/h/new.zeb",
       {"/h/new.zeb", "/h/one.zeb", "/h/two.zeb", "/h/three.zeb"}},
      {"already at the top", {"/h/one.zeb", "/h/two.zeb", "", ""}, "/h/one.zeb", {"/h/one.zeb", "/h/two.zeb", "", ""}},
      {"listed in slot 3", {"/h/one.zeb", "/h/two.zeb", "/h/three.zeb", "/h/four.zeb"}, "/h/four.zeb",
       {"/h/four.zeb", "/h/one.zeb", "/h/two.zeb", "/h/three.zeb"}},
      {"empty list", {"", "", "", ""}, "/h/first.zeb", {"/h/first.zeb", "", "", ""}},
      // Gaps move down like entries; only the last slot's content drops out.
      {"list with a gap", {"/h/one.zeb", "", "/h/three.zeb", ""}, "/h/new.zeb",
       {"/h/new.zeb", "/h/one.zeb", "", "/h/three.zeb"}},
      // Listed twice (hand-edited file): the last match is the one replaced.
      {"listed twice", {"/h/a.zeb", "/h/b.zeb", "/h/a.zeb", "/h/d.zeb"}, "/h/a.zeb",
       {"/h/a.zeb", "/h/a.zeb", "/h/b.zeb", "/h/d.zeb"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    TIniFile ini((dir.Path() / "ZEBWIN.INI").string());
    WriteSlots(ini, c.Before);
    AddRecentFile(ini, c.Path, "New Title");
    EXPECT_EQ(ReadPaths(ini), c.After);
    // Titles travel with their paths.
    const TSlots titles = ReadTitles(ini);
    EXPECT_EQ(titles[0], "New Title");
    for (int n = 1; n < 4; ++n) EXPECT_EQ(titles[n], c.After[n].empty() ? "" : "Title of " + c.After[n]) << n;
  }
}

TEST_F(MainWindowTest, RecentItemsShowTheListedPathsAndHideEmptySlots) {
  struct TCase {
    TSlots Paths;
  };
  const TCase cases[] = {
      {{"", "", "", ""}},
      {{"/h/one.zeb", "", "", ""}},
      {{"/h/one.zeb", "", "/h/three.zeb", ""}},  // hand-edited: a gap in slot 1
      {{"", "/h/two.zeb", "", ""}},
      {{"/h/one.zeb", "/h/two.zeb", "/h/three.zeb", "/h/four four.zeb"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.Paths));
    Main.reset();
    TIniFile ini = Settings();
    WriteSlots(ini, c.Paths);
    TZEBMain& main = Start();
    for (int n = 0; n < 4; ++n) {
      QAction* item = main.Action(("MRU" + std::to_string(n)).c_str());
      ASSERT_NE(item, nullptr);
      EXPECT_EQ(item->isVisible(), !c.Paths[n].empty()) << n;
      if (!c.Paths[n].empty()) EXPECT_EQ(item->text().toStdString(), "&" + std::to_string(n + 1) + " " + c.Paths[n]);
    }
    QAction* separator = RecentSeparator(main);
    ASSERT_NE(separator, nullptr);
    EXPECT_TRUE(separator->isSeparator());
    EXPECT_EQ(separator->isVisible(), !c.Paths[0].empty());
  }
}

TEST_F(MainWindowTest, FirstSuccessfulOpenShowsTheFirstRecentItem) {
  TZEBMain& main = Start();
  EXPECT_FALSE(RecentSeparator(main)->isVisible());
  main.OpenHintFile((Files.Path() / "MISSING.ZEB").string());
  EXPECT_FALSE(main.Action("MRU0")->isVisible());
  const std::string path = SaveGame();
  main.OpenHintFile(path);
  EXPECT_TRUE(RecentSeparator(main)->isVisible());
  EXPECT_TRUE(main.Action("MRU0")->isVisible());
  EXPECT_EQ(main.Action("MRU0")->text().toStdString(), "&1 " + path);
  EXPECT_FALSE(main.Action("MRU1")->isVisible());
  EXPECT_EQ(Settings().ReadIniString("MRU", "MRUTitle0", ""), "Moonfall");
}

TEST_F(MainWindowTest, ChoosingARecentItemOpensThePathStoredForItsSlot) {
  const std::string one = Save("ONE.ZEB", GameFileWriter("One"));
  const std::string two = Save("TWO.ZEB", GameFileWriter("Two"));
  const std::string three = Save("THREE.ZEB", GameFileWriter("Three"));
  TIniFile ini = Settings();
  WriteSlots(ini, {one, two, three, ""});
  TZEBMain& main = Start();

  main.Action("MRU2")->trigger();
  ASSERT_NE(main.FileRoot(), nullptr);
  EXPECT_EQ(main.FileRoot()->Text, "Three");
  EXPECT_EQ(main.CurrentFilePath, three);
  EXPECT_EQ(ReadPaths(ini), (TSlots{three, one, two, ""}));
  EXPECT_EQ(main.Action("MRU0")->text().toStdString(), "&1 " + three);
  EXPECT_EQ(main.Action("MRU1")->text().toStdString(), "&2 " + one);

  // The slot's path comes from the settings file, not from the caption.
  ini.WriteIniString("MRU", "MRU1", two);
  main.Action("MRU1")->trigger();
  EXPECT_EQ(main.FileRoot()->Text, "Two");
  EXPECT_TRUE(Dialogs.Asked.empty());
}

TEST_F(MainWindowTest, ARecentFileThatCannotBeOpenedStaysListed) {
  const std::string one = Save("ONE.ZEB", GameFileWriter("One"));
  const std::string gone = (Files.Path() / "GONE.ZEB").string();
  TIniFile ini = Settings();
  WriteSlots(ini, {one, gone, "", ""});
  TZEBMain& main = Start();
  main.Action("MRU0")->trigger();
  ASSERT_NE(main.FileRoot(), nullptr);
  THunk* root = main.FileRoot();

  main.Action("MRU1")->trigger();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Text.toStdString(),
            gone + " could not be opened.  Make sure that this file exists, and that no other application is using it.");
  EXPECT_EQ(ReadPaths(ini), (TSlots{one, gone, "", ""}));
  EXPECT_EQ(main.Action("MRU1")->text().toStdString(), "&2 " + gone);
  EXPECT_EQ(main.FileRoot(), root);
  EXPECT_TRUE(WindowOpen(root));
}
