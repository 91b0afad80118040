#include "typing/FormatStatistics.h"

bool isConstant(const Extent<TypedValue>& extent) {
  auto [min, max] = extent.get();
  return equal(min, max);
}

Extent<TypedValue>& FormatStatistics::extentAt(std::uint32_t address) {
  if (address < dense_.size()) return dense_[address];
  if (address < kDenseLimit) {
    dense_.resize(std::size_t{address} + 1);
    return dense_[address];
  }
  return sparse_[address];
}

void FormatStatistics::add(const TypedRecord& record) {
  ++recordCount;
  for (const AddressTypedValuePair& pair : record) {
    addressRange.add(pair.address);
    extentAt(pair.address).add(pair.value);
  }
}

std::size_t FormatStatistics::addressCount() const {
  std::size_t n = sparse_.size();
  for (const Extent<TypedValue>& e : dense_) n += e.isUndefined() ? 0 : 1;
  return n;
}
