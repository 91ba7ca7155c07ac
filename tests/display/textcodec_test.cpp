#include <gtest/gtest.h>

#include "display/textcodec.h"

TEST(TextCodec, Windows1252ToUnicode) {
  struct TCase {
    std::string Bytes;
    char16_t Expected;
  };
  const TCase cases[] = {
      {"A", u'A'},       {"\x80", u'\u20AC'}, {"\x92", u'\u2019'}, {"\x9F", u'\u0178'},
      {"\x81", u'\x81'}, {"\xA0", u'\xA0'},   {"\xE9", u'\xE9'},   {"\xFF", u'\xFF'},
  };
  for (const TCase& c : cases) {
    const QString text = FromCp1252(c.Bytes);
    ASSERT_EQ(text.size(), 1) << c.Bytes;
    EXPECT_EQ(text[0].unicode(), c.Expected) << static_cast<int>(static_cast<unsigned char>(c.Bytes[0]));
  }
  EXPECT_EQ(FromCp1252(std::string("a\0b", 3)).size(), 3);
}

// Converting into a string that held a longer or a shorter text leaves
// exactly the new text, whatever storage it reuses.
TEST(TextCodec, AssignReplacesTheWholeText) {
  QString text;
  for (const std::string& bytes : {std::string("a longer text \x93quoted\x94"), std::string("ab"), std::string(),
                                   std::string("\x80 and more than before")}) {
    AssignCp1252(text, bytes);
    EXPECT_EQ(text, FromCp1252(bytes)) << bytes;
    EXPECT_EQ(text.size(), static_cast<qsizetype>(bytes.size())) << bytes;
  }
}
