#include "typing/TypedRecord.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "typing/TypedValueMakers.h"

namespace {

// Every type keeps its value through a cell: numbers as their words, texts
// side by side in the one buffer, each read back with its own length.
TEST(TypedRecordTest, CellsGiveBackTheValuesAdded) {
  TypedRecord record = {{1, s("AB")}, {2, u(4294967295)},     {3, s("")},
                        {5, i(-7)},   {6, fBits(0x4048F5C3)}, {9, s("a\tb")}};
  EXPECT_EQ(show(record), "1:s:AB 2:u:4294967295 3:s: 5:i:-7 6:f:3.14 9:s:a\tb");
  EXPECT_EQ(record.textBytes(), 5u);
  EXPECT_EQ(record.text(record[5]), "a\tb");
  EXPECT_EQ(record[1].word, 4294967295u);
  EXPECT_EQ(record[4].word, 0x4048F5C3u);
}

// A record emptied and filled again keeps nothing of the longer one before.
TEST(TypedRecordTest, ClearLeavesNoValueOrText) {
  TypedRecord record = {{1, s("LONG TEXT")}, {2, u(1)}, {3, u(2)}};
  record.clear();
  EXPECT_TRUE(record.empty());
  EXPECT_EQ(record.textBytes(), 0u);
  record.add(4, s("x"));
  EXPECT_EQ(show(record), "4:s:x");
  EXPECT_EQ(record.size(), 1u);
}

}  // namespace
