// The update list: dates and sizes as the list shows them, the entries of the
// list document, reading "zebinet.dat" line by line, which listed files are
// already present, and when the news text is shown.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QDate>
#include <QLocale>

#include "downloader/catalog.h"
#include "downloader/listdates.h"
#include "downloader/updatelist.h"
#include "settings/options.h"
#include "support/fixtures.h"

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);

// Sizes and dates are shown in the user's locale; these tests use English.
class EnglishLocale : public ::testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(English); }
  void TearDown() override { QLocale::setDefault(English); }
};

TEST(ListDates, NoDateAndMonthNames) {
  EXPECT_EQ(NoDate(), QDate(1980, 1, 1));
  const char* const want[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int i = 0; i < 12; ++i) EXPECT_STREQ(MonthNames[i], want[i]);
}

TEST(ListDates, ParseListDateReadsFieldsByPosition) {
  struct TCase {
    const char* Text;
    QDate Date;
    const char* Display;
  };
  const TCase cases[] = {
      {"07-Mar-00", QDate(2000, 3, 7), "07-Mar-00"},
      {"07-Mar-99", QDate(1999, 3, 7), "07-Mar-99"},
      {"07-Mar-80", QDate(1980, 3, 7), "07-Mar-80"},
      {"07-Mar-79", QDate(2079, 3, 7), "07-Mar-79"},
      {"07-Dec-99", QDate(1999, 12, 7), "07-Dec-99"},
      {"07-Mar-2001", QDate(2001, 3, 7), "07-Mar-2001"},
      {"07-Mar-2001 and more", QDate(2001, 3, 7), "07-Mar-2001 and more"},
      {"07/Mar/00", QDate(2000, 3, 7), "07/Mar/00"},  // separators are not looked at
      {"29-Feb-00", QDate(2000, 2, 29), "29-Feb-00"},
      // A one-digit day shifts every field: no day, no month, year "0".
      {"7-Mar-00", QDate(2000, 1, 1), "7-Mar-00"},
      {"15-mar-00", QDate(2000, 1, 15), "15-mar-00"},  // month names are case-sensitive
      {"15-MAR-00", QDate(2000, 1, 15), "15-MAR-00"},
      {"07-Mar-xx", QDate(1980, 3, 7), "07-Mar-xx"},
      {"07-Mar-20x1", QDate(1980, 3, 7), "07-Mar-20x1"},
      {"07-Mar", QDate(1980, 3, 7), "07-Mar"},
      {"12", QDate(1980, 1, 12), "12"},
      {"", QDate(1980, 1, 1), ""},
      {"01-Jan-80", QDate(1980, 1, 1), "01-Jan-80"},
      // No calendar date.
      {"29-Feb-01", NoDate(), "unknown"},
      {"31-Apr-00", NoDate(), "unknown"},
      {"00-Jan-00", NoDate(), "unknown"},
      {"32-Jan-00", NoDate(), "unknown"},
      {"07-Mar-0000", NoDate(), "unknown"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    const TListDate parsed = ParseListDate(c.Text);
    EXPECT_EQ(parsed.Date, c.Date) << parsed.Date.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(parsed.Display, c.Display);
  }
}

TEST(ListDates, ParseListDateSurvivesAnyText) {
  // Long, binary and sign-bearing texts give some date or NoDate, never a crash.
  const std::string texts[] = {std::string(100000, '9'), std::string("\0\0\0\0\0\0\0\0\0\0\0", 11), "-1-Jan--1",
                               "+7-Mar-+9", "99-Mar-99999999999", "\xff\xfe\xfd-\x80\x81\x82-\xc0\xc1"};
  for (const std::string& text : texts) {
    const TListDate parsed = ParseListDate(text);
    EXPECT_TRUE(parsed.Date.isValid());
    EXPECT_TRUE(parsed.Display == text || (parsed.Display == "unknown" && parsed.Date == NoDate()));
  }
}

class FileSizes : public EnglishLocale {};

TEST_F(FileSizes, FormatFileSizeTable) {
  struct TCase {
    std::int64_t Bytes;
    bool ShowBytes;
    const char* Text;
  };
  const TCase cases[] = {
      {0, true, "unknown"},          {0, false, "0.0 KB"},
      {-5, true, "unknown"},         {1, true, "1"},
      {950, true, "950"},            {1024, true, "1,024"},
      {1024, false, "1.0 KB"},       {1025, true, "1.0 KB"},
      {1536, true, "1.5 KB"},        {12800, false, "12.5 KB"},
      {51, false, "0.0 KB"},         {1048576, true, "1,024.0 KB"},
      {1048576, false, "1,024.0 KB"}, {1048577, true, "1.0 MB"},
      {1048577, false, "1.0 MB"},    {1572864, true, "1.5 MB"},
      {2147483647, true, "2,048.0 MB"},
  };
  for (const TCase& c : cases) EXPECT_EQ(FormatFileSize(c.Bytes, c.ShowBytes), c.Text) << c.Bytes << " " << c.ShowBytes;
}

TEST_F(FileSizes, FormatFileSizeUsesTheLocaleSeparators) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(FormatFileSize(1024, true), "1.024");
  EXPECT_EQ(FormatFileSize(1536, false), "1,5 KB");
  EXPECT_EQ(FormatFileSize(1048576, true), "1.024,0 KB");
  EXPECT_EQ(FormatFileSize(2147483647, false), "2.048,0 MB");
}

// The user's short date format; the "C" locale, which has none (Qt would
// give "10 Dec 2026", too wide for the column), writes ISO dates.
TEST_F(EnglishLocale, ShortDatesFollowTheUsersFormat) {
  const QDate date(2026, 12, 10);
  struct TCase {
    QLocale Locale;
    const char* Text;
  };
  const TCase cases[] = {{QLocale::c(), "2026-12-10"},
                         {English, "12/10/26"},
                         {QLocale(QLocale::German, QLocale::Germany), "10.12.26"}};
  for (const TCase& c : cases) {
    QLocale::setDefault(c.Locale);
    EXPECT_EQ(ShortDateText(date).toStdString(), c.Text) << c.Locale.name().toStdString();
  }
}

// One entry of the list document.
std::string Entry(const std::string& title, const std::string& name, const std::string& date = "07-Mar-00",
                  const std::string& size = "950") {
  return "<FILE><FTITLE>" + title + "</FTITLE><FURL>http://example.invalid/" + name + ".zip</FURL><FNAME>" + name +
         "</FNAME><FDATE>" + date + "</FDATE><FSIZE>" + size + "</FSIZE></FILE>";
}

std::string ShortDate(const QDate& date) { return English.toString(date, QLocale::ShortFormat).toStdString(); }

class FileEntries : public EnglishLocale {
 protected:
  TFileRecord Parse(std::string buffer) {
    TFileRecord record;
    ParseFileEntry(buffer, record, Catalog);
    return record;
  }
  TCatalog Catalog;
};

TEST_F(FileEntries, ReadsEveryElementInAnyOrder) {
  const std::string bodies[] = {
      "<FTITLE>Some Game</FTITLE><FURL>http://h/s.zip</FURL><FNAME>somegame.zeb</FNAME><FDATE>07-Mar-00</FDATE>"
      "<FSIZE>2048</FSIZE>",
      "<FSIZE>2048</FSIZE><FDATE>07-Mar-00</FDATE><FNAME>somegame.zeb</FNAME><FURL>http://h/s.zip</FURL>"
      "<FTITLE>Some Game</FTITLE>",
      // Unknown elements, lower-case names and text between elements are passed over.
      "junk<FCOMMENT>x</FCOMMENT><ftitle>Wrong</ftitle><FTITLE>Some Game</FTITLE> <FURL>http://h/s.zip</FURL>\t"
      "<FNAME>somegame.zeb</FNAME><FDATE>07-Mar-00</FDATE><FSIZE>2048</FSIZE>more junk",
  };
  for (const std::string& body : bodies) {
    SCOPED_TRACE(body);
    const TFileRecord record = Parse("<FILE>" + body + "</FILE>");
    EXPECT_EQ(record.Title, "Some Game");
    EXPECT_EQ(record.Url, "http://h/s.zip");
    EXPECT_EQ(record.FileName, "somegame.zeb");
    EXPECT_EQ(record.Updated, QDate(2000, 3, 7));
    EXPECT_EQ(record.UpdatedText, ShortDate(QDate(2000, 3, 7)));
    EXPECT_EQ(record.Size, 2048);
    EXPECT_EQ(record.SizeText, "2.0 KB");
    EXPECT_FALSE(record.HaveCurrent);
  }
}

TEST_F(FileEntries, EmptyEntryKeepsTheInitialValues) {
  const TFileRecord record = Parse("<FILE></FILE>");
  EXPECT_EQ(record.Title, "");
  EXPECT_EQ(record.Url, "");
  EXPECT_EQ(record.FileName, "");
  EXPECT_EQ(record.UpdatedText, "unknown");
  EXPECT_EQ(record.SizeText, "unknown");
  EXPECT_EQ(record.Size, 0);
  EXPECT_EQ(record.Updated, NoDate());
  EXPECT_FALSE(record.HaveCurrent);
}

TEST_F(FileEntries, DatesAndSizesAsTheListShowsThem) {
  struct TCase {
    const char* Body;
    QDate Updated;
    std::string UpdatedText;
    std::int32_t Size;
    const char* SizeText;
  };
  const TCase cases[] = {
      {"<FDATE>31-Apr-00</FDATE><FSIZE>12k</FSIZE>", NoDate(), "unknown", 0, "unknown"},
      {"<FDATE></FDATE><FSIZE></FSIZE>", NoDate(), "", 0, "unknown"},
      // A text that reads as 1 January 1980 is shown as it is.
      {"<FDATE>01-Jan-80</FDATE><FSIZE>-7</FSIZE>", NoDate(), "01-Jan-80", -7, "unknown"},
      {"<FDATE>07-Mar-2001</FDATE><FSIZE>3000000</FSIZE>", QDate(2001, 3, 7), ShortDate(QDate(2001, 3, 7)), 3000000,
       "2.9 MB"},
      {"<FSIZE>99999999999</FSIZE>", NoDate(), "unknown", 0, "unknown"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Body);
    const TFileRecord record = Parse(std::string("<FILE>") + c.Body + "</FILE>");
    EXPECT_EQ(record.Updated, c.Updated);
    EXPECT_EQ(record.UpdatedText, c.UpdatedText);
    EXPECT_EQ(record.Size, c.Size);
    EXPECT_EQ(record.SizeText, c.SizeText);
  }
}

TEST_F(FileEntries, LaterElementOverwritesAndValuesMayHoldMarkup) {
  const TFileRecord record =
      Parse("<FILE><FTITLE>First</FTITLE><FSIZE>10</FSIZE><FTITLE>a <b>bold</b> title</FTITLE><FSIZE>20</FSIZE></FILE>");
  EXPECT_EQ(record.Title, "a <b>bold</b> title");
  EXPECT_EQ(record.Size, 20);
}

TEST_F(FileEntries, MalformedElementEndsTheElementLoop) {
  struct TCase {
    const char* Body;
    const char* Title;
    const char* FileName;
  };
  const TCase cases[] = {
      {"<FTITLE>T</FTITLE><FURL>never closed<FNAME>n.zeb</FNAME>", "T", ""},
      {"<FTITLE>T</FTITLE><FNAME", "T", ""},
      {"<FTITLE>T</FTITLE>a < b<FNAME>n.zeb</FNAME>", "T", ""},
      {"</FTITLE><FTITLE>T</FTITLE>", "", ""},  // a stray closing tag is an element never closed
      {"<FNAME>n.zeb</FNAME><FTITLE>no end", "", "n.zeb"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Body);
    const TFileRecord record = Parse(std::string("<FILE>") + c.Body + "</FILE>");
    EXPECT_EQ(record.Title, c.Title);
    EXPECT_EQ(record.FileName, c.FileName);
  }
}

TEST_F(FileEntries, TakesTheFirstBlockOutOfTheBuffer) {
  std::string buffer = "before" + Entry("One", "one.zeb") + "between" + Entry("Two", "two.zeb") + "after";
  TFileRecord record;
  ParseFileEntry(buffer, record, Catalog);
  EXPECT_EQ(record.Title, "One");
  EXPECT_EQ(buffer, "beforebetween" + Entry("Two", "two.zeb") + "after");
  TFileRecord second;
  ParseFileEntry(buffer, second, Catalog);
  EXPECT_EQ(second.Title, "Two");
  EXPECT_EQ(buffer, "beforebetweenafter");
}

TEST_F(FileEntries, HaveCurrentComparesWithTheFirstCatalogEntryOfTheName) {
  const auto add = [&](const std::string& name, const std::string& date) {
    auto info = std::make_unique<TFileInfo>();
    info->FileName = name;
    info->Date = date;
    Catalog.push_back(std::move(info));
  };
  add("other.zeb", "01-Jan-99");
  add("Moon.ZEB", "07-Mar-00");
  add("moon.zeb", "01-Jan-05");  // a later entry of the same name is not looked at
  add("odd.zeb", "no date");
  add("four.zeb", "07-Mar-2001");
  add("caf\xe9.zeb", "07-Mar-00");  // a Latin-1 name

  struct TCase {
    const char* Name;
    const char* Date;
    bool HaveCurrent;
  };
  const TCase cases[] = {
      {"moon.zeb", "07-Mar-00", true},   // same day
      {"MOON.zeb", "06-Mar-00", true},   // the local file is newer
      {"moon.zeb", "08-Mar-00", false},  // the listed file is newer
      {"absent.zeb", "01-Jan-81", false},
      {"odd.zeb", "07-Mar-00", false},   // an unreadable local date is NoDate
      {"odd.zeb", "bad", true},          // ... as good as a listed NoDate
      {"four.zeb", "07-Mar-01", true},
      {"four.zeb", "08-Mar-2001", false},
      {"caf\xe9.zeb", "07-Mar-00", true},
      {"caf\xe8.zeb", "07-Mar-00", false},  // another name, not another case
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + " " + c.Date);
    EXPECT_EQ(Parse(Entry("Game", c.Name, c.Date)).HaveCurrent, c.HaveCurrent);
  }
}

class ListFile : public EnglishLocale {
 protected:
  std::vector<TFileRecord> Load(const std::string& text, bool showNews = true) {
    News.clear();
    return LoadFileList(Dir.Write("zebinet.dat", text), Catalog, showNews,
                        [this](const std::string& news) { News.push_back(news); });
  }
  static std::vector<std::string> Titles(const std::vector<TFileRecord>& records) {
    std::vector<std::string> titles;
    for (const TFileRecord& record : records) titles.push_back(record.Title);
    return titles;
  }
  using TTitles = std::vector<std::string>;

  TTempDir Dir;
  TCatalog Catalog;
  std::vector<std::string> News;
};

TEST_F(ListFile, MissingOrEmptyFileGivesAnEmptyList) {
  EXPECT_TRUE(LoadFileList((Dir.Path() / "zebinet.dat").string(), Catalog, true, {}).empty());
  EXPECT_TRUE(Load("").empty());
  EXPECT_TRUE(Load("\r\n\r\n").empty());
}

TEST_F(ListFile, ReadsEntriesInFileOrderWhateverTheLineLayout) {
  const std::string a = Entry("Alpha", "a.zeb"), b = Entry("Beta", "b.zeb"), c = Entry("Gamma", "c.zeb");
  struct TCase {
    const char* Name;
    std::string Text;
  };
  const TCase cases[] = {
      {"one entry a line, CR LF", a + "\r\n" + b + "\r\n" + c + "\r\n"},
      {"one entry a line, LF, no final line end", a + "\n" + b + "\n" + c},
      {"all on one line with text around them", "<HTML>" + a + " x " + b + c + " trailing</HTML>\r\n"},
      {"blocks spanning lines", a.substr(0, 10) + "\r\n" + a.substr(10) + b + c.substr(0, 20) + "\r\n" +
                                    c.substr(20, 10) + "\r\n" + c.substr(30) + "\r\n"},
      {"stray tags outside blocks", "<FTITLE>Outside</FTITLE>\r\n</FILE>\r\n" + a + "</FILE>\r\n" + b +
                                        "<FSIZE>1</FSIZE>\r\n" + c + "\r\n"},
  };
  for (const TCase& tc : cases) {
    SCOPED_TRACE(tc.Name);
    const auto records = Load(tc.Text);
    ASSERT_EQ(Titles(records), (TTitles{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(records[2].FileName, "c.zeb");
    EXPECT_EQ(records[2].Size, 950);
  }
}

TEST_F(ListFile, LinesOfABlockAreJoinedWithoutSeparator) {
  const auto records = Load("<FILE><FTITLE>Alpha\r\nBeta</FTITLE><FNAME>ab.zeb</FNAME>\r\n</FILE>\r\n");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Title, "AlphaBeta");
  EXPECT_EQ(records[0].FileName, "ab.zeb");
}

TEST_F(ListFile, TextAfterTheLastBlockOfALineIsDroppedUnlessItOpensABlock) {
  // "<FTI" left on line 1 does not join "TLE>" of line 2 outside a block.
  EXPECT_EQ(Titles(Load(Entry("A", "a.zeb") + "<FILE><FTI\r\nTLE>B</FTITLE></FILE>\r\n")), (TTitles{"A", "B"}));
  EXPECT_EQ(Titles(Load(Entry("A", "a.zeb") + "<FI\r\nLE><FTITLE>B</FTITLE></FILE>\r\n")), (TTitles{"A"}));
}

TEST_F(ListFile, UnclosedBlockEndsReadingAndKeepsEarlierEntries) {
  EXPECT_EQ(Titles(Load(Entry("A", "a.zeb") + "\r\n" + Entry("B", "b.zeb") + "<FILE><FTITLE>Lost</FTITLE>\r\nmore\r\n")),
            (TTitles{"A", "B"}));
}

TEST_F(ListFile, ClosingTagBeforeTheOpeningOneDoesNotHang) {
  EXPECT_EQ(Titles(Load("</FILE><FILE><FTITLE>X</FTITLE></FILE>\r\n")), (TTitles{"X"}));
  EXPECT_EQ(Titles(Load("</FILE></FILE><FILE><FTITLE>X</FTITLE>\r\n</FILE>\r\n</FILE><FILE><FTITLE>Y</FTITLE></FILE>")),
            (TTitles{"X", "Y"}));
  EXPECT_EQ(Titles(Load("</FILE><FILE><FTITLE>X</FTITLE>\r\n")), TTitles{});
}

TEST_F(ListFile, HugeDocumentsFinish) {
  // 20,000 entries on one line.
  std::string line;
  for (int i = 0; i < 20000; ++i) line += Entry("Game " + std::to_string(i), std::to_string(i) + ".zeb");
  const auto records = Load(line);
  ASSERT_EQ(records.size(), 20000u);
  EXPECT_EQ(records.front().Title, "Game 0");
  EXPECT_EQ(records.back().Title, "Game 19999");
  EXPECT_EQ(records.back().FileName, "19999.zeb");

  // One entry whose title is spread over 10,000 lines: read whole, kept
  // cut to its bound.
  std::string spread = "<FILE><FTITLE>";
  for (int i = 0; i < 10000; ++i) spread += std::string(100, 'x') + "\r\n";
  const auto long_ = Load(spread + "</FTITLE></FILE>\r\n");
  ASSERT_EQ(long_.size(), 1u);
  EXPECT_EQ(long_[0].Title, std::string(MaxListTitleLength, 'x'));

  // An unclosed block of 10,000 lines.
  EXPECT_TRUE(Load("<FILE>" + spread).empty());
}

TEST_F(ListFile, HaveCurrentIsDecidedAgainstTheCatalog) {
  auto info = std::make_unique<TFileInfo>();
  info->FileName = "A.ZEB";
  info->Date = "07-Mar-00";
  Catalog.push_back(std::move(info));
  const auto records = Load(Entry("A", "a.zeb", "07-Mar-00") + Entry("A new", "a.zeb", "08-Mar-00") +
                            Entry("B", "b.zeb", "01-Jan-81"));
  ASSERT_EQ(records.size(), 3u);
  EXPECT_TRUE(records[0].HaveCurrent);
  EXPECT_FALSE(records[1].HaveCurrent);
  EXPECT_FALSE(records[2].HaveCurrent);
}

TEST_F(ListFile, NewsBlockIsHandedOverOncePerBlockAndOnlyWhenAsked) {
  const std::string a = Entry("A", "a.zeb"), b = Entry("B", "b.zeb");
  struct TCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> News;
    TTitles Titles;
  };
  const TCase cases[] = {
      {"news before the entries on one line", "<MESSAGE>New files!</MESSAGE>" + a + b, {"New files!"}, {"A", "B"}},
      {"news between entries", a + "<MESSAGE>Hi</MESSAGE>" + b + "\r\n", {"Hi"}, {"A", "B"}},
      {"news over lines, joined", "<MESSAGE>Line one.\\n\r\nLine two.\r\n</MESSAGE>\r\n" + a, {"Line one.\\nLine two."},
       {"A"}},
      {"two news blocks on two lines", "<MESSAGE>One</MESSAGE>\r\n" + a + "\r\n<MESSAGE>Two</MESSAGE>" + b,
       {"One", "Two"}, {"A", "B"}},
      {"empty news", "<MESSAGE></MESSAGE>" + a, {""}, {"A"}},
      {"unclosed news: no news, the entries are still read", "<MESSAGE>Never ends\r\n" + a + "\r\n" + b,
       {}, {"A", "B"}},
      {"no news", a, {}, {"A"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Titles(Load(c.Text, true)), c.Titles);
    EXPECT_EQ(News, c.News);
    EXPECT_EQ(Titles(Load(c.Text, false)), c.Titles);
    EXPECT_TRUE(News.empty());
  }
}

TEST(News, NewsToShowAppliesTheSkipRulesAndLineBreaks) {
  TOptions options;
  options.LastUpdateMessage = "Old news";
  EXPECT_EQ(NewsToShow("Old news", options), std::nullopt);
  EXPECT_EQ(NewsToShow("New news", options), std::optional<std::string>("New news"));
  EXPECT_EQ(NewsToShow("Old news ", options), std::optional<std::string>("Old news "));  // exact comparison

  struct TCase {
    const char* News;
    const char* Shown;
  };
  const TCase cases[] = {
      {"One\\nTwo", "One\n\nTwo"},
      {"\\n\\nEnd\\n", "\n\n\n\nEnd\n\n"},
      {"a\\\\nb", "a\\\n\nb"},  // pairs are found from the first character on
      {"\\nn", "\n\nn"},
      {"trailing\\", "trailing\\"},
      {"\\N and \\ n", "\\N and \\ n"},
  };
  for (const TCase& c : cases) EXPECT_EQ(NewsToShow(c.News, options), std::optional<std::string>(c.Shown)) << c.News;

  options.SkipUpdateMessages = true;
  EXPECT_EQ(NewsToShow("New news", options), std::nullopt);
  EXPECT_EQ(options.LastUpdateMessage, "Old news");
}

TEST_F(ListFile, NewsIsShownAgainOnlyWhenItChangedOrTheUserAskedForIt) {
  TOptions options;
  int shown = 0;
  bool keepShowing = false;  // the state of "Do not show this message again" when the box closes
  const auto load = [&](const std::string& news) {
    LoadFileList(Dir.Write("zebinet.dat", "<MESSAGE>" + news + "</MESSAGE>" + Entry("A", "a.zeb")), Catalog, true,
                 [&](const std::string& text) {
                   if (!NewsToShow(text, options)) return;
                   ++shown;
                   RememberNews(text, !keepShowing, options);
                 });
  };
  load("First\\nnews");
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(options.LastUpdateMessage, "First\\nnews");  // kept unconverted
  load("First\\nnews");
  EXPECT_EQ(shown, 1);
  load("Second news");
  EXPECT_EQ(shown, 2);

  keepShowing = true;
  load("Third news");
  load("Third news");
  EXPECT_EQ(shown, 4);
  EXPECT_EQ(options.LastUpdateMessage, "Second news");
}

}  // namespace
