#include "framing/AddressValueifier.h"

#include <gtest/gtest.h>

#include "core/FailureText.h"
#include "framing/StreamStubs.h"
#include "years/SurveyYear.h"

namespace {

const Quartet V1 = Q(0xC1C2C3C4), V2 = Q(0xFFFFFFFF), V3 = Q(0);
using Pairs = std::vector<AddressValuePair>;

// The framing of `year`'s row, none for a year without one.
std::optional<Framing> framingOf(std::uint32_t year) {
  const SurveyYear* row = findSurveyYear(static_cast<std::int32_t>(year));
  if (row == nullptr) return std::nullopt;
  return row->framing;
}

// Runs the records of `input` through an AddressValueifier of `year`.
std::vector<Pairs> Pair(std::uint32_t year, std::vector<std::vector<Quartet>> input) {
  RecordSource<Quartet> framer(std::move(input));
  AddressValueifier stage(year, framingOf(year), &framer);
  std::vector<Pairs> records;
  Pairs pairs;
  while (stage.get(pairs)) records.push_back(pairs);
  return records;
}

TEST(AddressValueifier, ExplicitAddressesKeepInputOrderAndRepeats) {
  EXPECT_EQ(Pair(71, {{Q(5), V1, Q(1), V2, Q(5), V3}}),
            (std::vector<Pairs>{{{5, V1}, {1, V2}, {5, V3}}}));
}

TEST(AddressValueifier, ExplicitAddressesAreUnsigned) {
  EXPECT_EQ(Pair(68, {{Q(0x80000000), V1, Q(0xFFFFFFFF), V2}}),
            (std::vector<Pairs>{{{2147483648u, V1}, {4294967295u, V2}}}));
}

TEST(AddressValueifier, AddressWithoutValueFails) {
  EXPECT_EQ(failureOf([] { Pair(76, {{Q(5), V1, Q(7)}}); }), "no val for addr 7");
}

TEST(AddressValueifier, ImplicitAddressesRestartAtOneInEveryRecord) {
  EXPECT_EQ(Pair(80, {{V1, V2, V3}, {V3}}),
            (std::vector<Pairs>{{{1, V1}, {2, V2}, {3, V3}}, {{1, V3}}}));
}

TEST(AddressValueifier, FullFixedRecordNumbersEveryQuartet) {
  std::vector<Quartet> record(700, V1);
  std::vector<Pairs> records = Pair(86, {record});
  ASSERT_EQ(records.size(), 1u);
  ASSERT_EQ(records[0].size(), 700u);
  for (std::uint32_t i = 0; i < 700; ++i) EXPECT_EQ(records[0][i].address, i + 1);
}

TEST(AddressValueifier, EmptyRecordsGiveEmptyPairListsInEveryYear) {
  for (std::uint32_t year : {70u, 78u, 88u, 99u}) {
    EXPECT_EQ(Pair(year, {{}, {}}), std::vector<Pairs>(2)) << year;
  }
}

TEST(AddressValueifier, YearsWithoutQuartetsFailOnTheFirstQuartet) {
  EXPECT_EQ(failureOf([] { Pair(78, {{V1}}); }), "78 unexpected in AddressValueifier::get78");
  EXPECT_EQ(failureOf([] { Pair(77, {{V1}}); }), "unsupported year 77 in AddressValueifier::get");
  EXPECT_EQ(failureOf([] { Pair(89, {{V1}}); }), "unsupported year 89 in AddressValueifier::get");
}

TEST(AddressValueifier, EndLeavesPairsAndCountsOnce) {
  RecordSource<Quartet> framer({});
  AddressValueifier stage(80, Framing::kFixedLength, &framer);
  Pairs pairs = {{9, V1}};
  EXPECT_FALSE(stage.get(pairs));
  EXPECT_EQ(pairs, (Pairs{{9, V1}}));
  EXPECT_EQ(stage.upstream.noMoreGets, 1u);
}

}  // namespace
