#pragma once
// Letter case as hint files and the program's own files treat it: only the
// ASCII letters change, every other byte (UTF-8 sequences, Windows-1252
// accents) stays as it is.

#include <string>
#include <string_view>

std::string UpperCaseAtoZ(std::string text);
// The byte with A to Z in lower case.
inline char LowerAtoZ(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
// Appends the text to `to` with the letters a to z in upper case; runs on
// many bytes at once, for search over whole files.
void AppendUpperCaseAtoZ(std::string& to, std::string_view text);
std::string LowerCaseAtoZ(std::string text);
bool EqualIgnoringCase(std::string_view a, std::string_view b);
// True when text begins with prefix, the letters of text compared in upper case.
bool StartsWithUpper(std::string_view text, std::string_view upperPrefix);
