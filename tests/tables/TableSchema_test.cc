#include "tables/TableSchema.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "core/FailureText.h"
#include "layouts/VpInfo.h"
#include "tables/TestLayout.h"
#include "typing/TypedValueMakers.h"

namespace {

TEST(TableWidth, HighestTableAddressOrLastExpandedAddress) {
  struct Case {
    const char* what;
    std::vector<VpInfo> entries;
    std::uint32_t width;
  };
  const VpInfo plain{0, VpInfo::Unsigned};
  const Case cases[] = {
      {"no table", {}, 0},
      {"addresses 0 to 3", {plain, plain, plain, plain}, 3},
      {"bits from 10", {plain, {10, VpInfo::BitArray}, plain}, 41},
      {"bytes from 10 after bits from 4",
       {plain, {10, VpInfo::ByteArray}, {4, VpInfo::BitArray}},
       35},
      {"bytes below the highest address",
       {plain, {2, VpInfo::ByteArray}, plain, plain, plain, plain, plain, plain},
       7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tableWidth(TestLayout(0, c.entries)), c.width) << c.what;
  }
}

TEST(TableSchema, OneRowPerColumnFromTheFormatsStatistics) {
  FormatStatistics statistics;
  statistics.add({{1, u(7)}, {2, i(-3)}, {4, s("NA")}, {5, f(1.5f)}, {9, u(1)}});
  statistics.add({{1, u(7)}, {2, i(5)}, {4, s(" 007")}, {5, fBits(0x7FC00000)}});
  const TableExtent table{.width = 6, .rows = 2, .firstLine = 3, .lastLine = 8, .floats = {}};
  EXPECT_EQ(schemaText(table, statistics),
            "column\taddress\ttype\tcolumn_type\tconstant\tmin\tmax\n"
            "record\t\tu\tuint32\tno\t3\t8\n"
            "a1\t1\tu\tuint32\tyes\t7\t7\n"
            "a2\t2\ti\tint32\tno\t-3\t5\n"
            "a3\t3\t\tstring\t\t\t\n"
            "a4\t4\ts\tstring\tno\t 007\tNA\n"
            "a5\t5\tf\tfloat32\tyes\t1.5\t1.5\n"
            "a6\t6\t\tstring\t\t\t\n");
}

TEST(TableSchema, ATableOfOneRowAndNoValues) {
  FormatStatistics statistics;
  statistics.add({});
  const TableExtent table{.width = 2, .rows = 1, .firstLine = 4, .lastLine = 4, .floats = {}};
  EXPECT_EQ(schemaText(table, statistics),
            "column\taddress\ttype\tcolumn_type\tconstant\tmin\tmax\n"
            "record\t\tu\tuint32\tyes\t4\t4\n"
            "a1\t1\t\tstring\t\t\t\n"
            "a2\t2\t\tstring\t\t\t\n");
}

TEST(TableSchema, NamesAndColumnTypesRefuseWhatTheyDoNotKnow) {
  EXPECT_EQ(recordFormatName(0), "District");
  EXPECT_EQ(recordFormatName(1), "School");
  EXPECT_EQ(recordFormatName(2), "District_Summary");
  EXPECT_EQ(failureOf([] { recordFormatName(3); }), "no name for record format 3");
  EXPECT_EQ(columnType(TypedValue::U), "uint32");
  EXPECT_EQ(columnType(TypedValue::I), "int32");
  EXPECT_EQ(columnType(TypedValue::F), "float32");
  EXPECT_EQ(columnType(TypedValue::S), "string");
  EXPECT_EQ(failureOf([] { columnType(4); }), "unrec type");
}

}  // namespace
