#include "layouts/Vp76.h"

namespace {

constexpr std::uint32_t kHighestAddress = 872;

const StringRanges& strings() {
  static constexpr StringRange kStrings[] = {
      {4, 11}, {12, 15}, {16, 19}, {20, 21}, {135, 142},
  };
  static const StringRanges ranges(kStrings);
  return ranges;
}

constexpr FieldExpansion kExpansions[] = {
    {830, 872, 32},
};
constexpr std::uint32_t kFirstExpanded = 873;

constexpr RuleRow kRules[] = {
    {134, 134, kSkip},
    {123, 123, kFloat},
};

}  // namespace

Vp76::Vp76() : ExpandingVp(kHighestAddress, strings(), kExpansions, kFirstExpanded) {}

const Vp76& Vp76::instance() {
  static const Precomputed<Vp76> layout;
  return layout;
}

VpInfo Vp76::ruleChain(std::uint32_t address) const {
  if (auto entry = stringOrPackedField(address)) return *entry;
  if (auto entry = findRule(kRules, address)) return *entry;
  return kUnsigned;
}
