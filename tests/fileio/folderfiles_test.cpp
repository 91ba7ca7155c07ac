// Listing a folder's regular files with their sizes.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "fileio/folderfiles.h"
#include "support/fixtures.h"

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::int64_t> Listed(const std::string& folder, bool (*wanted)(std::string_view)) {
  std::map<std::string, std::int64_t> listed;
  std::error_code error;
  for (const TFolderFile& file : RegularFilesOf(folder, wanted, error)) {
    EXPECT_TRUE(listed.emplace(file.Name, file.Size).second) << file.Name << " listed twice";
  }
  EXPECT_FALSE(error) << error.message();
  return listed;
}

bool Any(std::string_view) { return true; }

TEST(FolderFiles, ListsRegularFilesAndLinksToThemWithTheirSizes) {
  TTempDir dir;
  dir.Write("three.zeb", "abc");
  dir.Write("empty.zeb", "");
  dir.Write(".hidden", "12345");
  fs::create_directory(dir.Path() / "folder.zeb");
  fs::create_symlink("three.zeb", dir.Path() / "link.zeb");
  fs::create_symlink("missing.zeb", dir.Path() / "dangling.zeb");
  fs::create_symlink("folder.zeb", dir.Path() / "folderlink.zeb");

  const std::map<std::string, std::int64_t> all = {{".hidden", 5}, {"empty.zeb", 0}, {"link.zeb", 3}, {"three.zeb", 3}};
  EXPECT_EQ(Listed(dir.Path().string(), Any), all);
  // Names are chosen before anything is looked at; "." and ".." never come.
  const auto noDot = [](std::string_view name) {
    EXPECT_NE(name, ".");
    EXPECT_NE(name, "..");
    return name.rfind("l", 0) == 0 || name.rfind("f", 0) == 0;
  };
  EXPECT_EQ(Listed(dir.Path().string(), noDot), (std::map<std::string, std::int64_t>{{"link.zeb", 3}}));
}

TEST(FolderFiles, AFolderThatCannotBeOpenedListsNothingAndSaysWhy) {
  TTempDir dir;
  const std::string file = dir.Write("plain.zeb", "x");
  const struct {
    std::string Folder;
    std::errc Why;
  } cases[] = {{(dir.Path() / "missing").string(), std::errc::no_such_file_or_directory},
               {file, std::errc::not_a_directory},
               {file + "/below", std::errc::not_a_directory}};
  for (const auto& folder : cases) {
    SCOPED_TRACE(folder.Folder);
    std::error_code error = std::make_error_code(std::errc::io_error);
    EXPECT_TRUE(RegularFilesOf(folder.Folder, Any, error).empty());
    EXPECT_EQ(error, folder.Why);
  }
  // An empty folder is no failure: an error left from before is cleared.
  std::error_code error = std::make_error_code(std::errc::io_error);
  fs::create_directory(dir.Path() / "empty");
  EXPECT_TRUE(RegularFilesOf((dir.Path() / "empty").string(), Any, error).empty());
  EXPECT_FALSE(error);
}

}  // namespace
