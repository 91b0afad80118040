#include "layouts/Vp8688.h"

#include "layouts/SharedStringRanges.h"

namespace {

constexpr std::uint32_t kFirstExpanded = 701;

// District and School pack the same ranges.
constexpr FieldExpansion kExpansions[] = {
    {489, 498, 32},
    {521, 602, 4},
};

// Consulted by District and School right after the expansion lookup.
constexpr RuleRow kCommonRules[] = {
    {481, 484, kConstant0},  //
    {485, 488, kSkip},       //
    {499, 520, kConstant0},  //
    {603, 700, kSkip},       //
    {331, 331, kFloat},     {333, 333, kFloat},
};

constexpr std::uint32_t kFirstSkipped = 39;
constexpr RuleRow kDistrictRules[] = {
    {335, 480, kConstant0},
};

constexpr std::uint32_t kSchoolWindowBase = 182;
constexpr std::uint32_t kSchoolWindowStep = 11;

constexpr RuleRow kSummaryRules[] = {
    {33, 33, kFloat},
    {35, 35, kFloat},  //
    {335, 700, kConstant0},
};

}  // namespace

Vp8688_District::Vp8688_District(std::uint32_t lastSkipped)
    : ExpandingVp(kVp8688HighestAddress, districtStringRanges(), kExpansions, kFirstExpanded),
      lastSkipped_(lastSkipped) {}

const Vp8688_District& Vp8688_District::year86() {
  static const Precomputed<Vp8688_District> layout(330);
  return layout;
}

const Vp8688_District& Vp8688_District::year88() {
  static const Precomputed<Vp8688_District> layout(328);
  return layout;
}

VpInfo Vp8688_District::ruleChain(std::uint32_t address) const {
  if (auto entry = stringOrPackedField(address)) return *entry;
  if (auto entry = findRule(kCommonRules, address)) return *entry;
  if (kFirstSkipped <= address && address <= lastSkipped_) return kSkip;
  if (auto entry = findRule(kDistrictRules, address)) return *entry;
  return kUnsigned;
}

Vp8688_School::Vp8688_School()
    : ExpandingVp(kVp8688HighestAddress, schoolStringRanges(), kExpansions, kFirstExpanded) {}

const Vp8688_School& Vp8688_School::instance() {
  static const Precomputed<Vp8688_School> layout;
  return layout;
}

VpInfo Vp8688_School::ruleChain(std::uint32_t address) const {
  if (auto entry = stringOrPackedField(address)) return *entry;
  if (auto entry = findRule(kCommonRules, address)) return *entry;
  if (inWindows(kSchoolWindowBase, kSchoolWindowStep, address)) return kConstant0;
  return kUnsigned;
}

Vp8688_District_Summary::Vp8688_District_Summary()
    : PrecomputedVp(kVp8688HighestAddress), strings_(districtStringRanges()) {}

const Vp8688_District_Summary& Vp8688_District_Summary::instance() {
  static const Precomputed<Vp8688_District_Summary> layout;
  return layout;
}

VpInfo Vp8688_District_Summary::ruleChain(std::uint32_t address) const {
  if (auto entry = strings_.startingAt(address)) return *entry;
  if (auto entry = findRule(kSummaryRules, address)) return *entry;
  return kUnsigned;
}
