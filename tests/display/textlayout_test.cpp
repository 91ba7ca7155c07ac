#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <QApplication>
#include <QFontInfo>

#include "display/textflow.h"
#include "display/textlayout.h"
#include "display/textmeasure.h"
#include "model/datahunks.h"
#include "model/hunk.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"
#include "settings/options.h"

namespace {

// Every character 7 px in the main font and 8 px in the fixed font, lines
// 16 px high. The average width can be set apart from the real one so that
// the break search starts from a guess that is too short or too long.
class TFakeMeasure : public TTextMeasure {
 public:
  int TextWidth(QStringView text, bool fixedFont) const override {
    MeasuredChars += text.size();
    return static_cast<int>(text.size()) * (fixedFont ? 8 : 7);
  }
  int AverageCharWidth(bool fixedFont) const override { return fixedFont ? 8 : Average; }
  int LineHeight() const override { return 16; }

  int Average = 7;
  mutable qsizetype MeasuredChars = 0;
};

// Proportional: 'i' 3 px, 'W' 12 px, ' ' 4 px, anything else 7 px.
class TVariableMeasure : public TTextMeasure {
 public:
  int TextWidth(QStringView text, bool) const override {
    int w = 0;
    for (const QChar c : text) w += c == u'i' ? 3 : c == u'W' ? 12 : c == u' ' ? 4 : 7;
    return w;
  }
  int AverageCharWidth(bool) const override { return Average; }
  int LineHeight() const override { return 16; }
  int Average = 7;
};

struct TSplitCase {
  const char* Text;
  int Width;
  bool Force;
  int Average;  // of the fake's main font
  int Expected;
  const char* Why;
};

TEST(SplitString, EdgeCases) {
  const TSplitCase cases[] = {
      {"ab cd", 36, false, 7, 5, "fits whole (35 < 36), spaces and all"},
      {"ab cd", 35, false, 7, 2, "a whole text exactly as wide as the room does not fit"},
      {"aaa bbb ccc ddd eee", 76, false, 7, 7, "forward search stops before the word that reaches the room"},
      {"ab cd ef", 35, false, 5, 5, "backward search: a prefix exactly as wide as the room fits"},
      {"ab cd ef", 35, false, 10, 2, "forward search: a prefix exactly as wide as the room does not"},
      {"ab cd ef", 35, false, 7, 2, "the space at the guess itself is never taken going backward"},
      {"abcdef gh", 20, false, 7, 0, "first word too wide, no force"},
      {"abcdef gh", 20, true, 7, 6, "first word too wide, forced: up to the first space"},
      {"abcdefgh", 20, false, 7, 0, "no space, no force"},
      {"abcdefgh", 20, true, 7, 8, "no space, forced: the whole text"},
      {"abcdefgh", 20, true, 2, 8, "no space, forced, from a guess that is too long"},
      {"ab cd", -1, true, 7, 0, "negative room gives 0 even when forced"},
      {"ab cd", 0, false, 7, 0, "zero room fits nothing"},
      {"ab cd", 0, true, 7, 2, "zero room, forced: the first word"},
      {"abcd", 0, true, 7, 4, "zero room, forced, no space: the whole text"},
      {" bbbbbbbbbb", 26, true, 7, 0, "a leading space before a too-wide word gives 0 even when forced"},
      {"", 10, false, 7, 0, "empty text"},
  };
  TFakeMeasure measure;
  for (const TSplitCase& c : cases) {
    measure.Average = c.Average;
    EXPECT_EQ(SplitString(measure, false, QString::fromLatin1(c.Text), c.Width, c.Force), c.Expected)
        << c.Why << ": \"" << c.Text << "\" in " << c.Width;
  }
}

TEST(SplitString, FixedFontMeasuresWithTheFixedFont) {
  TFakeMeasure measure;
  // 8 px a character: "ab cd" is 40 wide, so 36 no longer holds it.
  EXPECT_EQ(SplitString(measure, true, u"ab cd", 36, false), 2);
  EXPECT_EQ(SplitString(measure, true, u"ab cd", 41, false), 5);
}

TEST(SplitString, RoomAbove32767IsClamped) {
  // 1250 times "aaa ": 5000 characters, 35000 px, spaces at 4k + 3.
  QString text;
  for (int i = 0; i < 1250; ++i) text += QStringLiteral("aaa ");
  TFakeMeasure measure;
  for (const int width : {40000, 1 << 30}) {
    // Room 32767: the last space whose prefix fits is 4679 (32753 px).
    EXPECT_EQ(SplitString(measure, false, text, width, false), 4679) << width;
  }
  EXPECT_EQ(SplitString(measure, false, text, 32767, false), 4679);
  EXPECT_EQ(SplitString(measure, false, text.left(4600), 40000, false), 4600);
}

// Whatever the guess, the result is a break at a space (or the whole text),
// its prefix fits, and no later break would fit.
TEST(SplitString, BreaksAtTheLastFittingSpaceForAnyGuess) {
  std::mt19937 random(12345);
  const char letters[] = {'i', 'W', 'm', 'a', ' ', ' '};
  TVariableMeasure measure;
  for (int round = 0; round < 3000; ++round) {
    QString text;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) text += QChar(letters[random() % sizeof(letters)]);
    const int width = static_cast<int>(random() % 160);
    const bool force = random() % 2 == 0;
    measure.Average = 2 + static_cast<int>(random() % 12);
    const int n = SplitString(measure, false, text, width, force);
    const QString where = QStringLiteral("\"%1\" in %2, force %3, average %4").arg(text).arg(width).arg(force).arg(measure.Average);
    const auto extent = [&](qsizetype k) { return measure.TextWidth(QStringView(text).first(k), false); };

    ASSERT_GE(n, 0) << where.toStdString();
    ASSERT_LE(n, text.size()) << where.toStdString();
    const qsizetype firstSpace = text.indexOf(u' ');
    const qsizetype firstWord = firstSpace < 0 ? text.size() : firstSpace;
    const bool forcedWord = force && n == firstWord && (firstWord == text.size() || extent(firstWord) > width);
    if (text.isEmpty()) {
      EXPECT_EQ(n, 0);
      continue;
    }
    if (n == text.size()) {
      EXPECT_TRUE(extent(n) < width || forcedWord) << where.toStdString();
    } else {
      EXPECT_TRUE(n == 0 || text[n] == u' ') << where.toStdString();
      if (!forcedWord) {
        EXPECT_LE(extent(n), width) << where.toStdString();
      }
      EXPECT_GE(extent(text.size()), width) << where.toStdString();
    }
    for (qsizetype s = n + 1; s < text.size(); ++s) {
      if (text[s] == u' ') {
        EXPECT_GE(extent(s), width) << "space " << s << " " << where.toStdString();
      }
    }
    if (force && firstWord > 0) {
      EXPECT_GT(n, 0) << where.toStdString();
    }
  }
}

enum : unsigned { Ends = 1, Wrap = 2, Fixed = 4, Space = 8 };

struct TPiece {
  int Left, Top, Right, Bottom;
  unsigned Start, Length;
  int Item;  // index in the document
};

class Layout : public ::testing::Test {
 protected:
  THunkLine* Line(const std::string& text, unsigned flags) {
    auto* line = new THunkLine(text, &Doc);
    line->EndsLine = (flags & Ends) != 0;
    line->Wraps = (flags & Wrap) != 0;
    line->UseFixedFont = (flags & Fixed) != 0;
    line->SpaceAfter = (flags & Space) != 0;
    Doc.Append(line);
    return line;
  }
  TPNGObject* Image(int width, int height, unsigned flags = 0) {
    auto* image = new TPNGObject("picture", &Doc);
    image->EndsLine = (flags & Ends) != 0;
    if (width >= 0) Sizes[image] = QSize(width, height);  // else: no bitmap
    Doc.Append(image);
    return image;
  }
  // Lays out the shown items (all by default) in a control of that size.
  QSize Lay(int width, int height, int shown = -1) {
    L.Document = &Doc;
    L.ShownCount = shown < 0 ? static_cast<int>(Doc.ItemCount()) : shown;
    L.LayoutWidth = width;
    return L.WrapText(Measure, QSize(width, height));
  }
  void ExpectPieces(const std::vector<TPiece>& expected) {
    const std::vector<TWrapInfo>& pieces = L.Pieces();
    ASSERT_EQ(pieces.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const TPiece& e = expected[i];
      const TWrapInfo& p = pieces[i];
      EXPECT_EQ(p.Rect, (TRect{e.Left, e.Top, e.Right, e.Bottom}))
          << "piece " << i << ": " << p.Rect.Left << "," << p.Rect.Top << "," << p.Rect.Right << "," << p.Rect.Bottom;
      EXPECT_EQ(p.Start, e.Start) << "piece " << i;
      EXPECT_EQ(p.Length, e.Length) << "piece " << i;
      EXPECT_EQ(p.Item, Doc.ItemAt(static_cast<std::size_t>(e.Item))) << "piece " << i;
    }
  }

  TMetaTextHunk Doc{"Document", nullptr, Kind::Subject};
  std::map<const TZEBObject*, QSize> Sizes;
  TTextLayout L{[this](const TZEBObject& image) {
    const auto found = Sizes.find(&image);
    return found == Sizes.end() ? QSize() : found->second;
  }};
  TFakeMeasure Measure;
};

TEST_F(Layout, WrapsAtSpacesToTheWidthLessTheReserve) {
  // Room at the margin: 100 - 8 - 16 = 76 px, ten characters and a bit.
  Line("aaa bbb ccc ddd eee", Wrap | Ends);
  EXPECT_EQ(Lay(100, 50), QSize(100, 64));
  // After "aaa bbb" and its gap x is 64: the rest gets 20 px there, which
  // holds no word, so it moves down; "eee" likewise.
  ExpectPieces({{8, 8, 57, 24, 0, 7, 0}, {8, 24, 57, 40, 8, 7, 0}, {8, 40, 29, 56, 16, 3, 0}});
}

TEST_F(Layout, ItemsWithoutLineEndContinueTheLine) {
  Line("ab", Wrap);           // no gap: whole and no SpaceAfter
  Line("cd", Wrap | Space);   // main-font gap 7
  Line("ef", Fixed | Space);  // fixed-font gap 8, main line height
  Line("gh", Wrap | Ends);
  Line("ij", Wrap | Ends);
  EXPECT_EQ(Lay(200, 10), QSize(200, 48));
  ExpectPieces({{8, 8, 22, 24, 0, 2, 0},
                {22, 8, 36, 24, 0, 2, 1},
                {43, 8, 59, 24, 0, 2, 2},
                {67, 8, 81, 24, 0, 2, 3},
                {8, 24, 22, 40, 0, 2, 4}});
}

// A document fed to the flow in chunks, as printing feeds a whole file, is
// laid out as if it came whole, wherever the chunks end: mid-line, after a
// flowing item, next to a picture, in a broken word.
TEST_F(Layout, AFlowFedInChunksLaysOutAsTheWholeDocument) {
  Line("ab cd", Wrap);
  Line("ef", Wrap | Space);
  Line("averyveryverylongword and more words to wrap", Wrap | Space);
  Image(30, 20);
  Line("gh", Fixed | Space);
  Line("ij kl mn op qr st", Wrap | Ends);
  Line("", Ends);
  Line("uv", Wrap | Space);
  const TFlowFrame frame{8, 8, 100, 0, 16, true};
  const TImageSize imageSize = [this](const TZEBObject& image) { return Sizes.at(&image); };
  const auto record = [](std::vector<TWrapInfo>& pieces) {
    struct TRecorder : TFlowSink {
      explicit TRecorder(std::vector<TWrapInfo>& pieces) : Pieces(pieces) {}
      void Add(const TWrapInfo& piece) override { Pieces.push_back(piece); }
      std::vector<TWrapInfo>& Pieces;
    };
    return TRecorder(pieces);
  };
  std::vector<TWrapInfo> whole;
  auto wholeSink = record(whole);
  const TFlowEnd wholeEnd = FlowItems(Doc, static_cast<int>(Doc.ItemCount()), Measure, frame, imageSize, wholeSink);
  ASSERT_GT(whole.size(), Doc.ItemCount());

  for (std::size_t size = 1; size < Doc.ItemCount(); ++size) {
    SCOPED_TRACE(size);
    std::vector<TWrapInfo> chunked;
    auto sink = record(chunked);
    TFlow flow(Measure, frame, imageSize, sink);
    for (std::size_t first = 0; first < Doc.ItemCount(); first += size) {
      TMetaTextHunk chunk{"Chunk", nullptr, Kind::Subject};
      chunk.SetOwnsItems(false);
      for (std::size_t i = first; i < std::min(first + size, Doc.ItemCount()); ++i) chunk.Append(Doc.ItemAt(i));
      flow.Add(chunk, static_cast<int>(chunk.ItemCount()));
    }
    ASSERT_EQ(chunked.size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i) {
      EXPECT_EQ(chunked[i].Rect, whole[i].Rect) << "piece " << i;
      EXPECT_EQ(chunked[i].Start, whole[i].Start) << "piece " << i;
      EXPECT_EQ(chunked[i].Length, whole[i].Length) << "piece " << i;
      EXPECT_EQ(chunked[i].Item, whole[i].Item) << "piece " << i;
    }
    EXPECT_EQ(flow.End().X, wholeEnd.X);
    EXPECT_EQ(flow.End().Y, wholeEnd.Y);
    EXPECT_EQ(flow.End().Right, wholeEnd.Right);
  }
}

TEST_F(Layout, ForcedFirstWordOverflowsAndRightLeavesOutTheGap) {
  // Room 26 px at the margin; the 56-px first word is placed anyway, the
  // line ends (x 71 >= 50) and the control's right edge is 64 + 8.
  Line("aaaaaaaa bb", Wrap | Ends);
  EXPECT_EQ(Lay(50, 20), QSize(72, 48));
  ExpectPieces({{8, 8, 64, 24, 0, 8, 0}, {8, 24, 22, 40, 9, 2, 0}});
}

TEST_F(Layout, WordTooWideAfterOtherTextMovesToTheMargin) {
  Line("ab", Wrap | Space);
  Line("cccccc dd", Wrap | Ends);
  // x = 29 after "ab": room 14 holds nothing without force, so the item
  // starts again at the margin with room 35, where "cccccc" (42) is forced;
  // its gap ends at 57, short of 59, so "dd" finds no room there either.
  EXPECT_EQ(Lay(59, 10), QSize(57 + 8, 64));
  ExpectPieces({{8, 8, 22, 24, 0, 2, 0}, {8, 24, 50, 40, 0, 6, 1}, {8, 40, 22, 56, 7, 2, 1}});
}

TEST_F(Layout, NonWrappingItemsStayWholeBeyondTheWidth) {
  Line("aaaaa bbbbb ccccc", Ends);  // 119 px on a 50-px line, one piece
  Line("dd", Space);                // x = 29 afterwards
  Line("ee", Wrap | Ends);          // 50 - 29 - 16 leaves 5 px: next line
  EXPECT_EQ(Lay(50, 10), QSize(127 + 8, 64));
  ExpectPieces({{8, 8, 127, 24, 0, 17, 0}, {8, 24, 22, 40, 0, 2, 1}, {8, 40, 22, 56, 0, 2, 2}});

  // A non-wrapping item past the width keeps its line and its gap counts
  // toward the control's width.
  Doc.ItemAt(0)->Text = "aaaaa";
  Doc.ItemAt(1)->Text = "dddddddddd";
  EXPECT_EQ(Lay(50, 10), QSize(8 + 70 + 7 + 8, 64));
  ExpectPieces({{8, 8, 43, 24, 0, 5, 0}, {8, 24, 78, 40, 0, 10, 1}, {8, 40, 22, 56, 0, 2, 2}});
}

TEST_F(Layout, ImagesStandAtTheCurrentXAndPushTheLineDown) {
  Line("ab", Wrap);
  Image(30, 20);
  Line("cd", Wrap | Ends);
  Image(-1, -1, Ends);  // no bitmap: an empty piece
  Image(40, 10, Ends);
  EXPECT_EQ(Lay(200, 10), QSize(200, 8 + 20 + 16 + 10 + 8));
  ExpectPieces({{8, 8, 22, 24, 0, 2, 0},
                {22, 8, 52, 28, 0, 0, 1},
                {22, 28, 36, 44, 0, 2, 2},
                {8, 44, 8, 44, 0, 0, 3},
                {8, 44, 48, 54, 0, 0, 4}});
}

TEST_F(Layout, ImageWiderThanTheControlWidensIt) {
  Line("ab", Wrap | Ends);
  Image(300, 40, Ends);
  EXPECT_EQ(Lay(100, 30), QSize(316, 8 + 16 + 40 + 8));
}

TEST_F(Layout, LastShownItemWithoutLineEndAddsALine) {
  Image(30, 20, Ends);
  EXPECT_EQ(Lay(100, 10, 1).height(), 8 + 20 + 8);
  Doc.ItemAt(0)->EndsLine = 0;
  EXPECT_EQ(Lay(100, 10, 1).height(), 8 + 20 + 16 + 8);

  // Only the last shown item counts, and an empty line still adds its line.
  Line("ab", Wrap | Ends);
  Line("", Wrap);
  EXPECT_EQ(Lay(100, 10, 2).height(), 8 + 20 + 16 + 8);
  EXPECT_EQ(Lay(100, 10, 3).height(), 8 + 20 + 16 + 16 + 8);
  EXPECT_EQ(L.Pieces().size(), 2u);
}

TEST_F(Layout, OnlyShownItemsAreLaidOut) {
  Line("ab", Wrap | Ends);
  Line("cd", Wrap | Ends);
  Line("ef", Wrap | Ends);
  EXPECT_EQ(Lay(100, 10, 2), QSize(100, 8 + 32 + 8));
  ExpectPieces({{8, 8, 22, 24, 0, 2, 0}, {8, 24, 22, 40, 0, 2, 1}});
  EXPECT_EQ(Lay(100, 10, 0), QSize(100, 16));
  EXPECT_TRUE(L.Pieces().empty());
  EXPECT_EQ(Lay(100, 10, 99).height(), 8 + 48 + 8);  // more than there are
}

TEST_F(Layout, ZeroSizeControlLaysOutNothing) {
  Line("ab cd", Wrap | Ends);
  ASSERT_EQ(Lay(100, 100), QSize(100, 100));  // never shrinks
  ASSERT_FALSE(L.Pieces().empty());
  L.LayoutWidth = 100;
  EXPECT_EQ(L.WrapText(Measure, QSize(0, 100)), QSize(0, 100));
  EXPECT_TRUE(L.Pieces().empty());
  EXPECT_EQ(L.WrapText(Measure, QSize(100, 0)), QSize(100, 0));
  EXPECT_TRUE(L.Pieces().empty());
}

TEST_F(Layout, LoneImageKeepsTheControlSizeWithStretchGraphics) {
  Image(300, 200);
  L.StretchGraphics = true;
  EXPECT_EQ(Lay(100, 90), QSize(100, 90));
  ExpectPieces({{8, 8, 308, 208, 0, 0, 0}});
  L.StretchGraphics = false;
  EXPECT_EQ(Lay(100, 90), QSize(316, 8 + 200 + 16 + 8));
  Doc.ItemAt(0)->EndsLine = 1;
  EXPECT_EQ(Lay(100, 90), QSize(316, 216));

  // With anything else in the document it is no lone image, shown or not.
  Line("ab", Wrap | Ends);
  L.StretchGraphics = true;
  EXPECT_EQ(Lay(100, 90, 1), QSize(316, 216));
  EXPECT_FALSE(IsJustAGraphic(&Doc));
}

TEST_F(Layout, LeadingSpaceBeforeATooWideWordIsDropped) {
  // Two spaces: the line breaks at the first, the rest " bbbbbbbbbb" gets
  // 0 at the margin even when forced; the space goes and the word is forced.
  Line("aaa  bbbbbbbbbb", Wrap | Ends);
  EXPECT_EQ(Lay(50, 10), QSize(86, 64));
  ExpectPieces({{8, 8, 29, 24, 0, 3, 0}, {8, 24, 78, 40, 5, 10, 0}});
}

TEST_F(Layout, LineNarrowerThanTheMarginsTakesOneWordALine) {
  Line("ab cd", Wrap | Ends);
  EXPECT_EQ(Lay(10, 10), QSize(30, 64));
  ExpectPieces({{8, 8, 22, 24, 0, 2, 0}, {8, 24, 22, 40, 3, 2, 0}});
}

TEST_F(Layout, NodesShowTheirTitleAndBlankEntriesNothing) {
  auto* child = new THunk("Child \x93quoted\x94", &Doc);  // Windows-1252 quotes
  child->EndsLine = 1;
  Doc.Append(child);
  auto* blank = new TBlankHunk("not shown", &Doc);
  blank->EndsLine = 1;
  Doc.Append(blank);
  Line("x", Wrap | Ends);
  EXPECT_EQ(Lay(300, 10).height(), 8 + 48 + 8);
  // One byte is one character: Start and Length count bytes of the title.
  ExpectPieces({{8, 8, 8 + 14 * 7, 24, 0, 14, 0}, {8, 40, 15, 56, 0, 1, 2}});
  EXPECT_EQ(ItemText(*child), QString::fromUtf16(u"Child \u201Cquoted\u201D"));
}

TEST_F(Layout, MeasuringCostGrowsWithTheTextNotWithItsSquare) {
  // One paragraph of 20,000 characters: a layout that measured the rest of
  // the item for every line would measure millions of characters.
  std::string text;
  while (text.size() < 20000) text += "word ";
  Line(text, Wrap | Ends);
  Measure.MeasuredChars = 0;
  Lay(400, 10);
  EXPECT_GT(L.Pieces().size(), 300u);
  EXPECT_LT(Measure.MeasuredChars, 30 * static_cast<qsizetype>(text.size()));
  // Every character but the break spaces lands in exactly one piece.
  std::uint32_t next = 0;
  for (const TWrapInfo& piece : L.Pieces()) {
    ASSERT_EQ(piece.Start, next);
    next = piece.Start + piece.Length + 1;
    EXPECT_LE(piece.Rect.Right, 400 - 16);
  }
  EXPECT_GE(next, text.size());
}

// The measurer of the program, on the fonts of the settings.
class FontMeasure : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!QCoreApplication::instance()) {
      static int argc = 1;
      static char name[] = "display_tests";
      static char* argv[] = {name, nullptr};
      new QApplication(argc, argv);  // lives for the whole test program
    }
  }
};

TEST_F(FontMeasure, FontsFromTheSettings) {
  const QFont bold = MakeFont(TFontSpec{"Times New Roman", 12, true, true});
  EXPECT_EQ(bold.family(), QStringLiteral("Times New Roman"));
  EXPECT_EQ(bold.pointSize(), 12);
  EXPECT_TRUE(bold.bold());
  EXPECT_TRUE(bold.italic());
  const QFont plain = MakeFont(TFontSpec{"Arial", 0, false, false});
  EXPECT_GT(plain.pointSize(), 0);  // size 0 keeps the default
  EXPECT_FALSE(plain.bold());
  EXPECT_FALSE(plain.italic());
}

TEST_F(FontMeasure, MeasuresTheTwoFontsAndPrefixViews) {
  const TFontMeasure measure(MakeFont(TFontSpec{"Arial", 10, false, false}),
                             MakeFont(TFontSpec{"Courier New", 9, false, false}));
  EXPECT_TRUE(QFontInfo(MakeFont(TFontSpec{"Courier New", 9, false, false})).fixedPitch());
  EXPECT_EQ(measure.TextWidth(u"iiii", true), measure.TextWidth(u"WWWW", true));
  EXPECT_LT(measure.TextWidth(u"iiii", false), measure.TextWidth(u"WWWW", false));
  EXPECT_GT(measure.AverageCharWidth(false), 0);
  EXPECT_GT(measure.AverageCharWidth(true), 0);
  EXPECT_GT(measure.LineHeight(), 0);
  // A view of the first characters measures only those.
  const QString text = QStringLiteral("Wide words here");
  EXPECT_EQ(measure.TextWidth(QStringView(text).first(4), false), measure.TextWidth(u"Wide", false));
  EXPECT_LT(measure.TextWidth(QStringView(text).first(4), false), measure.TextWidth(text, false));
}

// The program's measure without its advances: every width comes from
// TextWidth, as for a measure that keeps no running sums.
class TWholeTextMeasure : public TTextMeasure {
 public:
  explicit TWholeTextMeasure(const TTextMeasure& real) : Real(real) {}
  int TextWidth(QStringView text, bool fixedFont) const override { return Real.TextWidth(text, fixedFont); }
  int AverageCharWidth(bool fixedFont) const override { return Real.AverageCharWidth(fixedFont); }
  int LineHeight() const override { return Real.LineHeight(); }

 private:
  const TTextMeasure& Real;
};

// Breaking lines from running sums of advances gives the layout that
// measuring every prefix whole gives, to the pixel: for each pair of fonts
// in turn (one layout object laying out again after a change of fonts) and
// each width, over items in both fonts, characters beyond Latin-1, items
// that continue the line and a paragraph many lines long.
TEST_F(FontMeasure, RunningSumsLayOutAsWholeMeasurementsDo) {
  TMetaTextHunk doc("Document", nullptr, Kind::Subject);
  std::string paragraph;
  for (int i = 0; paragraph.size() < 3000; ++i) paragraph += (i % 7 == 0 ? "WWW " : "lamp ") + std::to_string(i) + " ";
  struct TItem {
    std::string Text;
    unsigned Flags;
  };
  const TItem items[] = {
      {"The lamp is behind the door of the old shed, under the rope and the ladder; look west.", Wrap | Ends},
      {"Fixed  text  with  double  spaces and a long tail of words to wrap", Wrap | Fixed | Space},
      {"\x93Quoted\x94 \x80 words \x97 with dashes", Wrap | Space},
      {"short", Space},
      {paragraph, Wrap | Ends},
      {"iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii WWWWWWWWWWWWWWWW", Wrap | Ends},
      {"x", Wrap},
      {"after x on the same line, then an end", Wrap | Fixed | Ends},
  };
  for (const TItem& item : items) {
    auto* line = new THunkLine(item.Text, &doc);
    line->EndsLine = (item.Flags & Ends) != 0;
    line->Wraps = (item.Flags & Wrap) != 0;
    line->UseFixedFont = (item.Flags & Fixed) != 0;
    line->SpaceAfter = (item.Flags & Space) != 0;
    doc.Append(line);
  }
  const std::pair<TFontSpec, TFontSpec> fonts[] = {
      {{"Arial", 10, false, false}, {"Courier New", 9, false, false}},
      {{"Times New Roman", 14, true, false}, {"Courier New", 12, true, false}},
      {{"Arial", 8, false, true}, {"Courier New", 8, false, false}},
  };
  TTextLayout fast;
  TTextLayout whole;
  for (const auto& [mainFont, fixedFont] : fonts) {
    const TFontMeasure measure(MakeFont(mainFont), MakeFont(fixedFont));
    ASSERT_NE(measure.Advances(false), nullptr);
    const TWholeTextMeasure reference(measure);
    for (const int width : {90, 333, 640, 1500}) {
      SCOPED_TRACE(mainFont.Face + " " + std::to_string(mainFont.Size) + " at " + std::to_string(width));
      for (TTextLayout* layout : {&fast, &whole}) {
        layout->Document = &doc;
        layout->ShownCount = static_cast<int>(doc.ItemCount());
        layout->LayoutWidth = width;
      }
      EXPECT_EQ(fast.WrapText(measure, QSize(width, 100)), whole.WrapText(reference, QSize(width, 100)));
      ASSERT_EQ(fast.Pieces().size(), whole.Pieces().size());
      EXPECT_GT(fast.Pieces().size(), doc.ItemCount());
      for (std::size_t i = 0; i < fast.Pieces().size(); ++i) {
        const TWrapInfo& a = fast.Pieces()[i];
        const TWrapInfo& b = whole.Pieces()[i];
        EXPECT_TRUE(a.Rect == b.Rect && a.Start == b.Start && a.Length == b.Length && a.Item == b.Item)
            << "piece " << i << ": " << a.Rect.Left << "," << a.Rect.Top << " +" << a.Rect.Width() << " chars "
            << a.Start << "+" << a.Length << " against " << b.Rect.Left << "," << b.Rect.Top << " +"
            << b.Rect.Width() << " chars " << b.Start << "+" << b.Length;
      }
    }
  }
}

}  // namespace
