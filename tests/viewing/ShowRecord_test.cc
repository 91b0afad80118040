#include "viewing/ShowRecord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

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
      {"two quartets with an address between them",
       {{8, 1}, {9, 2}, {10, 3}, {11, 4}, {16, 5}, {17, 6}, {18, 7}, {19, 8}},
       "8 16",
       "01020304 05060708"},
      {"a byte before its predecessor", {{10, 0x0A}, {9, 0x09}}, "10 9", "0a 09"},
      {"carried between read bytes",
       {{0, 0x40}, {-1, 0xF1}, {-1, 0xF2}, {4, 0x40}},
       "0 carried carried 4",
       "40 f1 f2 40"},
      {"read bytes on both sides of a carried one that would join them",
       {{0, 0x40}, {-1, 0xF1}, {1, 0x40}},
       "0 carried 1",
       "40 f1 40"},
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

}  // namespace
