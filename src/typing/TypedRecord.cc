#include "typing/TypedRecord.h"

#include <algorithm>

TypedRecord::TypedRecord(std::initializer_list<AddressTypedValuePair> pairs) {
  for (const AddressTypedValuePair& pair : pairs) add(pair.address, pair.value);
}

TypedValue TypedRecord::value(const TypedCell& cell) const {
  TypedValue v;
  v.type = cell.type;
  if (cell.type == TypedValue::S) {
    v.text = text(cell);
  } else {
    v.setNumber(cell.word);
  }
  return v;
}

void TypedRecord::add(std::uint32_t address, const TypedValue& value) {
  listPacked();
  if (value.type == TypedValue::S) {
    append({address, value.type, static_cast<std::uint32_t>(texts_.size()),
            static_cast<std::uint32_t>(value.text.size())});
    texts_ += value.text;
    return;
  }
  append({address, value.type, value.number(), 0});
}

void TypedRecord::expandPacked() const {
  expanded_ = true;
  if (cells_.size() < listed_ + packed_) grow(packed_);
  TypedCell* p = cells_.data() + listed_;
  for (const PackedRun& run : runs_) {
    const std::uint32_t width = run.count == 32 ? 1 : 8;
    const std::uint32_t mask = (1u << width) - 1;
    for (std::uint32_t k = 0; k < run.count; ++k) {
      *p++ = {run.first + k, TypedValue::U, (run.word >> (32 - width * (k + 1))) & mask, 0};
    }
  }
}

void TypedRecord::listPacked() {
  if (!expanded_) expandPacked();
  listed_ += packed_;
  packed_ = 0;
  runs_.clear();
}

void TypedRecord::grow(std::size_t n) const {
  cells_.resize(std::max(listed_ + n, 2 * cells_.size()));
}
