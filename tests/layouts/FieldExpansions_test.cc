#include "layouts/FieldExpansions.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "layouts/LayoutsTestUtil.h"

namespace {

std::string reportOf(const FieldExpansions& table) {
  std::ostringstream out;
  table.printFieldExpansions(out);
  return out.str();
}

// Listed out of order on purpose: numbering follows lb, not the list.
const FieldExpansion kUnsorted[] = {{489, 500, 32}, {521, 642, 4}, {66, 66, 32}};

TEST(FieldExpansionsLookup, NumbersRangesInOrderOfTheirLowerBound) {
  const FieldExpansions table(kUnsorted, 661);
  struct Case {
    std::uint32_t address;
    VpInfo expected;
  };
  const Case cases[] = {
      {66, {661, VpInfo::BitArray}},    {489, {693, VpInfo::BitArray}},
      {490, {725, VpInfo::BitArray}},   {500, {1045, VpInfo::BitArray}},
      {521, {1077, VpInfo::ByteArray}}, {522, {1081, VpInfo::ByteArray}},
      {642, {1561, VpInfo::ByteArray}},
  };
  for (const Case& c : cases) {
    const auto entry = table.lookup(c.address);
    ASSERT_TRUE(entry.has_value()) << "address " << c.address;
    EXPECT_EQ(*entry, c.expected) << "address " << c.address;
  }
  for (std::uint32_t outside : {0u, 65u, 67u, 488u, 501u, 520u, 643u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(table.lookup(outside).has_value()) << "address " << outside;
  }
}

TEST(FieldExpansionsLookup, CompressionFactorOtherThan32Or4FailsOnlyWhereItCovers) {
  const FieldExpansion list[] = {{10, 12, 8}, {20, 20, 4}};
  const FieldExpansions table(list, 100);
  EXPECT_EQ(failureOf([&] { table.lookup(11); }), "unrec ef");
  EXPECT_FALSE(table.lookup(13).has_value());
  EXPECT_EQ(table.lookup(20), (VpInfo{124, VpInfo::ByteArray}));
}

TEST(FieldExpansionsReport, EmptyTableWritesTitleKeyAndHeaderOnly) {
  const std::string report = reportOf(FieldExpansions({}, 1));
  EXPECT_EQ(linesOf(report), expectedExpansionReport({}));
  EXPECT_EQ(linesOf(report).size(), 10u);
  EXPECT_EQ(report.back(), '\n');
}

TEST(FieldExpansionsReport, OneRowPerRangeInLowerBoundOrder) {
  struct Case {
    std::vector<FieldExpansion> list;
    std::uint32_t firstExpanded;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {{{830, 872, 32}}, 873, {"830 872 43 32 873 2248 1376"}},
      {{kUnsorted[0], kUnsorted[1], kUnsorted[2]},
       661,
       {"66 66 1 32 661 692 32", "489 500 12 32 693 1076 384", "521 642 122 4 1077 1564 488"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(linesOf(reportOf(FieldExpansions(c.list, c.firstExpanded))),
              expectedExpansionReport(c.rows));
  }
}

}  // namespace
