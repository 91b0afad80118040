#include "layouts/Vp80.h"

#include <vector>

namespace {

constexpr std::uint32_t kFirstExpanded = 661;

const StringRanges& districtStrings() {
  static constexpr StringRange kStrings[] = {
      {3, 11}, {12, 19}, {20, 24}, {25, 29}, {30, 30}, {31, 32}, {643, 660},
  };
  static const StringRanges ranges(kStrings);
  return ranges;
}

constexpr FieldExpansion kDistrictExpansions[] = {
    {489, 500, 32},
    {521, 642, 4},
    {66, 66, 32},
};

constexpr RuleRow kDistrictRules[] = {
    {68, 484, kConstant0},   //
    {485, 488, kSkip},       //
    {501, 520, kConstant0},  //
    {65, 65, kFloat},
};

// The School record repeats an 11-value group eighteen times: a packed field of flags
// at 96, 107, ..., 283 and a one-value string right after each.
constexpr std::uint32_t kGroupFlags = 96;
constexpr std::uint32_t kGroupStride = 11;
constexpr std::uint32_t kGroupCount = 18;

const StringRanges& schoolStrings() {
  static const StringRanges ranges([] {
    std::vector<StringRange> list = {{3, 9}, {10, 14}, {15, 16}, {643, 660}};
    for (std::uint32_t group = 0; group < kGroupCount; ++group) {
      const std::uint32_t string = kGroupFlags + 1 + group * kGroupStride;
      list.push_back({string, string});
    }
    return list;
  }());
  return ranges;
}

std::vector<FieldExpansion> schoolExpansions() {
  std::vector<FieldExpansion> list = {{489, 500, 32}, {521, 642, 4}, {32, 32, 32}};
  for (std::uint32_t group = 0; group < kGroupCount; ++group) {
    const std::uint32_t flags = kGroupFlags + group * kGroupStride;
    list.push_back({flags, flags, 32});
  }
  return list;
}

constexpr RuleRow kSchoolRules[] = {
    {485, 488, kSkip},                        //
    {501, 520, kConstant0},                   //
    {49, 51, kSkip},        {59, 60, kSkip},  //
    {58, 58, kConstant0},   {69, 69, kConstant0}, {468, 468, kConstant0}, {470, 470, kConstant0},
};
constexpr std::uint32_t kSchoolWindowBase = 320;
constexpr std::uint32_t kSchoolWindowStep = 12;

}  // namespace

Vp80_District::Vp80_District()
    : ExpandingVp(kVp80HighestAddress, districtStrings(), kDistrictExpansions, kFirstExpanded) {}

const Vp80_District& Vp80_District::instance() {
  static const Precomputed<Vp80_District> layout;
  return layout;
}

VpInfo Vp80_District::ruleChain(std::uint32_t address) const {
  if (auto entry = stringOrPackedField(address)) return *entry;
  if (auto entry = findRule(kDistrictRules, address)) return *entry;
  return kUnsigned;
}

Vp80_School::Vp80_School()
    : ExpandingVp(kVp80HighestAddress, schoolStrings(), schoolExpansions(), kFirstExpanded) {}

const Vp80_School& Vp80_School::instance() {
  static const Precomputed<Vp80_School> layout;
  return layout;
}

VpInfo Vp80_School::ruleChain(std::uint32_t address) const {
  if (auto entry = stringOrPackedField(address)) return *entry;
  if (auto entry = findRule(kSchoolRules, address)) return *entry;
  if (inWindows(kSchoolWindowBase, kSchoolWindowStep, address)) return kConstant0;
  return kUnsigned;
}
