#include "inspect/ShowRecord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "layouts/VpInfo.h"

namespace {

// One byte of a value: read at `offset`, or carried when `offset` is negative.
struct Byte {
  std::int64_t offset;
  unsigned char value;
};

struct RunsCase {
  const char* what;
  std::vector<Byte> bytes;
  std::string offsets;
  std::string hex;
};

TEST(ValueBytes, JoinsBytesThatFollowEachOtherInTheFileAndNothingElse) {
  const RunsCase cases[] = {
      {"nothing", {}, "", ""},
      {"one quartet", {{40, 0x00}, {41, 0x01}, {42, 0xAB}, {43, 0xFF}}, "40", "0001abff"},
      {"a quartet broken by CR LF",
       {{798, 0xC1}, {799, 0xC2}, {802, 0xC3}, {803, 0xC4}},
       "798 802",
       "c1c2 c3c4"},
      {"two quartets an address apart",
       {{8, 1}, {9, 2}, {10, 3}, {11, 4}, {16, 5}, {17, 6}, {18, 7}, {19, 8}},
       "8 16",
       "01020304 05060708"},
      {"a byte before its predecessor", {{10, 0x0A}, {9, 0x09}}, "10 9", "0a 09"},
      {"carried between read bytes",
       {{0, 0x40}, {-1, 0xF1}, {-1, 0xF2}, {4, 0x40}},
       "0 carried carried 4",
       "40 f1 f2 40"},
  };
  for (const RunsCase& c : cases) {
    SCOPED_TRACE(c.what);
    ValueBytes bytes;
    for (const Byte& b : c.bytes) {
      if (b.offset < 0) {
        bytes.addCarried(&b.value, 1);
      } else {
        bytes.add(static_cast<std::uint64_t>(b.offset), b.value);
      }
    }
    EXPECT_EQ(bytes.offsets(), c.offsets);
    EXPECT_EQ(bytes.bytes(), c.hex);
  }
}

TEST(ValueBytes, KeepsACarriedQuartetWhole) {
  const unsigned char quartet[] = {0xC8, 0xC5, 0xD3, 0xD3};
  ValueBytes bytes;
  bytes.addCarried(quartet, 4);
  bytes.addCarried(quartet, 4);
  EXPECT_EQ(bytes.offsets(), "carried carried");
  EXPECT_EQ(bytes.bytes(), "c8c5d3d3 c8c5d3d3");
}

TEST(EntryText, NamesTheTagAndForPackedFieldsTheFieldAndItsPart) {
  const struct {
    std::int32_t tag;
    std::uint32_t field;
    std::uint32_t part;
    const char* text;
  } cases[] = {
      {VpInfo::String, 8, 0, "String 0"},
      {VpInfo::Float, 187, 0, "Float 1"},
      {VpInfo::Unsigned, 1, 0, "Unsigned 4"},
      {VpInfo::Signed, 2, 0, "Signed 5"},
      {VpInfo::BitArray, 66, 31, "BitArray 6 of 66, bit 31"},
      {VpInfo::ByteArray, 522, 3, "ByteArray 7 of 522, byte 3"},
      {VpInfo::Signed16, 95, 0, "Signed16 8"},
      {VpInfo::SingleChar, 78, 0, "SingleChar 9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(entryText(c.tag, c.field, c.part), c.text);
  }
}

TEST(RecordFormatName, NamesTheThreeFormats) {
  EXPECT_EQ(recordFormatName(0), "District");
  EXPECT_EQ(recordFormatName(1), "School");
  EXPECT_EQ(recordFormatName(2), "District_Summary");
  EXPECT_EQ(recordFormatName(3), "format 3");
}

}  // namespace
