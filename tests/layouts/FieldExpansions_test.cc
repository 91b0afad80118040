#include "layouts/FieldExpansions.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "layouts/LayoutsTestUtil.h"

namespace {

const std::vector<std::string> kTitleKeyAndHeader = {
    "Field expansions",
    "Key:",
    "o.lb\tlower bound of original range",
    "o.ub\tupper bound of original range",
    "o.s\tsize of original range",
    "o.cf\tcompression factor (values per field) of original range",
    "e.lb\tlower bound of expanded range",
    "e.ub\tupper bound of expanded range",
    "e.s\tsize of expanded range",
    "o.lb\to.ub\to.s\to.cf\te.lb\te.ub\te.s",
};

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
  EXPECT_EQ(linesOf(report), kTitleKeyAndHeader);
  EXPECT_EQ(report.back(), '\n');
}

TEST(FieldExpansionsReport, OneRowPerRangeInLowerBoundOrder) {
  struct Case {
    std::vector<FieldExpansion> list;
    std::uint32_t firstExpanded;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {{{830, 872, 32}}, 873, {"830\t872\t43\t32\t873\t2248\t1376"}},
      {{kUnsorted[0], kUnsorted[1], kUnsorted[2]},
       661,
       {"66\t66\t1\t32\t661\t692\t32", "489\t500\t12\t32\t693\t1076\t384",
        "521\t642\t122\t4\t1077\t1564\t488"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> expected = kTitleKeyAndHeader;
    expected.insert(expected.end(), c.rows.begin(), c.rows.end());
    EXPECT_EQ(linesOf(reportOf(FieldExpansions(c.list, c.firstExpanded))), expected);
  }
}

}  // namespace
