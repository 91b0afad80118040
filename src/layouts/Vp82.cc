#include "layouts/Vp82.h"

#include "layouts/SharedStringRanges.h"

namespace {

constexpr std::uint32_t kFirstExpanded = 701;

constexpr FieldExpansion kDistrictExpansions[] = {
    {489, 495, 32},
    {521, 602, 4},
    {40, 41, 4},
};

constexpr RuleRow kDistrictRules[] = {
    {496, 520, kConstant0}, {603, 700, kConstant0},  //
    {39, 39, kFloat},                                //
    {42, 42, kSkip},                                 //
    {43, 488, kConstant0},
};

constexpr FieldExpansion kSchoolExpansions[] = {
    {489, 495, 32},
    {521, 602, 4},
    {36, 36, 32},
};

constexpr RuleRow kSchoolRules[] = {
    {496, 520, kConstant0},
    {603, 700, kConstant0},
    {328, 488, kConstant0},
};
constexpr std::uint32_t kSchoolWindowBase = 182;
constexpr std::uint32_t kSchoolWindowStep = 11;

}  // namespace

Vp82_District::Vp82_District()
    : ExpandingVp(kVp82HighestAddress, districtStringRanges(), kDistrictExpansions,
                  kFirstExpanded) {}

const Vp82_District& Vp82_District::instance() {
  static const Precomputed<Vp82_District> layout;
  return layout;
}

VpInfo Vp82_District::ruleChain(std::uint32_t address) const {
  if (auto entry = stringOrPackedField(address)) return *entry;
  if (auto entry = findRule(kDistrictRules, address)) return *entry;
  return kUnsigned;
}

Vp82_School::Vp82_School()
    : ExpandingVp(kVp82HighestAddress, schoolStringRanges(), kSchoolExpansions, kFirstExpanded) {}

const Vp82_School& Vp82_School::instance() {
  static const Precomputed<Vp82_School> layout;
  return layout;
}

VpInfo Vp82_School::ruleChain(std::uint32_t address) const {
  if (auto entry = stringOrPackedField(address)) return *entry;
  if (auto entry = findRule(kSchoolRules, address)) return *entry;
  if (inWindows(kSchoolWindowBase, kSchoolWindowStep, address)) return kConstant0;
  return kUnsigned;
}
