#include "years/SurveyYear.h"

#include <cstdlib>
#include <iterator>

#include "core/Error.h"
#include "layouts/Vp6874.h"
#include "layouts/Vp76.h"
#include "layouts/Vp80.h"
#include "layouts/Vp82.h"
#include "layouts/Vp8688.h"
#include "layouts/VpIndexer.h"

namespace {

// Layouts and choosers are function-local statics, built on first use, so the
// table depends on no order of static initialisation.
template <class L>
const Vp& layout() {
  return L::instance();
}
const Vp& district86() {
  return Vp8688_District::year86();
}
const Vp& district88() {
  return Vp8688_District::year88();
}

// Years 68 to 76 have one record format.
class OneFormat final : public VpIndexer<AddressValuePair> {
 public:
  unsigned index(const std::vector<AddressValuePair>&) const override { return 0; }
};
const VpIndexer<AddressValuePair>& oneFormat() {
  static const OneFormat chooser;
  return chooser;
}
// Years 80 and 82: School when the value at this position is non-zero.
template <unsigned kPosition>
const VpIndexer<AddressValuePair>& zeroOrNot() {
  static const VpIndexer8082 chooser(kPosition);
  return chooser;
}
// Years 86 and 88: the second value names the format.
const VpIndexer<AddressValuePair>& discriminant() {
  static const VpIndexer8688 chooser;
  return chooser;
}

constexpr auto kFf = Framing::kFfRecords;
constexpr auto kFixed = Framing::kFixedLength;
constexpr auto k78 = Framing::kYear78;

// clang-format off
// Values per record of a fixed-length year: its layouts' highest address.
// Layouts by record-format index: District, School, District_Summary.
const SurveyYear kSurveyYears[] = {
  // year framing values per record     recordLen blockLen listedNumRecs fileSize  format chooser layouts
  {68, kFf,    0,                      {  804,   3200,  27237,   14289840}, oneFormat,     {layout<Vp6874>}},
  {69, kFf,    0,                      {  804,   3220,   9920,    5695110}, oneFormat,     {layout<Vp69>}},
  {70, kFf,    0,                      {  804,   3220,  29280,   15772491}, oneFormat,     {layout<Vp6874>}},
  {71, kFf,    0,                      {  804,   3220,  38322,   23015934}, oneFormat,     {layout<Vp71>}},
  {72, kFf,    0,                      {  804,   4024,  55693,   34387731}, oneFormat,     {layout<Vp6874>}},
  {73, kFf,    0,                      {  804,   3220,  39087,   23047974}, oneFormat,     {layout<Vp6874>}},
  {74, kFf,    0,                      {  804,   3220,  43924,   25154604}, oneFormat,     {layout<Vp74>}},
  {76, kFf,    0,                      {  804,   3220, 157145,   89358759}, oneFormat,     {layout<Vp76>}},
  {78, k78,    0,                      {  870,  12960,  79509,   48558618}, nullptr,       {}},
  {80, kFixed, kVp80HighestAddress,    { 2644,  10580,  72020,  147896000}, zeroOrNot<2>,  {layout<Vp80_District>, layout<Vp80_School>}},
  {82, kFixed, kVp82HighestAddress,    { 2804,  11220,  46712,  110625495}, zeroOrNot<3>,  {layout<Vp82_District>, layout<Vp82_School>}},
  {86, kFixed, kVp8688HighestAddress,  { 2804,  11220,  53696,  120487816}, discriminant,  {district86, layout<Vp8688_School>, layout<Vp8688_District_Summary>}},
  {88, kFixed, kVp8688HighestAddress,  { 2804,  11220,  61400,  137593523}, discriminant,  {district88, layout<Vp8688_School>, layout<Vp8688_District_Summary>}},
};
// clang-format on

}  // namespace

const SurveyYear* findSurveyYear(std::int32_t year) {
  for (const SurveyYear& row : kSurveyYears) {
    if (row.year == year) return &row;
  }
  return nullptr;
}

FileMetaData fileMetaDataForYear(std::int32_t year) {
  const SurveyYear* row = findSurveyYear(year);
  if (row == nullptr) {
    throwMessage("could not find metadata for year ", static_cast<std::uint32_t>(year));
  }
  return row->lineEnds;
}

std::string handledYearsText() {
  std::string text;
  const std::size_t count = std::size(kSurveyYears);
  for (std::size_t first = 0; first < count;) {
    std::size_t last = first;
    while (last + 1 < count && kSurveyYears[last + 1].year == kSurveyYears[last].year + 1) ++last;
    if (first > 0) text += last + 1 == count ? " and " : ", ";
    text += std::to_string(kSurveyYears[first].year);
    if (last > first) text += " to " + std::to_string(kSurveyYears[last].year);
    first = last + 1;
  }
  return text;
}

std::int32_t yearFromInputPath(const std::string& inputPath) {
  const std::size_t len = inputPath.size();
  if (len < 6) {
    throwMessage("input path ", "\"", inputPath, "\"", " is too short to carry the survey year");
  }
  const char yearField[3] = {inputPath[len - 6], inputPath[len - 5], '\0'};
  return std::atoi(yearField);
}
