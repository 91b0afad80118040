#include "core/Upstream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/FailureText.h"
#include "support/MemoryBytes.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string expectFailure(Upstream<unsigned char>& link, unsigned char wanted) {
  return failureOf([&] { link.expect(wanted); });
}

TEST(UpstreamExpect, WrongByteNamesItsOneBasedLocation) {
  MemoryBytes bytes(Bytes{'a', 'b', 0x0D});
  Upstream<unsigned char> link(&bytes);
  unsigned char b;
  link.get(b);
  link.get(b);
  EXPECT_EQ(expectFailure(link, 10), "stream contained 13 at input location 3 but 10 was expected");
  EXPECT_EQ(link.moreGets, 3u);
}

TEST(UpstreamExpect, EndedStreamNamesBytesPulledAndCountsTheEnd) {
  MemoryBytes bytes(Bytes{1, 2});
  Upstream<unsigned char> link(&bytes);
  unsigned char b;
  link.get(b);
  link.get(b);
  EXPECT_EQ(expectFailure(link, 13), "stream ended at input location 2 but 13 was expected");
  EXPECT_EQ(link.noMoreGets, 1u);
  EXPECT_EQ(expectFailure(link, 13), "stream ended at input location 2 but 13 was expected");
  EXPECT_EQ(link.noMoreGets, 2u);
}

TEST(UpstreamExpect, MatchingByteIsReturned) {
  MemoryBytes bytes(Bytes{0x0D, 0x0A});
  Upstream<unsigned char> link(&bytes);
  EXPECT_EQ(link.expect(0x0D), 0x0D);
  EXPECT_EQ(link.expect(0x0A), 0x0A);
  EXPECT_EQ(link.moreGets, 2u);
}

TEST(UpstreamStatistics, LineNamesUpstreamAndBothCounts) {
  MemoryBytes bytes(Bytes{1, 2, 3});
  testing::internal::CaptureStdout();
  {
    Upstream<unsigned char> link(&bytes);
    unsigned char b;
    while (link.get(b)) {
    }
    link.get(b);
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "MemoryBytes\tmoreGets\tnoMoreGets\t3\t2\n");
}

TEST(UpstreamStatistics, UnusedLinkShowsZeroes) {
  MemoryBytes bytes(Bytes{});
  testing::internal::CaptureStdout();
  { Upstream<unsigned char> link(&bytes); }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "MemoryBytes\tmoreGets\tnoMoreGets\t0\t0\n");
}

TEST(UpstreamGetMany, CountsLikeSingleRequests) {
  MemoryBytes bytes(Bytes{1, 2, 3, 4, 5});
  Upstream<unsigned char> link(&bytes);
  unsigned char out[8];
  EXPECT_EQ(link.getMany(out, 3), 3u);
  EXPECT_EQ(link.moreGets, 3u);
  EXPECT_EQ(link.noMoreGets, 0u);
  EXPECT_EQ(link.getMany(out, 8), 2u);
  EXPECT_EQ(out[1], 5);
  EXPECT_EQ(link.moreGets, 5u);
  EXPECT_EQ(link.noMoreGets, 1u);
}

}  // namespace
