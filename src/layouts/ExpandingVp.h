#ifndef SURVEY_LAYOUTS_EXPANDINGVP_H_
#define SURVEY_LAYOUTS_EXPANDINGVP_H_

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>

#include "layouts/FieldExpansions.h"
#include "layouts/LayoutRules.h"
#include "layouts/PrecomputedVp.h"

// A layout of the years 76 to 88 that packs fields: its chain opens with its string starts
// and then its packed fields, and it reports its field expansion table.
class ExpandingVp : public PrecomputedVp {
 public:
  void printFieldExpansions(std::ostream& out) const override {
    expansions_.printFieldExpansions(out);
  }

 protected:
  // `strings` is a static set that outlives the layout.
  ExpandingVp(std::uint32_t highestAddress, const StringRanges& strings,
              std::span<const FieldExpansion> expansions, std::uint32_t firstExpanded)
      : PrecomputedVp(highestAddress), strings_(strings), expansions_(expansions, firstExpanded) {}
  ~ExpandingVp() = default;

  // The first two rules of the chain: a string start, else a packed field.
  std::optional<VpInfo> stringOrPackedField(std::uint32_t address) const {
    if (auto entry = strings_.startingAt(address)) return entry;
    return expansions_.lookup(address);
  }

 private:
  const StringRanges& strings_;
  FieldExpansions expansions_;
};

#endif  // SURVEY_LAYOUTS_EXPANDINGVP_H_
