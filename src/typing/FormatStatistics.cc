#include "typing/FormatStatistics.h"

bool isConstant(const Extent<TypedValue>& extent) {
  auto [min, max] = extent.get();
  return equal(min, max);
}

Extent<TypedValue>& FormatStatistics::extentAt(std::uint32_t address) {
  if (address >= kDenseLimit) return sparse_[address];
  if (address >= slotOf_.size()) slotOf_.resize(std::size_t{address} + 1, 0);
  std::uint32_t& slot = slotOf_[address];
  if (slot == 0) {
    dense_.emplace_back();
    slot = static_cast<std::uint32_t>(dense_.size());
  }
  return dense_[slot - 1];
}

void FormatStatistics::add(const TypedRecord& record) {
  ++recordCount;
  for (const AddressTypedValuePair& pair : record) {
    addressRange.add(pair.address);
    extentAt(pair.address).add(pair.value);
  }
}

std::size_t FormatStatistics::addressCount() const {
  return dense_.size() + sparse_.size();
}
