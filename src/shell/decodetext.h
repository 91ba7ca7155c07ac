#pragma once
// Decode to Text: the whole open hint file, every hint revealed, written to
// a text file the user names.

#include <string>

class THunk;

// Writes the decoded file; false when the output could not be created or
// written in full, and then no partial output is left behind.
bool WriteDecodedText(THunk& root, const std::string& path);
// The initial name offered for the output: the hint file's base name with
// ".TXT" ("HINTS.TXT" when no file name is known).
std::string DecodedTextName(const std::string& hintFilePath);
