#include "layouts/VpInfo.h"

#include <gtest/gtest.h>

#include "layouts/LayoutsTestUtil.h"

namespace {

TEST(VpInfoAccessors, ReadAndWriteTheParameterOfTheirOwnTag) {
  VpInfo entry{12, VpInfo::String};
  EXPECT_EQ(entry.additionalInfoRhs(VpInfo::String), 12u);
  entry.additionalInfoLhs(VpInfo::String) = 13;
  EXPECT_EQ(entry.additionalInfoRhs(VpInfo::String), 13u);

  const VpInfo zeroConstant{0, VpInfo::Constant};
  EXPECT_EQ(zeroConstant.additionalInfoRhs(VpInfo::Constant), 0u);
}

TEST(VpInfoAccessors, OtherTagNamesTheTagAskedFor) {
  struct Case {
    VpInfo entry;
    std::int32_t asked;
    bool write;
    const char* message;
  };
  const Case cases[] = {
      {{0, VpInfo::BitArray}, VpInfo::Constant, false, "additionalInfoRhs called on non-Constant"},
      {{12, VpInfo::String}, VpInfo::Constant, false, "additionalInfoRhs called on non-Constant"},
      {{1, VpInfo::Constant}, VpInfo::String, true, "additionalInfoLhs called on non-String"},
      {{0, VpInfo::Unsigned}, VpInfo::ByteArray, true, "additionalInfoLhs called on non-ByteArray"},
      {{0, VpInfo::ByteArray}, VpInfo::BitArray, false, "additionalInfoRhs called on non-BitArray"},
      // The tag asked for has no name, so naming it fails first.
      {{12, VpInfo::String}, VpInfo::Skip, true, "unrecognized VpInfo tag"},
      {{12, VpInfo::String}, VpInfo::NoEntry, false, "unrecognized VpInfo tag"},
  };
  for (const Case& c : cases) {
    VpInfo entry = c.entry;
    const std::string message = failureOf([&] {
      if (c.write) {
        entry.additionalInfoLhs(c.asked) = 99;
      } else {
        entry.additionalInfoRhs(c.asked);
      }
    });
    EXPECT_EQ(message, c.message) << "tag " << c.entry.tag << " asked for " << c.asked;
    EXPECT_EQ(entry, c.entry) << "a refused write must change nothing";
  }
}

TEST(VpInfoTagName, NamesOnlyTheTagsWithAParameter) {
  EXPECT_EQ(tagName(VpInfo::String), "String");
  EXPECT_EQ(tagName(VpInfo::Constant), "Constant");
  EXPECT_EQ(tagName(VpInfo::BitArray), "BitArray");
  EXPECT_EQ(tagName(VpInfo::ByteArray), "ByteArray");
  for (std::int32_t tag : {-1, 1, 3, 4, 5, 8, 9, 10, 11}) {
    EXPECT_EQ(failureOf([&] { tagName(tag); }), "unrecognized VpInfo tag") << "tag " << tag;
  }
}

}  // namespace
