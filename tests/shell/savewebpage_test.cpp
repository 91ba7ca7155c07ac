// Save as Web Page: the open file as a web page, through the save dialog.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "model/creditsentry.h"
#include "model/hunk.h"
#include "model/loader.h"
#include "shell/mainfixture.h"
#include "webpage/webpage.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The page of the file as loaded afresh, with the entry the reader adds.
std::string PageOfFile(const std::string& path) {
  TObjectList list;
  EXPECT_TRUE(LoadHintFile(path, list, false).Loaded());
  THunk* root = ListRootNode(list);
  AppendCreditsEntry(list, *root);
  std::ostringstream page;
  WriteWebPage(*root, path, page);
  ClearList(list);
  return page.str();
}

}  // namespace

TEST_F(MainWindowTest, SaveAsWebPageAsksForAFileAndWritesThePage) {
  TZEBMain& main = Start();
  const std::string game = SaveGame("Moon Fall.ZEB");
  main.OpenHintFile(game);
  const std::string out = (Files.Path() / "moon.html").string();
  // A name that is still a pattern is refused and the question asked again.
  Dialogs.Answers = {QString::fromStdString((Files.Path() / "*.html").string()), QString::fromStdString(out)};
  main.Action("FileSaveWebPage")->trigger();

  ASSERT_EQ(Dialogs.Asked.size(), 3u);
  EXPECT_EQ(Dialogs.Asked[0].Kind, "save");
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Save as Web Page");
  EXPECT_EQ(Dialogs.Asked[0].Initial, "Moon Fall.html");
  EXPECT_TRUE(Dialogs.Asked[0].Text.contains("*.html")) << Dialogs.Asked[0].Text.toStdString();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_TRUE(Messages()[0].Text.contains("*.html")) << Messages()[0].Text.toStdString();

  const std::string written = ReadFile(out);
  EXPECT_EQ(written.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(written.find("<title>ZEB: Hints for Moonfall</title>"), std::string::npos);
  EXPECT_EQ(written.find("Pull the lever twice."), std::string::npos) << "a hint is readable in the page";
  EXPECT_EQ(written, PageOfFile(game));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The same message as Decode to Text, and no partial page left behind.
TEST_F(MainWindowTest, SaveAsWebPageThatCannotWriteSaysSo) {
  TZEBMain& main = Start();
  main.OpenHintFile(SaveGame());
  const std::string noFolder = (Files.Path() / "missing" / "out.html").string();
  for (const std::string& path : {noFolder, Files.Path().string()}) {
    SCOPED_TRACE(path);
    Dialogs.Asked.clear();
    Dialogs.Answers = {QString::fromStdString(path)};
    main.FileSaveWebPageClick();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Caption, "Error");
    EXPECT_TRUE(Messages()[0].Text.startsWith(QString::fromStdString(path) + " could not be written."))
        << Messages()[0].Text.toStdString();
  }
  EXPECT_FALSE(std::filesystem::exists(noFolder));

  // Cancelled: nothing is written.
  Dialogs.Asked.clear();
  Dialogs.Answers = {std::nullopt};
  main.FileSaveWebPageClick();
  EXPECT_EQ(Messages().size(), 0u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Files.Path()), {}), 1);
}
