#include "framing/FieldExtraction.h"

#include <gtest/gtest.h>

#include "core/FailureText.h"
#include "framing/Ebcdic.h"
#include "framing/StreamStubs.h"

namespace {

// A year-78 style record whose byte at 1-based position p is p.
Bytes NumberedRecord(std::size_t length) {
  Bytes record(length);
  for (std::size_t i = 0; i < length; ++i) record[i] = static_cast<unsigned char>(i + 1);
  return record;
}

TEST(GetQuartetBytes, RightAlignsShortFieldsAndMayEndAtTheRecordEnd) {
  Bytes record = {0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6};
  VucCi at(record);
  EXPECT_EQ(GetQuartet(at, 4), Q(0xC1C2C3C4));
  EXPECT_EQ(GetQuartet(at, 2), Q(0x0000C5C6));
  EXPECT_TRUE(at.atEnd());
}

TEST(GetQuartetBytes, FailsWhenTheFieldRunsPastTheRecord) {
  Bytes record = {1, 2, 3, 4, 5, 6};
  VucCi at(record);
  at.pos += 4;
  EXPECT_EQ(failureOf([&] { GetQuartet(at, 4); }), "end of quartet is past end of vec");
  EXPECT_EQ(at.address(), 5u);
}

TEST(GetQuartetPairs, TakesTheValueAndIgnoresTheAddress) {
  std::vector<AddressValuePair> record = {{7, Q(0x01020304)}, {9, Q(5)}};
  VavCi at(record);
  EXPECT_EQ(GetQuartet(at, 4), Q(0x01020304));
  EXPECT_EQ(at.pos, record.data() + 1);
  EXPECT_EQ(failureOf([&] { GetQuartet(at, 2); }), "can't get less than a full Quartet");
  EXPECT_EQ(at.pos, record.data() + 1);
}

#ifndef NDEBUG
TEST(GetQuartetPairsDeathTest, ReadingAtTheRecordEndIsCaughtInDebugBuilds) {
  std::vector<AddressValuePair> record = {{1, Q(1)}};
  VavCi at(record);
  at.pos = at.end;
  EXPECT_DEATH(GetQuartet(at, 4), "atEnd");
}
#endif

TEST(AppendSingleCharToString, MissingCharacterIsMinusOneAndUncounted) {
  Bytes record = {0xFF, 0xC1, 0x7F};
  VucCi at(record);
  CharacterHistogram histogram;
  std::string text;
  AppendSingleCharToString(at, text, histogram);
  AppendSingleCharToString(at, text, histogram);
  AppendSingleCharToString(at, text, histogram);
  EXPECT_EQ(text, "-1A(ebcdic 127)");
  EXPECT_EQ(histogram.counts[0xFF], 0u);
  EXPECT_EQ(histogram.counts[0xC1], 1u);
  EXPECT_TRUE(at.atEnd());
}

TEST(AppendSingleCharToString, IsUndefinedForPairRecords) {
  std::vector<AddressValuePair> record = {{1, Q(0xC1C1C1C1)}};
  VavCi at(record);
  CharacterHistogram histogram;
  std::string text;
  EXPECT_EQ(failureOf([&] { AppendSingleCharToString(at, text, histogram); }),
            "AppendSingleCharToString undefined for VavCi");
}

struct BytesCase {
  std::size_t from;      // 1-based position of the cursor
  std::uint32_t last;    // last position of the field
  std::size_t appended;  // bytes handed on, or failure if `failure` is set
  std::string failure;
};

class AppendBytesToStringTest : public testing::TestWithParam<BytesCase> {};

TEST_P(AppendBytesToStringTest, ReadsThroughTheLastPositionOfTheRecord) {
  const BytesCase& c = GetParam();
  Bytes record = NumberedRecord(60);
  VucCi at(record);
  at.pos += c.from - 1;
  CharacterHistogram histogram;
  std::string text;
  std::string failure = failureOf([&] { AppendBytesToString(at, text, c.last, histogram); });
  std::uint32_t counted = 0;
  for (std::uint32_t n : histogram.counts) counted += n;
  if (!c.failure.empty()) {
    EXPECT_EQ(failure, c.failure);
    EXPECT_EQ(counted, 0u);
    EXPECT_EQ(at.address(), c.from);
    return;
  }
  EXPECT_EQ(failure, "no failure");
  EXPECT_EQ(counted, c.appended);
  if (c.appended > 0) {
    EXPECT_EQ(histogram.counts[c.from], 1u);
    EXPECT_EQ(histogram.counts[c.last], 1u);
  }
  EXPECT_EQ(at.address(), std::size_t{c.last} + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, AppendBytesToStringTest,
    testing::Values(BytesCase{15, 47, 33, ""}, BytesCase{1, 60, 60, ""}, BytesCase{15, 15, 1, ""},
                    BytesCase{15, 14, 0, ""},  // empty: cursor stands just after the end
                    BytesCase{1, 61, 0, "end of string is past end of vec"},
                    BytesCase{15, 13, 0, "end of string is before its start"},
                    BytesCase{60, 0, 0, "end of string is before its start"}));

TEST(AppendPairsToString, StopsAtTheFirstAddressBeyondTheFieldAndLeavesIt) {
  std::vector<AddressValuePair> record = {
      {3, Q(0xC1C2C3C4)}, {4, Q(0x40F14000)}, {9, Q(0xC5C5C5C5)}};
  VavCi at(record);
  CharacterHistogram histogram;
  std::string text;
  AppendPairsToString(at, text, 8, histogram);
  EXPECT_EQ(text, "ABCD 1 ");
  EXPECT_EQ(at.pos, record.data() + 2);
  AppendPairsToString(at, text, 8, histogram);
  EXPECT_EQ(at.pos, record.data() + 2);
  AppendPairsToString(at, text, 0xFFFFFFFF, histogram);
  EXPECT_EQ(text, "ABCD 1 EEEE");
  EXPECT_TRUE(at.atEnd());
  EXPECT_EQ(histogram.counts[0x00], 1u);
}

TEST(AppendPairsToString, ComparesAddressesUnsigned) {
  std::vector<AddressValuePair> record = {{0x80000000, Q(0xC1C1C1C1)}};
  VavCi at(record);
  CharacterHistogram histogram;
  std::string text;
  AppendPairsToString(at, text, 0x7FFFFFFF, histogram);
  EXPECT_EQ(text, "");
  EXPECT_EQ(at.pos, record.data());
}

TEST(MatchedQuoteCounter, AddsTheQuotesOfOneFieldRoundedDownToEven) {
  CharacterHistogram histogram;
  std::string text;
  for (int quotes : {3, 1, 2, 0}) {
    MatchedQuoteCounter scope(histogram);
    for (int i = 0; i < quotes; ++i) AppendCharToString(text, 0x7F, histogram);
    AppendCharToString(text, 0xC1, histogram);
  }
  EXPECT_EQ(histogram.matchedQuotes, 4u);  // 2 + 0 + 2 + 0
  EXPECT_EQ(histogram.counts[0x7F], 6u);
}

TEST(CheckConstant, PassesTheExpectedValueOrZeroOnly) {
  EXPECT_EQ(failureOf([] { CheckConstant(7, Q(0), 12); }), "no failure");
  EXPECT_EQ(failureOf([] { CheckConstant(1, Q(1), 12); }), "no failure");
  EXPECT_EQ(failureOf([] { CheckConstant(2, Q(1), 12); }), "expected 2 or 0 at address 12, got 1");
  EXPECT_EQ(failureOf([] { CheckConstant(1, Q(0x01000000), 4294967295u); }),
            "expected 1 or 0 at address 4294967295, got 16777216");
  EXPECT_EQ(failureOf([] { CheckConstant(0, Q(0xFFFFFFFF), 3); }),
            "expected 0 or 0 at address 3, got 4294967295");
}

}  // namespace
