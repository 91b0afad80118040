#include "input/FileMetaData.h"

#include <gtest/gtest.h>

#include <string>

#include "core/FailureText.h"

namespace {

TEST(FileMetaData, TableRowsAreKeyedByYear) {
  struct Row {
    std::int32_t year;
    FileMetaData layout;
  };
  for (const Row& row :
       {Row{68, {804, 3200, 27237, 14289840}}, Row{72, {804, 4024, 55693, 34387731}},
        Row{76, {804, 3220, 157145, 89358759}}, Row{78, {870, 12960, 79509, 48558618}},
        Row{80, {2644, 10580, 72020, 147896000}}, Row{88, {2804, 11220, 61400, 137593523}}}) {
    const FileMetaData found = fileMetaDataForYear(row.year);
    EXPECT_EQ(found.recordLen, row.layout.recordLen) << row.year;
    EXPECT_EQ(found.blockLen, row.layout.blockLen) << row.year;
    EXPECT_EQ(found.listedNumRecs, row.layout.listedNumRecs) << row.year;
    EXPECT_EQ(found.fileSize, row.layout.fileSize) << row.year;
  }
}

TEST(FileMetaData, EveryDecodedYearHasAnEntry) {
  for (std::int32_t year : {68, 69, 70, 71, 72, 73, 74, 76, 78, 80, 82, 86, 88}) {
    EXPECT_NO_THROW(fileMetaDataForYear(year)) << year;
  }
}

TEST(FileMetaData, OtherYearsFailWithTheYearReadAsUnsigned) {
  struct Case {
    std::int32_t year;
    const char* message;
  };
  for (const Case& c : {Case{75, "could not find metadata for year 75"},
                        Case{0, "could not find metadata for year 0"},
                        Case{1968, "could not find metadata for year 1968"},
                        Case{-5, "could not find metadata for year 4294967291"}}) {
    EXPECT_EQ(failureOf([&] { fileMetaDataForYear(c.year); }), c.message);
  }
}

}  // namespace
