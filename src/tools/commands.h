#pragma once
// The commands of zebtool. Each takes its arguments (after the command name)
// and returns the exit status; output goes to the given streams.

#include <iosfwd>
#include <string>
#include <system_error>
#include <vector>

#include "fileio/atomicfile.h"
#include "model/loader.h"

namespace ExitCode {
constexpr int Ok = 0;
constexpr int Usage = 64;
constexpr int BadSource = 65;  // a data error: a bad source, a folder that cannot be published
constexpr int NoInput = 66;    // a folder that cannot be listed
constexpr int Unavailable = 69;  // a network or archive failure
constexpr int Software = 70;  // an unexpected error inside zebtool
constexpr int CannotCreate = 73;
}  // namespace ExitCode

using TArgs = std::vector<std::string>;
// A command: its arguments (after its name) in, its exit status out.
using TCommandHandler = int(const TArgs& args, std::ostream& out, std::ostream& err);

// Runs any command.
int RunZebtool(const TArgs& args, std::ostream& out, std::ostream& err);
// Runs --help, --version and the commands that zebtool runs itself (see
// tools/commandtable.h); false when args name another command.
bool RunModelCommand(const TArgs& args, std::ostream& out, std::ostream& err, int& status);
// From now on commands leave what they loaded for the process's exit to free.
void LeaveLoadedTreesAtExit();

int TreeCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int VerifyCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int DecodeCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int HtmlCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int SearchCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int BuildCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int SummaryCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int TitlesCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int ListCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int PrintCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int UpdateCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int DownloadCommand(const TArgs& args, std::ostream& out, std::ostream& err);
int PublishCommand(const TArgs& args, std::ostream& out, std::ostream& err);

// Loads FILE for a command; on failure reports the reader's message.
int LoadForCommand(const std::string& path, TObjectList& list, std::ostream& err);

// Loads FILE as the reader shows it once open (with its credits entry);
// the loader's code, reported, or 1 when it holds no root. root is set
// when it loaded.
int LoadTreeAsShown(const std::string& path, TObjectList& list, std::ostream& err, THunk*& root);
// Writes the web page of the tree into outPath whole; the exit status, the
// failure reported.
int WritePageFile(THunk& root, const std::string& hintFilePath, const std::string& outPath, TAtomicFile::TLinks links,
                  std::ostream& err);
// Reads the arguments FILE [-o OUT] of the command; 0, or the exit status
// of the usage error it reported.
int ReadFileAndOutput(const TArgs& args, const std::string& command, std::string& path, std::string& outPath,
                      std::ostream& err);
// Reports a folder that cannot be listed; returns NoInput.
int FolderError(std::ostream& err, const std::string& folder, const std::error_code& error);
// 0 when no output path names one of the input files (the files themselves
// are compared, links followed, so a hard link, a symbolic link or another
// spelling of an input counts); otherwise reports the first such output and
// returns CannotCreate. Outputs that do not exist yet are new files.
int RefuseOutputsOverInputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs,
                            std::ostream& err);
// Reports a usage error and returns its exit status.
int UsageError(std::ostream& err, const std::string& problem);
