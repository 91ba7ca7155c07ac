#pragma once
// Texts of hint files on their way into a web page. Hint files are 8-bit
// text in the Windows Western code page; a page carries each byte as the
// code point of the same value inside its data (the page's script maps the
// bytes 0x80 to 0x9F), and as real characters in its HTML.

#include <string>
#include <string_view>

// The bytes as UTF-8 text, read in the Windows Western code page.
std::string Cp1252ToUtf8(std::string_view bytes);

// Appends the text, read as above, with & < > " escaped for HTML.
void AppendHtmlText(std::string& out, std::string_view bytes);

// Appends a JSON string whose characters are the bytes' values (U+0000 to
// U+00FF). "<" is written as an escape, so that no "</script" can ever
// close the block that holds the data.
void AppendJsonBytes(std::string& out, std::string_view bytes);

// Scrambles a text so that it cannot be read, found or searched in the
// page until the page's script unscrambles it: printable ASCII rotates
// within itself and the bytes 0x80 to 0xFF within themselves, by an amount
// that changes with the position; control bytes stay. Keeps the length.
std::string ScrambleForPage(std::string_view bytes);
// The inverse of ScrambleForPage (the page's script does the same).
std::string UnscrambleFromPage(std::string_view bytes);

// A title as a page shows it: cut after ShownTitleLength bytes (each byte
// is one character) with an ellipsis, so that no title is long enough to
// keep a browser busy laying it out.
constexpr std::size_t ShownTitleLength = 1000;
std::string ShownTitle(std::string_view title);

// Appends the bytes in base64.
void AppendBase64(std::string& out, std::string_view bytes);
