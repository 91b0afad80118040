// Year 78: EBCDIC byte records of 275 (District) or 866 (School) bytes, typed
// by byte position. The expected texts are worked out from the layouts by hand.

#include <gtest/gtest.h>

#include "e2e/DecodedRun.h"
#include "e2e/DurationLine.h"

namespace {

// Puts `bytes` into `record` from 1-based position `at` on.
void place(std::string& record, std::size_t at, const std::string& bytes) {
  record.replace(at - 1, bytes.size(), bytes);
}

std::string districtRecord() {
  std::string record(275, '\0');
  place(record, 1, "\xC1\xC2\xC3\x40\x40\x40\x40");  // "ABC    "
  place(record, 8, "\xFF");                          // a missing character
  place(record, 10, "\xF0\x40\x40\x40\x40");         // header: 275 bytes
  place(record, 115, "\xFF\xFE");
  place(record, 117, "\xF1");
  place(record, 125, std::string("\xFF\xFF\xFF\xFF\x00\x00\x01\x00", 8));
  place(record, 272, std::string("\x42\xF6\x00\x00", 4));
  return record;
}

// Strings 1-7, 15-47, 48-77, 78-93, 94-109, 110-114, 209-271; characters 8
// and 117-123; skips 9-14 and 124; a 2-byte integer at 115, 4-byte integers
// from 125 to 205, a fraction at 272.
Columns districtColumns() {
  Columns columns = {{1, s("ABC    ")}, {8, s("-1")}, {15, s("")},    {48, s("")},
                     {78, s("")},       {94, s("")},  {110, s("")},   {115, i("-2")},
                     {117, s("1")},     {209, s("")}, {272, f("123")}};
  for (std::uint32_t a = 118; a <= 123; ++a) columns[a] = s("");
  for (std::uint32_t a = 125; a <= 205; a += 4) columns[a] = i("0");
  columns[125] = i("-1");
  columns[129] = i("256");
  return columns;
}

std::string schoolRecord() {
  std::string record(866, '\0');
  place(record, 10, "\xF1\xF2\xF3\xF4\xF5");  // header: not a District record
  place(record, 78, "\xFF");
  place(record, 95, "\x7F\xFF");
  place(record, 205, std::string("\x80\x00", 2));
  place(record, 865, std::string("\x00\x05", 2));
  return record;
}

// Strings 1-7, 10-14, 15-47, 48-77; skips 8-9; characters 78-94, 201-204,
// 569-574; 2-byte integers over 95-200, 205-568 and 575-866.
Columns schoolColumns() {
  Columns columns = {{1, s("")}, {10, s("12345")}, {15, s("")}, {48, s("")}, {78, s("-1")}};
  for (std::uint32_t a = 79; a <= 94; ++a) columns[a] = s("");
  for (std::uint32_t a = 95; a <= 199; a += 2) columns[a] = i("0");
  for (std::uint32_t a = 201; a <= 204; ++a) columns[a] = s("");
  for (std::uint32_t a = 205; a <= 567; a += 2) columns[a] = i("0");
  for (std::uint32_t a = 569; a <= 574; ++a) columns[a] = s("");
  for (std::uint32_t a = 575; a <= 865; a += 2) columns[a] = i("0");
  columns[95] = i("32767");
  columns[205] = i("-32768");
  columns[865] = i("5");
  return columns;
}

TEST(Year78Test, DistrictAndSchoolRecords) {
  DecodedRun run = decode("survey78.dat", year78File({districtRecord(), schoolRecord()}));
  EXPECT_EQ(run.result.exitStatus, 0);
  EXPECT_EQ(run.output, outputLine(districtColumns()) + outputLine(schoolColumns()));
  EXPECT_EQ(run.meta,
            constantSection(0, 1, districtColumns()) + constantSection(1, 1, schoolColumns()));
  // Zero bytes: 163 in the district strings and 6 in its characters, 70 in
  // the school strings and 26 in its characters. FF characters are not counted.
  EXPECT_EQ(run.result.out,
            histogramReport({"0\t0\t\t265", "64\t32\tspace\t4", "193\t65\tA\t1", "194\t66\tB\t1",
                             "195\t67\tC\t1", "241\t49\t1\t2", "242\t50\t2\t1", "243\t51\t3\t1",
                             "244\t52\t4\t1", "245\t53\t5\t1"},
                            0) +
                statisticsLine("Recordifier78", 2, 1) + statisticsLine("Reader", 277 + 868, 1));
  EXPECT_EQ(maskDuration(run.result.err), normalEnd());
}

TEST(Year78Test, EmptyInputWritesEmptyFiles) {
  DecodedRun run = decode("survey78.dat", "");
  EXPECT_EQ(run.result.exitStatus, 0);
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(run.meta, "");
  EXPECT_EQ(run.result.out, histogramReport({}, 0) + statisticsLine("Recordifier78", 0, 1) +
                                statisticsLine("Reader", 0, 1));
  EXPECT_EQ(maskDuration(run.result.err), normalEnd());
}

// A failure upstream while the second record is framed: the first record is
// written and summarised, and the message names the records delivered so far.
TEST(Year78Test, FramingFailureCarriesTheRecordNumber) {
  std::string file = year78File({districtRecord()}) + districtRecord() + "\x40\x0A";
  DecodedRun run = decode("survey78.dat", file);
  EXPECT_EQ(run.result.exitStatus, 1);
  EXPECT_EQ(run.output, outputLine(districtColumns()));
  EXPECT_EQ(run.meta, constantSection(0, 1, districtColumns()));
  EXPECT_EQ(run.result.out, histogramReport({"0\t0\t\t169", "64\t32\tspace\t4", "193\t65\tA\t1",
                                             "194\t66\tB\t1", "195\t67\tC\t1", "241\t49\t1\t1"},
                                            0) +
                                statisticsLine("Recordifier78", 1, 0) +
                                statisticsLine("Reader", 553, 0));
  EXPECT_EQ(
      maskDuration(run.result.err),
      failureReport("At record 1, stream contained 64 at input location 553 but 13 was expected"));
}

}  // namespace
