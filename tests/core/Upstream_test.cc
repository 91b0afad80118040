#include "core/Upstream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Hands out a fixed list of bytes, then reports the end forever.
class ByteList : public Stream<unsigned char> {
 public:
  explicit ByteList(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {
    name = "ByteList";
  }
  bool get(unsigned char& item) override {
    if (next_ == bytes_.size()) return false;
    item = bytes_[next_++];
    return true;
  }

 private:
  std::vector<unsigned char> bytes_;
  std::size_t next_ = 0;
};

std::string expectFailure(Upstream<unsigned char>& link, unsigned char wanted) {
  try {
    link.expect(wanted);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no failure";
}

TEST(UpstreamExpect, WrongByteNamesItsOneBasedLocation) {
  ByteList bytes({'a', 'b', 0x0D});
  Upstream<unsigned char> link(&bytes);
  unsigned char b;
  link.get(b);
  link.get(b);
  EXPECT_EQ(expectFailure(link, 10), "stream contained 13 at input location 3 but 10 was expected");
  EXPECT_EQ(link.moreGets, 3u);
}

TEST(UpstreamExpect, EndedStreamNamesBytesPulledAndCountsTheEnd) {
  ByteList bytes({1, 2});
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
  ByteList bytes({0x0D, 0x0A});
  Upstream<unsigned char> link(&bytes);
  EXPECT_EQ(link.expect(0x0D), 0x0D);
  EXPECT_EQ(link.expect(0x0A), 0x0A);
  EXPECT_EQ(link.moreGets, 2u);
}

TEST(UpstreamStatistics, LineNamesUpstreamAndBothCounts) {
  ByteList bytes({1, 2, 3});
  testing::internal::CaptureStdout();
  {
    Upstream<unsigned char> link(&bytes);
    unsigned char b;
    while (link.get(b)) {
    }
    link.get(b);
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ByteList\tmoreGets\tnoMoreGets\t3\t2\n");
}

TEST(UpstreamStatistics, UnusedLinkShowsZeroes) {
  ByteList bytes({});
  testing::internal::CaptureStdout();
  { Upstream<unsigned char> link(&bytes); }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ByteList\tmoreGets\tnoMoreGets\t0\t0\n");
}

TEST(UpstreamGetMany, CountsLikeSingleRequests) {
  ByteList bytes({1, 2, 3, 4, 5});
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
