// Unpacking a downloaded archive into the hint folder: the archive never
// stays behind, only a file that loads as a hint file replaces the old one,
// an archive that holds the file twice is told as such, and the file takes
// the name the list gives it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "downloader/downloadengine.h"
#include "settings/productinfo.h"
#include "support/files.h"
#include "support/localserver.h"
#include "support/scripteddialogs.h"
#include "support/smallhints.h"
#include "support/ziparchives.h"

namespace fs = std::filesystem;

namespace {

// The bytes with every occurrence of one text replaced by another of its length.
std::string Replaced(std::string bytes, const std::string& from, const std::string& to) {
  for (std::size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + to.size()))
    bytes.replace(at, from.size(), to);
  return bytes;
}

class Unpacking : public ::testing::Test {
 protected:
  Unpacking() : Engine(Options, Dialogs, (Home.Path() / "zebinet.dat").string()) {
    Options.InstallDir = Hints.Path().string() + "/";
    Engine.Pause = [](int) {};
  }

  // A record for the file name whose archive offer.zip holds the members.
  TFileRecord Offer(const std::string& fileName, const std::vector<TZipMember>& members) {
    EXPECT_TRUE(WriteZip(ArchivePath(), members));
    return Record(fileName);
  }
  TFileRecord Record(const std::string& fileName) const {
    TFileRecord record;
    record.Title = "Moonfall";
    record.FileName = fileName;
    record.Url = Server.Url("/files/offer.zip");
    return record;
  }
  std::string ArchivePath() const { return (Server.Folder().Path() / "offer.zip").string(); }
  // The one question asked since the last call.
  std::string Asked() {
    EXPECT_EQ(Dialogs.Asked.size(), 1u);
    const std::string text = Dialogs.Asked.empty() ? "" : Dialogs.Asked.back().Text.toStdString();
    Dialogs.Asked.clear();
    return text;
  }

  TTestServer Server;
  TTempDir Home;
  TTempDir Hints;
  TOptions Options;
  TScriptedDialogs Dialogs;
  TDownloadEngine Engine;
};

// Whatever ends the extraction, the archive leaves the hint folder and the
// copy already there keeps its bytes.
TEST_F(Unpacking, EveryFailedExtractionRemovesTheArchive) {
  const std::string old = SmallHintFile("The copy the user has");
  ASSERT_TRUE(WriteZip(ArchivePath(), {{"INNER.ZEB", SmallHintFile("Inner")}}));
  const std::string inner = FileBytes(ArchivePath());
  struct TCase {
    const char* What;
    std::vector<TZipMember> Members;
    const char* Message;  // a part of the question
  };
  const TCase cases[] = {
      {"no member of the name", {{"OTHER.ZEB", SmallHintFile("Other")}}, "(ZIP error: file not found)"},
      {"a compression bomb", {{"MOONFALL.ZEB", std::string((256u << 20) + 1, '\0')}}, "would expand beyond 256 MB"},
      {"no hint file", {{"MOONFALL.ZEB", "plain text"}}, "is not a hint file"},
      {"an archive inside", {{"MOONFALL.ZEB", inner}}, "is itself a ZIP archive"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Hints.Write("MOONFALL.ZEB", old);
    TFileRecord record = Offer("MOONFALL.ZEB", c.Members);
    EXPECT_EQ(Engine.DownloadOneFile(record, false), TDownloadEngine::TOutcome::Failed);
    const std::string text = Asked();
    EXPECT_NE(text.find(c.Message), std::string::npos) << text;
    EXPECT_EQ(FolderNames(Hints.Path()), std::vector<std::string>{"MOONFALL.ZEB"}) << "nothing is left behind";
    EXPECT_TRUE(FileBytes(Hints.Path() / "MOONFALL.ZEB") == old);
    EXPECT_FALSE(record.HaveCurrent);
  }
  // Not a ZIP archive at all.
  Server.Serve("offer.zip", "this is no archive");
  TFileRecord record = Record("MOONFALL.ZEB");
  EXPECT_EQ(Engine.DownloadOneFile(record, false), TDownloadEngine::TOutcome::Failed);
  EXPECT_NE(Asked().find("An error occurred while uncompressing Moonfall hints (ZIP error: "), std::string::npos);
  EXPECT_EQ(FolderNames(Hints.Path()), std::vector<std::string>{"MOONFALL.ZEB"});
}

// A file that does not load never replaces the file already there: it is
// dropped, and the message says what it is and that the old one stays.
TEST_F(Unpacking, OnlyAFileThatLoadsReplacesTheOldOne) {
  ASSERT_TRUE(WriteZip(ArchivePath(), {{"INNER.ZEB", SmallHintFile("Inner")}}));
  const std::string nested = FileBytes(ArchivePath());
  THintFileWriter wrongSum;
  wrongSum.Hunks = {Subject("Moonfall", {Hint("Where?", {"Here."})})};
  wrongSum.Checksum = THintFileWriter::TChecksum::Wrong;
  struct TCase {
    const char* What;
    std::string Bytes;
    const char* Why;
  };
  const TCase cases[] = {
      {"a ZIP archive named like a hint file", nested, "is itself a ZIP archive, not a hint file"},
      {"text", "Just some text\r\n", "is not a hint file"},
      {"nothing", "", "is not a hint file"},
      {"a wrong checksum", wrongSum.Build(), "is a damaged hint file (its checksum is wrong)"},
      {"a line too long", "ZEB\n" + std::string(20000, 'x') + "\n", "is a damaged hint file (a line of its text is too long)"},
  };
  const std::string old = SmallHintFile("The copy the user has");
  for (const bool oldThere : {true, false}) {
    for (const TCase& c : cases) {
      SCOPED_TRACE(std::string(c.What) + (oldThere ? ", over an old copy" : ""));
      if (oldThere) Hints.Write("NESTED.ZEB", old);
      TFileRecord record = Offer("NESTED.ZEB", {{"NESTED.ZEB", c.Bytes}});
      EXPECT_EQ(Engine.DownloadOneFile(record, false), TDownloadEngine::TOutcome::Failed);
      EXPECT_FALSE(record.HaveCurrent);
      EXPECT_EQ(Asked(), "An error occurred while uncompressing Moonfall hints: the file NESTED.ZEB in the archive " +
                             std::string(c.Why) +
                             ".  It was not saved, and a copy of NESTED.ZEB already in the hint-file folder is kept "
                             "as it was.  Try your download again.  If you continue to receive this error, e-mail " +
                             ProductSupportEmail + " with a description of the error and the steps that caused it.");
      if (oldThere) {
        EXPECT_EQ(FolderNames(Hints.Path()), std::vector<std::string>{"NESTED.ZEB"});
        EXPECT_TRUE(FileBytes(Hints.Path() / "NESTED.ZEB") == old) << "the old copy was harmed";
      } else {
        EXPECT_TRUE(FolderNames(Hints.Path()).empty());
      }
      fs::remove(Hints.Path() / "NESTED.ZEB");
    }
  }
  // A hint file goes through.
  TFileRecord record = Offer("NESTED.ZEB", {{"NESTED.ZEB", SmallHintFile("Nested")}});
  EXPECT_EQ(Engine.DownloadOneFile(record, false), TDownloadEngine::TOutcome::Done);
  EXPECT_EQ(FileBytes(Hints.Path() / "NESTED.ZEB"), SmallHintFile("Nested"));
  EXPECT_TRUE(Dialogs.Asked.empty());
}

// Two members that both answer to the name: which one is meant is unknown,
// and the message says so, whether the names are the same byte for byte or
// differ in letter case or folder.
TEST_F(Unpacking, AnArchiveHoldingTheFileTwiceIsToldAsSuch) {
  // libzip writes no two members of one name: the second name is made the
  // first's in the archive's bytes (names are not part of any checksum).
  ASSERT_TRUE(WriteZip(ArchivePath(), {{"GAME.ZEB", SmallHintFile("One")}, {"GAMX.ZEB", SmallHintFile("Two")}}));
  const std::string sameName = Replaced(FileBytes(ArchivePath()), "GAMX.ZEB", "GAME.ZEB");
  ASSERT_TRUE(WriteZip(ArchivePath(), {{"GAME.ZEB", SmallHintFile("One")}, {"hints/game.zeb", SmallHintFile("Two")}}));
  const std::string otherCase = FileBytes(ArchivePath());
  for (const std::string& archive : {sameName, otherCase}) {
    Hints.Write("GAME.ZEB", "old");
    Server.Serve("offer.zip", archive);
    TFileRecord record = Record("GAME.ZEB");
    EXPECT_EQ(Engine.DownloadOneFile(record, false), TDownloadEngine::TOutcome::Failed);
    const std::string text = Asked();
    EXPECT_NE(text.find("(ZIP error: the archive offer.zip holds two files named "), std::string::npos) << text;
    EXPECT_EQ(text.find("file not found"), std::string::npos) << text;
    EXPECT_EQ(text.find("already exists"), std::string::npos) << text;
    EXPECT_EQ(FolderNames(Hints.Path()), std::vector<std::string>{"GAME.ZEB"});
    EXPECT_EQ(FileBytes(Hints.Path() / "GAME.ZEB"), "old");
  }
}

// The list's name decides the file's name, whatever the member's letter
// case or the folder it was stored under; nothing lands outside the folder.
TEST_F(Unpacking, TheFileTakesTheNameTheListGivesIt) {
  TTempDir outside;
  const std::string members[] = {"moonfall.zeb", "MoonFall.Zeb", "../moonfall.zeb", "hints/MOONFALL.zeb",
                                 outside.Path().string() + "/moonfall.zeb", "C:\\games\\moonfall.ZEB"};
  for (const std::string& member : members) {
    SCOPED_TRACE(member);
    TFileRecord record = Offer("MOONFALL.ZEB", {{member, SmallHintFile(member)}});
    EXPECT_EQ(Engine.DownloadOneFile(record, false), TDownloadEngine::TOutcome::Done);
    EXPECT_EQ(FolderNames(Hints.Path()), std::vector<std::string>{"MOONFALL.ZEB"});
    EXPECT_EQ(FileBytes(Hints.Path() / "MOONFALL.ZEB"), SmallHintFile(member));
    EXPECT_TRUE(fs::is_empty(outside.Path()));
    EXPECT_FALSE(fs::exists(Hints.Path().parent_path() / "moonfall.zeb"));
  }
  EXPECT_TRUE(Dialogs.Asked.empty());
}

}  // namespace
