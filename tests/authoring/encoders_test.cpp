#include <gtest/gtest.h>

#include "authoring/encoders.h"

TEST(Encoders, Scramble88aRoundTrip) {
  std::string line = Encode88a("Hi there, 42!");
  Decode88a(line);
  EXPECT_EQ(line, "Hi there, 42!");
}
