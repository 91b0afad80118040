#include "framing/ReadQuartet.h"

#include <gtest/gtest.h>

#include "core/FailureText.h"
#include "framing/StreamStubs.h"

namespace {

class ReadQuartetTest : public testing::TestWithParam<BulkMode> {};

TEST_P(ReadQuartetTest, EmptyInputIsACleanEnd) {
  MemoryBytes source(Bytes{}, GetParam());
  Upstream<unsigned char> link(&source);
  Quartet q;
  EXPECT_FALSE(ReadQuartet(link, q));
  EXPECT_EQ(link.moreGets, 0u);
  EXPECT_EQ(link.noMoreGets, 1u);
}

TEST_P(ReadQuartetTest, InputCutInsideASecondQuartetNamesTheBytesRead) {
  MemoryBytes source(Bytes{1, 2, 3, 4, 5, 6}, GetParam());
  Upstream<unsigned char> link(&source);
  Quartet q;
  ASSERT_TRUE(ReadQuartet(link, q));
  EXPECT_EQ(q, Q(0x01020304));
  EXPECT_EQ(failureOf([&] { ReadQuartet(link, q); }),
            "stream ended unexpectedly at input non-multiple of 4 input location 6");
  EXPECT_EQ(link.moreGets, 6u);
  EXPECT_EQ(link.noMoreGets, 1u);
}

TEST_P(ReadQuartetTest, UpstreamFailureKeepsTheDeliveredBytesCounted) {
  MemoryBytes source(Bytes{1, 2, 3, 4, 5, 6}, GetParam(), 2);
  Upstream<unsigned char> link(&source);
  Quartet q;
  EXPECT_EQ(failureOf([&] { ReadQuartet(link, q); }), "read failed after 2 bytes");
  EXPECT_EQ(link.moreGets, 2u);
  EXPECT_EQ(link.noMoreGets, 0u);
}

INSTANTIATE_TEST_SUITE_P(BothBulkModes, ReadQuartetTest,
                         testing::Values(BulkMode::kOneByOne, BulkMode::kOverridden));

}  // namespace
