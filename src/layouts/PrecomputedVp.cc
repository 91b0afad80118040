#include "layouts/PrecomputedVp.h"

void PrecomputedVp::precompute() {
  std::vector<VpInfo> table;
  table.reserve(std::size_t{highestAddress_} + 1);
  for (std::uint32_t address = 0; address <= highestAddress_; ++address) {
    table.push_back(ruleChain(address));
  }
  table_ = std::move(table);
}
