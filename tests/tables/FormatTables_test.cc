#include "tables/FormatTables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "core/FailureText.h"
#include "core/FirstFailure.h"
#include "e2e/RunProgram.h"
#include "tables/TestLayout.h"
#include "typing/TypedValueMakers.h"

namespace {

namespace fs = std::filesystem;

const VpInfo kPlain{0, VpInfo::Unsigned};
// District: addresses 1 to 3, the bytes of address 3 at 4 to 7. School: addresses 1 and 2.
const TestLayout district(0, {kPlain, kPlain, kPlain, {4, VpInfo::ByteArray}});
const TestLayout school(1, {kPlain, kPlain, kPlain});

TypedRecord record(const Vp& layout, std::initializer_list<AddressTypedValuePair> pairs) {
  TypedRecord typed(pairs);
  typed.layout = &layout;
  return typed;
}

std::string finished(FormatTables& tables) {
  FirstFailure failure;
  tables.finish(true, failure);
  return failureOf([&] { failure.rethrowIfAny(); });
}

TEST(FormatTables, EachFormatsRowsInTheirOwnTableWithItsSchema) {
  ScratchDir dir;
  const std::string out = (dir / "out").string();
  FormatTables tables(out);
  const TypedRecord first = record(district, {{1, u(5)}, {3, s("NA")}});
  const TypedRecord second = record(school, {{2, f(1.5f)}});
  const TypedRecord third = record(district, {});
  const TypedRecord fourth = record(district, {{1, u(6)}, {3, s(" 007")}, {4, u(1)}, {7, u(2)}});
  tables.add(first, 1, "5\t\tNA");
  tables.add(second, 2, "\t1.5");
  tables.add(third, 4, "");
  tables.add(fourth, 5, "6\t\t 007\t1\t\t\t2");
  FormatStatistics districtStatistics;
  for (const TypedRecord* r : {&first, &third, &fourth}) districtStatistics.add(*r);
  FormatStatistics schoolStatistics;
  schoolStatistics.add(second);
  tables.writeSchemas({{0, districtStatistics}, {1, schoolStatistics}});
  EXPECT_EQ(finished(tables), "no failure");

  EXPECT_EQ(readFile(out + ".District.tsv"),
            "record\ta1\ta2\ta3\ta4\ta5\ta6\ta7\n"
            "1\t5\t\tNA\t\t\t\t\n"
            "4\t\t\t\t\t\t\t\n"
            "5\t6\t\t 007\t1\t\t\t2\n");
  EXPECT_EQ(readFile(out + ".School.tsv"),
            "record\ta1\ta2\n"
            "2\t\t1.5\n");
  EXPECT_EQ(readFile(out + ".District.schema.tsv"),
            "column\taddress\ttype\tcolumn_type\tconstant\tmin\tmax\n"
            "record\t\tu\tuint32\tno\t1\t5\n"
            "a1\t1\tu\tuint32\tno\t5\t6\n"
            "a2\t2\t\tstring\t\t\t\n"
            "a3\t3\ts\tstring\tno\t 007\tNA\n"
            "a4\t4\tu\tuint32\tyes\t1\t1\n"
            "a5\t5\t\tstring\t\t\t\n"
            "a6\t6\t\tstring\t\t\t\n"
            "a7\t7\tu\tuint32\tyes\t2\t2\n");
  EXPECT_EQ(readFile(out + ".School.schema.tsv"),
            "column\taddress\ttype\tcolumn_type\tconstant\tmin\tmax\n"
            "record\t\tu\tuint32\tyes\t2\t2\n"
            "a1\t1\t\tstring\t\t\t\n"
            "a2\t2\tf\tfloat32\tyes\t1.5\t1.5\n");
  EXPECT_FALSE(fs::exists(out + ".District_Summary.tsv"));
  EXPECT_FALSE(fs::exists(out + ".District_Summary.schema.tsv"));
}

TEST(FormatTables, RefuseAValueBeyondTheLastColumnARecordWithoutLayoutAndAForeignLine) {
  ScratchDir dir;
  const std::string out = (dir / "out").string();
  FormatTables tables(out);
  const TypedRecord beyond = record(school, {{1, u(1)}, {3, u(2)}});
  const std::string message =
      "line 2 has address 3, beyond a2, the last column of " + out + ".School.tsv";
  // check() knows the width before the format's table is opened.
  EXPECT_EQ(failureOf([&] { tables.check(beyond, 2); }), message);
  EXPECT_FALSE(fs::exists(out + ".School.tsv"));
  tables.add(record(school, {{1, u(1)}}), 1, "1");
  EXPECT_EQ(failureOf([&] { tables.check(beyond, 2); }), message);
  EXPECT_EQ(failureOf([&] { tables.add(beyond, 2, "1\t\t2"); }),
            message + "; --keep-going skips such records");
  EXPECT_EQ(failureOf([&] {
              tables.add(TypedRecord{{1, u(1)}}, 3, "1");
            }),
            "line 3 has no record format");
  // A line that does not match its record (which the line writer never gives).
  EXPECT_EQ(failureOf([&] {
              tables.add(record(school, {{2, f(1.5f)}}), 4, "1.5");
            }),
            "line 4 lacks field 2");
  EXPECT_EQ(finished(tables), "no failure");
  EXPECT_EQ(readFile(out + ".School.tsv"), "record\ta1\ta2\n1\t1\t\n");
}

TEST(FormatTables, ManyRowsArriveWholeAndInOrder) {
  ScratchDir dir;
  const std::string out = (dir / "out").string();
  FormatTables tables(out);
  std::string expected = "record\ta1\ta2\ta3\ta4\ta5\ta6\ta7\n";
  const std::string text(300, 'x');
  for (std::uint64_t line = 1; line <= 5000; ++line) {
    tables.add(record(district, {{1, u(1)}, {3, s(text)}}), line, "1\t\t" + text);
    expected += std::to_string(line) + "\t1\t\t" + text + "\t\t\t\t\n";
  }
  EXPECT_EQ(finished(tables), "no failure");
  EXPECT_TRUE(readFile(out + ".District.tsv") == expected);
}

// The record's output line as the line writer makes it: field k the value at address k.
std::string outputLine(const TypedRecord& record) {
  std::string line;
  std::uint32_t column = 1;
  for (const TypedCell& cell : record) {
    line.append(cell.address - column, '\t');
    column = cell.address;
    appendTypedValue(line, record.value(cell));
  }
  return line;
}

TEST(FormatTables, FloatCellsExactAndSchemaBoundsOfTheNumbers) {
  // Forty columns, so that the floats stand many tabs apart.
  const TestLayout wide(2, std::vector<VpInfo>(41, kPlain));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const TypedRecord records[] = {
      record(wide, {{1, u(4294967295)},
                    {2, s("A B 1.5")},
                    {3, f(nan)},
                    {12, i(-7)},
                    {20, f(0.1f)},
                    {30, f(nan)},
                    {40, f(-0.0f)}}),
      record(wide, {{3, f(2.5f)}, {20, f(nan)}, {30, fBits(0xFFC00000)}, {40, f(0.0f)}}),
      record(wide, {{3, f(-1)}, {20, f(0.1f)}, {39, u(1)}, {40, fBits(0x007FFFFF)}}),
  };
  const std::string rows[] = {
      "1\t4294967295\tA B 1.5\tnan" + std::string(9, '\t') + "-7" + std::string(8, '\t') + "0.1" +
          std::string(10, '\t') + "nan" + std::string(10, '\t') + "-0",
      "2\t\t\t2.5" + std::string(17, '\t') + "nan" + std::string(10, '\t') + "-nan" +
          std::string(10, '\t') + "0",
      "3\t\t\t-1" + std::string(17, '\t') + "0.1" + std::string(19, '\t') + "1\t1.1754942e-38",
  };
  ScratchDir dir;
  const std::string out = (dir / "out").string();
  FormatTables tables(out);
  FormatStatistics statistics;
  std::uint64_t line = 0;
  for (const TypedRecord& r : records) {
    tables.add(r, ++line, outputLine(r));
    statistics.add(r);
  }
  tables.writeSchemas({{2, statistics}});
  EXPECT_EQ(finished(tables), "no failure");
  const std::string table = readFile(out + ".District_Summary.tsv");
  for (const std::string& row : rows)
    EXPECT_NE(table.find("\n" + row + "\n"), std::string::npos) << row;
  const std::string schema = readFile(out + ".District_Summary.schema.tsv");
  // NaN first, then numbers; numbers, then a NaN between equal ones; NaNs alone; -0 and 0 equal
  // (the first stays), then a subnormal.
  for (const char* row :
       {"a3\t3\tf\tfloat32\tno\t-1\t2.5\n", "a20\t20\tf\tfloat32\tyes\t0.1\t0.1\n",
        "a30\t30\tf\tfloat32\tno\tnan\tnan\n", "a40\t40\tf\tfloat32\tno\t-0\t1.1754942e-38\n"})
    EXPECT_NE(schema.find(row), std::string::npos) << row;
}

TEST(FormatTables, PathsOfEveryFormat) {
  EXPECT_EQ(FormatTables::pathsFor("o"),
            (std::vector<std::string>{"o.District.tsv", "o.District.schema.tsv", "o.School.tsv",
                                      "o.School.schema.tsv", "o.District_Summary.tsv",
                                      "o.District_Summary.schema.tsv"}));
}

// A table or schema of another run is removed only when its first line is
// the header the decoder writes there; the tables of this run stay.
TEST(FormatTables, RemoveUnwrittenOnesOnlyWhenTheirFirstLineIsTheDecodersHeader) {
  struct Case {
    const char* suffix;
    std::string contents;
    bool removed;
  };
  const Case cases[] = {
      {".District.tsv", "record\ta1\ta2\n1\t5\t\n", true},
      {".District.tsv", "record\n", true},
      {".District_Summary.tsv", "record\ta1\ta2\ta3\n", true},
      {".District.tsv", "record\ta1\ta3\n", false},
      {".District.tsv", "record\ta1\ta2", false},
      {".District.tsv", "records\n", false},
      {".District.tsv", "record\ta01\n", false},
      {".District.tsv", "my own notes\n", false},
      {".District.schema.tsv", std::string(kSchemaHeader) + "record\t\tu\tuint32\tyes\t1\t1\n",
       true},
      {".District.schema.tsv", "column\taddress\n", false},
      {".School.tsv", "record\ta1\n", false},  // this run's own table
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.suffix) + " " + c.contents);
    ScratchDir dir;
    const std::string out = (dir / "out").string();
    FormatTables tables(out);
    tables.add(record(school, {{1, u(1)}}), 1, "1");
    ASSERT_EQ(finished(tables), "no failure");
    if (std::string(c.suffix) != ".School.tsv") writeFile(out + c.suffix, c.contents);
    FormatTables::removeUnwritten(out, &tables);
    EXPECT_EQ(fs::exists(out + c.suffix), !c.removed);
    // Without tables, the run's own are another run's.
    FormatTables::removeUnwritten(out, nullptr);
    EXPECT_FALSE(fs::exists(out + ".School.tsv"));
  }
}

}  // namespace
