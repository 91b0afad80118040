#include "typing/FormatSummary.h"

#include <gtest/gtest.h>

#include <sstream>

#include "e2e/ReportTexts.h"
#include "typing/TypedValueMakers.h"

namespace {

const std::string kKeyLines = summaryKey();

std::string section(unsigned index, const FormatStatistics& statistics) {
  std::ostringstream out;
  writeFormatSection(index, statistics, out);
  return out.str();
}

TEST(FormatSectionTest, NumbersOnOneRowTextsOnTwo) {
  FormatStatistics statistics;
  statistics.add({{1, u(7)}, {2, i(5)}, {3, s("AB")}});
  statistics.add({{1, u(7)}, {2, i(-3)}, {3, s("A")}});
  statistics.add({{1, u(7)}, {2, i(0)}, {3, s("AB")}});
  EXPECT_EQ(section(0, statistics), std::string("Summary for record format 0\n"
                                                "There are 3 records of this format.\n"
                                                "Addresses range from 1 to 3.\n") +
                                        kKeyLines +
                                        "1\tu\tc\t7\t7\t\n"
                                        "2\ti\t\t-3\t5\t\n"
                                        "3\ts\t\t\t\tA\n"
                                        "\t\t\t\t\tAB\n");
}

TEST(FormatSectionTest, FormatWithoutValuesGetsTitleOnly) {
  FormatStatistics statistics;
  statistics.add({});
  statistics.add({});
  EXPECT_EQ(section(2, statistics), "Summary for record format 2\n");
}

TEST(FormatSectionTest, ConstantTextStillTakesTwoLinesAndFloatsUseSixDigits) {
  FormatStatistics statistics;
  statistics.add({{4, s("SAME")}, {9, fBits(0x41100000)}, {70000, f(1234567.0f)}});
  statistics.add({{4, s("SAME")}, {9, fBits(0x4048F5C3)}, {70000, fBits(0x7FC00000)}});
  EXPECT_EQ(section(1, statistics), std::string("Summary for record format 1\n"
                                                "There are 2 records of this format.\n"
                                                "Addresses range from 4 to 70000.\n") +
                                        kKeyLines +
                                        "4\ts\tc\t\t\tSAME\n"
                                        "\t\t\t\t\tSAME\n"
                                        "9\tf\t\t3.14\t9\t\n"
                                        "70000\tf\tc\t1.23457e+06\t1.23457e+06\t\n");
}

TEST(FormatSectionTest, TextsAreWrittenUnescaped) {
  FormatStatistics statistics;
  statistics.add({{1, s("a\tb")}});
  statistics.add({{1, s("")}});
  EXPECT_EQ(section(0, statistics), std::string("Summary for record format 0\n"
                                                "There are 2 records of this format.\n"
                                                "Addresses range from 1 to 1.\n") +
                                        kKeyLines +
                                        "1\ts\t\t\t\t\n"
                                        "\t\t\t\t\ta\tb\n");
}

}  // namespace
