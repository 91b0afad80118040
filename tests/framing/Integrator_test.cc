#include "framing/Integrator.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "framing/StreamStubs.h"

namespace {

const Quartet A = Q(0xA), B = Q(0xB), C = Q(0xC), D = Q(0xD);
using Pairs = std::vector<AddressValuePair>;

std::vector<Pairs> Integrate(std::vector<Pairs> input) {
  RecordSource<AddressValuePair> upstream(std::move(input));
  Integrator integrator(&upstream);
  std::vector<Pairs> records;
  Pairs pairs;
  while (integrator.get(pairs)) records.push_back(pairs);
  return records;
}

TEST(Integrator, CarriesValuesForwardInAscendingOrder) {
  EXPECT_EQ(Integrate({{{5, A}, {1, B}}, {{3, C}, {5, D}}}),
            (std::vector<Pairs>{{{1, B}, {5, A}}, {{1, B}, {3, C}, {5, D}}}));
}

TEST(Integrator, LaterPairForTheSameAddressWins) {
  EXPECT_EQ(Integrate({{{2, A}, {2, B}}, {{2, C}, {7, A}, {2, D}, {7, B}}}),
            (std::vector<Pairs>{{{2, B}}, {{2, D}, {7, B}}}));
}

TEST(Integrator, EmptyRecordsGiveEmptyOrRepeatedOutput) {
  EXPECT_EQ(Integrate({{}, {{4, A}}, {}}), (std::vector<Pairs>{{}, {{4, A}}, {{4, A}}}));
}

TEST(Integrator, LargeAddressesSortUnsignedAfterSmallOnes) {
  EXPECT_EQ(
      Integrate({{{4294967295u, A}, {65536, B}, {2147483648u, C}, {65535, D}},
                 {{0, A}, {4294967295u, B}}}),
      (std::vector<Pairs>{{{65535, D}, {65536, B}, {2147483648u, C}, {4294967295u, A}},
                          {{0, A}, {65535, D}, {65536, B}, {2147483648u, C}, {4294967295u, B}}}));
}

TEST(Integrator, FixedRecordsPassThroughUnchanged) {
  Pairs first, second;
  for (std::uint32_t a = 1; a <= 700; ++a) {
    first.push_back({a, Q(a)});
    second.push_back({a, Q(a * 3)});
  }
  EXPECT_EQ(Integrate({first, second}), (std::vector<Pairs>{first, second}));
}

TEST(Integrator, EndLeavesPairsAndCountsOnce) {
  RecordSource<AddressValuePair> upstream({});
  Integrator integrator(&upstream);
  Pairs pairs = {{9, A}};
  EXPECT_FALSE(integrator.get(pairs));
  EXPECT_EQ(pairs, (Pairs{{9, A}}));
  EXPECT_EQ(integrator.upstream.noMoreGets, 1u);
}

// The direct index and the merging of new addresses must agree with a plain
// ordered map over any mix of small, boundary and huge addresses.
TEST(Integrator, AgreesWithAnOrderedMapOnRandomRecords) {
  std::mt19937 random(20240601);
  const std::uint32_t limit = kDirectAddressLimit;
  const std::uint32_t pool[] = {0,           1,           2,          699,       700,
                                limit - 2,   limit - 1,   limit,      limit + 1, 65536,
                                2147483648u, 4294967294u, 4294967295u};
  std::vector<Pairs> input;
  for (int r = 0; r < 300; ++r) {
    Pairs record(random() % 12);
    for (AddressValuePair& pair : record) {
      pair.address = random() % 3 == 0 ? pool[random() % std::size(pool)] : random() % (3 * limit);
      pair.value = Q(random());
    }
    input.push_back(record);
  }
  std::map<std::uint32_t, Quartet> latest;
  std::vector<Pairs> expected;
  for (const Pairs& record : input) {
    for (const AddressValuePair& pair : record) latest[pair.address] = pair.value;
    Pairs out;
    for (auto [address, value] : latest) out.push_back({address, value});
    expected.push_back(out);
  }
  EXPECT_EQ(Integrate(input), expected);
}

}  // namespace
