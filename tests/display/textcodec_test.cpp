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
