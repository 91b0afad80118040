#include "years/SurveyYear.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "core/FailureText.h"
#include "layouts/Vp.h"
#include "layouts/VpInfo.h"

namespace {

const std::int32_t kHandledYears[] = {68, 69, 70, 71, 72, 73, 74, 76, 78, 80, 82, 86, 88};

TEST(SurveyYear, EveryHandledYearHasOneRowAndNoOtherYearHasAny) {
  for (std::int32_t year = -2; year < 200; ++year) {
    const SurveyYear* row = findSurveyYear(year);
    const bool handled = std::find(std::begin(kHandledYears), std::end(kHandledYears), year) !=
                         std::end(kHandledYears);
    EXPECT_EQ(row != nullptr, handled) << year;
    if (row != nullptr) {
      EXPECT_EQ(row->year, year);
    }
  }
  EXPECT_EQ(handledYearsText(), "68 to 74, 76, 78, 80, 82, 86 and 88");
}

// A typo in one column of a row would frame or type a year wrongly; the
// columns must agree with each other.
TEST(SurveyYear, FramingLineEndsAndLayoutsOfARowAgree) {
  for (std::int32_t year : kHandledYears) {
    SCOPED_TRACE(year);
    const SurveyYear& row = *findSurveyYear(year);
    switch (row.framing) {
      case Framing::kFfRecords:
        EXPECT_TRUE(year >= 68 && year <= 76);
        EXPECT_EQ(row.valuesPerRecord, 0u);
        EXPECT_EQ(row.lineEnds.recordLen, 804u);
        break;
      case Framing::kFixedLength:
        EXPECT_TRUE(year >= 80 && year <= 88);
        // A record's data is recordLen - 4 bytes: four for each value.
        EXPECT_EQ(row.lineEnds.recordLen, 4 * row.valuesPerRecord + 4);
        break;
      case Framing::kYear78:
        EXPECT_EQ(year, 78);
        EXPECT_EQ(row.formatChooser, nullptr);
        continue;
    }
    ASSERT_NE(row.formatChooser, nullptr);
    unsigned formats = 0;
    for (const auto& layout : row.layouts) {
      if (layout == nullptr) continue;
      EXPECT_EQ(layout().recordFormat(), formats);
      ++formats;
    }
    EXPECT_EQ(formats, row.framing == Framing::kFfRecords ? 1u : (year >= 86 ? 3u : 2u));
  }
}

TEST(FileMetaDataForYear, TableRowsAreKeyedByYear) {
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

TEST(FileMetaDataForYear, EveryDecodedYearHasAnEntry) {
  for (std::int32_t year : {68, 69, 70, 71, 72, 73, 74, 76, 78, 80, 82, 86, 88}) {
    EXPECT_NO_THROW(fileMetaDataForYear(year)) << year;
  }
}

TEST(FileMetaDataForYear, OtherYearsFailWithTheYearReadAsUnsigned) {
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

TEST(YearFromInputPath, TakesTheTwoCharactersBeforeTheExtensionAsAtoiReadsThem) {
  struct Case {
    const char* path;
    std::int32_t year;
  };
  for (const Case& c : {Case{"data76.dat", 76}, Case{"76.dat", 76}, Case{"/surveys/x88.bin", 88},
                        Case{"abc7x.dat", 7}, Case{"data7.txt", 0}, Case{"data-5.dat", -5},
                        Case{"data+8.dat", 8}, Case{"data 9.dat", 9}, Case{"dataxx.dat", 0},
                        Case{"data76.dat.gz", 0}, Case{"data08.dat", 8}}) {
    EXPECT_EQ(yearFromInputPath(c.path), c.year) << c.path;
  }
}

TEST(YearFromInputPath, RefusesPathsTooShortToHoldTheYear) {
  for (const char* path : {"", "a", "6.dat", "ab.cd"}) {
    EXPECT_EQ(failureOf([&] { yearFromInputPath(path); }),
              std::string("input path \"") + path + "\" is too short to carry the survey year");
  }
}

}  // namespace
