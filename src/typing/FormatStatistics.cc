#include "typing/FormatStatistics.h"

#include <algorithm>
#include <type_traits>

bool isConstant(const Extent<TypedValue>& extent) {
  auto [min, max] = extent.get();
  return equal(min, max);
}

FormatStatistics::Bounds* FormatStatistics::boundsBeyond(std::uint32_t address) {
  if (address >= kDirectAddressLimit) return nullptr;
  dense_.resize(std::size_t{address} + 1);
  return &dense_[address];
}

TypedValue FormatStatistics::valueOf(std::uint32_t type, std::uint32_t word,
                                     const std::string& text) {
  TypedValue v;
  v.type = type;
  if (isNumeric(type)) {
    v.setNumber(word);
  } else {
    v.text = text;
  }
  return v;
}

void FormatStatistics::addOther(Bounds& b, const TypedRecord& record, const TypedCell& cell) {
  if (!b.defined) {
    b.defined = true;
    b.type = cell.type;
    if (isNumeric(cell.type)) {
      b.numberType = cell.type;
      b.least = b.greatest = cell.word;
      return;
    }
    b.least = static_cast<std::uint32_t>(texts_.size());
    const std::string_view text =
        cell.type == TypedValue::S ? record.text(cell) : std::string_view();
    texts_.push_back({std::string(text), std::string(text)});
    return;
  }
  if (cell.type != b.type) throwMessage("attempt to relate values of different type");
  // A text, or a code no value is typed with, which orderOf() refuses.
  TextBounds& bounds = texts_[b.least];
  const std::string_view text = record.text(cell);
  if (orderOf(b.type, 0, text, 0, bounds.least) == Order::Less) bounds.least = text;
  if (orderOf(b.type, 0, text, 0, bounds.greatest) == Order::Greater) bounds.greatest = text;
}

void FormatStatistics::add(const TypedRecord& record) {
  ++recordCount;
  if (record.empty()) return;
  // The address bounds reach addressRange also when a value fails, and then
  // cover the cells up to the failing one, whose address counts before its
  // value.
  const TypedCell* cell = record.begin();
  const TypedCell* const end = record.end();
  // The values of packed fields at the end are all of type u.
  const TypedCell* const packed = end - record.packedCount();
  std::uint32_t lowest = cell->address;
  std::uint32_t highest = lowest;
  // The table in registers; only a new address beyond it moves it.
  Bounds* table = dense_.data();
  std::size_t tableSize = dense_.size();
  // One step of the walk; `packedValue` says that the cell is of type u.
  const auto step = [&](const TypedCell& c, auto packedValue) {
    const std::uint32_t address = c.address;
    lowest = std::min(lowest, address);
    highest = std::max(highest, address);
    if (address < tableSize) {
      Bounds& b = table[address];
      if (packedValue && b.numberType == TypedValue::U) {
        widenBounds(TypedValue::U, c.word, b.least, b.greatest);
      } else if (!packedValue && b.numberType == c.type && c.type != TypedValue::S) {
        widenBounds(c.type, c.word, b.least, b.greatest);
      } else {
        addOther(b, record, c);
      }
      return;
    }
    Bounds* b = boundsBeyond(address);
    table = dense_.data();
    tableSize = dense_.size();
    if (b != nullptr) {
      addOther(*b, record, c);
    } else {
      sparse_[address].add(record.value(c));
    }
  };
  try {
    for (; cell != packed; ++cell) step(*cell, std::false_type());
    if (cell != end && end[-1].address < tableSize) {
      // Ascending above every cell before and inside the table: the bounds
      // of the addresses are the run's ends, and no address needs a check.
      // The values come from the fields' words, a field at a time.
      lowest = std::min(lowest, cell->address);
      for (const PackedRun& run : record.packedRuns()) {
        const std::uint32_t width = run.count == 32 ? 1 : 8;
        const std::uint32_t mask = (1u << width) - 1;
        Bounds* b = table + run.first;
        for (std::uint32_t shift = 32 - width;; shift -= width, ++b, ++cell) {
          if (b->numberType == TypedValue::U) {
            widenBounds(TypedValue::U, (run.word >> shift) & mask, b->least, b->greatest);
          } else {
            addOther(*b, record, *cell);
          }
          if (shift == 0) break;
        }
        ++cell;
      }
      highest = std::max(highest, end[-1].address);
    }
    for (; cell != end; ++cell) step(*cell, std::true_type());
  } catch (...) {
    // The failing cell is the highest of the run so far.
    highest = std::max(highest, cell->address);
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
