#pragma once
// The regular files of one folder with their sizes, read with one pass over
// the folder and one status call per chosen name, made relative to the open
// folder so that the folder's own path is not walked again for every file.
// Links are followed: a link to a regular file counts, with that file's size.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

struct TFolderFile {
  std::string Name;
  std::int64_t Size = 0;
};

// The files whose names `wanted` accepts (it sees every name but "." and
// ".."), in the order the folder gives them; entries that vanish or cannot
// be looked at are left out. A folder that cannot be opened or read to its
// end gives no files and sets error to why (else error is cleared): a part
// of a folder is no answer to what the folder holds.
std::vector<TFolderFile> RegularFilesOf(const std::string& folder, const std::function<bool(std::string_view)>& wanted,
                                        std::error_code& error);
