#include "layouts/LayoutRules.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "layouts/LayoutsTestUtil.h"

namespace {

TEST(InWindows, HoldsExactlyInTheSevenWindowsAndNotAtTenSteps) {
  struct Case {
    std::uint32_t base;
    std::uint32_t step;
    std::vector<StringRange> windows;  // first and last address of each window
  };
  const Case cases[] = {
      {320,
       12,
       {{320, 327}, {332, 339}, {356, 363}, {380, 387}, {392, 399}, {416, 423}, {428, 435}}},
      {182,
       11,
       {{182, 189}, {193, 200}, {215, 222}, {237, 244}, {248, 255}, {270, 277}, {281, 288}}},
  };
  for (const Case& c : cases) {
    std::set<std::uint32_t> inside;
    for (const StringRange& window : c.windows) {
      for (std::uint32_t a = window.first; a <= window.last; ++a) inside.insert(a);
    }
    for (std::uint32_t a = 0; a < c.base + c.step * 12; ++a) {
      EXPECT_EQ(inWindows(c.base, c.step, a), inside.count(a) == 1)
          << "base " << c.base << " step " << c.step << " address " << a;
    }
  }
}

TEST(InWindows, AddressesNearTheTopOfTheRangeDoNotWrap) {
  EXPECT_FALSE(inWindows(320, 12, 0xFFFFFFFFu));
  EXPECT_TRUE(inWindows(0xFFFFFFF0u, 1, 0xFFFFFFF7u));
}

TEST(StringRangesLookup, AnswersAtFirstAddressesOnly) {
  const StringRange unsorted[] = {{88, 95}, {8, 15}, {30, 30}};
  const StringRanges strings(unsorted);
  EXPECT_EQ(strings.startingAt(8), (VpInfo{15, VpInfo::String}));
  EXPECT_EQ(strings.startingAt(30), (VpInfo{30, VpInfo::String}));
  EXPECT_EQ(strings.startingAt(88), (VpInfo{95, VpInfo::String}));
  for (std::uint32_t notAStart : {0u, 7u, 9u, 15u, 29u, 31u, 95u, 96u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(strings.startingAt(notAStart).has_value()) << "address " << notAStart;
  }
  ASSERT_EQ(strings.ranges().size(), 3u);
  EXPECT_EQ(strings.ranges().front().first, 8u);
  EXPECT_EQ(strings.ranges().back().first, 88u);
}

TEST(FindRule, FirstCoveringRowWins) {
  const RuleRow rows[] = {{10, 20, kSkip}, {15, 30, kFloat}, {40, 40, kConstant0}};
  struct Case {
    std::uint32_t address;
    std::optional<VpInfo> expected;
  };
  const Case cases[] = {
      {9, std::nullopt}, {10, kSkip},        {20, kSkip},      {21, kFloat},
      {30, kFloat},      {31, std::nullopt}, {40, kConstant0}, {41, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(findRule(rows, c.address), c.expected) << c.address;
}

}  // namespace
