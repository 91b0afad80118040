// What each layout answers at the addresses where its rules meet or overlap, its record
// format and its field expansion report.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "layouts/LayoutRules.h"
#include "layouts/LayoutsTestUtil.h"
#include "layouts/Vp6874.h"
#include "layouts/Vp76.h"
#include "layouts/Vp78.h"
#include "layouts/Vp80.h"
#include "layouts/Vp82.h"
#include "layouts/Vp8688.h"

namespace {

constexpr VpInfo string(std::uint32_t last) {
  return {last, VpInfo::String};
}
constexpr VpInfo bits(std::uint32_t first) {
  return {first, VpInfo::BitArray};
}
constexpr VpInfo bytes(std::uint32_t first) {
  return {first, VpInfo::ByteArray};
}

struct InfoCase {
  const char* layoutName;
  const Vp& layout;
  std::uint32_t address;
  VpInfo expected;
};

void expectInfo(const std::vector<InfoCase>& cases) {
  for (const InfoCase& c : cases) {
    EXPECT_EQ(c.layout.info(c.address), c.expected) << c.layoutName << " at " << c.address;
  }
}

TEST(LayoutInfo, FfRecordYears) {
  const Vp& vp6874 = Vp6874::instance();
  const Vp& vp69 = Vp69::instance();
  const Vp& vp71 = Vp71::instance();
  const Vp& vp74 = Vp74::instance();
  const Vp& vp76 = Vp76::instance();
  expectInfo({
      {"Vp6874", vp6874, 8, string(15)},  {"Vp6874", vp6874, 9, kUnsigned},
      {"Vp6874", vp6874, 4, constant(1)}, {"Vp6874", vp6874, 5, constant(1091567616)},
      {"Vp6874", vp6874, 3, kUnsigned},   {"Vp6874", vp6874, 88, string(95)},
      {"Vp69", vp69, 54, kSkip},          {"Vp69", vp69, 52, kSkip},
      {"Vp69", vp69, 56, kSkip},          {"Vp69", vp69, 57, kUnsigned},
      {"Vp69", vp69, 8, string(15)},      {"Vp69", vp69, 4, constant(1)},
      {"Vp71", vp71, 88, kSkip},          {"Vp71", vp71, 89, kUnsigned},
      {"Vp71", vp71, 95, kUnsigned},      {"Vp71", vp71, 204, kSkip},
      {"Vp71", vp71, 8, string(15)},      {"Vp74", vp74, 579, bits(594)},
      {"Vp74", vp74, 580, bits(626)},     {"Vp74", vp74, 587, bits(850)},
      {"Vp74", vp74, 588, kFloat},        {"Vp74", vp74, 187, kFloat},
      {"Vp74", vp74, 590, kUnsigned},     {"Vp74", vp74, 4, constant(1)},
      {"Vp74", vp74, 38, string(42)},     {"Vp76", vp76, 830, bits(873)},
      {"Vp76", vp76, 872, bits(2217)},    {"Vp76", vp76, 4, string(11)},
      {"Vp76", vp76, 5, kUnsigned},       {"Vp76", vp76, 134, kSkip},
      {"Vp76", vp76, 123, kFloat},
  });
}

TEST(LayoutInfo, Year78ByteRecords) {
  const Vp& district = Vp78_District::instance();
  const Vp& school = Vp78_School::instance();
  expectInfo({
      {"Vp78_District", district, 273, kNoEntry},
      {"Vp78_District", district, 205, kSigned},
      {"Vp78_District", district, 272, kFloat},
      {"Vp78_District", district, 1, string(7)},
      {"Vp78_District", district, 8, kSingleChar},
      {"Vp78_District", district, 115, kSigned16},
      {"Vp78_District", district, 116, kNoEntry},
      {"Vp78_District", district, 124, kSkip},
      {"Vp78_School", school, 95, kSigned16},
      {"Vp78_School", school, 8, kSkip},
      {"Vp78_School", school, 1, string(7)},
      {"Vp78_School", school, 10, string(14)},
      {"Vp78_School", school, 78, kSingleChar},
      {"Vp78_School", school, 866, kSigned16},
      {"Vp78_School", school, 867, kNoEntry},
      {"Vp78_School", school, 0, kNoEntry},
  });
}

TEST(LayoutInfo, Year80) {
  const Vp& district = Vp80_District::instance();
  const Vp& school = Vp80_School::instance();
  expectInfo({
      {"Vp80_District", district, 66, bits(661)},
      {"Vp80_District", district, 489, bits(693)},
      {"Vp80_District", district, 521, bytes(1077)},
      {"Vp80_District", district, 500, bits(1045)},
      {"Vp80_District", district, 65, kFloat},
      {"Vp80_District", district, 68, kConstant0},
      {"Vp80_District", district, 501, kConstant0},
      {"Vp80_District", district, 67, kUnsigned},
      {"Vp80_District", district, 486, kSkip},
      {"Vp80_District", district, 643, string(660)},
      {"Vp80_School", school, 97, string(97)},
      {"Vp80_School", school, 284, string(284)},
      {"Vp80_School", school, 96, bits(693)},
      {"Vp80_School", school, 283, bits(1237)},
      {"Vp80_School", school, 32, bits(661)},
      {"Vp80_School", school, 489, bits(1269)},
      {"Vp80_School", school, 521, bytes(1653)},
      {"Vp80_School", school, 320, kConstant0},
      {"Vp80_School", school, 435, kConstant0},
      {"Vp80_School", school, 436, kUnsigned},
      {"Vp80_School", school, 58, kConstant0},
      {"Vp80_School", school, 50, kSkip},
      {"Vp80_School", school, 470, kConstant0},
      {"Vp80_School", school, 469, kUnsigned},
      // The window at base + 10 steps is not tested.
      {"Vp80_School", school, 440, kUnsigned},
      {"Vp80_School", school, 447, kUnsigned},
  });
}

TEST(LayoutInfo, Year82) {
  const Vp& district = Vp82_District::instance();
  const Vp& school = Vp82_School::instance();
  expectInfo({
      {"Vp82_District", district, 40, bytes(701)},
      {"Vp82_District", district, 41, bytes(705)},
      {"Vp82_District", district, 42, kSkip},
      {"Vp82_District", district, 39, kFloat},
      {"Vp82_District", district, 43, kConstant0},
      {"Vp82_District", district, 489, bits(709)},
      {"Vp82_District", district, 700, kConstant0},
      {"Vp82_District", district, 29, string(30)},
      {"Vp82_District", district, 31, kUnsigned},
      {"Vp82_School", school, 36, bits(701)},
      {"Vp82_School", school, 189, kConstant0},
      {"Vp82_School", school, 190, kUnsigned},
      {"Vp82_School", school, 290, kUnsigned},
      {"Vp82_School", school, 292, kUnsigned},
      {"Vp82_School", school, 299, kUnsigned},
      {"Vp82_School", school, 328, kConstant0},
      {"Vp82_School", school, 19, string(20)},
  });
}

TEST(LayoutInfo, Years86And88) {
  const Vp& district86 = Vp8688_District::year86();
  const Vp& district88 = Vp8688_District::year88();
  const Vp& school = Vp8688_School::instance();
  const Vp& summary = Vp8688_District_Summary::instance();
  expectInfo({
      {"Vp8688_District (86)", district86, 39, kSkip},
      {"Vp8688_District (86)", district86, 330, kSkip},
      {"Vp8688_District (86)", district86, 331, kFloat},
      {"Vp8688_District (86)", district86, 332, kUnsigned},
      {"Vp8688_District (86)", district86, 333, kFloat},
      {"Vp8688_District (86)", district86, 334, kUnsigned},
      {"Vp8688_District (86)", district86, 335, kConstant0},
      {"Vp8688_District (86)", district86, 489, bits(701)},
      {"Vp8688_District (86)", district86, 521, bytes(1021)},
      {"Vp8688_District (86)", district86, 700, kSkip},
      {"Vp8688_District (86)", district86, 4, string(11)},
      {"Vp8688_District (86)", district86, 38, kUnsigned},
      {"Vp8688_District (88)", district88, 328, kSkip},
      {"Vp8688_District (88)", district88, 329, kUnsigned},
      {"Vp8688_District (88)", district88, 330, kUnsigned},
      {"Vp8688_District (88)", district88, 331, kFloat},
      {"Vp8688_School", school, 182, kConstant0},
      {"Vp8688_School", school, 288, kConstant0},
      {"Vp8688_School", school, 292, kUnsigned},
      {"Vp8688_School", school, 481, kConstant0},
      {"Vp8688_School", school, 603, kSkip},
      {"Vp8688_School", school, 331, kFloat},
      {"Vp8688_School", school, 499, kConstant0},
      {"Vp8688_School", school, 12, string(18)},
      {"Vp8688_District_Summary", summary, 4, string(11)},
      {"Vp8688_District_Summary", summary, 33, kFloat},
      {"Vp8688_District_Summary", summary, 34, kUnsigned},
      {"Vp8688_District_Summary", summary, 489, kConstant0},
      {"Vp8688_District_Summary", summary, 334, kUnsigned},
      {"Vp8688_District_Summary", summary, 700, kConstant0},
  });
}

TEST(LayoutRecordFormat, SummaryIsTwoSchoolsOneOthersZero) {
  for (const NamedLayout& named : allLayouts()) {
    const std::string name = named.name;
    const unsigned expected = name.find("Summary") != std::string::npos  ? 2
                              : name.find("School") != std::string::npos ? 1
                                                                         : 0;
    EXPECT_EQ(named.layout.recordFormat(), expected) << name;
  }
}

std::string reportOf(const Vp& layout) {
  std::ostringstream out;
  layout.printFieldExpansions(out);
  return out.str();
}

TEST(LayoutFieldExpansionReport, RowsOfEveryLayoutWithExpansions) {
  struct Case {
    const char* layoutName;
    const Vp& layout;
    std::vector<std::string> rows;
  };
  const std::vector<std::string> rows8688 = {
      "489 498 10 32 701 1020 320",
      "521 602 82 4 1021 1348 328",
  };
  const Case cases[] = {
      {"Vp74", Vp74::instance(), {"579 587 9 32 594 881 288"}},
      {"Vp76", Vp76::instance(), {"830 872 43 32 873 2248 1376"}},
      {"Vp80_District",
       Vp80_District::instance(),
       {"66 66 1 32 661 692 32", "489 500 12 32 693 1076 384", "521 642 122 4 1077 1564 488"}},
      {"Vp80_School",
       Vp80_School::instance(),
       {
           "32 32 1 32 661 692 32",       "96 96 1 32 693 724 32",
           "107 107 1 32 725 756 32",     "118 118 1 32 757 788 32",
           "129 129 1 32 789 820 32",     "140 140 1 32 821 852 32",
           "151 151 1 32 853 884 32",     "162 162 1 32 885 916 32",
           "173 173 1 32 917 948 32",     "184 184 1 32 949 980 32",
           "195 195 1 32 981 1012 32",    "206 206 1 32 1013 1044 32",
           "217 217 1 32 1045 1076 32",   "228 228 1 32 1077 1108 32",
           "239 239 1 32 1109 1140 32",   "250 250 1 32 1141 1172 32",
           "261 261 1 32 1173 1204 32",   "272 272 1 32 1205 1236 32",
           "283 283 1 32 1237 1268 32",   "489 500 12 32 1269 1652 384",
           "521 642 122 4 1653 2140 488",
       }},
      {"Vp82_District",
       Vp82_District::instance(),
       {"40 41 2 4 701 708 8", "489 495 7 32 709 932 224", "521 602 82 4 933 1260 328"}},
      {"Vp82_School",
       Vp82_School::instance(),
       {"36 36 1 32 701 732 32", "489 495 7 32 733 956 224", "521 602 82 4 957 1284 328"}},
      {"Vp8688_District (86)", Vp8688_District::year86(), rows8688},
      {"Vp8688_District (88)", Vp8688_District::year88(), rows8688},
      {"Vp8688_School", Vp8688_School::instance(), rows8688},
  };
  for (const Case& c : cases) {
    const std::string report = reportOf(c.layout);
    EXPECT_EQ(linesOf(report), expectedExpansionReport(c.rows)) << c.layoutName;
    EXPECT_EQ(report.back(), '\n') << c.layoutName;
  }
}

TEST(LayoutFieldExpansionReport, LayoutsWithoutExpansionsWriteNothing) {
  const NamedLayout silent[] = {
      {"Vp6874", Vp6874::instance()},
      {"Vp69", Vp69::instance()},
      {"Vp71", Vp71::instance()},
      {"Vp78_District", Vp78_District::instance()},
      {"Vp78_School", Vp78_School::instance()},
      {"Vp8688_District_Summary", Vp8688_District_Summary::instance()},
  };
  for (const NamedLayout& named : silent) EXPECT_EQ(reportOf(named.layout), "") << named.name;
}

}  // namespace
