#include "layouts/FieldExpansions.h"

#include <algorithm>

#include "core/Error.h"

FieldExpansions::FieldExpansions(std::span<const FieldExpansion> list,
                                 std::uint32_t firstExpandedAddress)
    : ranges_(list.begin(), list.end()) {
  std::stable_sort(ranges_.begin(), ranges_.end(),
                   [](const FieldExpansion& a, const FieldExpansion& b) { return a.lb < b.lb; });
  std::uint32_t next = firstExpandedAddress;
  for (const FieldExpansion& range : ranges_) {
    firstExpanded_[range.lb] = next;
    next += (range.ub - range.lb + 1) * range.cf;
  }
}

std::optional<VpInfo> FieldExpansions::lookup(std::uint32_t address) const {
  for (const FieldExpansion& range : ranges_) {
    if (address < range.lb || address > range.ub) continue;
    VpInfo entry;
    if (range.cf == 32) {
      entry.tag = VpInfo::BitArray;
    } else if (range.cf == 4) {
      entry.tag = VpInfo::ByteArray;
    } else {
      throwMessage("unrec ef");
    }
    entry.additionalInfoLhs(entry.tag) =
        firstExpandedOf(range.lb) + (address - range.lb) * range.cf;
    return entry;
  }
  return std::nullopt;
}

std::uint32_t FieldExpansions::firstExpandedOf(std::uint32_t lb) const {
  const auto found = firstExpanded_.find(lb);
  if (found == firstExpanded_.end()) throwMessage("find failed");
  return found->second;
}

namespace {

void printBoundsKey(std::ostream& out, const char* abbreviation, const char* word) {
  out << abbreviation << ".lb\tlower bound of " << word << " range" << std::endl;
  out << abbreviation << ".ub\tupper bound of " << word << " range" << std::endl;
  out << abbreviation << ".s\tsize of " << word << " range" << std::endl;
}

}  // namespace

void FieldExpansions::printFieldExpansions(std::ostream& out) const {
  out << "Field expansions" << std::endl;
  out << "Key:" << std::endl;
  printBoundsKey(out, "o", "original");
  out << "o.cf\tcompression factor (values per field) of original range" << std::endl;
  printBoundsKey(out, "e", "expanded");
  out << "o.lb\to.ub\to.s\to.cf\te.lb\te.ub\te.s" << std::endl;
  for (const FieldExpansion& range : ranges_) {
    const std::uint32_t size = range.ub - range.lb + 1;
    const std::uint32_t first = firstExpandedOf(range.lb);
    const std::uint32_t last = first + size * range.cf - 1;
    out << range.lb << '\t' << range.ub << '\t' << size << '\t' << range.cf << '\t' << first << '\t'
        << last << '\t' << last - first + 1 << std::endl;
  }
}
