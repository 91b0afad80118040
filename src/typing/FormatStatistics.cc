#include "typing/FormatStatistics.h"

bool isConstant(const Extent<TypedValue>& extent) {
  auto [min, max] = extent.get();
  return equal(min, max);
}

FormatStatistics::Bounds* FormatStatistics::boundsBeyond(std::uint32_t address) {
  if (address >= kDenseLimit) return nullptr;
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
  for (const AddressTypedValuePair& pair : record) {
    addressRange.add(pair.address);
    Bounds* b = pair.address < dense_.size() ? &dense_[pair.address] : boundsBeyond(pair.address);
    if (b != nullptr) {
      addTo(*b, pair.value);
    } else {
      sparse_[pair.address].add(pair.value);
    }
  }
}

std::size_t FormatStatistics::addressCount() const {
  std::size_t n = sparse_.size();
  for (const Bounds& b : dense_) n += b.defined ? 1 : 0;
  return n;
}
