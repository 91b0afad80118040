// Walks every layout over its whole address range to catch typos in its tables.

#include <gtest/gtest.h>

#include <string>

#include "layouts/LayoutsTestUtil.h"
#include "layouts/Vp78.h"

namespace {

bool isPacked(const VpInfo& entry) {
  return entry.tag == VpInfo::BitArray || entry.tag == VpInfo::ByteArray;
}

bool isByteLayout(const NamedLayout& named) {
  return std::string(named.name).starts_with("Vp78_");
}

// Bytes (year 78) or pairs (every other year) a slot of `entry` consumes.
std::uint32_t slotWidth(const VpInfo& entry, std::uint32_t address, bool byteRecord) {
  switch (entry.tag) {
    case VpInfo::String:
      return entry.additionalInfo - address + 1;
    case VpInfo::Skip:
    case VpInfo::SingleChar:
      return 1;
    case VpInfo::Signed16:
      return byteRecord ? 2 : 1;
    default:
      return byteRecord ? 4 : 1;
  }
}

TEST(LayoutWalk, StringsEndInsideTheRecordAndNotBeforeTheyBegin) {
  for (const NamedLayout& named : allLayouts()) {
    const PrecomputedVp& layout = named.layout;
    for (std::uint32_t a = 1; a <= layout.highestAddress(); ++a) {
      const VpInfo entry = layout.info(a);
      if (entry.tag != VpInfo::String) continue;
      EXPECT_GE(entry.additionalInfo, a) << named.name << " string at " << a;
      EXPECT_LE(entry.additionalInfo, layout.highestAddress()) << named.name << " string at " << a;
    }
  }
}

TEST(LayoutWalk, ExpandedAddressesAreConsecutiveAboveTheRecord) {
  for (const NamedLayout& named : allLayouts()) {
    const PrecomputedVp& layout = named.layout;
    std::uint32_t nextExpanded = layout.highestAddress() + 1;
    for (std::uint32_t a = 1; a <= layout.highestAddress(); ++a) {
      const VpInfo entry = layout.info(a);
      if (!isPacked(entry)) continue;
      EXPECT_EQ(entry.additionalInfo, nextExpanded) << named.name << " field at " << a;
      nextExpanded = entry.additionalInfo + (entry.tag == VpInfo::BitArray ? 32 : 4);
    }
    // No rule of the record reaches into the addresses its packed fields expand to.
    for (std::uint32_t a = layout.highestAddress() + 1; a < nextExpanded; ++a) {
      const VpInfo entry = layout.info(a);
      EXPECT_FALSE(isPacked(entry) || entry.tag == VpInfo::String)
          << named.name << " expanded address " << a << " has tag " << entry.tag;
    }
  }
}

TEST(LayoutWalk, SlotsInRecordOrderCoverTheRecordExactly) {
  for (const NamedLayout& named : allLayouts()) {
    const PrecomputedVp& layout = named.layout;
    const bool byteRecord = isByteLayout(named);
    std::uint32_t a = 1;
    while (a <= layout.highestAddress()) {
      const VpInfo entry = layout.info(a);
      ASSERT_NE(entry.tag, VpInfo::NoEntry) << named.name << " describes nothing at " << a;
      ASSERT_FALSE(entry.tag == VpInfo::String && entry.additionalInfo < a)
          << named.name << " string at " << a << " would not advance the walk";
      a += slotWidth(entry, a, byteRecord);
    }
    EXPECT_EQ(a, layout.highestAddress() + 1) << named.name << " runs past its record";
  }
  // The year-78 walks above cover exactly the record lengths the indexer accepts.
  EXPECT_EQ(Vp78_District::instance().highestAddress(), 275u);
  EXPECT_EQ(Vp78_School::instance().highestAddress(), 866u);
}

TEST(LayoutPrecomputedTable, AnswersExactlyAsTheRuleChain) {
  for (const NamedLayout& named : allLayouts()) {
    for (std::uint32_t a = 0; a <= 4096; ++a) {
      ASSERT_EQ(named.layout.info(a), named.layout.ruleChain(a)) << named.name << " at " << a;
    }
    for (std::uint32_t a : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
      EXPECT_EQ(named.layout.info(a), named.layout.ruleChain(a)) << named.name << " at " << a;
    }
  }
}

}  // namespace
