#include "layouts/Vp78.h"

namespace {

constexpr StringRange kDistrictStrings[] = {
    {1, 7}, {15, 47}, {48, 77}, {78, 93}, {94, 109}, {110, 114}, {209, 271},
};

constexpr RuleRow kDistrictRules[] = {
    {8, 8, kSingleChar},   {117, 123, kSingleChar},  //
    {9, 14, kSkip},        {124, 124, kSkip},        //
    {115, 115, kSigned16},                           //
    {125, 208, kSigned},                             //
    {272, 272, kFloat},
};

constexpr StringRange kSchoolStrings[] = {
    {1, 7},
    {10, 14},
    {15, 47},
    {48, 77},
};

constexpr RuleRow kSchoolRules[] = {
    {8, 9, kSkip},                                                            //
    {78, 94, kSingleChar}, {201, 204, kSingleChar}, {569, 574, kSingleChar},  //
    {95, 200, kSigned16},  {205, 568, kSigned16},   {575, 866, kSigned16},
};

}  // namespace

Vp78_District::Vp78_District() : PrecomputedVp(275), strings_(kDistrictStrings) {}

const Vp78_District& Vp78_District::instance() {
  static const Precomputed<Vp78_District> layout;
  return layout;
}

VpInfo Vp78_District::ruleChain(std::uint32_t address) const {
  if (auto entry = strings_.startingAt(address)) return *entry;
  if (auto entry = findRule(kDistrictRules, address)) return *entry;
  return kNoEntry;
}

Vp78_School::Vp78_School() : PrecomputedVp(866), strings_(kSchoolStrings) {}

const Vp78_School& Vp78_School::instance() {
  static const Precomputed<Vp78_School> layout;
  return layout;
}

VpInfo Vp78_School::ruleChain(std::uint32_t address) const {
  if (auto entry = strings_.startingAt(address)) return *entry;
  if (auto entry = findRule(kSchoolRules, address)) return *entry;
  return kNoEntry;
}
