#include "years/ProviderForYear.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "layouts/LayoutsTestUtil.h"
#include "layouts/Vp6874.h"
#include "layouts/Vp76.h"
#include "layouts/Vp78.h"
#include "layouts/Vp80.h"
#include "layouts/Vp82.h"
#include "layouts/Vp8688.h"

namespace {

using Bytes = std::array<unsigned char, 4>;

// A fixed-length-year record: `values` at addresses 1, 2, ...
std::vector<AddressValuePair> pairRecord(const std::vector<Bytes>& values) {
  std::vector<AddressValuePair> record;
  std::uint32_t address = 1;
  for (const Bytes& value : values) record.push_back({address++, Quartet{value}});
  return record;
}

constexpr Bytes kZero{0, 0, 0, 0};
constexpr Bytes kOne{0, 0, 0, 1};
constexpr Bytes kTwo{0, 0, 0, 2};
constexpr Bytes kThree{0, 0, 0, 3};
constexpr Bytes kFour{0, 0, 0, 4};
constexpr Bytes kTopBit{0x80, 0, 0, 0};
constexpr Bytes kThreeLittleEndian{3, 0, 0, 0};

TEST(ProviderForYear, SingleFormatYearsAnswerTheirOneLayout) {
  struct Case {
    int year;
    const Vp& layout;
  };
  const Case cases[] = {
      {68, Vp6874::instance()}, {70, Vp6874::instance()}, {72, Vp6874::instance()},
      {73, Vp6874::instance()}, {69, Vp69::instance()},   {71, Vp71::instance()},
      {74, Vp74::instance()},   {76, Vp76::instance()},
  };
  const std::vector<AddressValuePair> anyRecord = {{7, Quartet{kTopBit}}};
  for (const Case& c : cases) {
    const VpForYear<AddressValuePair>& provider = providerForYear(c.year);
    EXPECT_EQ(&provider.vpFor(anyRecord), &c.layout) << "year " << c.year;
    EXPECT_EQ(&provider.vpFor({}), &c.layout) << "year " << c.year << ", empty record";
  }
  EXPECT_EQ(&providerForYear(70), &providerForYear(68));
  EXPECT_EQ(&providerForYear(72), &providerForYear(68));
  EXPECT_EQ(&providerForYear(73), &providerForYear(68));
  EXPECT_NE(&providerForYear(69), &providerForYear(68));
}

TEST(ProviderForYear, RefusesYearsWithoutAProvider) {
  struct Case {
    int year;
    const char* message;
  };
  const Case cases[] = {
      {78, "78 handled differently"},       {75, "unrecognized year 75"},
      {77, "unrecognized year 77"},         {84, "unrecognized year 84"},
      {0, "unrecognized year 0"},           {1980, "unrecognized year 1980"},
      {-5, "unrecognized year 4294967291"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(failureOf([&] { providerForYear(c.year); }), c.message) << "year " << c.year;
  }
}

TEST(RecordFormatChoice, FixedLengthYearsReadTheirDiscriminatingValue) {
  struct Case {
    int year;
    std::vector<Bytes> values;
    const Vp& layout;
  };
  const Case cases[] = {
      {80, {kOne, kZero, kOne}, Vp80_District::instance()},
      {80, {kZero, kOne}, Vp80_School::instance()},
      {80, {kZero, kTopBit}, Vp80_School::instance()},
      // Year 82 looks at the third value only.
      {82, {kZero, kOne, kZero}, Vp82_District::instance()},
      {82, {kZero, kZero, kTopBit}, Vp82_School::instance()},
      {82, {kZero, kZero, {0, 1, 0, 0}}, Vp82_School::instance()},
      {86, {kZero, kOne}, Vp8688_District::year86()},
      {86, {kZero, kTwo}, Vp8688_School::instance()},
      {86, {kZero, kThree}, Vp8688_District_Summary::instance()},
      {88, {kZero, kOne}, Vp8688_District::year88()},
      {88, {kZero, kTwo}, Vp8688_School::instance()},
      {88, {kZero, kThree}, Vp8688_District_Summary::instance()},
  };
  for (const Case& c : cases) {
    const Vp& chosen = providerForYear(c.year).vpFor(pairRecord(c.values));
    EXPECT_EQ(&chosen, &c.layout) << "year " << c.year << " value " << int{c.values[1][3]};
  }
}

TEST(RecordFormatChoice, UnreadableRecordsFail) {
  struct Case {
    int year;
    std::vector<Bytes> values;
    const char* message;
  };
  const Case cases[] = {
      {86, {kZero, kZero}, "unrecognized 86 discriminant"},
      {86, {kZero, kFour}, "unrecognized 86 discriminant"},
      {86, {kZero, kThreeLittleEndian}, "unrecognized 86 discriminant"},
      {88, {kZero, kZero}, "unrecognized 86 discriminant"},
      {88, {kZero, {0xFF, 0xFF, 0xFF, 0xFF}}, "unrecognized 86 discriminant"},
      {80, {}, "record too short to tell its format"},
      {80, {kOne}, "record too short to tell its format"},
      {82, {kOne, kOne}, "record too short to tell its format"},
      {86, {kTwo}, "record too short to tell its format"},
      {88, {}, "record too short to tell its format"},
  };
  for (const Case& c : cases) {
    // An exactly sized copy, so that a read past the end is caught by the sanitizers.
    const std::vector<AddressValuePair> record = pairRecord(c.values);
    EXPECT_EQ(failureOf([&] { providerForYear(c.year).vpFor(record); }), c.message)
        << "year " << c.year << ", " << c.values.size() << " values";
  }
}

TEST(RecordFormatChoice, Year78GoesByRecordLength) {
  const VpForYear<unsigned char>& provider = providerForYear78();
  EXPECT_EQ(&provider.vpFor(std::vector<unsigned char>(275)), &Vp78_District::instance());
  EXPECT_EQ(&provider.vpFor(std::vector<unsigned char>(866)), &Vp78_School::instance());
  for (std::size_t length : {0u, 274u, 276u, 865u, 867u}) {
    EXPECT_EQ(failureOf([&] { provider.vpFor(std::vector<unsigned char>(length)); }),
              "unrecognized len of 78 rec")
        << length << " bytes";
  }
}

std::string providerReport(int year, unsigned index) {
  std::ostringstream out;
  providerForYear(year).printFieldExpansions(out, index);
  return out.str();
}

std::string layoutReport(const Vp& layout) {
  std::ostringstream out;
  layout.printFieldExpansions(out);
  return out.str();
}

TEST(ProviderFieldExpansions, WritesTheTableOfTheLayoutAtTheIndex) {
  EXPECT_EQ(providerReport(68, 0), "");
  EXPECT_EQ(providerReport(74, 0), layoutReport(Vp74::instance()));
  EXPECT_EQ(providerReport(80, 0), layoutReport(Vp80_District::instance()));
  EXPECT_EQ(providerReport(80, 1), layoutReport(Vp80_School::instance()));
  EXPECT_NE(providerReport(80, 1), providerReport(80, 0));
  EXPECT_EQ(providerReport(82, 1), layoutReport(Vp82_School::instance()));
  EXPECT_EQ(providerReport(86, 1), layoutReport(Vp8688_School::instance()));
  EXPECT_EQ(providerReport(88, 2), "");

  std::ostringstream year78;
  providerForYear78().printFieldExpansions(year78, 1);
  EXPECT_EQ(year78.str(), "");
}

TEST(ProviderLayouts, ListPositionIsTheLayoutsRecordFormat) {
  const std::vector<AddressValuePair> district = pairRecord({kZero, kOne, kZero});
  const std::vector<AddressValuePair> school = pairRecord({kZero, kTwo, kOne});
  const std::vector<AddressValuePair> summary = pairRecord({kZero, kThree, kZero});
  EXPECT_EQ(providerForYear(80).vpFor(pairRecord({kZero, kZero})).recordFormat(), 0u);
  EXPECT_EQ(providerForYear(80).vpFor(pairRecord({kZero, kOne})).recordFormat(), 1u);
  EXPECT_EQ(providerForYear(82).vpFor(district).recordFormat(), 0u);
  EXPECT_EQ(providerForYear(82).vpFor(school).recordFormat(), 1u);
  for (int year : {86, 88}) {
    EXPECT_EQ(providerForYear(year).vpFor(district).recordFormat(), 0u);
    EXPECT_EQ(providerForYear(year).vpFor(school).recordFormat(), 1u);
    EXPECT_EQ(providerForYear(year).vpFor(summary).recordFormat(), 2u);
  }
  EXPECT_EQ(providerForYear78().vpFor(std::vector<unsigned char>(866)).recordFormat(), 1u);
}

}  // namespace
