#pragma once
// A main window for tests: its own settings folder (ZEBWIN_HOME, restored
// afterwards), a program folder that may hold a small help file, scripted
// dialogs, and hint files written with the writer.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTest>

#include "authoring/hintwriter.h"
#include "model/hunk.h"
#include "settings/homefolder.h"
#include "settings/inifile.h"
#include "shell/main.h"
#include "support/scripteddialogs.h"
#include "support/fixtures.h"

// Points ZEBWIN_HOME at a fresh folder for as long as it lives.
class TScopedHome {
 public:
  TScopedHome() {
    if (const char* old = std::getenv("ZEBWIN_HOME")) Previous = old;
    qputenv("ZEBWIN_HOME", QByteArray::fromStdString(Dir.Path().string()));
  }
  ~TScopedHome() {
    if (Previous)
      qputenv("ZEBWIN_HOME", QByteArray::fromStdString(*Previous));
    else
      qunsetenv("ZEBWIN_HOME");
  }
  TScopedHome(const TScopedHome&) = delete;
  TScopedHome& operator=(const TScopedHome&) = delete;

  const TTempDir& Folder() const { return Dir; }

 private:
  TTempDir Dir;
  std::optional<std::string> Previous;
};

// Which help file the program folder holds.
enum class THelpFile { Full, WithoutIndex, WithoutUnzipping, None };

// The reader's own help file in small: root "ZEB Reader Documentation" with
// the nodes the program opens by title.
inline THintFileWriter HelpFileWriter(THelpFile kind) {
  std::vector<TWHunkPtr> pages;
  if (kind != THelpFile::WithoutIndex)
    pages.push_back(Subject("Help File Index", {PlainHunk("COMMENT", "Opening a file", {"Choose Open on the File menu."})}));
  pages.push_back(PlainHunk("COMMENT", "Getting Started", {"Open a hint file."}));
  if (kind != THelpFile::WithoutUnzipping)
    pages.push_back(PlainHunk("COMMENT", "Unzipping ZIP Files", {"Unpack the archive first."}));
  THintFileWriter writer;
  writer.Hunks = {Subject("ZEB Reader Documentation", pages)};
  return writer;
}

// A hint file of the newer format: two hint lists under a subject, a
// comment, and a VERSION and an INFO hunk (none when version is empty).
inline THintFileWriter GameFileWriter(const std::string& title = "Moonfall", const std::string& version = "96a") {
  THintFileWriter writer;
  auto chapter = Subject("Chapter One", {Hint("How do I open the gate?", {"Look at the lever.", "-", "Pull the lever twice."}),
                                         Hint("Where is the key?", {"Near the door.", "-", "Under the mat.", "-", "Lift the mat."})});
  writer.Hunks = {Subject(title, {chapter, PlainHunk("COMMENT", "About this file", {"Written for the dragon tests."})})};
  if (!version.empty()) writer.Hunks.push_back(PlainHunk("VERSION", version, {"Compiler 1.0"}));
  writer.Hunks.push_back(PlainHunk("INFO", "", {"AUTHOR=Jo Smith", "PUBLISHER=Acme Games", "COPYRIGHT=(c) 1999 Jo"}));
  return writer;
}

// Runs the pending events, deferred deletions included.
inline void Settle() {
  for (int i = 0; i < 5; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

class MainWindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Main.reset();
    FlushDeletes();
  }

  // Builds the main window; the help file is written first when asked for.
  TZEBMain& Start(THelpFile help = THelpFile::Full, std::vector<std::string> arguments = {}) {
    if (help != THelpFile::None) HelpFileWriter(help).Save(HelpPath());
    Main = std::make_unique<TZEBMain>(ProgramDir(), std::move(arguments));
    return *Main;
  }

  // The main window shown and active (shortcuts and focus need both).
  TZEBMain& StartShown() {
    TZEBMain& main = Start();
    main.resize(900, 700);
    main.show();
    main.activateWindow();
    for (int i = 0; i < 100 && QApplication::activeWindow() != &main; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &main);
    Settle();
    return main;
  }

  // Find in File, with the phrase typed into its box.
  void FindInFile(TZEBMain& main, const QString& phrase) {
    Dialogs.Answers = {phrase};
    main.FileFindClick();
  }

  // A key typed by the user: through the shortcuts first, then to the focus.
  static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no widget has the keyboard focus";
    QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
    Settle();
  }

  std::string ProgramDir() const { return Program.Path().string() + "/"; }
  std::string HelpPath() const { return ProgramDir() + "ZEBWIN.ZEB"; }

  // Writes a hint file into the files folder; returns its path.
  std::string Save(const std::string& name, THintFileWriter writer) {
    const std::string path = (Files.Path() / name).string();
    writer.Save(path);
    return path;
  }
  std::string SaveGame(const std::string& name = "MOONFALL.ZEB") { return Save(name, GameFileWriter()); }

  // The settings file, read afresh.
  TIniFile Settings() const { return TIniFile(THomeFolder::SettingsFile()); }

  std::vector<TScriptedDialogs::TAsked> Messages() const {
    std::vector<TScriptedDialogs::TAsked> messages;
    for (const auto& asked : Dialogs.Asked)
      if (asked.Kind == "message") messages.push_back(asked);
    return messages;
  }

  THunk* FileNode(const std::string& title) const {
    THunk* root = Main->FileRoot();
    return root != nullptr ? root->FindByTitle(title) : nullptr;
  }
  THunk* HelpNode(const std::string& title) const {
    THunk* root = Main->HelpRoot();
    return root != nullptr ? root->FindByTitle(title) : nullptr;
  }
  static bool WindowOpen(const THunk* node) { return node != nullptr && node->Window != nullptr; }

  // Closed windows are deleted later; tests that look at them flush first.
  static void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  TScopedHome Home;
  TTempDir Program;
  TTempDir Files;
  TScriptedDialogs Dialogs;
  std::unique_ptr<TZEBMain> Main;
};
