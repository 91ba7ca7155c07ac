#pragma once
// The system's words for a failed file call, and the loop that writes a
// whole buffer to a file descriptor.

#include <cstddef>
#include <string>
#include <string_view>

// The text of an errno value, for example "No space left on device".
std::string SystemErrorText(int error);

// Writes every byte, going on after short writes and interruptions;
// returns 0, or the errno value of the write that failed.
int WriteAll(int descriptor, std::string_view bytes);

// Makes a rename or a new file in the folder durable; errors are ignored
// (some file systems cannot sync a folder).
void SyncFolder(const std::string& folder);
