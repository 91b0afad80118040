#include "typing/FormatStatistics.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "typing/TypedValueMakers.h"

namespace {

std::string printed(const TypedValue& v) {
  std::ostringstream out;
  out << v;
  return out.str();
}

// "min..max" of an extent, as the report would print its bounds.
std::string bounds(const Extent<TypedValue>& e) {
  auto [min, max] = e.get();
  return printed(min) + ".." + printed(max);
}

Extent<TypedValue> extentOf(const std::vector<TypedValue>& values) {
  Extent<TypedValue> e;
  for (const TypedValue& v : values) e.add(v);
  return e;
}

// The per-address rows of `statistics` as "address:min..max".
std::vector<std::string> rows(const FormatStatistics& statistics) {
  std::vector<std::string> out;
  statistics.forEachAddress([&](std::uint32_t address, const Extent<TypedValue>& e) {
    out.push_back(std::to_string(address) + ":" + bounds(e));
  });
  return out;
}

TEST(ExtentTest, UndefinedUntilTheFirstAdd) {
  Extent<std::uint32_t> addresses;
  try {
    addresses.get();
    FAIL() << "no failure";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "undef ext");
  }
  addresses.add(7);
  EXPECT_EQ(addresses.get().first, 7u);
  EXPECT_EQ(addresses.get().second, 7u);
}

TEST(ExtentTest, KeepsBoundsInEachTypesOrder) {
  EXPECT_EQ(bounds(extentOf({u(5), u(3), u(9)})), "3..9");
  EXPECT_EQ(bounds(extentOf({i(-3), i(2)})), "-3..2");
  EXPECT_EQ(bounds(extentOf({u(0xFFFFFFFD), u(2)})), "2..4294967293");
  EXPECT_EQ(bounds(extentOf({f(2.5f), f(-0.5f), f(1.0f)})), "-0.5..2.5");
  EXPECT_EQ(bounds(extentOf({s("9"), s("10"), s(" 5")})), " 5..9");
}

TEST(ExtentTest, ConstantOnlyWhenMinEqualsMax) {
  EXPECT_TRUE(isConstant(extentOf({u(5), u(5)})));
  EXPECT_FALSE(isConstant(extentOf({u(5), u(6)})));
  EXPECT_TRUE(isConstant(extentOf({s("AB"), s("AB")})));
}

TEST(ExtentTest, NaNFirstStaysAndIsNeverConstant) {
  Extent<TypedValue> e = extentOf({fBits(0x7FC00000), f(1.0f), f(-1.0f)});
  EXPECT_EQ(bounds(e), "nan..nan");
  EXPECT_FALSE(isConstant(e));
}

TEST(ExtentTest, NaNLaterChangesNothing) {
  Extent<TypedValue> e = extentOf({f(1.0f), fBits(0xFFC00000), f(3.0f)});
  EXPECT_EQ(bounds(e), "1..3");
}

TEST(ExtentTest, ValueOfAnotherTypeFails) {
  Extent<TypedValue> e = extentOf({u(1)});
  try {
    e.add(i(1));
    FAIL() << "no failure";
  } catch (const std::runtime_error& err) {
    EXPECT_STREQ(err.what(), "attempt to relate values of different type");
  }
  EXPECT_EQ(bounds(e), "1..1");
}

TypedRecord record(std::vector<std::pair<std::uint32_t, TypedValue>> pairs) {
  TypedRecord r;
  for (auto& [address, value] : pairs) r.add(address, value);
  return r;
}

struct OrderCase {
  std::vector<TypedValue> values;
  const char* bounds;
};

// Every value goes through the per-address table, where the bounds are kept as
// words: each type must still be ordered as its own kind of number (floats as
// IEEE numbers, not as their bits taken as integers) or as bytes, at the
// addresses the layouts use as much as at damaged ones beyond the table.
TEST(FormatStatisticsTest, BoundsFollowEachTypesOrderAtEveryAddress) {
  const std::vector<OrderCase> cases = {
      {{u(1), u(0x80000000), u(7)}, "1..2147483648"},
      {{i(2), i(-3), i(-1)}, "-3..2"},
      {{i(-2147483647 - 1), i(2147483647)}, "-2147483648..2147483647"},
      {{f(2.0f), f(-1.0f), f(0.5f)}, "-1..2"},
      {{f(-0.5f), f(-2.0f), f(-1.0f)}, "-2..-0.5"},
      {{fBits(0x80000001), fBits(0x00000001)}, "-1.4013e-45..1.4013e-45"},
      {{f(-1e30f), f(3e38f), f(-3e38f)}, "-3e+38..3e+38"},
      {{fBits(0x80000000), fBits(0x00000000)}, "-0..-0"},
      {{f(1.0f), fBits(0x7FC00000), f(-1.0f)}, "-1..1"},
      {{fBits(0xFF800000), f(0.0f), fBits(0x7F800000)}, "-inf..inf"},
      {{s("9"), s("10"), s(" 5")}, " 5..9"},
      {{s("A"), s("\xC1"), s("")}, "..\xC1"},
  };
  for (std::uint32_t address : {5u, 2199u, kDirectAddressLimit + 5}) {
    for (const OrderCase& c : cases) {
      FormatStatistics statistics;
      for (const TypedValue& v : c.values) statistics.add(record({{address, v}}));
      EXPECT_EQ(rows(statistics),
                (std::vector<std::string>{std::to_string(address) + ":" + c.bounds}))
          << "at address " << address;
    }
  }
}

TEST(FormatStatisticsTest, EmptyRecordCountsButAddsNoAddress) {
  FormatStatistics statistics;
  statistics.add({});
  EXPECT_EQ(statistics.recordCount, 1u);
  EXPECT_TRUE(statistics.addressRange.isUndefined());
  EXPECT_TRUE(rows(statistics).empty());
}

TEST(FormatStatisticsTest, AbsentAddressKeepsItsExtent) {
  FormatStatistics statistics;
  statistics.add(record({{1, u(4)}, {3, s("X")}}));
  statistics.add(record({{1, u(2)}}));
  EXPECT_EQ(statistics.recordCount, 2u);
  EXPECT_EQ(rows(statistics), (std::vector<std::string>{"1:2..4", "3:X..X"}));
  EXPECT_EQ(statistics.addressRange.get().first, 1u);
  EXPECT_EQ(statistics.addressRange.get().second, 3u);
}

TEST(FormatStatisticsTest, RowsAscendInUnsignedOrderAcrossTheDenseLimit) {
  FormatStatistics statistics;
  const std::uint32_t limit = kDirectAddressLimit;
  statistics.add(record({{limit, u(1)}, {4294967295u, u(2)}, {limit - 1, u(3)}, {0, u(4)}}));
  statistics.add(record({{70, u(5)}, {2147483648u, u(6)}, {limit + 1, u(7)}}));
  EXPECT_EQ(
      rows(statistics),
      (std::vector<std::string>{
          "0:4..4", "70:5..5", std::to_string(limit - 1) + ":3..3", std::to_string(limit) + ":1..1",
          std::to_string(limit + 1) + ":7..7", "2147483648:6..6", "4294967295:2..2"}));
  EXPECT_EQ(statistics.addressCount(), 7u);
  EXPECT_EQ(statistics.addressRange.get().first, 0u);
  EXPECT_EQ(statistics.addressRange.get().second, 4294967295u);
}

TEST(FormatStatisticsTest, TypeClashStopsAtTheOffendingPair) {
  FormatStatistics statistics;
  statistics.add(record({{2, u(1)}, {5, i(1)}}));
  try {
    statistics.add(record({{1, u(9)}, {2, u(8)}, {5, u(1)}, {6, u(3)}}));
    FAIL() << "no failure";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "attempt to relate values of different type");
  }
  EXPECT_EQ(statistics.recordCount, 2u);
  EXPECT_EQ(rows(statistics), (std::vector<std::string>{"1:9..9", "2:1..8", "5:1..1"}));
  EXPECT_EQ(statistics.addressRange.get().second, 5u);
}

}  // namespace
