#pragma once
// File names inside links: a name is any run of bytes (a '#' or '?' in it,
// a '%', UTF-8 or Windows-1252 letters), a URL's path is not.

#include <string>
#include <string_view>

// The bytes as one segment of a URL's path: letters, digits and "-._~"
// stay, every other byte becomes %XX (upper-case hex), so that a server
// that decodes the path finds the file under its own bytes.
std::string UrlPathSegment(std::string_view bytes);
