#include "typing/Typifier.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "core/FailureText.h"
#include "typing/TypedValueMakers.h"

namespace {

using TypifierPrivate::TypedRecordBuilder;
using TypifierPrivate::Typifier;
using TypifierPrivate::typifySlot;

Quartet quartet(std::uint32_t n) {
  return Quartet{{static_cast<unsigned char>(n >> 24), static_cast<unsigned char>(n >> 16),
                  static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n)}};
}

VpInfo entry(std::int32_t tag, std::uint32_t parameter = 0) {
  return VpInfo{parameter, tag};
}

// Runs one slot at the start of `record` (the slot address is the first
// pair's address) and reports what it produced and how many pairs it consumed.
struct SlotResult {
  std::string values;
  std::size_t consumed = 0;
  std::string failure;
  CharacterHistogram histogram;
};

SlotResult pairSlot(const VpInfo& info, const std::vector<AddressValuePair>& record) {
  SlotResult result;
  TypedRecord out;
  TypedRecordBuilder builder;
  builder.start(out, record.size());
  VavCi at(record);
  result.failure =
      failureOf([&] { typifySlot(info, record.front().address, at, builder, result.histogram); });
  builder.finish();
  result.values = show(out);
  result.consumed = static_cast<std::size_t>(at.pos - record.data());
  return result;
}

// The same for a byte record, the slot starting at 1-based position `address`.
SlotResult byteSlot(const VpInfo& info, const std::vector<unsigned char>& record,
                    std::uint32_t address = 1) {
  SlotResult result;
  TypedRecord out;
  TypedRecordBuilder builder;
  builder.start(out, record.size());
  VucCi at(record);
  at.pos += address - 1;
  result.failure = failureOf([&] { typifySlot(info, address, at, builder, result.histogram); });
  builder.finish();
  result.values = show(out);
  result.consumed = static_cast<std::size_t>(at.pos - record.data()) - (address - 1);
  return result;
}

std::vector<AddressValuePair> pairsFrom(std::uint32_t firstAddress,
                                        const std::vector<std::uint32_t>& values) {
  std::vector<AddressValuePair> record;
  for (std::uint32_t v : values) record.push_back({firstAddress++, quartet(v)});
  return record;
}

struct SlotCase {
  VpInfo info;
  std::vector<std::uint32_t> values;  // pair values, or big-endian bytes of the words
  std::string expected;
  std::size_t pairsConsumed;
  std::size_t bytesConsumed;
};

// Every tag the two record kinds share gives the same values; they differ only
// in what one element is.
TEST(TypifySlotTest, SharedTagsAgreeForPairsAndBytes) {
  const std::vector<SlotCase> cases = {
      {entry(VpInfo::Float), {0x4048F5C3}, "5:f:3.14", 1, 4},
      {entry(VpInfo::Unsigned), {0xFFFFFFFE}, "5:u:4294967294", 1, 4},
      {entry(VpInfo::Signed), {0xFFFFFFFE}, "5:i:-2", 1, 4},
      {entry(VpInfo::Constant, 1), {1}, "", 1, 4},
      {entry(VpInfo::Constant, 1), {0}, "", 1, 4},
      {entry(VpInfo::Skip), {0x12345678}, "", 1, 1},
      {entry(VpInfo::BitArray, 1000),
       {0x80000001},
       "1000:u:1 1001:u:0 1002:u:0 1003:u:0 1004:u:0 1005:u:0 1006:u:0 1007:u:0 1008:u:0 "
       "1009:u:0 1010:u:0 1011:u:0 1012:u:0 1013:u:0 1014:u:0 1015:u:0 1016:u:0 1017:u:0 "
       "1018:u:0 1019:u:0 1020:u:0 1021:u:0 1022:u:0 1023:u:0 1024:u:0 1025:u:0 1026:u:0 "
       "1027:u:0 1028:u:0 1029:u:0 1030:u:0 1031:u:1",
       1,
       4},
      {entry(VpInfo::BitArray, 3), {0x40000000}, std::string(), 1, 4},  // filled below
      {entry(VpInfo::ByteArray, 50), {0x010203FF}, "50:u:1 51:u:2 52:u:3 53:u:255", 1, 4},
  };
  for (SlotCase c : cases) {
    if (c.expected.empty() && c.info.tag == VpInfo::BitArray) {
      for (std::uint32_t k = 0; k < 32; ++k) {
        if (k > 0) c.expected += ' ';
        c.expected += std::to_string(3 + k) + ":u:" + (k == 1 ? "1" : "0");
      }
    }
    SCOPED_TRACE("tag " + std::to_string(c.info.tag));
    SlotResult pairs = pairSlot(c.info, pairsFrom(5, c.values));
    EXPECT_EQ(pairs.failure, "no failure");
    EXPECT_EQ(pairs.values, c.expected);
    EXPECT_EQ(pairs.consumed, c.pairsConsumed);

    std::vector<unsigned char> bytes(4, 0xAA);  // four bytes before the slot at 5
    for (std::uint32_t v : c.values) {
      for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<unsigned char>(v >> shift));
    }
    bytes.push_back(0xAA);
    SlotResult byteResult = byteSlot(c.info, bytes, 5);
    EXPECT_EQ(byteResult.failure, "no failure");
    EXPECT_EQ(byteResult.values, c.expected);
    EXPECT_EQ(byteResult.consumed, c.bytesConsumed);
  }
}

TEST(TypifySlotTest, ConstantMismatchNamesTheSlotAddress) {
  EXPECT_EQ(pairSlot(entry(VpInfo::Constant, 1), pairsFrom(4, {7})).failure,
            "expected 1 or 0 at address 4, got 7");
  EXPECT_EQ(byteSlot(entry(VpInfo::Constant, 0), {0, 0, 0, 0, 1, 0, 0, 0}, 5).failure,
            "expected 0 or 0 at address 5, got 16777216");
}

TEST(TypifySlotTest, UnhandledTagsFailWithTheAddress) {
  for (std::int32_t tag : {10, 11, -1}) {
    EXPECT_EQ(pairSlot(entry(tag), pairsFrom(301, {1})).failure,
              "unrecognized VpInfo tag at address 301");
    EXPECT_EQ(byteSlot(entry(tag), {1, 2, 3}, 2).failure, "unrecognized VpInfo tag at address 2");
  }
}

TEST(TypifySlotTest, ByteOnlyTagsFailInPairRecords) {
  EXPECT_EQ(pairSlot(entry(VpInfo::Signed16), pairsFrom(9, {1})).failure,
            "can't get less than a full Quartet");
  EXPECT_EQ(pairSlot(entry(VpInfo::SingleChar), pairsFrom(9, {1})).failure,
            "AppendSingleCharToString undefined for VavCi");
}

TEST(TypifySlotTest, Signed16ExtendsTheSignOfTwoBytes) {
  struct Case {
    std::vector<unsigned char> bytes;
    const char* expected;
  };
  for (const Case& c : std::vector<Case>{{{0xFF, 0xFE}, "1:i:-2"},
                                         {{0x7F, 0xFF}, "1:i:32767"},
                                         {{0x80, 0x00}, "1:i:-32768"},
                                         {{0x00, 0x80}, "1:i:128"}}) {
    SlotResult r = byteSlot(entry(VpInfo::Signed16), c.bytes);
    EXPECT_EQ(r.values, c.expected);
    EXPECT_EQ(r.consumed, 2u);
  }
  EXPECT_EQ(byteSlot(entry(VpInfo::Signed16), {0x01}).failure, "end of quartet is past end of vec");
}

TEST(TypifySlotTest, SingleCharFFIsMinusOneAndUncounted) {
  SlotResult missing = byteSlot(entry(VpInfo::SingleChar), {0xFF, 0xC1});
  EXPECT_EQ(missing.values, "1:s:-1");
  EXPECT_EQ(missing.consumed, 1u);
  EXPECT_EQ(missing.histogram.counts[0xFF], 0u);

  SlotResult letter = byteSlot(entry(VpInfo::SingleChar), {0xC1});
  EXPECT_EQ(letter.values, "1:s:A");
  EXPECT_EQ(letter.histogram.counts[0xC1], 1u);

  SlotResult quote = byteSlot(entry(VpInfo::SingleChar), {0x7F});
  EXPECT_EQ(quote.values, "1:s:(ebcdic 127)");
  EXPECT_EQ(quote.histogram.matchedQuotes, 0u);
}

TEST(TypifySlotTest, PairStringTakesPairsUpToItsLastAddress) {
  std::vector<AddressValuePair> record = {{7, quartet(0xC1C2C3C4)},
                                          {8, quartet(0x40F1F2F3)},
                                          {9, quartet(0x7F7F7F00)},
                                          {12, quartet(0xC5C5C5C5)}};
  SlotResult r = pairSlot(entry(VpInfo::String, 9), record);
  EXPECT_EQ(r.values, "7:s:ABCD 123(ebcdic 127)(ebcdic 127)(ebcdic 127)");
  EXPECT_EQ(r.consumed, 3u);
  EXPECT_EQ(r.histogram.counts[0x7F], 3u);
  EXPECT_EQ(r.histogram.matchedQuotes, 2u);
  EXPECT_EQ(r.histogram.counts[0x00], 1u);
}

TEST(TypifySlotTest, ByteStringTakesPositionsThroughItsLastAddress) {
  std::vector<unsigned char> record(60, 0x40);
  for (std::size_t k = 14; k < 47; ++k) record[k] = 0xF0 + (k % 10);
  SlotResult r = byteSlot(entry(VpInfo::String, 47), record, 15);
  std::string text;
  for (std::size_t k = 14; k < 47; ++k) text += static_cast<char>('0' + k % 10);
  EXPECT_EQ(r.values, "15:s:" + text);
  EXPECT_EQ(r.consumed, 33u);

  EXPECT_EQ(byteSlot(entry(VpInfo::String, 61), record, 15).failure,
            "end of string is past end of vec");
}

TEST(TypifySlotTest, StringEndingBeforeItsStartYieldsEmptyTextAndAdvances) {
  SlotResult pairs = pairSlot(entry(VpInfo::String, 6), pairsFrom(7, {0xC1C1C1C1, 0xC2C2C2C2}));
  EXPECT_EQ(pairs.failure, "no failure");
  EXPECT_EQ(pairs.values, "7:s:");
  EXPECT_EQ(pairs.consumed, 1u);
  EXPECT_EQ(pairs.histogram.counts[0xC1], 0u);

  for (std::uint32_t last : {0u, 3u, 4u}) {
    SlotResult bytes = byteSlot(entry(VpInfo::String, last), {0xC1, 0xC1, 0xC1, 0xC1, 0xC1}, 5);
    EXPECT_EQ(bytes.failure, "no failure");
    EXPECT_EQ(bytes.values, "5:s:");
    EXPECT_EQ(bytes.consumed, 1u);
  }
}

// The record that `steps` make with a builder given room for `slots`.
TypedRecord built(std::size_t slots, const std::function<void(TypedRecordBuilder&)>& steps) {
  TypedRecord out;
  TypedRecordBuilder builder;
  builder.start(out, slots);
  steps(builder);
  builder.finish();
  return out;
}

// Storage given by start() too small for the slots grows as they come.
TEST(TypedRecordBuilderTest, MergesExpandedAddressesIntoPlace) {
  TypedRecord out;
  TypedRecordBuilder builder;
  builder.start(out, 0);
  builder.addText(1, [](std::string& text) { text += "first"; });
  builder.addExpandedBytes(2, 0x07080900);
  builder.addNumber(3, TypedValue::U, 3);
  builder.addNumber(5, TypedValue::U, 5);
  builder.addNumber(9, TypedValue::I, 0xFFFFFFFF);
  builder.addExpandedBytes(9, 0x01020304);
  builder.finish();
  EXPECT_EQ(show(out),
            "1:s:first 2:u:7 3:u:3 3:u:8 4:u:9 5:u:5 5:u:0 9:i:-1 9:u:1 10:u:2 11:u:3 12:u:4");

  // A shorter record in the same storage leaves no trace of the longer one.
  builder.start(out, 1);
  builder.addExpandedBytes(0, 0x01000000);
  builder.addText(1, [](std::string& text) { text += "x"; });
  builder.finish();
  EXPECT_EQ(show(out), "0:u:1 1:s:x 1:u:0 2:u:0 3:u:0");
}

TEST(TypedRecordBuilderTest, AppendsExpandedValuesAboveTheSlots) {
  const TypedRecord out = built(3, [](TypedRecordBuilder& builder) {
    builder.addNumber(1, TypedValue::U, 1);
    builder.addExpandedBits(10, 0x80000001);
    builder.addText(2, [](std::string& text) { text += "two"; });
    builder.addExpandedBytes(42, 0xFF000102);
  });
  std::string expected = "1:u:1 2:s:two";
  for (std::uint32_t k = 0; k < 32; ++k) {
    expected += " " + std::to_string(10 + k) + ":u:" + (k == 0 || k == 31 ? "1" : "0");
  }
  EXPECT_EQ(show(out), expected + " 42:u:255 43:u:0 44:u:1 45:u:2");
  EXPECT_EQ(out.packedCount(), 36u);
}

// Only packed values that ascend strictly above every slot value count as the
// packed run that the statistics and the writer take without checks.
TEST(TypedRecordBuilderTest, PackedRunOnlyInTheLayoutsShape) {
  struct Case {
    std::uint32_t slot, firstRun, secondRun;
    std::size_t packed;
  };
  for (const Case& c : std::vector<Case>{{1, 10, 14, 8},
                                         {1, 10, 13, 0},    // runs share address 13
                                         {1, 10, 12, 0},    // runs overlap
                                         {10, 10, 14, 0},   // a slot at the run's first
                                         {12, 10, 14, 0}})  // a slot among the runs
  {
    const TypedRecord out = built(1, [&](TypedRecordBuilder& builder) {
      builder.addNumber(c.slot, TypedValue::U, 1);
      builder.addExpandedBytes(c.firstRun, 0x01020304);
      builder.addExpandedBytes(c.secondRun, 0x05060708);
    });
    EXPECT_EQ(out.packedCount(), c.packed) << show(out);
    EXPECT_EQ(out.size(), 9u);
  }
}

// The statistics take a packed run in a loop of their own; what they record,
// and where a clash of types stops them, is the same as for the same values
// listed one by one.
TEST(TypedRecordBuilderTest, StatisticsOfAPackedRunMatchThoseOfItsValues) {
  // A bit field across a word of the statistics' bookkeeping (60 to 91), and
  // words that set every bit both ways before more records come.
  const auto packed = [](std::uint32_t word) {
    return built(1, [&](TypedRecordBuilder& builder) {
      builder.addNumber(1, TypedValue::I, word);
      builder.addExpandedBytes(3, word);
      builder.addExpandedBits(60, word);
      builder.addExpandedBits(100, ~word);
    });
  };
  const auto listed = [](const TypedRecord& record) {
    TypedRecord out;
    for (const TypedCell& cell : record) out.add(cell.address, record.value(cell));
    return out;
  };
  const auto rowsOf = [](const FormatStatistics& statistics) {
    std::string rows;
    statistics.forEachAddress([&](std::uint32_t address, const Extent<TypedValue>& e) {
      rows += std::to_string(address) + ":" + show({{0, e.get().first}, {0, e.get().second}}) + " ";
    });
    return rows;
  };
  const std::vector<TypedRecord> records = {packed(0x01FF0203), packed(0x05000709),
                                            packed(0xFFFFFFFF), packed(0), packed(0x80000001)};
  ASSERT_EQ(records[0].packedCount(), 68u);
  FormatStatistics fromRuns;
  FormatStatistics fromCells;
  for (std::size_t k = 0; k < records.size(); ++k) {
    fromRuns.add(records[k]);
    fromCells.add(listed(records[k]));
    ASSERT_EQ(rowsOf(fromRuns), rowsOf(fromCells)) << "after record " << k;
  }
  const std::string rows = rowsOf(fromRuns);
  EXPECT_EQ(rows.substr(0, rows.find(" 60:")),
            "1:0:i:-2147483647 0:i:83887881 3:0:u:0 0:u:255 4:0:u:0 0:u:255 5:0:u:0 0:u:255 "
            "6:0:u:0 0:u:255");
  EXPECT_NE(rows.find(" 60:0:u:0 0:u:1 61:0:u:0 0:u:1 "), std::string::npos);

  const TypedRecord clash = {{1, i(0)}, {5, i(1)}};
  for (bool usePacked : {true, false}) {
    FormatStatistics clashing;
    clashing.add(clash);
    EXPECT_EQ(failureOf([&] { clashing.add(usePacked ? records[0] : listed(records[0])); }),
              "attempt to relate values of different type");
    EXPECT_EQ(clashing.addressRange.get().second, 5u);
    EXPECT_EQ(clashing.addressCount(), 4u);
  }
}

TEST(TypedRecordBuilderTest, SortsWhenARunIsOutOfOrder) {
  const auto build = [](std::uint32_t wrappingFirst) {
    return show(built(3, [&](TypedRecordBuilder& builder) {
      builder.addNumber(8, TypedValue::U, 8);
      builder.addNumber(2, TypedValue::U, 2);
      builder.addExpandedBytes(20, 0x14151617);
      builder.addExpandedBytes(wrappingFirst, 0x0A0B0C0D);
      builder.addText(4, [](std::string& text) { text += "four"; });
    }));
  };
  EXPECT_EQ(build(10),
            "2:u:2 4:s:four 8:u:8 10:u:10 11:u:11 12:u:12 13:u:13 20:u:20 21:u:21 22:u:22 "
            "23:u:23");
  // A run that wraps past the highest address is out of order too.
  EXPECT_EQ(build(4294967294u),
            "0:u:12 1:u:13 2:u:2 4:s:four 8:u:8 20:u:20 21:u:21 22:u:22 23:u:23 4294967294:u:10 "
            "4294967295:u:11");
}

// A layout given as a table; unlisted addresses are Unsigned.
class TableVp : public Vp {
 public:
  TableVp(unsigned format, std::map<std::uint32_t, VpInfo> entries)
      : format_(format), entries_(std::move(entries)) {}
  VpInfo info(std::uint32_t address) const override {
    auto found = entries_.find(address);
    return found == entries_.end() ? entry(VpInfo::Unsigned) : found->second;
  }
  unsigned recordFormat() const override { return format_; }
  void printFieldExpansions(std::ostream& out) const override {
    out << "expansions of format " << format_ << std::endl;
  }

 private:
  unsigned format_;
  std::map<std::uint32_t, VpInfo> entries_;
};

// Format 1 for records whose first value is 1, else format 0; like the real
// indexers it can fail.
class TestProvider : public VpForYear<AddressValuePair> {
 public:
  const Vp& vpFor(const std::vector<AddressValuePair>& record) const override {
    if (!record.empty() && record.front().value == quartet(99)) throwMessage("unknown format");
    return !record.empty() && record.front().value == quartet(1) ? school : district;
  }
  void printFieldExpansions(std::ostream& out, unsigned index) const override {
    (index == 1 ? static_cast<const Vp&>(school) : district).printFieldExpansions(out);
  }
  TableVp district{0,
                   {{2, entry(VpInfo::BitArray, 10)},
                    {3, entry(VpInfo::String, 4)},
                    {5, entry(VpInfo::Constant, 1)},
                    {12, entry(VpInfo::Signed)}}};
  TableVp school{1, {{2, entry(VpInfo::Float)}, {3, entry(VpInfo::Skip)}}};
};

// Hands out its records, then the end; or fails when asked for record
// `failAt` (1-based).
class PairSource : public Stream<std::vector<AddressValuePair>> {
 public:
  explicit PairSource(std::vector<std::vector<AddressValuePair>> records, std::size_t failAt = 0)
      : records_(std::move(records)), failAt_(failAt) {
    name = "PairSource";
  }
  bool get(std::vector<AddressValuePair>& out) override {
    if (++asked_ == failAt_) throwMessage("stream ended unexpectedly");
    if (next_ == records_.size()) return false;
    out = records_[next_++];
    return true;
  }

 private:
  std::vector<std::vector<AddressValuePair>> records_;
  std::size_t failAt_;
  std::size_t next_ = 0;
  std::size_t asked_ = 0;
};

// Captures standard output for its lifetime.
class CapturedStdout {
 public:
  CapturedStdout() : old_(std::cout.rdbuf(text_.rdbuf())) {}
  ~CapturedStdout() { std::cout.rdbuf(old_); }
  std::string text() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::streambuf* old_;
};

const TestProvider provider;

TEST(TypifierTest, TypesSortsAndCountsEachRecord) {
  PairSource source({{{1, quartet(0)},
                      {2, quartet(0xC0000000)},
                      {3, quartet(0xC1C2C3C4)},
                      {4, quartet(0xC5000000)},
                      {5, quartet(1)},
                      {6, quartet(7)}},
                     {{1, quartet(1)}, {2, quartet(0x41100000)}, {3, quartet(5)}}});
  std::ostringstream meta;
  CapturedStdout captured;
  {
    Typifier<AddressValuePair> typifier(meta, 80, &source, provider);
    EXPECT_EQ(typifier.name, "Typifier");
    TypedRecord out;
    ASSERT_TRUE(typifier.get(out));
    EXPECT_EQ(show(out),
              "1:u:0 3:s:ABCDE 6:u:7 10:u:1 11:u:1 12:u:0 13:u:0 14:u:0 15:u:0 16:u:0 17:u:0 "
              "18:u:0 19:u:0 20:u:0 21:u:0 22:u:0 23:u:0 24:u:0 25:u:0 26:u:0 27:u:0 28:u:0 "
              "29:u:0 30:u:0 31:u:0 32:u:0 33:u:0 34:u:0 35:u:0 36:u:0 37:u:0 38:u:0 39:u:0 "
              "40:u:0 41:u:0");
    ASSERT_TRUE(typifier.get(out));
    EXPECT_EQ(show(out), "1:u:1 2:f:9");
    EXPECT_FALSE(typifier.get(out));
    EXPECT_EQ(show(out), "1:u:1 2:f:9");
    EXPECT_EQ(typifier.upstream.moreGets, 2u);
    EXPECT_EQ(typifier.upstream.noMoreGets, 1u);
    EXPECT_EQ(typifier.formatStatistics.size(), 2u);
    EXPECT_EQ(typifier.formatStatistics.at(0).addressRange.get().second, 41u);
    EXPECT_EQ(typifier.histogram.counts[0xC1], 1u);
  }
  EXPECT_EQ(captured.text(), "PairSource\tmoreGets\tnoMoreGets\t2\t1\n");
}

TEST(TypifierTest, EmptyRecordCountsForItsFormat) {
  PairSource source(std::vector<std::vector<AddressValuePair>>(1));
  std::ostringstream meta;
  CapturedStdout captured;
  Typifier<AddressValuePair> typifier(meta, 80, &source, provider);
  TypedRecord out = {{1, u(5)}};
  ASSERT_TRUE(typifier.get(out));
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(typifier.formatStatistics.at(0).recordCount, 1u);
  EXPECT_TRUE(typifier.formatStatistics.at(0).addressRange.isUndefined());
}

struct PrefixCase {
  std::vector<std::vector<AddressValuePair>> records;
  std::size_t failAt;
  std::size_t goodRecords;
  const char* message;
};

TEST(TypifierTest, FailuresCarryTheRecordNumber) {
  const std::vector<PrefixCase> cases = {
      // Upstream fails while the 3rd record is fetched: 2 delivered so far.
      {{{{1, quartet(0)}}, {{1, quartet(0)}}}, 3, 2, "At record 2, stream ended unexpectedly"},
      {{{{1, quartet(0)}}}, 1, 0, "At record 0, stream ended unexpectedly"},
      // Typing fails in the 2nd record.
      {{{{1, quartet(0)}}, {{1, quartet(0)}, {5, quartet(7)}}},
       0,
       1,
       "At record 2, expected 1 or 0 at address 5, got 7"},
      {{{{1, quartet(99)}}}, 0, 0, "At record 1, unknown format"},
      // An expanded address meets a signed slot address of an earlier record.
      {{{{1, quartet(0)}, {12, quartet(5)}}, {{1, quartet(0)}, {2, quartet(0)}}},
       0,
       1,
       "At record 2, attempt to relate values of different type"},
  };
  for (const PrefixCase& c : cases) {
    PairSource source(c.records, c.failAt);
    std::ostringstream meta;
    CapturedStdout captured;
    Typifier<AddressValuePair> typifier(meta, 80, &source, provider);
    TypedRecord out;
    std::size_t delivered = 0;
    std::string failure = failureOf([&] {
      while (typifier.get(out)) ++delivered;
    });
    EXPECT_EQ(failure, c.message);
    EXPECT_EQ(delivered, c.goodRecords);
  }
}

TEST(TypifierTest, FinishWritesSectionsInFormatOrderThenTheHistogram) {
  PairSource source({{{1, quartet(1)}}, {}, {{1, quartet(0)}, {3, quartet(0xC17F0000)}}});
  std::ostringstream meta;
  CapturedStdout captured;
  {
    Typifier<AddressValuePair> typifier(meta, 80, &source, provider);
    TypedRecord out;
    while (typifier.get(out)) {
    }
    typifier.finish();
    EXPECT_EQ(captured.text().rfind("character histogram\n", 0), 0u);
    EXPECT_NE(captured.text().find("\n193\t65\tA\t1\n"), std::string::npos);
    EXPECT_EQ(captured.text().find("PairSource"), std::string::npos);
  }
  EXPECT_NE(captured.text().find("\nPairSource\tmoreGets\tnoMoreGets\t3\t1\n"), std::string::npos);
  std::string text = meta.str();
  std::size_t format0 = text.find("Summary for record format 0\nThere are 2 records");
  std::size_t expansions0 = text.find("expansions of format 0\n");
  std::size_t format1 = text.find("Summary for record format 1\nThere are 1 records");
  std::size_t expansions1 = text.find("expansions of format 1\n");
  EXPECT_EQ(format0, 0u);
  EXPECT_LT(format0, expansions0);
  EXPECT_LT(expansions0, format1);
  EXPECT_LT(format1, expansions1);
  EXPECT_NE(text.find("3\ts\tc\t\t\tA(ebcdic 127)\n"), std::string::npos);
  EXPECT_EQ(text.substr(expansions1), "expansions of format 1\n");
}

}  // namespace
