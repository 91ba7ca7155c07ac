// Writing files safely: a file replaced whole or not at all, also on a full
// disk and through links, and a file extended by whole pieces.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fileio/appendfile.h"
#include "fileio/atomicfile.h"
#include "support/files.h"
#include "support/fixtures.h"
#include "support/smalldisk.h"

namespace fs = std::filesystem;

namespace {

std::string Pattern(std::size_t length, char seed) {
  std::string bytes(length, '\0');
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(seed + static_cast<char>(i % 61));
  return bytes;
}

// Writes the bytes in pieces of the given size, then commits.
bool WriteInPieces(TAtomicFile& file, const std::string& bytes, std::size_t piece) {
  if (!file.Open()) return false;
  for (std::size_t at = 0; at < bytes.size(); at += piece) file.Write(std::string_view(bytes).substr(at, piece));
  return file.Commit();
}

TEST(AtomicFile, ReplacesTheFileWholeAndKeepsItsPermissions) {
  TTempDir dir;
  const std::string target = dir.Write("SETTINGS.INI", "old");
  ::chmod(target.c_str(), 0640);
  const std::string bytes = Pattern(300000, 'a');
  TAtomicFile file(target);
  ASSERT_TRUE(WriteInPieces(file, bytes, 7000)) << file.Error();
  EXPECT_TRUE(FileBytes(target) == bytes);
  EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"SETTINGS.INI"}) << "no temporary file is left";
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);

  // A new file; the stream form; an empty file.
  TAtomicFile fresh((dir.Path() / "NEW.TXT").string());
  ASSERT_TRUE(fresh.Open());
  fresh.Stream() << "line one\r\n" << 42;
  ASSERT_TRUE(fresh.Commit());
  EXPECT_EQ(FileBytes(dir.Path() / "NEW.TXT"), "line one\r\n42");
  EXPECT_EQ(ReplaceFileWith(target, ""), "");
  EXPECT_EQ(FileBytes(target), "");
}

TEST(AtomicFile, WhatIsNotCommittedNeverReachesTheTarget) {
  TTempDir dir;
  const std::string target = dir.Write("A.ZEB", "the good file");
  {
    TAtomicFile file(target);
    ASSERT_TRUE(file.Open());
    file.Write(Pattern(200000, 'x'));
  }
  {
    TAtomicFile file(target);
    ASSERT_TRUE(file.Open());
    file.Write("partial");
    file.Discard();
    EXPECT_FALSE(file.Commit()) << "a discarded file cannot be committed";
  }
  EXPECT_EQ(FileBytes(target), "the good file");
  EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"A.ZEB"});
}

// A full disk at every stage of a write, the last flush inside Commit
// among them: the old file stays byte for byte and the failure is told.
TEST(AtomicFile, AFullDiskLeavesTheOldFileByteForByte) {
  TSmallDisk disk;
  SCOPED_TRACE(disk.Kind());
  const fs::path target = disk.Path() / "MOONFALL.ZEB";
  const std::string old = Pattern(20000, 'o');
  const std::string bytes = Pattern(100000, 'n');  // 25 pages
  // Writes of 10,000 bytes through a 64 KiB buffer: the first block goes out
  // at 65,536 bytes, the rest (34,464) only in Commit.
  const struct {
    std::uint64_t Room;
    bool Fits;
  } cases[] = {{0, false}, {4096, false}, {65536, false}, {69632, false}, {98304, false}, {102400, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Room);
    { std::ofstream(target, std::ios::binary) << old; }
    disk.LeaveRoom(c.Room);
    TAtomicFile file(target.string());
    const bool committed = WriteInPieces(file, bytes, 10000);
    disk.EndLimit();
    EXPECT_EQ(committed, c.Fits) << file.Error();
    if (c.Fits) {
      EXPECT_TRUE(FileBytes(target) == bytes);
      continue;
    }
    EXPECT_TRUE(FileBytes(target) == old) << "the old file was harmed";
    EXPECT_NE(file.Error().find(target.string()), std::string::npos) << file.Error();
    EXPECT_TRUE(file.Error().find("No space left on device") != std::string::npos ||
                file.Error().find("File too large") != std::string::npos)
        << file.Error();
    EXPECT_EQ(FolderNames(disk.Path()), std::vector<std::string>{"MOONFALL.ZEB"}) << "no temporary file is left";
  }
}

TEST(AtomicFile, LinksAreFollowedOrReplacedAsAsked) {
  TTempDir dir;
  const std::string outside = dir.Write("outside.txt", "not to be touched");
  fs::create_directories(dir.Path() / "hints");
  const fs::path link = dir.Path() / "hints" / "MOONFALL.ZEB";

  // Replace: the link itself becomes the new file; what it pointed to stays.
  fs::create_symlink(outside, link);
  EXPECT_EQ(ReplaceFileWith(link.string(), "new hints", TAtomicFile::TLinks::Replace), "");
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_EQ(FileBytes(link), "new hints");
  EXPECT_EQ(FileBytes(outside), "not to be touched");

  // Follow: a settings file kept as a link stays one, and its file changes.
  fs::remove(link);
  fs::create_symlink("../outside.txt", link);  // relative to the link's folder
  EXPECT_EQ(ReplaceFileWith(link.string(), "settings", TAtomicFile::TLinks::Follow), "");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(FileBytes(outside), "settings");
  EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"hints", "outside.txt"}));

  // A dangling link: Replace makes a file of the link; Follow creates the file it names.
  fs::remove(link);
  fs::create_symlink(dir.Path() / "made.txt", link);
  EXPECT_EQ(ReplaceFileWith(link.string(), "through", TAtomicFile::TLinks::Follow), "");
  EXPECT_EQ(FileBytes(dir.Path() / "made.txt"), "through");
  EXPECT_EQ(ReplaceFileWith(link.string(), "itself", TAtomicFile::TLinks::Replace), "");
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_EQ(FileBytes(dir.Path() / "made.txt"), "through");
}

TEST(AtomicFile, DevicesAreWrittenInPlaceAndFoldersRefused) {
  // Nothing can be renamed over a device: it is written, every write checked.
  EXPECT_EQ(ReplaceFileWith("/dev/null", Pattern(100000, 'd')), "");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  if (fs::exists("/dev/full")) {
    const std::string error = ReplaceFileWith("/dev/full", Pattern(100, 'd'));
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
  }

  TTempDir dir;
  fs::create_directories(dir.Path() / "folder" / "inside");
  const std::string onFolder = ReplaceFileWith((dir.Path() / "folder").string(), "x");
  EXPECT_NE(onFolder.find("Is a directory"), std::string::npos) << onFolder;
  EXPECT_TRUE(fs::exists(dir.Path() / "folder" / "inside"));
  const std::string blocker = dir.Write("blocker", "a file");
  const std::string underFile = ReplaceFileWith(blocker + "/A.TXT", "x");
  EXPECT_NE(underFile.find("Not a directory"), std::string::npos) << underFile;
  EXPECT_NE(ReplaceFileWith((dir.Path() / "missing" / "A.TXT").string(), "x"), "");
  EXPECT_EQ(FileBytes(blocker), "a file");
}

TEST(AppendFile, AppendsWholePiecesAndCutsBackAFailedOne) {
  TSmallDisk disk;
  SCOPED_TRACE(disk.Kind());
  const fs::path path = disk.Path() / "SAVED.TXT";
  const std::string old = Pattern(5000, 'o');
  { std::ofstream(path, std::ios::binary) << old; }

  TAppendFile file(path.string());
  ASSERT_TRUE(file.Open());
  ASSERT_TRUE(file.Append("one\r\n"));
  disk.LeaveRoom(8192);
  const bool appended = file.Append(Pattern(20000, 'p'));
  disk.EndLimit();
  EXPECT_FALSE(appended);
  EXPECT_FALSE(file.Close()) << "a failed piece fails the whole";
  EXPECT_TRUE(file.Error().find("No space left on device") != std::string::npos ||
              file.Error().find("File too large") != std::string::npos)
      << file.Error();
  EXPECT_TRUE(FileBytes(path) == old + "one\r\n") << "the file ends where the failed piece began";

  TAppendFile again(path.string());
  ASSERT_TRUE(again.Open());
  EXPECT_TRUE(again.Append("two\r\n"));
  EXPECT_TRUE(again.Close());
  EXPECT_TRUE(FileBytes(path) == old + "one\r\ntwo\r\n");
}

}  // namespace
