#include "framing/Recordifier2.h"

#include <gtest/gtest.h>

#include "core/FailureText.h"
#include "framing/StreamStubs.h"

namespace {

// `count` distinct quartets, FF-record markers among them.
std::vector<Quartet> Numbered(std::size_t count) {
  std::vector<Quartet> quartets;
  for (std::size_t i = 0; i < count; ++i) {
    quartets.push_back(i % 7 == 3 ? endOfRecordQuartet : Q(static_cast<std::uint32_t>(i)));
  }
  return quartets;
}

class Recordifier2Test : public testing::TestWithParam<BulkMode> {};

TEST_P(Recordifier2Test, CutsFixedRecordsAndTreatsMarkersAsData) {
  std::vector<Quartet> input = Numbered(1320);
  MemoryBytes source(BytesOf(input), GetParam());
  Recordifier2 framer(660, &source);
  std::vector<Quartet> record;
  ASSERT_TRUE(framer.get(record));
  EXPECT_EQ(record, std::vector<Quartet>(input.begin(), input.begin() + 660));
  ASSERT_TRUE(framer.get(record));
  EXPECT_EQ(record, std::vector<Quartet>(input.begin() + 660, input.end()));
  EXPECT_FALSE(framer.get(record));
  EXPECT_TRUE(record.empty());
  EXPECT_EQ(framer.upstream.moreGets, 5280u);
  EXPECT_EQ(framer.upstream.noMoreGets, 1u);
}

TEST_P(Recordifier2Test, InputEndingOffARecordBoundaryFails) {
  MemoryBytes source(BytesOf(Numbered(1321)), GetParam());
  Recordifier2 framer(660, &source);
  std::vector<Quartet> record;
  ASSERT_TRUE(framer.get(record));
  ASSERT_TRUE(framer.get(record));
  EXPECT_EQ(failureOf([&] { framer.get(record); }), "input ended on non-660 boundary");
  EXPECT_EQ(framer.upstream.moreGets, 5284u);
  EXPECT_EQ(framer.upstream.noMoreGets, 1u);
}

TEST_P(Recordifier2Test, InputCutInsideAQuartetFailsBeforeTheBoundaryCheck) {
  MemoryBytes source(Truncated(BytesOf(Numbered(700)), 2799), GetParam());
  Recordifier2 framer(700, &source);
  std::vector<Quartet> record;
  EXPECT_EQ(failureOf([&] { framer.get(record); }),
            "stream ended unexpectedly at input non-multiple of 4 input location 2799");
  EXPECT_EQ(framer.upstream.noMoreGets, 1u);
}

TEST_P(Recordifier2Test, EmptyInputAndZeroLengthRecordsGiveNoRecord) {
  MemoryBytes source(Bytes{}, GetParam());
  Recordifier2 framer(700, &source);
  std::vector<Quartet> record = {endOfDataQuartet};
  EXPECT_FALSE(framer.get(record));
  EXPECT_TRUE(record.empty());
  EXPECT_EQ(framer.upstream.noMoreGets, 1u);

  MemoryBytes data(BytesOf(Numbered(4)), GetParam());
  Recordifier2 none(0, &data);
  EXPECT_FALSE(none.get(record));
  EXPECT_EQ(none.upstream.moreGets + none.upstream.noMoreGets, 0u);
}

TEST_P(Recordifier2Test, UpstreamFailureKeepsTheDeliveredBytesCounted) {
  MemoryBytes source(BytesOf(Numbered(1400)), GetParam(), 3000);
  Recordifier2 framer(700, &source);
  std::vector<Quartet> record;
  ASSERT_TRUE(framer.get(record));
  EXPECT_EQ(failureOf([&] { framer.get(record); }), "read failed after 3000 bytes");
  EXPECT_EQ(framer.upstream.moreGets, 3000u);
  EXPECT_EQ(framer.upstream.noMoreGets, 0u);
}

INSTANTIATE_TEST_SUITE_P(BothBulkModes, Recordifier2Test,
                         testing::Values(BulkMode::kOneByOne, BulkMode::kOverridden));

}  // namespace
