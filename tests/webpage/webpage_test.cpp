// The web page of a hint file as bytes: its texts, its data block, and what
// a hostile or damaged file can put into it. What the page does in a
// browser is tested in Chromium (page_test.py).

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "authoring/hintwriter.h"
#include "model/creditsentry.h"
#include "model/hunk.h"
#include "model/loader.h"
#include "support/fixtures.h"
#include "webpage/filebytes.h"
#include "webpage/pagetext.h"
#include "webpage/sha256.h"
#include "webpage/webpage.h"

using json = nlohmann::json;

namespace {

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The data block of a page, parsed.
json PageData(const std::string& page) {
  const std::string open = "<script type=\"application/json\" id=\"zeb-data\">";
  const std::size_t begin = page.find(open);
  const std::size_t end = page.find("</script>", begin);
  if (begin == std::string::npos || end == std::string::npos) return {};
  return json::parse(page.substr(begin + open.size(), end - begin - open.size()));
}

// A hint file written into the folder, loaded, and its page.
struct TPage {
  std::string Bytes;
  json Data;
};
TPage PageOf(const TTempDir& dir, THintFileWriter& writer) {
  const std::string path = (dir.Path() / "PAGE.ZEB").string();
  writer.Save(path);
  TObjectList list;
  EXPECT_TRUE(LoadHintFile(path, list, false).Loaded());
  std::ostringstream out;
  if (THunk* root = ListRootNode(list)) {
    AppendCreditsEntry(list, *root);
    EXPECT_TRUE(WriteWebPage(*root, path, out));
  }
  ClearList(list);
  return {out.str(), PageData(out.str())};
}

}  // namespace

// Every byte survives the trip through the scrambling at every position,
// and scrambled text shows none of its words.
TEST(PageText, ScramblingIsReversibleAndHidesTheText) {
  std::string all;
  for (int round = 0; round < 3; ++round)
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string scrambled = ScrambleForPage(all);
  ASSERT_EQ(scrambled.size(), all.size());
  EXPECT_EQ(UnscrambleFromPage(scrambled), all);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const auto b = static_cast<unsigned char>(all[i]);
    const auto s = static_cast<unsigned char>(scrambled[i]);
    // Printable text stays printable (the page stays small), control bytes stay.
    if (b >= 0x20 && b < 0x7F) {
      EXPECT_TRUE(s >= 0x20 && s < 0x7F) << i;
    } else if (b >= 0x80) {
      EXPECT_GE(s, 0x80) << i;
    } else if (b < 0x20) {
      EXPECT_EQ(s, b) << i;
    }
  }
  const std::string hint = "Offer the butler a cup of tea in the kitchen; the the the";
  const std::string hidden = ScrambleForPage(hint);
  for (const char* word : {"the", "butler", "tea", "kitchen", "Offer"})
    EXPECT_EQ(hidden.find(word), std::string::npos) << word << " in " << hidden;
}

TEST(PageText, JsonCarriesEveryByteAndNeverALessThanSign) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string encoded;
  AppendJsonBytes(encoded, all + "</script><!--");
  EXPECT_EQ(encoded.find('<'), std::string::npos) << encoded;
  const std::u32string decoded = [&] {
    const std::string utf8 = json::parse(encoded).get<std::string>();
    std::u32string points;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      const auto c = static_cast<unsigned char>(utf8[i]);
      points += c < 0x80 ? char32_t{c} : static_cast<char32_t>(((c & 0x1F) << 6) | (utf8[++i] & 0x3F));
    }
    return points;
  }();
  ASSERT_EQ(decoded.size(), 256u + 13u);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(decoded[static_cast<std::size_t>(b)], static_cast<char32_t>(b)) << b;
}

TEST(PageText, HtmlTextIsEscapedAndReadInTheWesternCodePage) {
  const struct {
    std::string Bytes;
    std::string Html;
  } cases[] = {
      {"<b>&\"x\"</b>", "&lt;b&gt;&amp;&quot;x&quot;&lt;/b&gt;"},
      {"\x80 5", "\xE2\x82\xAC 5"},           // the euro sign
      {"caf\xE9", "caf\xC3\xA9"},             // Latin-1 letters
      {"\x93quoted\x94", "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
      {"a\tb", "a b"},                        // no control characters in HTML
  };
  for (const auto& c : cases) {
    std::string html;
    AppendHtmlText(html, c.Bytes);
    EXPECT_EQ(html, c.Html) << c.Bytes;
  }
}

TEST(PageText, Base64OfTheStandardVectors) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : cases) {
    std::string out;
    AppendBase64(out, plain);
    EXPECT_EQ(out, encoded) << plain;
  }
}

// The standard vectors, fed whole and in pieces that straddle the blocks.
TEST(PageText, Sha256OfTheStandardVectors) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& [bytes, digest] : cases) {
    EXPECT_EQ(Sha256Hex(bytes), digest) << bytes.size() << " bytes";
    for (const std::size_t piece : {1u, 7u, 63u, 64u, 65u, 4096u}) {
      TSha256 hash;
      for (std::size_t at = 0; at < bytes.size(); at += piece) hash.Update(std::string_view(bytes).substr(at, piece));
      EXPECT_EQ(hash.HexDigest(), digest) << bytes.size() << " bytes in pieces of " << piece;
    }
  }
}

TEST(PageText, PngSizeReadsTheHeaderAndRefusesWhatIsNoPicture) {
  const std::string png = TinyPng(31, 17);
  const auto size = PngSize(png);
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(size->Width, 31u);
  EXPECT_EQ(size->Height, 17u);
  std::string huge = png;
  huge[16] = '\x7F';  // a width of about two thousand million
  std::string zero = png;
  zero[20] = zero[21] = zero[22] = zero[23] = '\0';
  for (const std::string& bad : {std::string("GIF89a"), png.substr(0, 20), "x" + png, huge, zero})
    EXPECT_FALSE(PngSize(bad).has_value());
}

// The page of a file: the tree as the reader shows it, hints unreadable in
// the bytes, titles readable, the policy that forbids every outside load.
TEST(WebPage, HoldsTheTreeWithHintsScrambledAndTitlesPlain) {
  TTempDir dir;
  THintFileWriter writer;
  auto question = Hint("How do I open the crypt?", {"Look for a lever.", "-", "Pull the lever twice."});
  writer.Hunks = {Subject("Crypt", {Subject("Below", {question}), Link("Go to the crypt question", question)})};
  const TPage page = PageOf(dir, writer);

  EXPECT_EQ(page.Bytes.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.Bytes.find("<title>ZEB: Hints for Crypt</title>"), std::string::npos);
  EXPECT_NE(page.Bytes.find("content=\"default-src 'none'; script-src 'sha256-"), std::string::npos);
  EXPECT_EQ(page.Bytes.find("http:"), std::string::npos);
  EXPECT_EQ(page.Bytes.find("https:"), std::string::npos);
  for (const char* hint : {"Look for a lever", "Pull the lever", "lever"})
    EXPECT_EQ(page.Bytes.find(hint), std::string::npos) << hint;
  EXPECT_NE(page.Bytes.find("How do I open the crypt?"), std::string::npos);

  const json& nodes = page.Data.at("nodes");
  ASSERT_EQ(nodes.size(), 4u);
  EXPECT_EQ(nodes[0].at("t"), "Crypt");
  EXPECT_EQ(nodes[0].at("p"), -1);
  EXPECT_EQ(nodes[2].at("t"), "How do I open the crypt?");
  EXPECT_EQ(nodes[2].at("p"), 1);
  const json& items = nodes[2].at("i");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[1], -1);  // the separator between the two hints
  const auto text = [](const json& item) {
    std::string bytes;
    for (const char c : item.get<std::string>()) bytes += c;
    return UnscrambleFromPage(bytes.substr(1));
  };
  EXPECT_EQ(text(items[0]), "Look for a lever.");
  EXPECT_EQ(text(items[2]), "Pull the lever twice.");
  // The link leads to the question itself.
  EXPECT_EQ(nodes[3].at("k"), 9);
  EXPECT_EQ(nodes[3].at("to"), 2);
  // Remembered under the SHA-256 of the file; the title and CRC-32 of
  // pages written before name where an old record may lie.
  std::ifstream file(dir.Path() / "PAGE.ZEB", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(page.Data.at("key"), "zeb-hints:sha256:" + Sha256Hex(bytes));
  const std::string oldKey = page.Data.at("oldKey");
  EXPECT_TRUE(oldKey.starts_with("zeb-hints:Crypt:")) << oldKey;
  EXPECT_EQ(oldKey.size(), std::string("zeb-hints:Crypt:").size() + 8);
}

// What stands among the hints of a question (a nested question and what
// lies below it, a link, a picture and its regions' targets) is as hidden
// in the page as the hints themselves, however deep; what stands outside
// every hint, and the question itself, keep their titles plain.
TEST(WebPage, TitlesAmongHintsAreScrambledAtEveryDepth) {
  TTempDir dir;
  THintFileWriter writer;
  auto lever = Hint("What does the lever move?", {"The wall swings open."});
  auto shelf = NestHint("Which shelf hides the lever?",
                        {"Count the shelves.", "-", "=", Subject("Behind the third shelf", {lever})});
  auto map = writer.HyperPng("Map of the hidden passage", TinyPng(40, 20),
                             {{0, 0, 10, 10, Hint("Where does the passage lead?", {"To the crypt."})},
                              {10, 10, 20, 20, writer.Overlay("The secret door drawn in", TinyPng(5, 5), 1, 1)}});
  auto question = NestHint("How do I open the vault?", {"Look around first.", "-", "=", shelf, "-", "=",
                                                        Link("Back to the shelf", shelf), "=", map});
  auto plainMap = writer.HyperPng("Plain map", TinyPng(40, 20),
                                  {{0, 0, 10, 10, writer.Overlay("A plain overlay", TinyPng(5, 5), 1, 1)}});
  writer.Hunks = {Subject("Vault", {Subject("Cellar", {question}), Link("Straight to the shelf", shelf), plainMap})};
  const TPage page = PageOf(dir, writer);

  std::map<std::string, bool> shown;  // title: whether the page holds it plain
  for (const json& node : page.Data.at("nodes")) {
    std::string bytes;
    for (const char c : node.at("t").get<std::string>()) bytes += c;
    if (node.contains("s")) bytes = UnscrambleFromPage(bytes);
    shown[bytes] = !node.contains("s");
  }
  const std::map<std::string, bool> expected = {
      {"Vault", true}, {"Cellar", true}, {"How do I open the vault?", true}, {"Straight to the shelf", true},
      {"Plain map", true}, {"A plain overlay", true},
      {"Which shelf hides the lever?", false}, {"Behind the third shelf", false},
      {"What does the lever move?", false}, {"Back to the shelf", false}, {"Map of the hidden passage", false},
      {"Where does the passage lead?", false}, {"The secret door drawn in", false}};
  EXPECT_EQ(shown, expected);
  for (const auto& [title, plain] : expected)
    EXPECT_EQ(page.Bytes.find(title) != std::string::npos, plain) << title;
}

// A title lays out in a browser in time only up to a length: a page and
// the index cut longer ones, with an ellipsis.
TEST(WebPage, LongTitlesAreCutWithAnEllipsis) {
  const std::string cut = std::string(ShownTitleLength, 'x') + "\xE2\x80\xA6";  // the ellipsis in UTF-8
  TTempDir dir;
  THintFileWriter writer;
  const std::string title(10000, 'x');
  writer.Hunks = {Subject(title, {Subject(title + " below", {Hint(title + "?", {"a", "-", "=", "b"})})})};
  const TPage page = PageOf(dir, writer);
  EXPECT_NE(page.Bytes.find("<title>ZEB: Hints for " + cut + "</title>"), std::string::npos);
  // The data carries bytes as code points: the ellipsis is U+0085 there.
  const std::string data = std::string(ShownTitleLength, 'x') + "\xC2\x85";
  ASSERT_EQ(page.Data.at("nodes").size(), 3u);
  for (const json& node : page.Data.at("nodes")) EXPECT_EQ(node.at("t"), data);
  EXPECT_EQ(page.Data.at("title"), data);

  std::ostringstream out;
  WriteIndexPage({{std::string(200000, 'x'), "hints/A.html", "files/A.zip"}, {"Short", "hints/B.html", "B.zip"}},
                 out);
  const std::string index = out.str();
  EXPECT_NE(index.find("<a href=\"hints/A.html\">" + cut + "</a>"), std::string::npos);
  EXPECT_NE(index.find("aria-label=\"ZIP archive of " + cut + "\""), std::string::npos);
  EXPECT_EQ(index.find(std::string(ShownTitleLength + 1, 'x')), std::string::npos);
  EXPECT_NE(index.find("<a href=\"hints/B.html\">Short</a>"), std::string::npos);
}

// A file's texts can say anything: nothing of them can end the data block,
// open a comment in it, or become markup.
TEST(WebPage, HostileTextsStayInsideTheDataBlock) {
  TTempDir dir;
  THintFileWriter writer;
  const std::string evil = "</script><script>window.pwned=1</script><!--<img src=x onerror=alert(1)>";
  auto hint = Hint(evil, {evil, "-", "</SCRIPT>"});
  writer.Hunks = {Subject(evil, {hint, Link(evil + " link", hint)})};
  const TPage page = PageOf(dir, writer);
  ASSERT_FALSE(page.Data.is_null());
  // The data block's end, the page script's start and end: nothing more,
  // in any letter case.
  std::string lower = page.Bytes;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(Occurrences(lower, "</script"), 2u);
  EXPECT_EQ(Occurrences(lower, "<script"), 2u);
  EXPECT_EQ(page.Bytes.find("<!--"), std::string::npos);
  EXPECT_EQ(page.Bytes.find("<img"), std::string::npos);
  EXPECT_NE(page.Bytes.find("<title>ZEB: Hints for &lt;/script&gt;&lt;script&gt;"), std::string::npos);
  EXPECT_EQ(page.Data.at("nodes")[0].at("t"), evil);
}

// A picture whose data lies outside the file, or is no PNG, travels without
// data (the page says it cannot be shown); a sound one beside it keeps its own.
TEST(WebPage, DamagedPicturesHaveNoData) {
  TTempDir dir;
  THintFileWriter writer;
  auto good = writer.HyperPng("Good map", TinyPng(40, 20), {});
  auto bad = writer.HyperPng("Bad map", "not a picture at all", {});
  writer.Hunks = {Subject("Maps", {good, bad})};
  const TPage page = PageOf(dir, writer);
  const json& nodes = page.Data.at("nodes");
  ASSERT_EQ(nodes.size(), 3u);
  const json& goodPicture = nodes[1].at("i").at(0);
  EXPECT_EQ(goodPicture.at("w"), 40);
  EXPECT_EQ(goodPicture.at("h"), 20);
  EXPECT_TRUE(goodPicture.at("d").get<std::string>().starts_with("iVBORw0KGgo"));
  EXPECT_FALSE(nodes[2].at("i").at(0).contains("d"));
}

TEST(WebPage, IndexListsTheEntriesInOrderAsText) {
  std::ostringstream out;
  WriteIndexPage({{"Zeta <b>", "hints/Z.html", "files/Z.zip"}, {"Alpha", "hints/A.html", "files/A.zip"}}, out);
  const std::string page = out.str();
  const std::size_t zeta = page.find("<a href=\"hints/Z.html\">Zeta &lt;b&gt;</a>");
  const std::size_t alpha = page.find("<a href=\"hints/A.html\">Alpha</a>");
  ASSERT_NE(zeta, std::string::npos) << page;
  ASSERT_NE(alpha, std::string::npos) << page;
  EXPECT_LT(zeta, alpha);
  EXPECT_NE(page.find("href=\"files/A.zip\""), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(WebPageName("MOONFALL.ZEB"), "MOONFALL.html");
  EXPECT_EQ(WebPageName("my.hints.zeb"), "my.hints.html");
}
