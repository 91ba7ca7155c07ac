#include <gtest/gtest.h>

#include "authoring/hintwriter.h"
#include "model/checksum.h"
#include "support/fixtures.h"

TEST(Checksum, KnownValues) {
  // Before the adjustment: CRC-16/ARC with its 16 bits reversed.
  EXPECT_EQ(RawChecksum("123456789"), 0xBCDD);
  EXPECT_EQ(HintChecksum("123456789"), 0xBDDD);
  EXPECT_EQ(RawChecksum("abc"), 0x1CE9);
  EXPECT_EQ(HintChecksum("abc"), 0x1CE9);
  EXPECT_EQ(HintChecksum(""), 0x0000);
}

TEST(Checksum, AdjustmentOnlyForHighValuesWithNonZeroLowByte) {
  EXPECT_EQ(AdjustChecksum(0x8000), 0x8000);
  EXPECT_EQ(AdjustChecksum(0x7FFF), 0x7FFF);
  EXPECT_EQ(AdjustChecksum(0x8001), 0x8101);
  EXPECT_EQ(AdjustChecksum(0xFFFF), 0x00FF);
}
