#include "shell/commands.h"

#include <vector>

#include "shell/main.h"

namespace {
// Said of the open dialog: only Windows has the dialogs of its own name.
#ifdef Q_OS_WIN
constexpr const char* OpenHint = "Opens a new hint file using the standard Windows dialog boxes";
#else
constexpr const char* OpenHint = "Opens a new hint file using the standard dialog boxes";
#endif

using E = TEnabledWhen;
}  // namespace

std::span<const TCommand> MainCommands() {
  // Made on first use: key sequences want the application's translations.
  static const std::vector<TCommand> commands = {
      {"&File", "FileOpen", "&Open...", QKeySequence("Ctrl+O"), OpenHint, &TZEBMain::FileOpenClick, E::Always, false,
       false, {"FILEOPEN", "Open", 4}},
      {"&File", "FileVerbose", "Open Hints by &Title", {},
       "Shows the full titles for all ZEB files stored in a single folder", &TZEBMain::FileVerboseClick, E::Always,
       false, false, {"FILEOPENTITLE", "Open Hints by Title", 35}},
      {"&File", "FileDownload", "Download &New Hints...", {}, "Lets you download new ZEB files over the Internet",
       &TZEBMain::FileDownloadClick, E::Always, false, false, {"FILEDOWNLOAD", "Download New Hints", 66}},
      {"&File", "FilePrint", "&Print File...", QKeySequence("Ctrl+Shift+P"), "Prints this hint file",
       &TZEBMain::FilePrintClick, E::FileOpen, true, false, {"FILEPRINT", "Print File", 174}},
      {"&File", "FilePrinterSetup", "P&rinter Setup...", {}, "Lets you choose and configure a default printer",
       &TZEBMain::FilePrinterSetupClick},
      {"&File", "FileInformation", "&Information", {}, "Displays author, copyright, and other information about this file",
       &TZEBMain::FileInformationClick, E::FileOpen, true},
      {"&File", "FileFind", "&Find in File...", QKeySequence("Ctrl+F"), "Searches this hint file",
       &TZEBMain::FileFindClick, E::FileOpen, false, false, {"FILEFIND", "Find in File", 112}},
      {"&File", "FileFindAll", "Find in &All Hint Files...", {},
       "Searches every hint file of the hint-file folder", &TZEBMain::FileFindAllClick},
      {"&File", "FileDecode", "&Decode to Text...", QKeySequence("Ctrl+Shift+S"), "Decodes this hint file to plain text",
       &TZEBMain::FileDecodeClick, E::FileOpen, false, false, {"FILESAVE", "Decode to Text", 143}},
      {"&File", "FileSaveWebPage", "Save as &Web Page...", {},
       "Saves this hint file as a web page that reveals one hint at a time", &TZEBMain::FileSaveWebPageClick,
       E::FileOpen},
      {"&File", "FileExit", "E&xit", {}, "Exits this program", &TZEBMain::FileExitClick, E::Always, false, true},
      {"&Windows", "WindowsCascade", "&Cascade", {}, "Cascades all open windows", &TZEBMain::WindowsCascadeClick},
      {"&Windows", "WindowsTile", "&Tile", {}, "Tiles all open windows", &TZEBMain::WindowsTileClick},
      {"&Windows", "WindowsArrange", "Arrange &Icons", {}, "Arranges icons of minimized windows",
       &TZEBMain::ArrangeIcons},
      {"&Windows", "WindowsCloseAll", "Close &All", {}, "Closes all open windows", &TZEBMain::WindowsCloseAllClick},
      {"&Windows", "WindowsOutline", "Show O&utline", QKeySequence("F9"),
       "Shows the titles of this hint file as a tree beside its windows", &TZEBMain::WindowsOutlineClick},
      {"&Windows", "WindowsShowTop", "Show Top &Window", QKeySequence("Ctrl+W"),
       "Shows the top-level window for this file", &TZEBMain::WindowsShowTopClick, E::FileOpen, true, false,
       {"WINDOWSSHOWTOP", "Show Top Window", 205}},
      {"&Windows", "WindowsSave", "&Save Window", QKeySequence("Ctrl+S"),
       "Saves the contents of the active window to a file", &TZEBMain::WindowsSaveClick, E::HintWindowActive, true,
       false, {"WINDOWSSAVE", "Save Window", 253}},
      {"&Windows", "WindowsPrint", "&Print Window", QKeySequence("Ctrl+P"), "Prints the contents of the active window",
       &TZEBMain::WindowsPrintClick, E::HintWindowActive, false, false, {"WINDOWSPRINT", "Print Window", 284}},
      {"&Windows", "WindowsCopy", "C&opy to Clipboard", QKeySequence("Ctrl+C"),
       "Copies the contents of the active window to the clipboard", &TZEBMain::WindowsCopyClick, E::HintWindowActive,
       false, false, {"WINDOWSCOPY", "Copy Window", 315}},
      {"&Options", "OptionsSet", "&Set Options...", {}, "Sets interface options", &TZEBMain::OptionsSetClick},
      {"&Options", "OptionsResetMemory", "&Reset Hints Shown", {},
       "Resets the list of hints that have been previously displayed in this file", &TZEBMain::OptionsResetMemoryClick,
       E::FileOpen},
      {"&Help", "HelpShow", "Show &Help File", QKeySequence("F1"), "Displays the on-line help file",
       &TZEBMain::HelpShowClick, E::Always, false, false, {"HELPSHOW", "Help", 359}},
      {"&Help", "HelpPrint", "&Print Help File", {}, "Prints the on-line help file", &TZEBMain::HelpPrintClick},
      {"&Help", "HelpWeb", "&Go to the ZEB Web Site", {},
       "Takes you to the ZEB web site for the latest ZEB files and other information", &TZEBMain::HelpWebClick,
       E::Always, true},
      {"&Help", "HelpContact", "&Contact Information...", {}, "Gives contact information for the author",
       &TZEBMain::HelpContactClick},
      {"&Help", "HelpAbout", "&About ZEBWIN...", {}, "Displays copyright information for this program",
       &TZEBMain::HelpAboutClick, E::Always, true},
  };
  return commands;
}
