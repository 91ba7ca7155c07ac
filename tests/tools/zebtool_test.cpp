#include <gtest/gtest.h>

#include <sstream>

#include "tools/commands.h"

TEST(Zebtool, VersionAndUsage) {
  std::ostringstream out, err;
  EXPECT_EQ(RunZebtool({"--version"}, out, err), 0);
  EXPECT_EQ(out.str(), "zebtool 4.50\n");
  EXPECT_EQ(RunZebtool({}, out, err), 64);
}
