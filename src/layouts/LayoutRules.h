#ifndef SURVEY_LAYOUTS_LAYOUTRULES_H_
#define SURVEY_LAYOUTS_LAYOUTRULES_H_

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "layouts/VpInfo.h"

// The pieces every layout's rule chain is made of: the entries that carry no parameter,
// rows of address ranges, string range sets and the periodic windows of the School layouts.

inline constexpr VpInfo kFloat{0, VpInfo::Float};
inline constexpr VpInfo kSkip{0, VpInfo::Skip};
inline constexpr VpInfo kUnsigned{0, VpInfo::Unsigned};
inline constexpr VpInfo kSigned{0, VpInfo::Signed};
inline constexpr VpInfo kSigned16{0, VpInfo::Signed16};
inline constexpr VpInfo kSingleChar{0, VpInfo::SingleChar};
inline constexpr VpInfo kNoEntry{0, VpInfo::NoEntry};

// The word at the address must be `expected` or 0.
constexpr VpInfo constant(std::uint32_t expected) {
  return {expected, VpInfo::Constant};
}
inline constexpr VpInfo kConstant0 = constant(0);

// Addresses `first` to `last`, inclusive, answer `entry`.
struct RuleRow {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  VpInfo entry;
};

// The entry of the first row that covers `address`, if any: earlier rows win.
std::optional<VpInfo> findRule(std::span<const RuleRow> rows, std::uint32_t address);

// A string from `first` to `last`, inclusive.
struct StringRange {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
};

// A string range set, looked up by exact first address only: an address inside a string
// is answered by the layout's other rules.
class StringRanges {
 public:
  // Copies `ranges`; no two may share a first address.
  explicit StringRanges(std::span<const StringRange> ranges);

  // (last, String) when a string begins at `address`.
  std::optional<VpInfo> startingAt(std::uint32_t address) const;

  // In order of first address, then last address.
  const std::vector<StringRange>& ranges() const { return ranges_; }

 private:
  std::vector<StringRange> ranges_;
};

// True when `address` lies in one of the eight-address windows starting at base + step x
// 0, 1, 3, 5, 6, 8 and 9. The window at base + step x 10 is deliberately not one of them.
bool inWindows(std::uint32_t base, std::uint32_t step, std::uint32_t address);

#endif  // SURVEY_LAYOUTS_LAYOUTRULES_H_
