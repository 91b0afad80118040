// Years 68 to 76: FF-records of explicit (address, value) couples, completed
// record by record by the Integrator. Expected texts are worked out from the
// year's layout by hand.

#include <gtest/gtest.h>

#include "e2e/DecodedRun.h"
#include "e2e/DurationLine.h"

namespace {

// The end-of-run lines of an FF-record chain that stopped at the end-of-data
// quartet after `records` records and `bytes` data bytes.
std::string ffChainLines(std::uint32_t records, std::uint32_t bytes, std::uint32_t blockLen) {
  return statisticsLine("Integrator", records, 1) +
         statisticsLine("AddressValueifier", records, 1) +
         statisticsLine("Recordifier", records, 1) + statisticsLine("CrLfRemover", bytes, 0) +
         layoutLine(804, blockLen, bytes / 800, bytes % 800) +
         statisticsLine("Reader", bytes + 2 * (bytes / 800), 0);
}

struct FfYearCase {
  const char* inputName;
  std::uint32_t blockLen;
  Pairs record;
  Columns decoded;
  std::vector<std::string> histogramLines;
  std::uint32_t nonPrintable;
  std::string expansions;
};

// Names the case in test listings by its file.
void PrintTo(const FfYearCase& c, std::ostream* out) {
  *out << c.inputName;
}

class FfRecordYearTest : public testing::TestWithParam<FfYearCase> {};

TEST_P(FfRecordYearTest, DecodesOneRecord) {
  const FfYearCase& c = GetParam();
  DecodedRun run = decode(c.inputName, ffRecordFile({c.record}));
  EXPECT_EQ(run.result.exitStatus, 0);
  EXPECT_EQ(run.output, outputLine(c.decoded));
  EXPECT_EQ(run.meta, constantSection(0, 1, c.decoded) + c.expansions);
  EXPECT_EQ(run.result.out, histogramReport(c.histogramLines, c.nonPrintable) +
                                ffChainLines(1, ffBytesRead({c.record}), c.blockLen));
  EXPECT_EQ(maskDuration(run.result.err), normalEnd());
}

Columns year74Columns() {
  Columns columns = {{1, u("3")}, {187, f("3.14159")}};
  addBits(columns, 594, 0x80000001);
  return columns;
}

Columns year76Columns() {
  Columns columns = {{1, u("0")}, {4, s("A   ")}, {123, f("-2")}};
  addBits(columns, 873, 0x00000001);
  return columns;
}

INSTANTIATE_TEST_SUITE_P(
    EveryFfYear, FfRecordYearTest,
    testing::Values(
        // 4 and 5 hold their constants; 8-15 and 88-95 are strings; the rest unsigned.
        FfYearCase{
            "survey68.dat",
            3200,
            {{1, 42},
             {4, 1},
             {5, 0x41100000},
             {8, 0xC8C5D3D3},
             {9, 0xD6404040},
             {88, 0xF1F9F6F8},
             {100, 0xFFFFFFFD}},
            {{1, u("42")}, {8, s("HELLO   ")}, {88, s("1968")}, {100, u("4294967293")}},
            {"64\t32\tspace\t3", "197\t69\tE\t1", "200\t72\tH\t1", "211\t76\tL\t2", "214\t79\tO\t1",
             "241\t49\t1\t1", "246\t54\t6\t1", "248\t56\t8\t1", "249\t57\t9\t1"},
            0,
            ""},
        // 52-56 are skipped; the couples may come in any address order.
        FfYearCase{"survey69.dat",
                   3220,
                   {{57, 6}, {52, 99}, {1, 7}, {56, 5}, {4, 0}},
                   {{1, u("7")}, {57, u("6")}},
                   {},
                   0,
                   ""},
        // Adjacent couples of one string range join into one text.
        FfYearCase{
            "survey70.dat",
            3220,
            {{1, 0}, {36, 0xC1C2C3C4}, {37, 0xC5C6C7C8}, {38, 0x40404040}},
            {{1, u("0")}, {36, s("ABCDEFGH")}, {38, s("    ")}},
            {"64\t32\tspace\t4", "193\t65\tA\t1", "194\t66\tB\t1", "195\t67\tC\t1", "196\t68\tD\t1",
             "197\t69\tE\t1", "198\t70\tF\t1", "199\t71\tG\t1", "200\t72\tH\t1"},
            0,
            ""},
        // 88 is skipped in 71, so 89 to 95 fall to the unsigned default.
        FfYearCase{"survey71.dat",
                   3220,
                   {{1, 1}, {88, 0xC1C1C1C1}, {89, 0xC1C1C1C1}},
                   {{1, u("1")}, {89, u("3250700737")}},
                   {},
                   0,
                   ""},
        FfYearCase{"survey72.dat",
                   4024,
                   {{1, 0xFFFFFFFD}, {3, 1}, {5, 0}},
                   {{1, u("4294967293")}, {3, u("1")}},
                   {},
                   0,
                   ""},
        // Three double quotes in one field: two are matched, one is counted.
        FfYearCase{"survey73.dat",
                   3220,
                   {{1, 1}, {5, 0x41100000}, {24, 0x7F7F4B7F}},
                   {{1, u("1")}, {24, s("(ebcdic 127)(ebcdic 127).(ebcdic 127)")}},
                   {"75\t46\t.\t1", "127\t34\tdouble quote\t3"},
                   1,
                   ""},
        FfYearCase{"survey74.dat",
                   3220,
                   {{1, 3}, {187, 0x40490FDB}, {579, 0x80000001}},
                   year74Columns(),
                   {},
                   0,
                   fieldExpansionTable({{579, 587, 9, 32, 594, 881, 288}})},
        // Address 4 begins a string in 76, and 134 is skipped.
        FfYearCase{"survey76.dat",
                   3220,
                   {{1, 0}, {4, 0xC1404040}, {123, 0xC0000000}, {134, 5}, {830, 1}},
                   year76Columns(),
                   {"64\t32\tspace\t3", "193\t65\tA\t1"},
                   0,
                   fieldExpansionTable({{830, 872, 43, 32, 873, 2248, 1376}})}),
    [](const testing::TestParamInfo<FfYearCase>& info) {
      return std::string(info.param.inputName).substr(6, 2);
    });

// Two records of year 71: the second lists only what changed and the
// Integrator carries the rest forward.
const std::vector<Pairs> kYear71Records = {
    {{1, 5},
     {2, 0xFFFFFFFD},
     {4, 1},
     {5, 0x41100000},
     {8, 0xC1C2C3C4},
     {9, 0xC5404040},
     {10, 0xF1F2F3F4},
     {88, 0x12345678},
     {89, 9}},
    {{2, 3}, {3, 0x80000000}, {5, 0}, {16, 0xC1F04040}},
};

TEST(FfRecordRunTest, LaterRecordsCarryEarlierValues) {
  DecodedRun run = decode("survey71.dat", ffRecordFile(kYear71Records));
  EXPECT_EQ(run.result.exitStatus, 0);
  EXPECT_EQ(run.output,
            outputLine({{1, u("5")}, {2, u("4294967293")}, {8, s("ABCDE   1234")}, {89, u("9")}}) +
                outputLine({{1, u("5")},
                            {2, u("3")},
                            {3, u("2147483648")},
                            {8, s("ABCDE   1234")},
                            {16, s("A0  ")},
                            {89, u("9")}}));
  EXPECT_EQ(run.meta,
            "Summary for record format 0\n"
            "There are 2 records of this format.\n"
            "Addresses range from 1 to 89.\n" +
                summaryKey() +
                "1\tu\tc\t5\t5\t\n"
                "2\tu\t\t3\t4294967293\t\n"
                "3\tu\tc\t2147483648\t2147483648\t\n"
                "8\ts\tc\t\t\tABCDE   1234\n"
                "\t\t\t\t\tABCDE   1234\n"
                "16\ts\tc\t\t\tA0  \n"
                "\t\t\t\t\tA0  \n"
                "89\tu\tc\t9\t9\t\n");
  EXPECT_EQ(run.result.out,
            histogramReport({"64\t32\tspace\t8", "193\t65\tA\t3", "194\t66\tB\t2", "195\t67\tC\t2",
                             "196\t68\tD\t2", "197\t69\tE\t2", "240\t48\t0\t1", "241\t49\t1\t2",
                             "242\t50\t2\t2", "243\t51\t3\t2", "244\t52\t4\t2"},
                            0) +
                ffChainLines(2, 116, 3220));
  EXPECT_EQ(maskDuration(run.result.err), normalEnd());
}

// A failure in the second record: the first record's line, its statistics and
// every stage's report are still written, last stage first, then the report.
TEST(FfRecordRunTest, FailureMidwayStillTearsDownInOrder) {
  std::vector<Pairs> records = kYear71Records;
  records[1].push_back({4, 7});
  records.push_back({{1, 1}});
  DecodedRun run = decode("survey71.dat", ffRecordFile(records));
  EXPECT_EQ(run.result.exitStatus, 1);
  EXPECT_EQ(run.output,
            outputLine({{1, u("5")}, {2, u("4294967293")}, {8, s("ABCDE   1234")}, {89, u("9")}}));
  EXPECT_EQ(run.meta,
            "Summary for record format 0\n"
            "There are 1 records of this format.\n"
            "Addresses range from 1 to 89.\n" +
                summaryKey() +
                "1\tu\tc\t5\t5\t\n"
                "2\tu\tc\t4294967293\t4294967293\t\n"
                "8\ts\tc\t\t\tABCDE   1234\n"
                "\t\t\t\t\tABCDE   1234\n"
                "89\tu\tc\t9\t9\t\n");
  // The second record failed at address 4, before its strings: only the first
  // record's text is counted. Both records were read, markers included.
  const std::uint32_t bytes = 19 * 4 + 11 * 4;
  EXPECT_EQ(run.result.out,
            histogramReport({"64\t32\tspace\t3", "193\t65\tA\t1", "194\t66\tB\t1", "195\t67\tC\t1",
                             "196\t68\tD\t1", "197\t69\tE\t1", "241\t49\t1\t1", "242\t50\t2\t1",
                             "243\t51\t3\t1", "244\t52\t4\t1"},
                            0) +
                statisticsLine("Integrator", 2, 0) + statisticsLine("AddressValueifier", 2, 0) +
                statisticsLine("Recordifier", 2, 0) + statisticsLine("CrLfRemover", bytes, 0) +
                layoutLine(804, 3220, 0, bytes) + statisticsLine("Reader", bytes, 0));
  EXPECT_EQ(maskDuration(run.result.err),
            failureReport("At record 2, expected 1 or 0 at address 4, got 7"));
}

TEST(FfRecordRunTest, RecordWithoutAddressOneIsRefusedByTheWriter) {
  DecodedRun run = decode("survey70.dat", ffRecordFile({{{2, 5}}}));
  EXPECT_EQ(run.result.exitStatus, 1);
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(run.meta, constantSection(0, 1, {{2, u("5")}}));
  EXPECT_EQ(maskDuration(run.result.err), failureReport("first address is 2, not 1"));
}

// An explicit address equal to an expanded one puts two values in one column.
TEST(FfRecordRunTest, RepeatedAddressIsRefusedByTheWriter) {
  DecodedRun run = decode("survey74.dat", ffRecordFile({{{1, 0}}, {{579, 0}, {594, 1}}}));
  EXPECT_EQ(run.result.exitStatus, 1);
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(maskDuration(run.result.err), failureReport("record 2 has address 594 more than once"));
}

TEST(FfRecordRunTest, AddressBeyondTheLastColumnIsRefusedByTheWriter) {
  DecodedRun run = decode("survey72.dat", ffRecordFile({{{1, 0}, {1048577, 1}}}));
  EXPECT_EQ(run.result.exitStatus, 1);
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(maskDuration(run.result.err),
            failureReport("record 1 has address 1048577, beyond the last column 1048576"));
}

}  // namespace
