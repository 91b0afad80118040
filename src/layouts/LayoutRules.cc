#include "layouts/LayoutRules.h"

#include <algorithm>
#include <tuple>

std::optional<VpInfo> findRule(std::span<const RuleRow> rows, std::uint32_t address) {
  for (const RuleRow& row : rows) {
    if (row.first <= address && address <= row.last) return row.entry;
  }
  return std::nullopt;
}

StringRanges::StringRanges(std::span<const StringRange> ranges)
    : ranges_(ranges.begin(), ranges.end()) {
  std::sort(ranges_.begin(), ranges_.end(), [](const StringRange& a, const StringRange& b) {
    return std::tie(a.first, a.last) < std::tie(b.first, b.last);
  });
}

std::optional<VpInfo> StringRanges::startingAt(std::uint32_t address) const {
  const auto found =
      std::lower_bound(ranges_.begin(), ranges_.end(), address,
                       [](const StringRange& range, std::uint32_t a) { return range.first < a; });
  if (found == ranges_.end() || found->first != address) return std::nullopt;
  return VpInfo{found->last, VpInfo::String};
}

bool inWindows(std::uint32_t base, std::uint32_t step, std::uint32_t address) {
  // The layouts advance the window start by 1, 2, 2, 1, 2, 1 steps and then once more by
  // 1, to base + step x 10, where their list ends before that window is tested.
  static constexpr std::uint32_t kWindowOffsets[] = {0, 1, 3, 5, 6, 8, 9};
  constexpr std::uint32_t kWindowWidth = 8;
  for (std::uint32_t offset : kWindowOffsets) {
    const std::uint32_t start = base + step * offset;
    if (address >= start && address - start < kWindowWidth) return true;
  }
  return false;
}
