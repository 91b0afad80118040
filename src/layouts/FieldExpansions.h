#ifndef SURVEY_LAYOUTS_FIELDEXPANSIONS_H_
#define SURVEY_LAYOUTS_FIELDEXPANSIONS_H_

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <vector>

#include "layouts/VpInfo.h"

// One packed address range: every field from `lb` to `ub` (inclusive) holds `cf` values,
// 32 one-bit flags or 4 one-byte numbers.
struct FieldExpansion {
  std::uint32_t lb = 0;
  std::uint32_t ub = 0;
  std::uint32_t cf = 0;
};

// A layout's packed ranges and the addresses their values expand to. The expanded
// addresses run on from the first expanded address, range after range in order of `lb`,
// whatever the order of the list the table was built from.
class FieldExpansions {
 public:
  // Copies `list`; ranges must not overlap nor share an `lb`.
  FieldExpansions(std::span<const FieldExpansion> list, std::uint32_t firstExpandedAddress);

  // The BitArray or ByteArray entry of the field at `address`, whose parameter is the
  // field's first expanded address; nothing when no range covers `address`. Fails with
  // "unrec ef" for a covering range whose cf is neither 32 nor 4.
  std::optional<VpInfo> lookup(std::uint32_t address) const;

  // Writes the "Field expansions" report section, one flushed line at a time.
  void printFieldExpansions(std::ostream& out) const;

 private:
  std::uint32_t firstExpandedOf(std::uint32_t lb) const;

  std::vector<FieldExpansion> ranges_;  // sorted by lb, stably
  std::map<std::uint32_t, std::uint32_t> firstExpanded_;
};

#endif  // SURVEY_LAYOUTS_FIELDEXPANSIONS_H_
