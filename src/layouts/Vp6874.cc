#include "layouts/Vp6874.h"

namespace {

// FF records name their addresses, so these years fix no highest one. The tables reach as
// far as year 74's records, whose expanded addresses begin above 593; the rule chain
// answers anything higher.
constexpr std::uint32_t kHighestAddress = 593;

constexpr StringRange kStrings[] = {
    {8, 15}, {16, 23}, {24, 27}, {28, 31}, {32, 35}, {36, 37}, {38, 42}, {88, 95},
};

constexpr RuleRow kRules[] = {
    {4, 4, constant(1)},
    {5, 5, constant(0x41100000)},
};

constexpr RuleRow kRules69[] = {
    {52, 56, kSkip},
};

constexpr RuleRow kRules71[] = {
    {88, 88, kSkip}, {188, 188, kSkip}, {196, 196, kSkip}, {200, 200, kSkip}, {204, 204, kSkip},
};

constexpr RuleRow kRules74[] = {
    {187, 187, kFloat},
    {588, 589, kFloat},
    {592, 593, kFloat},
};

constexpr FieldExpansion kExpansions74[] = {
    {579, 587, 32},
};
constexpr std::uint32_t kFirstExpanded74 = 594;

}  // namespace

Vp6874::Vp6874() : PrecomputedVp(kHighestAddress), strings_(kStrings) {}

const Vp6874& Vp6874::instance() {
  static const Precomputed<Vp6874> layout;
  return layout;
}

VpInfo Vp6874::ruleChain(std::uint32_t address) const {
  if (auto entry = strings_.startingAt(address)) return *entry;
  if (auto entry = findRule(kRules, address)) return *entry;
  return kUnsigned;
}

const Vp69& Vp69::instance() {
  static const Precomputed<Vp69> layout;
  return layout;
}

VpInfo Vp69::ruleChain(std::uint32_t address) const {
  if (auto entry = findRule(kRules69, address)) return *entry;
  return Vp6874::ruleChain(address);
}

const Vp71& Vp71::instance() {
  static const Precomputed<Vp71> layout;
  return layout;
}

VpInfo Vp71::ruleChain(std::uint32_t address) const {
  if (auto entry = findRule(kRules71, address)) return *entry;
  return Vp6874::ruleChain(address);
}

Vp74::Vp74() : expansions_(kExpansions74, kFirstExpanded74) {}

const Vp74& Vp74::instance() {
  static const Precomputed<Vp74> layout;
  return layout;
}

VpInfo Vp74::ruleChain(std::uint32_t address) const {
  if (auto entry = findRule(kRules74, address)) return *entry;
  if (auto entry = expansions_.lookup(address)) return *entry;
  return Vp6874::ruleChain(address);
}

void Vp74::printFieldExpansions(std::ostream& out) const {
  expansions_.printFieldExpansions(out);
}
