#include "webpage/webpage.h"

#include <ostream>

#include "webpage/filebytes.h"
#include "webpage/pageassets.h"
#include "webpage/pagedata.h"
#include "webpage/pagetext.h"
#include "model/hunk.h"

namespace {
// Everything the page may use lies inside it: its one script, its one style
// sheet and data: pictures. No other script, style, frame, font or request.
std::string SecurityPolicy(bool withScript) {
  std::string policy = "default-src 'none'; ";
  if (withScript) policy += "script-src '" + std::string(PageScriptHash) + "'; ";
  policy += "style-src '" + std::string(PageStyleHash) + "'; img-src data:; base-uri 'none'; form-action 'none'";
  return policy;
}

void WriteHead(std::ostream& out, std::string_view title, bool withScript) {
  std::string head =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"" +
      SecurityPolicy(withScript) +
      "\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<meta name=\"color-scheme\" content=\"light dark\">\n"
      "<meta name=\"referrer\" content=\"no-referrer\">\n<title>";
  AppendHtmlText(head, title);
  head += "</title>\n<style>";
  out << head << PageStyle << "</style>\n</head>\n";
}
}  // namespace

bool WriteWebPage(THunk& root, const std::string& hintFilePath, std::ostream& out) {
  THintFileBytes file(hintFilePath);
  if (!file.IsOpen()) return false;
  // The revealed hints of one edition of a file are remembered under the
  // SHA-256 of its bytes. Pages written before kept them under the title
  // and a CRC-32, which another file can be made to match.
  const THintFileBytes::TDigests digests = file.Digests();
  const TPageMemoryKeys keys{"zeb-hints:sha256:" + digests.Sha256, "zeb-hints:" + root.Text + ":" + digests.Crc32};
  const std::string data = PageDataJson(root, file, keys);
  WriteHead(out, "ZEB: Hints for " + ShownTitle(root.Text), true);
  out << "<body>\n"
         "<header class=\"bar\"><nav id=\"path\" aria-label=\"Path\"></nav>"
         "<button type=\"button\" id=\"forget\">Hide all hints again</button></header>\n"
         "<main id=\"view\"><noscript><p>The hints of this page are shown by its script: allow scripts "
         "to read them.</p></noscript></main>\n"
         "<p id=\"status\" role=\"status\" aria-live=\"polite\"></p>\n"
         "<div id=\"announce\" class=\"sr-only\" aria-live=\"polite\"></div>\n"
         "<script type=\"application/json\" id=\"zeb-data\">"
      << data << "</script>\n<script>" << PageScript << "</script>\n</body>\n</html>\n";
  return static_cast<bool>(out);
}

TPageFileResult WriteWebPageFile(THunk& root, const std::string& hintFilePath, const std::string& outPath,
                                 TAtomicFile::TLinks links, std::string& error) {
  TAtomicFile file(outPath, links, 1 << 20);
  if (file.Open() && !WriteWebPage(root, hintFilePath, file.Stream())) {
    file.Discard();
    error = "cannot read " + hintFilePath + " again";
    return TPageFileResult::HintFileUnreadable;
  }
  if (!file.Commit()) {
    error = file.Error();
    return TPageFileResult::CannotWrite;
  }
  return TPageFileResult::Written;
}

void WriteIndexPage(const std::vector<TIndexEntry>& entries, std::ostream& out) {
  WriteHead(out, "Hint Files", false);
  std::string body = "<body>\n<main class=\"index\">\n<h1>Hint Files</h1>\n<ul class=\"files\">\n";
  for (const TIndexEntry& entry : entries) {
    body += "<li><a href=\"";
    AppendHtmlText(body, entry.PageHref);
    body += "\">";
    const std::string title = ShownTitle(entry.Title);
    AppendHtmlText(body, title);
    body += "</a> <a class=\"zip\" href=\"";
    AppendHtmlText(body, entry.ZipHref);
    // Each archive link named after its file for screen readers.
    body += "\" aria-label=\"ZIP archive of ";
    AppendHtmlText(body, title);
    body += "\">ZIP</a></li>\n";
  }
  body += "</ul>\n</main>\n</body>\n</html>\n";
  out << body;
}

std::string WebPageName(const std::string& hintFileName) {
  const std::size_t dot = hintFileName.rfind('.');
  return (dot == std::string::npos || dot == 0 ? hintFileName : hintFileName.substr(0, dot)) + ".html";
}
