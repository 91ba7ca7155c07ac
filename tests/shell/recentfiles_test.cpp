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

// The File menu's items between Save as Web Page and Exit ("-" for a separator):
// what a user sees there, and what a screen reader reads.
std::vector<std::string> ItemsBeforeExit(const TZEBMain& main) {
  std::vector<std::string> items;
  bool inside = false;
  for (QObject* object : main.Action("FileExit")->associatedObjects()) {
    auto* menu = qobject_cast<QMenu*>(object);
    if (menu == nullptr) continue;
    for (QAction* action : menu->actions()) {
      if (action == main.Action("FileExit")) break;
      if (inside) items.push_back(action->isSeparator() ? "-" : action->text().toStdString());
      if (action == main.Action("FileSaveWebPage")) inside = true;
    }
  }
  return items;
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

TEST_F(MainWindowTest, RecentItemsShowTheListedPathsAndNoEmptySlots) {
  struct TCase {
    TSlots Paths;
    std::vector<std::string> Items;
  };
  const TCase cases[] = {
      {{"", "", "", ""}, {"-"}},
      {{"/h/one.zeb", "", "", ""}, {"-", "&1 /h/one.zeb", "-"}},
      {{"/h/one.zeb", "", "/h/three.zeb", ""}, {"-", "&1 /h/one.zeb", "&3 /h/three.zeb", "-"}},  // hand-edited gap
      {{"", "/h/two.zeb", "", ""}, {"&2 /h/two.zeb", "-"}},
      {{"/h/one.zeb", "/h/two.zeb", "/h/three.zeb", "/h/four four.zeb"},
       {"-", "&1 /h/one.zeb", "&2 /h/two.zeb", "&3 /h/three.zeb", "&4 /h/four four.zeb", "-"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.Paths));
    Main.reset();
    TIniFile ini = Settings();
    WriteSlots(ini, c.Paths);
    TZEBMain& main = Start();
    EXPECT_EQ(ItemsBeforeExit(main), c.Items);
  }
}

TEST_F(MainWindowTest, FirstSuccessfulOpenShowsTheFirstRecentItem) {
  TZEBMain& main = Start();
  EXPECT_EQ(ItemsBeforeExit(main), std::vector<std::string>{"-"});
  main.OpenHintFile((Files.Path() / "MISSING.ZEB").string());
  EXPECT_EQ(ItemsBeforeExit(main), std::vector<std::string>{"-"});
  const std::string path = SaveGame();
  main.OpenHintFile(path);
  EXPECT_EQ(ItemsBeforeExit(main), (std::vector<std::string>{"-", "&1 " + path, "-"}));
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
  EXPECT_EQ(main.CurrentFile(), three);
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
