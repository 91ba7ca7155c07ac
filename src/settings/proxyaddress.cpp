#include "settings/proxyaddress.h"

#include <cstdint>
#include <vector>

#include "settings/options.h"

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Splits at every occurrence of the separator, keeping empty parts.
std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (const char c : text) {
    if (c == separator)
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

bool IsIPv4(const std::string& text) {
  const std::vector<std::string> parts = Split(text, '.');
  if (parts.size() != 4) return false;
  for (const std::string& part : parts) {
    if (part.empty() || part.size() > 3) return false;
    int value = 0;
    for (const char c : part) {
      if (!IsDigit(c)) return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255) return false;
  }
  return true;
}

// Eight groups of one to four hex digits, "::" once standing for one or
// more groups of zeros, the last two groups perhaps written as IPv4.
bool IsIPv6(const std::string& text) {
  const std::size_t gap = text.find("::");
  if (gap != std::string::npos && text.find("::", gap + 1) != std::string::npos) return false;
  const auto groups = [](const std::string& part, bool last, int& count) {
    if (part.empty()) return true;
    const std::vector<std::string> pieces = Split(part, ':');
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const std::string& piece = pieces[i];
      if (last && i + 1 == pieces.size() && piece.find('.') != std::string::npos) {
        if (!IsIPv4(piece)) return false;
        count += 2;
        continue;
      }
      if (piece.empty() || piece.size() > 4) return false;
      for (const char c : piece)
        if (!IsHexDigit(c)) return false;
      ++count;
    }
    return true;
  };
  int count = 0;
  if (gap == std::string::npos) return groups(text, true, count) && count == 8;
  return groups(text.substr(0, gap), false, count) && groups(text.substr(gap + 2), true, count) && count < 8;
}

std::string Quoted(const std::string& value) { return "\"" + ShownValue(value) + "\""; }

// Why a host name made of labels is not one, or "".
std::string HostNameProblem(const std::string& host) {
  if (host.size() > 253) return "it is longer than 253 characters";
  bool onlyDigitsAndDots = true;
  for (const std::string& label : Split(host, '.')) {
    if (label.empty()) return "a part between dots is empty";
    if (label.size() > 63) return "a part between dots is longer than 63 characters";
    if (label.front() == '-' || label.back() == '-') return "a part between dots begins or ends with \"-\"";
    for (const char c : label)
      if (!IsDigit(c)) onlyDigitsAndDots = false;
  }
  // 10.0.0.1 is an address; 999.1.1.1 or 10.1 is neither address nor name.
  if (onlyDigitsAndDots && !IsIPv4(host)) return "it is no IPv4 address";
  return std::string();
}
}  // namespace

std::string ShownValue(const std::string& value, std::size_t limit) {
  std::string shown;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < value.size();) {
    const auto byte = static_cast<unsigned char>(value[i]);
    // A UTF-8 sequence stays whole; a stray byte counts as one character.
    std::size_t length = byte < 0x80 ? 1 : (byte >> 5) == 6 ? 2 : (byte >> 4) == 14 ? 3 : (byte >> 3) == 30 ? 4 : 1;
    if (i + length > value.size()) length = 1;
    if (characters == limit) return shown + "...";
    if (byte < 0x20 || byte == 0x7F)
      shown += '?';
    else
      shown.append(value, i, length);
    i += length;
    ++characters;
  }
  return shown;
}

std::string ProxyHostProblem(const std::string& host) {
  if (host.empty()) return "it is empty";
  if (host.front() == '[') {
    if (host.back() == ']' && IsIPv6(host.substr(1, host.size() - 2))) return std::string();
    return "it is no IPv6 address in brackets";
  }
  if (host.find('@') != std::string::npos) return "it holds a user name or password (\"@\")";
  for (const char c : host) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return "it holds a control character";
    if (c == ' ') return "it holds a space";
    if (c == ':') return "it holds \":\"; the port goes into its own field";
    if (!IsLetter(c) && !IsDigit(c) && c != '-' && c != '.')
      return byte < 0x80 ? std::string("it holds \"") + c + "\"" : "it holds a letter other than A to Z";
  }
  return HostNameProblem(host);
}

std::string ProxyPortProblem(const std::string& port) {
  if (port.empty()) return std::string();
  std::uint32_t value = 0;
  for (const char c : port) {
    if (!IsDigit(c)) return "it is no whole number";
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
    if (value > 65535) break;
  }
  if (value < 1 || value > 65535) return "it is outside 1 to 65535";
  return std::string();
}

std::string ProxySettingsProblem(const TOptions& options) {
  if (!options.ProxyOn) return std::string();
  std::string what;
  if (options.ProxyIP.empty()) {
    what = "the proxy is switched on, but no server address is set";
  } else if (const std::string host = ProxyHostProblem(options.ProxyIP); !host.empty()) {
    what = "its address " + Quoted(options.ProxyIP) + " is not a plain host name or IP address (" + host + ")";
  } else if (const std::string port = ProxyPortProblem(options.ProxyPort); !port.empty()) {
    what = "its port " + Quoted(options.ProxyPort) + " is not a number from 1 to 65535 (" + port + ")";
  } else {
    return std::string();
  }
  return "The proxy server in the settings cannot be used: " + what +
         ".  Nothing was downloaded, so that nothing goes around the proxy.  Correct the proxy settings on the "
         "\"Downloading\" page of \"Options...\", or untick \"I am using a proxy server to connect to the "
         "Internet\".";
}
