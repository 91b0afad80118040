#include "typing/FormatStatistics.h"

#include <algorithm>

bool isConstant(const Extent<TypedValue>& extent) {
  auto [min, max] = extent.get();
  return equal(min, max);
}

FormatStatistics::Bounds* FormatStatistics::boundsBeyond(std::uint32_t address) {
  if (address >= kDirectAddressLimit) return nullptr;
  dense_.resize(std::size_t{address} + 1);
  return &dense_[address];
}

void FormatStatistics::first(Bounds& b, const TypedValue& v) {
  b.defined = true;
  b.type = v.type;
  if (isNumeric(v.type)) {
    b.least = b.greatest = v.number();
    return;
  }
  b.least = static_cast<std::uint32_t>(others_.size());
  others_.emplace_back().add(v);
}

void FormatStatistics::add(const TypedRecord& record) {
  ++recordCount;
  if (record.empty()) return;
  // The address bounds and the table stay in registers while the values go
  // in; the bounds reach addressRange also when a value fails, and then cover
  // the pairs up to the failing one, whose address counts before its value.
  std::uint32_t lowest = record.front().address;
  std::uint32_t highest = lowest;
  Bounds* table = dense_.data();
  std::size_t tableSize = dense_.size();
  try {
    for (const AddressTypedValuePair& pair : record) {
      const std::uint32_t address = pair.address;
      lowest = std::min(lowest, address);
      highest = std::max(highest, address);
      if (address < tableSize) {
        addTo(table[address], pair.value);
        continue;
      }
      Bounds* b = boundsBeyond(address);
      table = dense_.data();
      tableSize = dense_.size();
      if (b != nullptr) {
        addTo(*b, pair.value);
      } else {
        sparse_[address].add(pair.value);
      }
    }
  } catch (...) {
    addressRange.add(lowest);
    addressRange.add(highest);
    throw;
  }
  addressRange.add(lowest);
  addressRange.add(highest);
}

std::size_t FormatStatistics::addressCount() const {
  std::size_t n = sparse_.size();
  for (const Bounds& b : dense_) n += b.defined ? 1 : 0;
  return n;
}
