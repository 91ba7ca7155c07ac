#pragma once
// Every zebtool command in one table: its name, its line in the usage text,
// the program that runs it and the function that does. zebtool runs the
// commands on hint files itself and hands the others over to zebtool-full.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "tools/commands.h"

enum class TRunBy {
  Zebtool,      // needs the model only
  ZebtoolFull,  // needs the GUI or network libraries
};

struct TCommandInfo {
  std::string_view Name;
  std::string_view Arguments;  // after the name in the usage text
  std::string_view Description;
  TRunBy RunBy = TRunBy::Zebtool;
  // zebtool restarts itself with huge pages before the command: it loads a
  // whole hint file.
  bool HugePages = false;
  TCommandHandler* Handler = nullptr;
};

// In the order the usage text lists them.
inline constexpr TCommandInfo Commands[] = {
    {"build", "SOURCE -o OUT", "compile an authoring source into a hint file", TRunBy::Zebtool, false, BuildCommand},
    {"decode", "FILE [-o OUT]", "write the whole hint file as text, every hint revealed", TRunBy::Zebtool, true,
     DecodeCommand},
    {"html", "FILE [-o OUT.html]", "write the hint file as one web page that reveals one hint at a time",
     TRunBy::Zebtool, true, HtmlCommand},
    {"list", "[ZEBINET_FILE] [--catalog DIR]", "parse an update list, marking the files DIR already holds",
     TRunBy::ZebtoolFull, false, ListCommand},
    {"download", "NAME... [--server HOST] [--yes]",
     "download and unpack the named hint files into the hint-file folder", TRunBy::ZebtoolFull, false,
     DownloadCommand},
    {"print", "FILE -o OUT.pdf [--pages A-B]", "print the whole hint file into a PDF, as Print File prints it",
     TRunBy::ZebtoolFull, true, PrintCommand},
    {"publish", "DIR OUT --base-url URL [--html]",
     "write an update server's content for the hint files of DIR (with --html, a web site too)",
     TRunBy::ZebtoolFull, false, PublishCommand},
    {"search", "FILE|DIR PHRASE", "list the places where a phrase occurs, one row of titles each (DIR: in every file)",
     TRunBy::Zebtool, true,
     SearchCommand},
    {"summary", "FILE...", "print the header summary of hint files (no loading)", TRunBy::ZebtoolFull, false,
     SummaryCommand},
    {"titles", "DIR", "list the hint files of a folder by title", TRunBy::ZebtoolFull, false, TitlesCommand},
    {"tree", "FILE", "print the loaded tree of a hint file as JSON", TRunBy::Zebtool, true, TreeCommand},
    {"update", "[--server HOST]", "retrieve the update list, then print it as list does", TRunBy::ZebtoolFull, false,
     UpdateCommand},
    {"verify", "FILE", "load a hint file; print \"ok\" or the reader's error message", TRunBy::Zebtool, true,
     VerifyCommand},
};

// The table as zebtool sees it, made while compiling: the commands it hands
// over have no handler here, so zebtool refers to none of zebtool-full's
// functions (it does not link their libraries). Code that zebtool links
// reads this copy only, never Commands itself.
inline constexpr auto ZebtoolCommands = [] {
  std::array<TCommandInfo, std::size(Commands)> copy{};
  for (std::size_t i = 0; i < copy.size(); ++i) {
    copy[i] = Commands[i];
    if (copy[i].RunBy != TRunBy::Zebtool) copy[i].Handler = nullptr;
  }
  return copy;
}();

// The command of that name in the table, or none.
const TCommandInfo* FindCommand(std::span<const TCommandInfo> table, std::string_view name);
// The text of zebtool --help, and of every usage error after the problem.
const std::string& UsageText();
