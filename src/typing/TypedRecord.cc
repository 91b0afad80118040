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
  packed_ = 0;
  runs_.clear();
  if (value.type == TypedValue::S) {
    append({address, value.type, static_cast<std::uint32_t>(texts_.size()),
            static_cast<std::uint32_t>(value.text.size())});
    texts_ += value.text;
    return;
  }
  append({address, value.type, value.number(), 0});
}

void TypedRecord::grow(std::size_t n) {
  cells_.resize(std::max(size_ + n, 2 * cells_.size()));
}
