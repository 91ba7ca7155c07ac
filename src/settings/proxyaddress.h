#pragma once
// The proxy server of the settings, checked before it is used: the host
// must be a plain host name or address and the port a number from 1 to
// 65535. Anything else (user info, line breaks, spaces, a path) would make
// the HTTP library read another proxy or none, so a download would go
// straight to the server although the user asked for the proxy.

#include <cstddef>
#include <string>

struct TOptions;

// "" for a plain host name (letters, digits, '-' and '.' in labels), an
// IPv4 address or an IPv6 address in brackets; otherwise why it is not.
std::string ProxyHostProblem(const std::string& host);
// "" for empty (the library's default proxy port) or a number from 1 to
// 65535; otherwise why it is not.
std::string ProxyPortProblem(const std::string& port);
// With the proxy switched on: "" when host and port can be used, else a
// message that names the setting, shows its value and says how to mend it.
// With the proxy off: always "".
std::string ProxySettingsProblem(const TOptions& options);

// A value as a message shows it: one line of at most `limit` characters
// (UTF-8 kept whole), control characters as '?', "..." where it was cut.
std::string ShownValue(const std::string& value, std::size_t limit = 60);
