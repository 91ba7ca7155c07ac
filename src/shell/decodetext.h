#pragma once
// Decode to Text: the whole open hint file, every hint revealed, written to
// a text file the user names.

#include <string>

class THunk;

// Writes the decoded file; false when the output could not be created or
// written in full, and then no partial output is left behind.
bool WriteDecodedText(THunk& root, const std::string& path);
// The initial name offered for an output made from the hint file (decoded
// text, a web page): its base name with the extension ("HINTS.TXT" for
// ".TXT" when no file name is known).
std::string OfferedFileName(const std::string& hintFilePath, const std::string& extension);
