// The local catalog: scanning a folder of hint files through the append-only
// cache of header summaries, and the by-title listing of a catalog.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

#include <utime.h>

#include "authoring/hintwriter.h"
#include "downloader/catalog.h"
#include "support/fixtures.h"
#include "support/smalldisk.h"

namespace fs = std::filesystem;

namespace {

// A small hint file with the given root title and INFO lines (lower-case
// keywords, as the header scan looks for them).
std::string HintBytes(const std::string& title, const std::vector<std::string>& info = {"AUTHOR=Someone"}) {
  THintFileWriter file;
  file.Title88a = "Old " + title;
  file.Subjects = {{"Start", {{"Where do I begin?", {"Here."}}}}};
  TWHunkPtr root = Subject(title, {Hint("A question", {"A hint."})});
  root->Keyword = "subject";
  file.Hunks = {root, PlainHunk("version", "96a"), PlainHunk("info", "Info", info)};
  return file.Build();
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Sets a file's modification time to noon, local time, of the given day.
void SetModified(const fs::path& path, int year, int month, int day) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = 12;
  tm.tm_isdst = -1;
  const utimbuf times{std::mktime(&tm), std::mktime(&tm)};
  ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

class CatalogScan : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Folder);
    fs::create_directories(Cache.parent_path());
  }

  void Put(const std::string& name, const std::string& bytes, const fs::path& folder = {}) {
    WriteAll((folder.empty() ? Folder : folder) / name, bytes);
  }

  // Replaces a file's bytes by other bytes of the same size, which are no
  // hint file: a summary made from the file now would have no title.
  void Scramble(const std::string& name) {
    const fs::path path = Folder / name;
    WriteAll(path, std::string(fs::file_size(path), 'x'));
  }

  TCatalog Scan(const fs::path& folder = {}) {
    TCatalog catalog;
    ScanError = ScanHintFolder((folder.empty() ? Folder : folder).string() + "/", catalog, Cancel, Cache.string(),
                               [this] { ++ProgressCalls; });
    return catalog;
  }

  std::vector<std::unique_ptr<TFileInfo>> CacheRecords() const {
    std::vector<std::unique_ptr<TFileInfo>> records;
    std::ifstream in(Cache, std::ios::binary);
    for (;;) {
      auto info = std::make_unique<TFileInfo>();
      if (!info->ReadRecord(in)) break;
      records.push_back(std::move(info));
    }
    return records;
  }

  // File name -> title, whatever the order of the scan.
  static std::map<std::string, std::string> Titles(const TCatalog& catalog) {
    std::map<std::string, std::string> titles;
    for (const auto& info : catalog) titles[info->FileName] = info->Title;
    EXPECT_EQ(titles.size(), catalog.size()) << "a file is listed twice";
    return titles;
  }

  static const TFileInfo* Find(const TCatalog& catalog, const std::string& name) {
    for (const auto& info : catalog)
      if (info->FileName == name) return info.get();
    return nullptr;
  }

  TTempDir Root;
  fs::path Folder = Root.Path() / "hints";
  fs::path Cache = Root.Path() / "program" / "zeblocal.dat";
  volatile std::uint8_t Cancel = 0;
  int ProgressCalls = 0;
  std::error_code ScanError;  // of the last Scan
};

TEST_F(CatalogScan, FirstScanCreatesTheCacheWithOneRecordPerFile) {
  Put("moon.zeb", HintBytes("Moonfall"));
  Put("castle.zeb", HintBytes("The Castle"));
  Put("bridge.zeb", HintBytes("A Bridge"));
  ASSERT_FALSE(fs::exists(Cache));

  TCatalog catalog;
  catalog.push_back(std::make_unique<TFileInfo>());  // emptied by the scan
  ScanHintFolder(Folder.string() + "/", catalog, Cancel, Cache.string(), [this] { ++ProgressCalls; });

  const std::map<std::string, std::string> want = {
      {"bridge.zeb", "A Bridge"}, {"castle.zeb", "The Castle"}, {"moon.zeb", "Moonfall"}};
  EXPECT_EQ(Titles(catalog), want);
  EXPECT_EQ(ProgressCalls, 3);
  const TFileInfo* moon = Find(catalog, "moon.zeb");
  ASSERT_NE(moon, nullptr);
  EXPECT_EQ(moon->Author, "Someone");
  EXPECT_EQ(moon->Version, "96a");
  EXPECT_EQ(moon->FileLength, static_cast<std::int32_t>(fs::file_size(Folder / "moon.zeb")));

  std::map<std::string, std::string> cached;
  for (const auto& record : CacheRecords()) cached[record->FileName] = record->Title;
  EXPECT_EQ(cached, want);
  EXPECT_EQ(CacheRecords().size(), 3u);
}

TEST_F(CatalogScan, SecondScanReadsNoHintFileAndAppendsNothing) {
  Put("moon.zeb", HintBytes("Moonfall"));
  Put("castle.zeb", HintBytes("The Castle"));
  Scan();
  const std::string cacheBefore = ReadAll(Cache);
  Scramble("moon.zeb");
  Scramble("castle.zeb");

  const TCatalog catalog = Scan();
  EXPECT_EQ(Titles(catalog), (std::map<std::string, std::string>{{"castle.zeb", "The Castle"}, {"moon.zeb", "Moonfall"}}));
  EXPECT_EQ(ReadAll(Cache), cacheBefore);
}

TEST_F(CatalogScan, ChangedSizeIsScannedAgainAndAppended) {
  const std::string original = HintBytes("Moonfall");
  Put("moon.zeb", original);
  Scan();

  Put("moon.zeb", HintBytes("Moonfall Deluxe Edition"));
  EXPECT_EQ(Titles(Scan()).at("moon.zeb"), "Moonfall Deluxe Edition");
  auto records = CacheRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0]->Title, "Moonfall");  // the old record stays
  EXPECT_EQ(records[1]->Title, "Moonfall Deluxe Edition");

  // Both sizes are known now: neither is scanned again.
  Scramble("moon.zeb");
  EXPECT_EQ(Titles(Scan()).at("moon.zeb"), "Moonfall Deluxe Edition");
  Put("moon.zeb", std::string(original.size(), 'x'));
  EXPECT_EQ(Titles(Scan()).at("moon.zeb"), "Moonfall");
  EXPECT_EQ(CacheRecords().size(), 2u);
}

TEST_F(CatalogScan, LengthLineDifferentFromTheSizeIsScannedEveryTime) {
  Put("wrong.zeb", HintBytes("Wrong Length", {"LENGTH=999"}));
  {
    // A true LENGTH= value matches the size and is cached as usual.
    THintFileWriter file;
    file.Subjects = {{"Start", {{"Where do I begin?", {"Here."}}}}};
    TWHunkPtr root = Subject("True Length", {Hint("A question", {"A hint."})});
    root->Keyword = "subject";
    TWHunkPtr info = PlainHunk("info", "Info");
    info->Pieces({TWPiece::Literal("LENGTH="), TWPiece::LengthOfFile()});
    file.Hunks = {root, info};
    Put("right.zeb", file.Build());
  }
  for (std::size_t scan = 1; scan <= 3; ++scan) {
    SCOPED_TRACE(scan);
    const TCatalog catalog = Scan();
    ASSERT_NE(Find(catalog, "wrong.zeb"), nullptr);
    EXPECT_EQ(Find(catalog, "wrong.zeb")->FileLength, 999);
    ASSERT_NE(Find(catalog, "right.zeb"), nullptr);
    EXPECT_EQ(Find(catalog, "right.zeb")->Title, "True Length");
    std::size_t wrong = 0, right = 0;
    for (const auto& record : CacheRecords()) (record->FileName == "wrong.zeb" ? wrong : right) += 1;
    EXPECT_EQ(wrong, scan);
    EXPECT_EQ(right, 1u);
  }
}

TEST_F(CatalogScan, DamagedRecordStopsReadingTheCache) {
  Put("a.zeb", HintBytes("Alpha"));
  Put("c.zeb", HintBytes("Gamma"));
  const auto size = [this](const char* name) { return std::to_string(fs::file_size(Folder / name)); };
  const std::string good = "a.zeb\r\nCached Alpha\r\n" + size("a.zeb") + "\r\n96a\r\n\r\n\r\n01-Jan-99\r\n\r\n";
  const std::string damaged = "b.zeb\r\nBeta\r\n12x\r\n96a\r\n\r\n\r\n\r\n\r\n";
  const std::string after = "c.zeb\r\nCached Gamma\r\n" + size("c.zeb") + "\r\n96a\r\n\r\n\r\n01-Jan-99\r\n\r\n";
  WriteAll(Cache, good + damaged + after);

  for (int scan = 1; scan <= 2; ++scan) {
    SCOPED_TRACE(scan);
    const TCatalog catalog = Scan();
    EXPECT_EQ(Titles(catalog), (std::map<std::string, std::string>{{"a.zeb", "Cached Alpha"}, {"c.zeb", "Gamma"}}));
    // The record after the damage is never used: c.zeb is scanned and
    // appended again on every search; the damaged part stays as it was.
    const std::string cache = ReadAll(Cache);
    ASSERT_EQ(cache.substr(0, good.size() + damaged.size() + after.size()), good + damaged + after);
    std::istringstream appended(cache.substr(good.size() + damaged.size() + after.size()));
    int records = 0;
    for (TFileInfo record; record.ReadRecord(appended); ++records) EXPECT_EQ(record.Title, "Gamma");
    EXPECT_EQ(records, scan);
  }
}

// Records of one name (in any letter case) and size: the first in the file
// is used, whatever the later ones say; another size is another record.
TEST_F(CatalogScan, FirstRecordOfANameAndSizeWins) {
  Put("a.zeb", HintBytes("Alpha"));
  const std::string size = std::to_string(fs::file_size(Folder / "a.zeb"));
  const auto record = [](const std::string& name, const std::string& title, const std::string& length) {
    return name + "\r\n" + title + "\r\n" + length + "\r\n96a\r\n\r\n\r\n\r\n\r\n";
  };
  WriteAll(Cache, record("a.zeb", "Other Size", size + "1") + record("A.ZEB", "First", size) +
                      record("a.zeb", "Second", size));
  const TCatalog catalog = Scan();
  EXPECT_EQ(Titles(catalog), (std::map<std::string, std::string>{{"a.zeb", "First"}}));
  EXPECT_EQ(CacheRecords().size(), 3u);
}

TEST_F(CatalogScan, TruncatedCacheKeepsTheRecordsBeforeTheCut) {
  Put("a.zeb", HintBytes("Alpha"));
  Put("b.zeb", HintBytes("Beta"));
  const std::string good =
      "a.zeb\r\nCached Alpha\r\n" + std::to_string(fs::file_size(Folder / "a.zeb")) + "\r\n96a\r\n\r\n\r\nx\r\n\r\n";
  WriteAll(Cache, good + "b.zeb\r\nCached Beta\r\n" + std::to_string(fs::file_size(Folder / "b.zeb")) + "\r\n96a");
  EXPECT_EQ(Titles(Scan()), (std::map<std::string, std::string>{{"a.zeb", "Cached Alpha"}, {"b.zeb", "Beta"}}));
}

// A cache on a full disk takes whole records or none: no half record is
// left to hide the records appended after it.
TEST_F(CatalogScan, AFullDiskLeavesOnlyWholeRecordsInTheCache) {
  TSmallDisk disk;
  SCOPED_TRACE(disk.Kind());
  Cache = disk.Path() / "zeblocal.dat";
  for (int i = 0; i < 40; ++i) Put("game" + std::to_string(i) + ".zeb", HintBytes("Game " + std::string(300, 'x') + std::to_string(i)));
  disk.LeaveRoom(4096);
  const TCatalog first = Scan();
  disk.EndLimit();
  EXPECT_EQ(first.size(), 40u) << "every file is listed, cached or not";
  const std::size_t cached = CacheRecords().size();
  EXPECT_GT(cached, 0u);
  EXPECT_LT(cached, 40u);
  std::ostringstream whole;
  for (const auto& record : CacheRecords()) record->WriteRecord(whole);
  EXPECT_EQ(ReadAll(Cache), whole.str()) << "the cache ends in half a record";

  Scan();
  EXPECT_EQ(CacheRecords().size(), 40u) << "the rest is added after the whole records";
  const std::string complete = ReadAll(Cache);
  Scan();
  EXPECT_EQ(ReadAll(Cache), complete) << "and every record is read again";
}

TEST_F(CatalogScan, ListsOrdinaryFilesEndingInZebInAnyCase) {
  const std::string bytes = HintBytes("Game");
  for (const char* name : {"a.zeb", "B.ZEB", "c.Zeb", "d.txt", "e.zebx", "zeb", "f.zeb.bak", ".hidden.zeb"})
    Put(name, bytes);
  fs::create_directory(Folder / "folder.zeb");
  Put("inner.zeb", bytes, Folder / "folder.zeb");

  const TCatalog catalog = Scan();
  std::map<std::string, std::string> want = {{"B.ZEB", "Game"}, {"a.zeb", "Game"}, {"c.Zeb", "Game"}};
  EXPECT_EQ(Titles(catalog), want);
  EXPECT_EQ(CacheRecords().size(), 3u);
}

TEST_F(CatalogScan, NameChangedOnlyInCaseUsesTheCachedRecord) {
  Put("moon.zeb", HintBytes("Moonfall"));
  Scan();
  fs::rename(Folder / "moon.zeb", Folder / "MOON.ZEB");
  Scramble("MOON.ZEB");

  EXPECT_EQ(Titles(Scan()), (std::map<std::string, std::string>{{"MOON.ZEB", "Moonfall"}}));
  const auto records = CacheRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0]->FileName, "moon.zeb");
}

TEST_F(CatalogScan, NamesThatAreNotUtf8AreNotConfused) {
  // Two Latin-1 names that differ in one accented letter, same size.
  Put("caf\xe9.zeb", HintBytes("Game E"));
  Put("caf\xe8.zeb", HintBytes("Game F"));
  const std::map<std::string, std::string> want = {{"caf\xe8.zeb", "Game F"}, {"caf\xe9.zeb", "Game E"}};
  EXPECT_EQ(Titles(Scan()), want);
  EXPECT_EQ(Titles(Scan()), want);
  EXPECT_EQ(CacheRecords().size(), 2u);
}

TEST_F(CatalogScan, SameNameAndSizeInAnotherFolderUsesTheFirstFoldersRecord) {
  const std::string bytes = HintBytes("Moonfall");
  Put("moon.zeb", bytes);
  Scan();
  const fs::path other = Root.Path() / "other";
  fs::create_directory(other);
  Put("moon.zeb", std::string(bytes.size(), 'x'), other);

  EXPECT_EQ(Titles(Scan(other)), (std::map<std::string, std::string>{{"moon.zeb", "Moonfall"}}));
  EXPECT_EQ(CacheRecords().size(), 1u);
}

TEST_F(CatalogScan, CancelledScanKeepsTheFilesDoneAndTheNextScanGoesOn) {
  for (const char* name : {"1.zeb", "2.zeb", "3.zeb", "4.zeb", "5.zeb"}) Put(name, HintBytes(std::string("Game ") + name));

  // The cancel button is pressed while the third file's turn pumps messages:
  // the flag is read before each file, so the third file is still done.
  TCatalog catalog;
  int calls = 0;
  ScanHintFolder(Folder.string() + "/", catalog, Cancel, Cache.string(), [&] {
    if (++calls == 3) Cancel = 1;
  });
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(catalog.size(), 3u);
  std::map<std::string, std::string> cached;
  for (const auto& record : CacheRecords()) cached[record->FileName] = record->Title;
  EXPECT_EQ(cached, Titles(catalog));

  // The next search passes the files already done.
  Cancel = 0;
  for (const auto& info : catalog) Scramble(info->FileName);
  const TCatalog full = Scan();
  EXPECT_EQ(full.size(), 5u);
  for (const auto& [name, title] : Titles(full)) EXPECT_EQ(title, "Game " + name);
  EXPECT_EQ(CacheRecords().size(), 5u);
}

TEST_F(CatalogScan, CancelSetBeforeTheScanListsNothing) {
  Put("moon.zeb", HintBytes("Moonfall"));
  Cancel = 1;
  EXPECT_TRUE(Scan().empty());
  EXPECT_EQ(ProgressCalls, 0);
  EXPECT_TRUE(CacheRecords().empty());
}

TEST_F(CatalogScan, MissingDateComesFromTheModificationTime) {
  Put("old.zeb", HintBytes("Old Game", {"AUTHOR=Someone"}));
  Put("new.zeb", HintBytes("New Game", {"AUTHOR=Someone"}));
  Put("dated.zeb", HintBytes("Dated Game", {"DATE=24-Dec-98"}));
  Put("zip.zeb", std::string("PK\x03\x04 no hint file", 18));
  SetModified(Folder / "old.zeb", 1999, 3, 5);
  SetModified(Folder / "new.zeb", 2000, 1, 17);
  SetModified(Folder / "dated.zeb", 2001, 6, 30);
  SetModified(Folder / "zip.zeb", 2010, 11, 9);

  const std::map<std::string, std::string> want = {
      {"dated.zeb", "24-Dec-98"}, {"new.zeb", "17-Jan-00"}, {"old.zeb", "05-Mar-99"}, {"zip.zeb", "09-Nov-10"}};
  std::map<std::string, std::string> dates;
  for (const auto& info : Scan()) dates[info->FileName] = info->Date;
  EXPECT_EQ(dates, want);
  std::map<std::string, std::string> cached;
  for (const auto& record : CacheRecords()) cached[record->FileName] = record->Date;
  EXPECT_EQ(cached, want);
}

TEST_F(CatalogScan, NonHintFileIsListedWithoutTitle) {
  Put("archive.zeb", std::string("PK\x03\x04\x14\x00", 6));
  Put("empty.zeb", "");
  const TCatalog catalog = Scan();
  ASSERT_EQ(catalog.size(), 2u);
  for (const auto& info : catalog) {
    EXPECT_EQ(info->Title, "") << info->FileName;
    EXPECT_EQ(info->Version, "") << info->FileName;
  }
  EXPECT_EQ(Find(catalog, "archive.zeb")->FileLength, 6);
}

TEST_F(CatalogScan, MissingOrEmptyFolderGivesAnEmptyCatalog) {
  EXPECT_TRUE(Scan(Root.Path() / "no such folder").empty());
  EXPECT_EQ(ScanError, std::errc::no_such_file_or_directory);
  EXPECT_TRUE(Scan().empty());
  EXPECT_FALSE(ScanError);
  EXPECT_TRUE(CacheRecords().empty());
  if (fs::exists(Cache)) {
    EXPECT_EQ(fs::file_size(Cache), 0u);
  }
}

TEST_F(CatalogScan, CacheThatCannotBeCreatedStillScansEveryFile) {
  Put("moon.zeb", HintBytes("Moonfall"));
  WriteAll(Root.Path() / "a file", "not a folder");
  Cache = Root.Path() / "a file" / "zeblocal.dat";
  EXPECT_EQ(Titles(Scan()), (std::map<std::string, std::string>{{"moon.zeb", "Moonfall"}}));
  EXPECT_EQ(Titles(Scan()), (std::map<std::string, std::string>{{"moon.zeb", "Moonfall"}}));
}

TEST(ListedByTitle, LeavesOutTheHelpFileAndUntitledFilesAndKeepsEqualKeysInOrder) {
  TCatalog catalog;
  const auto add = [&](const std::string& name, const std::string& title) {
    auto info = std::make_unique<TFileInfo>();
    info->FileName = name;
    info->Title = title;
    catalog.push_back(std::move(info));
  };
  add("castle.zeb", "The Castle");
  add("zip.zeb", "");
  add("zebwin.zeb", "ZEB Reader Documentation");
  add("bridge.zeb", "A Bridge");
  add("moon.zeb", "Moonfall");
  // Many equal keys, so that an unstable sort would very likely show.
  for (int i = 0; i < 40; ++i) add("castle" + std::to_string(i) + ".zeb", i % 2 ? "castle, the" : "THE CASTLE");

  std::vector<std::string> names;
  for (const TFileInfo* info : ListedByTitle(catalog)) names.push_back(info->FileName);
  std::vector<std::string> want = {"bridge.zeb", "castle.zeb"};
  for (int i = 0; i < 40; ++i) want.push_back("castle" + std::to_string(i) + ".zeb");
  want.push_back("moon.zeb");
  EXPECT_EQ(names, want);
}

}  // namespace
