// Opening hint files in the main window: the load-error messages, the
// program's own help file, the credits entry, command enabling, and the
// record of revealed hints kept across a reopen.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QStatusBar>
#include <QToolBar>

#include "model/infohunk.h"
#include "model/metatexthunk.h"
#include "settings/options.h"
#include "shell/mainfixture.h"

namespace {

const char* const FileCommands[] = {"FileDecode", "FileSaveWebPage", "FileFind", "FileInformation", "WindowsShowTop",
                                    "OptionsResetMemory", "FilePrint"};

// The menu items, and their toolbar buttons where they have one.
void ExpectFileCommands(const TZEBMain& main, bool enabled) {
  const auto* toolbar = main.findChild<QToolBar*>("Toolbar");
  ASSERT_NE(toolbar, nullptr);
  int buttons = 0;
  for (const char* name : FileCommands) {
    QAction* action = main.Action(name);
    EXPECT_EQ(action->isEnabled(), enabled) << name;
    if (QWidget* button = toolbar->widgetForAction(action)) {
      ++buttons;
      EXPECT_EQ(button->isEnabled(), enabled) << name << " button";
    }
  }
  EXPECT_EQ(buttons, 4);  // Print File, Find, Decode, Show Top Window
}

std::string MemoryKeyOf(const std::string& path) {
  return path + "." + std::to_string(std::filesystem::file_size(path));
}

TMetaTextHunk* Meta(THunk* node) { return dynamic_cast<TMetaTextHunk*>(node); }

}  // namespace

// ---- load errors ------------------------------------------------------------------

// A file that fails to load, for any reason, leaves the open file open with
// its windows: it is loaded apart and replaces the open one only when whole.
TEST_F(MainWindowTest, EachLoadErrorShowsItsMessageAndKeepsTheOpenFile) {
  struct TCase {
    const char* Name;
    std::function<std::string()> MakeFile;  // returns the path to open
    std::string Text;                                      // "" = the could-not-be-opened text
    bool HelpButton;
  };
  auto write = [this](const std::string& name, const std::string& bytes) {
    return [this, name, bytes] { return Files.Write(name, bytes); };
  };
  const TCase cases[] = {
      {"not a hint file", write("NOTES.ZEB", "Hello\r\nThis is not a hint file.\r\n"),
       "The file you have tried to open is not a ZEB file.", false},
      {"ZEB with a trailing space", write("SPACE.ZEB", "ZEB \r\nTitle\r\n1 0\r\n"),
       "The file you have tried to open is not a ZEB file.", false},
      {"corrupted",
       [this] {
         THintFileWriter writer = GameFileWriter("Broken");
         writer.Checksum = THintFileWriter::TChecksum::Wrong;
         return Save("BROKEN.ZEB", writer);
       },
       "The hint file you have tried to open has been corrupted.  Try downloading it again, and contact the ZEB "
       "for support if you continue receive this error.",
       false},
      {"zip archive", write("GAME.ZIP.ZEB", std::string("PK\x03\x04\x14\x00\x00\x00\r\n", 10)),
       "The file you have tried to open is a ZIP-compressed archive.  You must first uncompress .ZIP files before "
       "loading them into the ZEB reader.",
       true},
      {"missing file", [this] { return (Files.Path() / "GONE.ZEB").string(); }, "", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDialogs dialogs;
    TScopedHome home;
    Main.reset();
    TZEBMain& main = Start(THelpFile::None);
    const std::string good = SaveGame();
    main.OpenHintFile(good);
    ASSERT_NE(main.FileRoot(), nullptr);
    THunk* previousRoot = main.FileRoot();
    THunk* gate = FileNode("How do I open the gate?");
    gate->Open();
    Meta(gate)->HintsShown = 2;

    const std::string bad = c.MakeFile();
    main.OpenHintFile(bad);

    ASSERT_EQ(dialogs.Asked.size(), 1u);
    const auto& asked = dialogs.Asked[0];
    EXPECT_EQ(asked.Kind, "message");
    EXPECT_EQ(asked.Caption, "Error");
    const std::string text =
        !c.Text.empty()
            ? c.Text
            : bad + " could not be opened.  Make sure that this file exists, and that no other application is using it.";
    EXPECT_EQ(asked.Text.toStdString(), text);
    EXPECT_EQ(asked.Icon, TDialogs::TIcon::Stop);
    EXPECT_EQ(asked.HelpButton, c.HelpButton);

    EXPECT_EQ(main.FileRoot(), previousRoot);
    EXPECT_TRUE(WindowOpen(main.FileRoot()));
    EXPECT_TRUE(WindowOpen(gate));
    ExpectFileCommands(main, true);
    // The open file's record was saved before the attempt.
    EXPECT_EQ(Settings().ReadIniString("Memory", MemoryKeyOf(good), ""), "2,0,");
    // What the failed open leaves alone.
    EXPECT_EQ(main.CurrentFile(), good);
    TIniFile ini = Settings();
    EXPECT_EQ(ini.ReadIniString("MRU", "MRU0", ""), good);
    EXPECT_EQ(ini.ReadIniString("MRU", "MRU1", ""), "");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(main.statusBar()->currentMessage(), " ");
    Main.reset();
  }
}

TEST_F(MainWindowTest, HelpButtonOfTheZipMessageOpensTheUnzippingPage) {
  struct TCase {
    THelpFile Help;
    TDialogs::TAnswer Answer;
    bool PageOpens;
    bool ReportsNoHelp;
  };
  const TCase cases[] = {
      {THelpFile::Full, TDialogs::TAnswer::Help, true, false},
      {THelpFile::Full, TDialogs::TAnswer::Ok, false, false},
      {THelpFile::WithoutUnzipping, TDialogs::TAnswer::Help, false, true},
      {THelpFile::None, TDialogs::TAnswer::Help, false, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Help) * 10 + static_cast<int>(c.Answer));
    TScopedHome home;
    TTempDir program;
    TScriptedDialogs dialogs;
    if (c.Help != THelpFile::None) HelpFileWriter(c.Help).Save(program.Path().string() + "/ZEBWIN.ZEB");
    TZEBMain main(program.Path().string() + "/", {});
    dialogs.MessageAnswers = {c.Answer};
    main.OpenHintFile(Files.Write("ARCHIVE.ZEB", "PK\x03\x04 not really a zip\r\n"));

    THunk* page = main.HelpRoot() != nullptr ? main.HelpRoot()->FindByTitle("Unzipping ZIP Files") : nullptr;
    EXPECT_EQ(WindowOpen(page), c.PageOpens);
    ASSERT_EQ(dialogs.Asked.size(), c.ReportsNoHelp ? 2u : 1u);
    EXPECT_TRUE(dialogs.Asked[0].HelpButton);
    if (c.ReportsNoHelp) {
      EXPECT_EQ(dialogs.Asked[1].Caption, "Error");
      EXPECT_EQ(dialogs.Asked[1].Text, "Unable to locate help file.");
      EXPECT_EQ(dialogs.Asked[1].Icon, TDialogs::TIcon::None);
      EXPECT_FALSE(dialogs.Asked[1].HelpButton);
    }
    EXPECT_EQ(main.FileRoot(), nullptr);
  }
}

// ---- the help file opened as a hint file ------------------------------------------

TEST_F(MainWindowTest, OpeningTheHelpFileShowsTheNoticeAndTheHelpIndex) {
  TZEBMain& main = Start();
  const std::string game = SaveGame();
  main.OpenHintFile(game);
  main.OpenHintFile(HelpPath());

  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Kind, "message");
  EXPECT_EQ(Dialogs.Asked[0].Caption, "ZEB Help File");
  EXPECT_EQ(Dialogs.Asked[0].Text.toStdString(),
            "The file that you have opened is the on-line help file for this program.  For future reference, you can "
            "access the file directly by selecting 'Show Help File' from the 'Help' menu or by pressing F1.  You can "
            "even view the help file when another ZEB hint file is already open.");
  EXPECT_EQ(Dialogs.Asked[0].Icon, TDialogs::TIcon::None);
  EXPECT_TRUE(main.OpenFileObjects().empty());
  EXPECT_EQ(main.FileRoot(), nullptr);
  ExpectFileCommands(main, false);
  EXPECT_TRUE(WindowOpen(HelpNode("Help File Index")));
  // Not a hint file the user opened: neither the current file nor a recent one.
  EXPECT_EQ(main.CurrentFile(), game);
  EXPECT_EQ(Settings().ReadIniString("MRU", "MRU0", ""), game);
  EXPECT_EQ(Settings().ReadIniString("MRU", "MRU1", ""), "");
}

TEST_F(MainWindowTest, OnlyAZebwinFileTitledAsTheHelpFileIsTreatedAsTheHelpFile) {
  struct TCase {
    const char* Folder;
    const char* Name;
    const char* Title;
    bool IsHelp;
  };
  const TCase cases[] = {
      {"other", "zebwin.zeb", "ZEB Reader Documentation", true},
      {"other", "zebwin.zeb", "Moonfall", false},
      {"other", "ZEBWIN.ZEB", "ZEB Reader documentation", false},
      {"other", "MYZEBWIN.ZEB", "ZEB Reader Documentation", false},
      {"other", "zebwin.zebra", "ZEB Reader Documentation", true},
  };
  TZEBMain& main = Start();
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + " / " + c.Title);
    Dialogs.Asked.clear();
    std::filesystem::create_directories(Files.Path() / c.Folder);
    const std::string path = Save(std::string(c.Folder) + "/" + c.Name, GameFileWriter(c.Title));
    main.OpenHintFile(path);
    EXPECT_EQ(main.FileRoot() == nullptr, c.IsHelp);
    EXPECT_EQ(Messages().size(), c.IsHelp ? 1u : 0u);
    if (!c.IsHelp) {
      EXPECT_EQ(main.CurrentFile(), path);
      EXPECT_EQ(Settings().ReadIniString("MRU", "MRU0", ""), path);
      EXPECT_TRUE(WindowOpen(main.FileRoot()));
    }
  }
}

// ---- credits entry -----------------------------------------------------------------

TEST_F(MainWindowTest, CreditsEntryOnlyForVersions95aAnd96aWithDisplayInfo) {
  struct TCase {
    std::string Version;  // "" = no VERSION hunk
    bool DisplayInfo;
    bool Entry;
  };
  const TCase cases[] = {
      {"96a", true, true},  {"95a", true, true},   {"95b", true, false}, {"96a", false, false},
      {"95a", false, false}, {"", true, false},    {"96A", true, false}, {"96a ", true, false},
  };
  TZEBMain& main = Start();
  int n = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE("version '" + c.Version + "' DisplayInfo " + (c.DisplayInfo ? "on" : "off"));
    const std::string path = Save("GAME" + std::to_string(n++) + ".ZEB", GameFileWriter("Moonfall", c.Version));
    TLoaded plain;
    plain.Code = LoadHintFile(path, plain.List, false).Code;
    ASSERT_EQ(plain.Code, LoadResult::Loaded);
    const std::size_t itemsInFile = dynamic_cast<TItemsHunk*>(ListRoot(plain.List))->ItemCount();

    main.OptionsRecord().DisplayInfo = c.DisplayInfo;
    main.OpenHintFile(path);
    auto* root = dynamic_cast<TItemsHunk*>(main.FileRoot());
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->ItemCount(), itemsInFile + (c.Entry ? 2 : 0));
    if (!c.Entry) continue;

    const TZEBObject* blank = root->ItemAt(itemsInFile);
    EXPECT_EQ(blank->KindCode(), Kind::Blank);
    EXPECT_TRUE(blank->IsNode());
    EXPECT_EQ(blank->Text, " ");
    const auto* credits = dynamic_cast<const TItemsHunk*>(root->ItemAt(itemsInFile + 1));
    ASSERT_NE(credits, nullptr);
    EXPECT_EQ(credits->KindCode(), Kind::Info);
    EXPECT_EQ(credits->Text, "Credits and File Information");
    EXPECT_EQ(credits->Owner, root);
    const auto* info = dynamic_cast<const TItemsHunk*>(FindByKind(main.OpenFileObjects(), Kind::Info));
    ASSERT_NE(info, nullptr);
    ASSERT_NE(info, credits);
    ASSERT_EQ(credits->ItemCount(), info->ItemCount());
    ASSERT_GT(info->ItemCount(), 3u);
    for (std::size_t i = 0; i < info->ItemCount(); ++i) {
      const TZEBObject* copy = credits->ItemAt(i);
      const TZEBObject* line = info->ItemAt(i);
      SCOPED_TRACE(line->Text);
      EXPECT_NE(copy, line);  // copies, not the same lines
      EXPECT_EQ(copy->Text, line->Text);
      EXPECT_EQ(copy->EndsLine, line->EndsLine);
      EXPECT_EQ(copy->IsRule, line->IsRule);
      EXPECT_EQ(copy->Wraps, line->Wraps);
      EXPECT_EQ(copy->UseFixedFont, line->UseFixedFont);
      EXPECT_EQ(copy->SpaceAfter, line->SpaceAfter);
    }
  }
}

// ---- command enabling -------------------------------------------------------------

TEST_F(MainWindowTest, FileCommandsAreEnabledExactlyWhileAFileIsOpen) {
  TZEBMain& main = Start();
  ExpectFileCommands(main, false);
  main.OpenHintFile(SaveGame());
  ExpectFileCommands(main, true);
  main.OpenHintFile(Files.Write("NOTZEB.ZEB", "nothing\r\n"));
  ExpectFileCommands(main, true);  // the open file stays open
  main.OpenHintFile(SaveGame("AGAIN.ZEB"));
  ExpectFileCommands(main, true);
  main.OpenHintFile(HelpPath());
  ExpectFileCommands(main, false);
}

// ---- the Open dialog ----------------------------------------------------------------

TEST_F(MainWindowTest, OpenDialogOpensTheChosenFileAndCancelChangesNothing) {
  TZEBMain& main = Start();
  const std::string path = SaveGame();
  Dialogs.Answers = {QString::fromStdString(path)};
  main.Action("FileOpen")->trigger();
  ASSERT_EQ(Dialogs.Asked.size(), 1u);
  EXPECT_EQ(Dialogs.Asked[0].Kind, "open");
  EXPECT_EQ(Dialogs.Asked[0].Caption, "Open Hint File");
  EXPECT_TRUE(Dialogs.Asked[0].Text.contains("*.ZEB")) << Dialogs.Asked[0].Text.toStdString();
  ASSERT_NE(main.FileRoot(), nullptr);
  THunk* root = main.FileRoot();
  Meta(FileNode("Where is the key?"))->HintsShown = 2;

  Dialogs.Answers = {std::nullopt};
  main.FileOpenClick();
  EXPECT_EQ(main.FileRoot(), root);
  EXPECT_TRUE(WindowOpen(root));
  EXPECT_EQ(Settings().ReadIniString("Memory", MemoryKeyOf(path), ""), "");  // nothing saved
  EXPECT_EQ(Messages().size(), 0u);
}

// ---- revealed hints kept across a reopen --------------------------------------------

TEST_F(MainWindowTest, RevealedHintsSurviveAReopenOfTheSameFile) {
  TZEBMain& main = Start();
  const std::string path = SaveGame();
  main.OpenHintFile(path);
  Meta(FileNode("How do I open the gate?"))->HintsShown = 1;
  Meta(FileNode("Where is the key?"))->HintsShown = 3;

  main.OpenHintFile(path);

  EXPECT_EQ(Settings().ReadIniString("Memory", MemoryKeyOf(path), ""), "1,3,");
  ASSERT_NE(Meta(FileNode("How do I open the gate?")), nullptr);
  EXPECT_EQ(Meta(FileNode("How do I open the gate?"))->HintsShown, 1);
  EXPECT_EQ(Meta(FileNode("Where is the key?"))->HintsShown, 3);
}

TEST_F(MainWindowTest, AFailedOpenStillStoresTheRecordOfTheOpenFile) {
  TZEBMain& main = Start();
  const std::string path = SaveGame();
  main.OpenHintFile(path);
  Meta(FileNode("Where is the key?"))->HintsShown = 2;
  main.OpenHintFile((Files.Path() / "MISSING.ZEB").string());
  EXPECT_EQ(Settings().ReadIniString("Memory", MemoryKeyOf(path), ""), "0,2,");
}

TEST_F(MainWindowTest, StoredRecordIsRestoredOnOpenAndResetWhenItDoesNotFit) {
  struct TCase {
    std::string Record;
    int Gate, Key;
  };
  const TCase cases[] = {
      {"2,1,", 2, 1},
      {"1", 1, 1},      // without a comma the value serves every later list
      {"1,", 1, 0},
      {"0,3,", 0, 3},
      {"1,4,", 0, 0},   // 4 of 3 hints: the whole tree is reset
      {"3,1,", 0, 0},
  };
  const std::string path = SaveGame();
  TZEBMain& main = Start();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Record);
    // No file is open while the record is written, so no save replaces it.
    main.OpenHintFile(HelpPath());
    ASSERT_EQ(main.FileRoot(), nullptr);
    ASSERT_TRUE(main.SettingsFile().WriteIniString("Memory", MemoryKeyOf(path), c.Record));
    main.OpenHintFile(path);
    ASSERT_NE(main.FileRoot(), nullptr);
    EXPECT_EQ(Meta(FileNode("How do I open the gate?"))->HintsShown, c.Gate);
    EXPECT_EQ(Meta(FileNode("Where is the key?"))->HintsShown, c.Key);
  }
}

namespace {
// Sets the current folder for as long as it lives.
class TScopedCurrentFolder {
 public:
  explicit TScopedCurrentFolder(const std::filesystem::path& folder) : Previous(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~TScopedCurrentFolder() { std::filesystem::current_path(Previous); }
  TScopedCurrentFolder(const TScopedCurrentFolder&) = delete;
  TScopedCurrentFolder& operator=(const TScopedCurrentFolder&) = delete;

 private:
  std::filesystem::path Previous;
};
}  // namespace

// A path given relative to the folder the reader was started in is kept as
// an absolute, clean path, so the recent entry and the hint memory still
// find the file from anywhere; files whose names differ only in letter case
// are two files with an entry and a record each.
TEST_F(MainWindowTest, RelativeAndCaseDifferingPathsAreKeptAsTheFilesTheyName) {
  std::filesystem::create_directories(Files.Path() / "bad");
  const std::string upper = Save("bad/X.ZEB", GameFileWriter());
  const std::string lower = Save("bad/x.zeb", GameFileWriter("Lowercase"));
  TZEBMain& main = Start();
  {
    const TScopedCurrentFolder here(Files.Path());
    main.OpenHintFile("./bad/../bad//X.ZEB");
  }
  ASSERT_NE(main.FileRoot(), nullptr);
  EXPECT_EQ(main.CurrentFile(), upper);
  Meta(FileNode("How do I open the gate?"))->HintsShown = 2;
  {
    const TScopedCurrentFolder here(Files.Path() / "bad");
    main.OpenHintFile("x.zeb");
  }
  ASSERT_NE(main.FileRoot(), nullptr);
  EXPECT_EQ(main.CurrentFile(), lower);
  EXPECT_EQ(Meta(FileNode("How do I open the gate?"))->HintsShown, 0) << "another file, another record";
  Meta(FileNode("Where is the key?"))->HintsShown = 3;
  main.OpenHintFile(upper);  // saves the record of x.zeb

  TIniFile ini = Settings();
  EXPECT_EQ(ini.ReadIniString("MRU", "MRU0", ""), upper);
  EXPECT_EQ(ini.ReadIniString("MRU", "MRU1", ""), lower);
  EXPECT_EQ(ReadHintsShownRecord(ini, upper), "2,0,");
  EXPECT_EQ(ReadHintsShownRecord(ini, lower), "0,3,");
  EXPECT_EQ(Meta(FileNode("How do I open the gate?"))->HintsShown, 2);

  // Started again elsewhere, the recent entry opens the file.
  Main.reset();
  TZEBMain& again = Start();
  const TScopedCurrentFolder elsewhere(Program.Path());
  again.MRU0Click(1);
  ASSERT_NE(again.FileRoot(), nullptr);
  EXPECT_EQ(again.FileRoot()->Text, "Lowercase");
  EXPECT_EQ(Messages().size(), 0u);
}

// The record of a file with thousands of hint lists runs far past the 2,047
// characters a settings value is otherwise cut to; it comes back whole.
TEST_F(MainWindowTest, HintsOfALargeFileAreRememberedToTheLastList) {
  constexpr int Lists = 3000;
  std::vector<TWHunkPtr> questions;
  for (int i = 0; i < Lists; ++i) questions.push_back(Hint("Q" + std::to_string(i), {"a", "-", "b", "-", "c"}));
  THintFileWriter writer;
  writer.Hunks = {Subject("Big", std::move(questions))};
  const std::string path = Save("BIG.ZEB", writer);
  TZEBMain& main = Start();
  main.OpenHintFile(path);
  ASSERT_NE(main.FileRoot(), nullptr);
  Meta(FileNode("Q2999"))->HintsShown = 3;
  Meta(FileNode("Q1500"))->HintsShown = 2;
  main.close();  // closing saves the record
  Main.reset();

  TZEBMain& again = Start();
  again.OpenHintFile(path);
  ASSERT_NE(again.FileRoot(), nullptr);
  const auto record = Settings().ReadWholeValue("Memory", MemoryKeyOf(path), TKeyMatch::Exact, 1 << 20);
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->size(), 2u * Lists);
  EXPECT_EQ(Meta(FileNode("Q2999"))->HintsShown, 3);
  EXPECT_EQ(Meta(FileNode("Q1500"))->HintsShown, 2);
  EXPECT_EQ(Meta(FileNode("Q0"))->HintsShown, 0);
}
