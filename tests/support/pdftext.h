#pragma once
// Reading a printed PDF back with poppler's pdfinfo and pdftotext: its page
// count and size, its text, and where its words stand.

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace pdf {

// The standard output of a command.
inline std::string Run(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

inline std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// The page count, or -1 when the file is no PDF.
inline int PageCount(const std::string& path) {
  const std::string info = Run("pdfinfo " + Quoted(path) + " 2>/dev/null");
  std::smatch match;
  if (!std::regex_search(info, match, std::regex("Pages:\\s+(\\d+)"))) return -1;
  return std::stoi(match[1]);
}

// The page size in points, as pdfinfo says it ("595.276 x 841.89").
inline std::string PageSize(const std::string& path) {
  const std::string info = Run("pdfinfo " + Quoted(path) + " 2>/dev/null");
  std::smatch match;
  if (!std::regex_search(info, match, std::regex("Page size:\\s+([0-9.]+ x [0-9.]+)"))) return "";
  return match[1];
}

// The text of one page (from 1), or of the whole file for page 0.
inline std::string Text(const std::string& path, int page = 0) {
  const std::string range = page > 0 ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
  return Run("pdftotext -layout" + range + " " + Quoted(path) + " - 2>/dev/null");
}

struct TWord {
  std::string Text;
  double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
  int Page = 0;
  double Height() const { return YMax - YMin; }
};

// Every word with its box, in reading order.
inline std::vector<TWord> Words(const std::string& path) {
  const std::string html = Run("pdftotext -bbox " + Quoted(path) + " - 2>/dev/null");
  std::vector<TWord> words;
  int page = 0;
  const std::regex wordTag(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
  std::size_t at = 0;
  while (at < html.size()) {
    const std::size_t nextPage = html.find("<page ", at);
    const std::size_t nextWord = html.find("<word ", at);
    if (nextWord == std::string::npos) break;
    if (nextPage != std::string::npos && nextPage < nextWord) {
      ++page;
      at = nextPage + 6;
      continue;
    }
    const std::size_t end = html.find("</word>", nextWord);
    if (end == std::string::npos) break;
    const std::string tag = html.substr(nextWord, end + 7 - nextWord);
    std::smatch match;
    if (std::regex_match(tag, match, wordTag))
      words.push_back({match[5], std::stod(match[1]), std::stod(match[2]), std::stod(match[3]), std::stod(match[4]),
                       page});
    at = end + 7;
  }
  return words;
}

}  // namespace pdf
