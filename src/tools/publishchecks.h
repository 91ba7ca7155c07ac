#pragma once
// What zebtool publish makes sure of before it writes anything: the folder
// lists, the base URL can stand in the list, every name can be carried by
// the list and downloaded by a reader, no two names differ only in letter
// case, and every file loads. Each check names what it refuses on the error
// stream and returns the exit status (0 when all is well).

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

// The hint files of folder, sorted by path. A file that cannot be looked at
// (a link in a loop, a link to nothing) is named on err and left out.
int ListPublishedFiles(const std::filesystem::path& folder, std::vector<std::filesystem::path>& files,
                       std::ostream& err);
// A URL the list can hold: no spaces, control characters or "<".
int CheckBaseUrl(const std::string& url, std::ostream& err);
// Names a reader can download, pairwise different in more than letter case.
int CheckFileNames(const std::vector<std::filesystem::path>& files, std::ostream& err);
// Every file loads as the reader loads it; else the loader's code.
int CheckFilesLoad(const std::vector<std::filesystem::path>& files, std::ostream& err);
