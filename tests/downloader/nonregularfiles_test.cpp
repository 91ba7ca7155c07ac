// The header summary and the catalog scan with a FIFO where a hint file was
// listed, and with a huge file without line feeds: neither waits nor reads
// the file whole.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "authoring/hintwriter.h"
#include "downloader/catalog.h"
#include "downloader/fileinfo.h"
#include "support/fifo.h"
#include "support/fixtures.h"

namespace fs = std::filesystem;

namespace {
std::string SmallHintFile(const std::string& title) {
  THintFileWriter file;
  file.Hunks = {Subject(title, {Hint("Q", {"A"})})};
  file.LowerCaseKeywords = true;
  return file.Build();
}
}  // namespace

TEST(SummarySpecialFiles, AFifoGivesTheEmptySummaryAtOnce) {
  TTempDir dir;
  const std::string fifo = (dir.Path() / "PIPE.ZEB").string();
  ASSERT_TRUE(MakeFifo(fifo));
  EXPECT_TRUE(ReturnsPromptly(
      [&] {
        const TFileInfo info(fifo, 123);
        EXPECT_EQ(info.FileName, "PIPE.ZEB");
        EXPECT_EQ(info.Title, "");
        EXPECT_EQ(info.FileLength, 123);
      },
      {fifo}));
}

// The scan lists the folder, then reads each file: a FIFO that takes the
// last file's place in between is listed with the empty summary.
TEST(SummarySpecialFiles, AFifoSwappedInAfterTheFolderWasListed) {
  TTempDir dir;
  const fs::path folder = dir.Path() / "hints";
  fs::create_directories(folder);
  for (const char* name : {"A.ZEB", "B.ZEB", "C.ZEB"}) {
    std::ofstream out(folder / name, std::ios::binary);
    out << SmallHintFile(std::string("Game ") + name[0]);
  }
  const fs::path fifo = dir.Path() / "pipe";
  ASSERT_TRUE(MakeFifo(fifo));
  const std::string last = (folder / "C.ZEB").string();
  int calls = 0;
  TCatalog catalog;
  const volatile std::uint8_t cancel = 0;
  EXPECT_TRUE(ReturnsPromptly(
      [&] {
        ScanHintFolder(folder.string() + "/", catalog, cancel, (dir.Path() / "zeblocal.dat").string(), [&] {
          if (++calls == 3) fs::rename(fifo, folder / "C.ZEB");
        });
      },
      {last}));
  ASSERT_EQ(catalog.size(), 3u);
  EXPECT_EQ(catalog[0]->Title, "Game A");
  EXPECT_EQ(catalog[2]->FileName, "C.ZEB");
  EXPECT_EQ(catalog[2]->Title, "");
}

// A file of several gigabytes without a line feed: the scan reads about a
// line of it.
TEST(SummarySpecialFiles, AHugeFileWithoutLineFeedsIsScannedAtOnce) {
  TTempDir dir;
  const fs::path path = dir.Path() / "HUGE.ZEB";
  {
    std::ofstream out(path, std::ios::binary);
    out << "ZEB\r\n   Huge\r\n";
  }
  fs::resize_file(path, std::uintmax_t{8} << 30);
  const auto start = std::chrono::steady_clock::now();
  const TFileInfo info(path.string(), 1);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
  EXPECT_EQ(info.Title, "Huge");
  EXPECT_EQ(info.Version, "88a");
}
