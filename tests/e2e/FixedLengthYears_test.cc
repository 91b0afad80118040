// Years 80 to 88: fixed-length records whose n-th value stands at address n.
// Each test record is zero but for a few values; which addresses carry a
// value, and of which type, is worked out from the year's layout by hand.

#include <gtest/gtest.h>

#include "e2e/DecodedRun.h"
#include "e2e/DurationLine.h"

namespace {

std::vector<std::uint32_t> zeroRecord(std::uint32_t quartets,
                                      std::map<std::uint32_t, std::uint32_t> values) {
  std::vector<std::uint32_t> record(quartets, 0);
  for (auto [address, value] : values) record[address - 1] = value;
  return record;
}

// Strings at 4-11, 12-19, 20-23, 24-27, 28, 29-30 (years 82, 86, 88), all empty.
void districtStrings(Columns& columns) {
  for (std::uint32_t a : {4, 12, 20, 24, 28, 29}) columns[a] = s("");
}

std::string fixedChainLines(std::uint32_t records, std::uint32_t quartets, std::uint32_t recordLen,
                            std::uint32_t blockLen) {
  return statisticsLine("Integrator", records, 1) +
         statisticsLine("AddressValueifier", records, 1) +
         statisticsLine("Recordifier2", records, 1) +
         statisticsLine("CrLfRemover", records * quartets * 4, 1) +
         layoutLine(recordLen, blockLen, records, 0) +
         statisticsLine("Reader", records * (quartets * 4 + 2), 1);
}

std::string sizeWarning(std::uint32_t records, std::uint32_t recordLen, std::uint32_t fileSize) {
  return "pseudoFileSize != metaData.fileSize (" + std::to_string((records + 1) * (recordLen - 3)) +
         " != " + std::to_string(fileSize) + ")\n";
}

TEST(Year80Test, DistrictAndSchoolRecords) {
  // District (second value 0): strings 3-11, 12-19, 20-24, 25-29, 30, 31-32,
  // 643-660; 65 a fraction; 66, 489-500 bits and 521-642 bytes expand from
  // 661; 68-484 and 501-520 constants, 485-488 skipped.
  auto district = zeroRecord(660, {{1, 7},
                                   {3, 0xC1C2C3C4},
                                   {65, 0x3F800000},
                                   {66, 0x80000000},
                                   {67, 0xFFFFFFFF},
                                   {521, 0x01020304},
                                   {643, 0xF9F9F9F9}});
  Columns districtColumns = {{1, u("7")},  {2, u("0")},           {3, s("ABCD")},  {12, s("")},
                             {20, s("")},  {25, s("")},           {30, s("")},     {31, s("")},
                             {65, f("1")}, {67, u("4294967295")}, {643, s("9999")}};
  unsignedZeros(districtColumns, 33, 64);
  addBits(districtColumns, 661, 0x80000000);
  unsignedZeros(districtColumns, 693, 1076);
  addBytes(districtColumns, 1077, 0x01020304);
  unsignedZeros(districtColumns, 1081, 1564);

  // School (second value not 0): strings 3-9, 10-14, 15-16, 97, 108, ..., 284
  // and 643-660; 32 and 96, 107, ..., 283 expand to 32 bits each from 661,
  // then 489-500 and 521-642; skips 49-51, 59-60, 485-488; constants 58, 69,
  // 468, 470, 501-520 and the seven windows of eight from 320 in steps of 12.
  auto school = zeroRecord(660, {{1, 8}, {2, 1}, {32, 3}, {97, 0xC1000000}});
  Columns schoolColumns;
  for (std::uint32_t a = 1; a <= 484; ++a) schoolColumns[a] = u("0");
  for (std::uint32_t a : {3, 10, 15}) schoolColumns[a] = s("");
  for (std::uint32_t a :
       {4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 16, 32, 49, 50, 51, 58, 59, 60, 69, 468, 470}) {
    schoolColumns.erase(a);
  }
  for (std::uint32_t window : {320, 332, 356, 380, 392, 416, 428}) {
    for (std::uint32_t a = window; a < window + 8; ++a) schoolColumns.erase(a);
  }
  for (std::uint32_t j = 0; j < 18; ++j) {
    schoolColumns.erase(96 + 11 * j);
    schoolColumns[97 + 11 * j] = s("");
    addBits(schoolColumns, 693 + 32 * j, 0);
  }
  schoolColumns[1] = u("8");
  schoolColumns[2] = u("1");
  schoolColumns[97] = s("A");
  schoolColumns[643] = s("");
  addBits(schoolColumns, 661, 3);
  unsignedZeros(schoolColumns, 1269, 2140);

  DecodedRun run = decode("survey80.dat", fixedLengthFile({district, school}));
  EXPECT_EQ(run.result.exitStatus, 0);
  EXPECT_EQ(run.output, outputLine(districtColumns) + outputLine(schoolColumns));

  std::vector<std::array<std::uint32_t, 7>> schoolExpansions = {{32, 32, 1, 32, 661, 692, 32}};
  for (std::uint32_t j = 0; j < 18; ++j) {
    schoolExpansions.push_back({96 + 11 * j, 96 + 11 * j, 1, 32, 693 + 32 * j, 724 + 32 * j, 32});
  }
  schoolExpansions.push_back({489, 500, 12, 32, 1269, 1652, 384});
  schoolExpansions.push_back({521, 642, 122, 4, 1653, 2140, 488});
  EXPECT_EQ(run.meta, constantSection(0, 1, districtColumns) +
                          fieldExpansionTable({{66, 66, 1, 32, 661, 692, 32},
                                               {489, 500, 12, 32, 693, 1076, 384},
                                               {521, 642, 122, 4, 1077, 1564, 488}}) +
                          constantSection(1, 1, schoolColumns) +
                          fieldExpansionTable(schoolExpansions));

  // 192 string bytes in the district record, 200 in the school record.
  EXPECT_EQ(run.result.out, histogramReport({"0\t0\t\t383", "193\t65\tA\t2", "194\t66\tB\t1",
                                             "195\t67\tC\t1", "196\t68\tD\t1", "249\t57\t9\t4"},
                                            0) +
                                fixedChainLines(2, 660, 2644, 10580));
  EXPECT_EQ(maskDuration(run.result.err), normalEnd(sizeWarning(2, 2644, 147896000)));
}

TEST(Year82Test, DistrictRecord) {
  // District (third value 0): 39 a fraction, 40-41 bytes from 701, 42
  // skipped, 43-488 constants, 489-495 bits from 709, 496-520 constants,
  // 521-602 bytes from 933, 603-700 constants.
  auto district = zeroRecord(700, {{1, 5},
                                   {2, 9},
                                   {4, 0xC1C1C1C1},
                                   {39, 0x40490FDB},
                                   {40, 0x0A0B0C0D},
                                   {42, 0xFFFFFFFF},
                                   {489, 0xFFFFFFFF}});
  Columns columns = {{1, u("5")}, {2, u("9")}, {3, u("0")}, {39, f("3.14159")}};
  districtStrings(columns);
  columns[4] = s("AAAA");
  unsignedZeros(columns, 31, 38);
  addBytes(columns, 701, 0x0A0B0C0D);
  unsignedZeros(columns, 705, 708);
  addBits(columns, 709, 0xFFFFFFFF);
  unsignedZeros(columns, 741, 1260);

  DecodedRun run = decode("survey82.dat", fixedLengthFile({district}));
  EXPECT_EQ(run.result.exitStatus, 0);
  EXPECT_EQ(run.output, outputLine(columns));
  EXPECT_EQ(run.meta, constantSection(0, 1, columns) +
                          fieldExpansionTable({{40, 41, 2, 4, 701, 708, 8},
                                               {489, 495, 7, 32, 709, 932, 224},
                                               {521, 602, 82, 4, 933, 1260, 328}}));
  EXPECT_EQ(run.result.out, histogramReport({"0\t0\t\t104", "193\t65\tA\t4"}, 0) +
                                fixedChainLines(1, 700, 2804, 11220));
  EXPECT_EQ(maskDuration(run.result.err), normalEnd(sizeWarning(1, 2804, 110625495)));
}

// Years 86 and 88 share the layouts but for the end of the skipped run.
Columns year8688District(std::uint32_t lastSkipped) {
  Columns columns = {{1, u("1")},    {2, u("1")},   {3, u("0")},  {331, f("1.5")},
                     {332, u("12")}, {333, f("0")}, {334, u("0")}};
  districtStrings(columns);
  unsignedZeros(columns, 31, 38);
  for (std::uint32_t a = lastSkipped + 1; a <= 330; ++a) columns[a] = u(std::to_string(a));
  unsignedZeros(columns, 701, 1348);
  return columns;
}

std::vector<std::uint32_t> year8688DistrictRecord() {
  std::map<std::uint32_t, std::uint32_t> values = {
      {1, 1}, {2, 1}, {100, 0xDEADBEEF}, {331, 0x3FC00000}, {332, 12}, {650, 0xFFFFFFFF}};
  for (std::uint32_t a = 329; a <= 330; ++a) values[a] = a;
  return zeroRecord(700, values);
}

const std::string kYear8688Expansions =
    fieldExpansionTable({{489, 498, 10, 32, 701, 1020, 320}, {521, 602, 82, 4, 1021, 1348, 328}});

TEST(Year86Test, DistrictAndDistrictSummaryRecords) {
  // District (discriminant 1): 39-330 skipped, 331 and 333 fractions, 335-484
  // and 499-520 constants, 485-488 and 603-700 skipped, bits and bytes from 701.
  // District_Summary (discriminant 3): 33 and 35 fractions, 335-700 constants.
  auto summary = zeroRecord(700, {{2, 3}, {33, 0x41200000}, {36, 77}});
  Columns summaryColumns = {{1, u("0")}, {2, u("3")}, {3, u("0")}, {33, f("10")}, {35, f("0")}};
  districtStrings(summaryColumns);
  unsignedZeros(summaryColumns, 31, 32);
  summaryColumns[34] = u("0");
  unsignedZeros(summaryColumns, 36, 334);
  summaryColumns[36] = u("77");

  DecodedRun run = decode("survey86.dat", fixedLengthFile({year8688DistrictRecord(), summary}));
  EXPECT_EQ(run.result.exitStatus, 0);
  EXPECT_EQ(run.output, outputLine(year8688District(330)) + outputLine(summaryColumns));
  EXPECT_EQ(run.meta, constantSection(0, 1, year8688District(330)) + kYear8688Expansions +
                          constantSection(2, 1, summaryColumns));
  EXPECT_EQ(run.result.out,
            histogramReport({"0\t0\t\t216"}, 0) + fixedChainLines(2, 700, 2804, 11220));
  EXPECT_EQ(maskDuration(run.result.err), normalEnd(sizeWarning(2, 2804, 120487816)));
}

TEST(Year88Test, DistrictRecordKeepsTwoMoreAddresses) {
  DecodedRun run = decode("survey88.dat", fixedLengthFile({year8688DistrictRecord()}));
  EXPECT_EQ(run.result.exitStatus, 0);
  EXPECT_EQ(run.output, outputLine(year8688District(328)));
  EXPECT_EQ(run.meta, constantSection(0, 1, year8688District(328)) + kYear8688Expansions);
  EXPECT_EQ(run.result.out,
            histogramReport({"0\t0\t\t108"}, 0) + fixedChainLines(1, 700, 2804, 11220));
  EXPECT_EQ(maskDuration(run.result.err), normalEnd(sizeWarning(1, 2804, 137593523)));
}

// A failure upstream, while the second record is framed, carries the number
// of records delivered so far.
TEST(FixedLengthRunTest, TruncatedRecordFailsWithTheRecordNumber) {
  std::string file = fixedLengthFile({year8688DistrictRecord()}) + std::string(8, '\0');
  DecodedRun run = decode("survey88.dat", file);
  EXPECT_EQ(run.result.exitStatus, 1);
  EXPECT_EQ(run.output, outputLine(year8688District(328)));
  EXPECT_EQ(run.meta, constantSection(0, 1, year8688District(328)) + kYear8688Expansions);
  EXPECT_EQ(run.result.out,
            histogramReport({"0\t0\t\t108"}, 0) + statisticsLine("Integrator", 1, 0) +
                statisticsLine("AddressValueifier", 1, 0) + statisticsLine("Recordifier2", 1, 0) +
                statisticsLine("CrLfRemover", 2808, 1) + layoutLine(2804, 11220, 1, 8) +
                statisticsLine("Reader", 2810, 1));
  EXPECT_EQ(maskDuration(run.result.err),
            sizeWarning(1, 2804, 137593523) +
                failureReport("At record 1, input ended on non-700 boundary"));
}

}  // namespace
