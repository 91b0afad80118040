#include "years/SurveyYears.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "layouts/Vp.h"
#include "layouts/VpInfo.h"

namespace {

const std::int32_t kHandledYears[] = {68, 69, 70, 71, 72, 73, 74, 76, 78, 80, 82, 86, 88};

TEST(SurveyYears, EveryHandledYearHasOneRowAndNoOtherYearHasAny) {
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
TEST(SurveyYears, FramingLineEndsAndLayoutsOfARowAgree) {
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

}  // namespace
