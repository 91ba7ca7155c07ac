#pragma once
// Opening a hint file for reading only when it is a regular file. A FIFO,
// a device or a folder where a hint file is expected is refused at once:
// opening a FIFO would wait for a writer, and reading a device may never
// end. The check is made on what was opened, not on the name, so a file
// swapped in after a folder was listed is caught too. This is the one place
// of the platform's calls for it.

#include <cstdio>
#include <string>

// A stream for reading the regular file at path ("rb"), or nullptr when it
// cannot be opened or is no regular file. The caller closes it (fclose).
std::FILE* OpenRegularFile(const std::string& path);
