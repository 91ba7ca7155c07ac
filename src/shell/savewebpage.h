#pragma once
// Save as Web Page: the open hint file as one self-contained web page that
// reveals one hint at a time, written to a file the user names.

#include <string>

class THunk;

// Writes the page of the tree under root (pictures are read from the hint
// file); false when the output could not be created or written in full,
// and then no partial output is left behind.
bool WriteWebPageFile(THunk& root, const std::string& hintFilePath, const std::string& path);
// The initial name offered for the page: the hint file's base name with
// ".html" ("HINTS.html" when no file name is known).
std::string WebPageFileName(const std::string& hintFilePath);
