// The ZIP extractor on real archives: the member that matches, names that
// try to leave the folder, damaged and aborted extractions that leave the
// file already there untouched, and archives that expand too far.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/files.h"
#include "support/fixtures.h"
#include "support/ziparchives.h"
#include "zip/unzipper.h"

namespace fs = std::filesystem;

namespace {

class Unzipper : public ::testing::Test {
 protected:
  std::string Archive(const std::vector<TZipMember>& members) {
    const std::string path = (Work.Path() / "archive.zip").string();
    EXPECT_TRUE(WriteZip(path, members));
    return path;
  }
  // Opens, tags name, extracts into Dest; returns the error text or "".
  std::string Extract(const std::string& archive, const std::string& name, int* tagged = nullptr) {
    TAbUnZipper zipper;
    try {
      zipper.SetFileName(archive);
      zipper.SetBaseDirectory(Dest.Path().string());
      const int count = zipper.TagItems(name);
      if (tagged != nullptr) *tagged = count;
      zipper.OnArchiveItemProgress = Progress;
      zipper.ExtractTaggedItems();
      zipper.CloseArchive();
    } catch (const TZipError& error) {
      return error.what();
    }
    return "";
  }

  TTempDir Work;
  TTempDir Dest;
  std::function<void(bool&)> Progress;
};

TEST_F(Unzipper, ExtractsTheMemberWhoseFileNameMatchesInAnyCase) {
  const std::string game(50000, 'g');
  const std::string archive = Archive({{"readme.txt", "read me"}, {"hints/Game.zeb", game}, {"hints/", ""}});
  int tagged = 0;
  EXPECT_EQ(Extract(archive, "GAME.ZEB", &tagged), "");
  EXPECT_EQ(tagged, 1);
  EXPECT_EQ(FileBytes(Dest.Path() / "Game.zeb"), game) << "stored folder parts are dropped";
  EXPECT_EQ(FolderNames(Dest.Path(), true), std::vector<std::string>{"Game.zeb"});

  TAbUnZipper zipper;
  zipper.SetFileName(archive);
  EXPECT_EQ(zipper.GetCount(), 3);
  EXPECT_EQ(zipper.TagItems("other.zeb"), 0);
  EXPECT_EQ(zipper.TagItems("hints"), 0) << "a folder entry is no file";

  // An archive made by the zip tool.
  const fs::path plain = Work.Path() / "plain";
  fs::create_directories(plain);
  std::ofstream(plain / "MOON.ZEB", std::ios::binary) << game;
  const std::string zipped = (Work.Path() / "tool.zip").string();
  ASSERT_EQ(std::system(("cd '" + plain.string() + "' && zip -q '" + zipped + "' MOON.ZEB").c_str()), 0);
  EXPECT_EQ(Extract(zipped, "moon.zeb"), "");
  EXPECT_EQ(FileBytes(Dest.Path() / "MOON.ZEB"), game);
}

TEST_F(Unzipper, NoMemberWritesOutsideTheFolder) {
  const fs::path outside = Work.Path() / "x.ZEB";
  for (const std::string& name : {std::string("../x.ZEB"), std::string("../../x.ZEB"), (Work.Path() / "x.ZEB").string(),
                                  std::string("..\\x.ZEB"), std::string("a/../../x.ZEB")}) {
    SCOPED_TRACE(name);
    const std::string archive = Archive({{name, "escaped"}});
    EXPECT_EQ(Extract(archive, "x.ZEB"), "");
    EXPECT_FALSE(fs::exists(outside));
    EXPECT_EQ(FileBytes(Dest.Path() / "x.ZEB"), "escaped");
    fs::remove(Dest.Path() / "x.ZEB");
  }
  EXPECT_NE(Extract(Archive({{"..", "dots"}}), ".."), "") << "a member named .. has no usable name";
  EXPECT_TRUE(FolderNames(Dest.Path(), true).empty());
}

TEST_F(Unzipper, AFailedExtractionLeavesTheFileAlreadyThere) {
  const fs::path existing = Dest.Path() / "GAME.ZEB";
  std::ofstream(existing, std::ios::binary) << "the copy the user has";
  std::string content;
  for (int i = 0; i < 300000; ++i) content += static_cast<char>('a' + i % 23);

  // A damaged archive: a byte of the compressed data changed.
  const std::string archive = Archive({{"GAME.ZEB", content}});
  std::string bytes = FileBytes(archive);
  bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x5A);
  { std::ofstream(archive, std::ios::binary | std::ios::trunc) << bytes; }
  EXPECT_NE(Extract(archive, "GAME.ZEB"), "");
  EXPECT_EQ(FileBytes(existing), "the copy the user has");

  // Aborted part way.
  const std::string whole = Archive({{"GAME.ZEB", content}});
  int calls = 0;
  Progress = [&calls](bool& abort) { abort = ++calls == 2; };
  EXPECT_EQ(Extract(whole, "GAME.ZEB"), "extraction aborted");
  EXPECT_EQ(FileBytes(existing), "the copy the user has");
  EXPECT_EQ(FolderNames(Dest.Path(), true), std::vector<std::string>{"GAME.ZEB"}) << "no temporary file is left";

  // Not an archive at all.
  const std::string junk = Work.Write("junk.zip", "this is no zip archive");
  EXPECT_NE(Extract(junk, "GAME.ZEB"), "");

  // A good extraction replaces it.
  Progress = nullptr;
  EXPECT_EQ(Extract(whole, "GAME.ZEB"), "");
  EXPECT_EQ(FileBytes(existing), content);
}

TEST_F(Unzipper, AMemberThatExpandsTooFarIsRefused) {
  // 20 MB of zeros deflate to a few kilobytes.
  const std::string archive = Archive({{"BOMB.ZEB", std::string(20u << 20, '\0')}});
  ASSERT_LT(fs::file_size(archive), 100000u);
  TAbUnZipper zipper;
  zipper.MaxExtractedBytes = 8 << 20;
  zipper.SetFileName(archive);
  zipper.SetBaseDirectory(Dest.Path().string());
  ASSERT_EQ(zipper.TagItems("bomb.zeb"), 1);
  try {
    zipper.ExtractTaggedItems();
    ADD_FAILURE() << "the member was extracted";
  } catch (const TZipError& error) {
    EXPECT_NE(std::string(error.what()).find("8 MB"), std::string::npos) << error.what();
  }
  EXPECT_TRUE(FolderNames(Dest.Path(), true).empty());
}

}  // namespace
