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
  takesEveryBit_.resize(dense_.size() / 64 + 2);
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
  // cover the values up to the failing one, whose address counts before its
  // value.
  const TypedCell* const listed = record.listedCells();
  const std::size_t listedCount = record.listedCount();
  std::uint32_t lowest = listedCount > 0 ? listed[0].address : record.packedRuns().front().first;
  std::uint32_t highest = lowest;
  // The address of a packed value being added, for the bounds of a failure;
  // a listed value's address is in `highest` before it can fail.
  std::uint32_t at = lowest;
  // The table in registers; only a new address beyond it moves it.
  Bounds* table = dense_.data();
  std::size_t tableSize = dense_.size();
  // One value of the walk; `packedValue` says that it is a packed field's.
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
    for (std::size_t k = 0; k < listedCount; ++k) step(listed[k], std::false_type());
    if (record.packedCount() == 0) {
      // Nothing more.
    } else if (record.lastAddress() < tableSize) {
      // Ascending above every listed value and inside the table: the bounds
      // of the addresses are the runs' ends, and no address needs a check.
      // The values come from the fields' words, a field at a time.
      lowest = std::min(lowest, record.packedRuns().front().first);
      std::uint64_t* const takesEveryBit = takesEveryBit_.data();
      for (const PackedRun& run : record.packedRuns()) {
        const bool bits = run.count == 32;
        const std::size_t word = run.first / 64;
        const std::uint32_t offset = run.first % 64;
        if (bits) {
          const std::uint64_t from = (takesEveryBit[word] >> offset) |
                                     (offset == 0 ? 0 : takesEveryBit[word + 1] << (64 - offset));
          if (static_cast<std::uint32_t>(from) == UINT32_MAX) continue;
        }
        const std::uint32_t width = bits ? 1 : 8;
        const std::uint32_t mask = (1u << width) - 1;
        Bounds* b = table + run.first;
        for (std::uint32_t shift = 32 - width;; shift -= width, ++b) {
          const std::uint32_t value = (run.word >> shift) & mask;
          if (b->numberType == TypedValue::U) {
            widenBounds(TypedValue::U, value, b->least, b->greatest);
          } else {
            at = static_cast<std::uint32_t>(b - table);
            addOther(*b, record, {at, TypedValue::U, value, 0});
          }
          if (bits && b->numberType == TypedValue::U && b->least == 0 && b->greatest >= 1) {
            const std::size_t entry = static_cast<std::size_t>(b - table);
            takesEveryBit[entry / 64] |= std::uint64_t{1} << (entry % 64);
          }
          if (shift == 0) break;
        }
      }
      highest = std::max(highest, record.lastAddress());
    } else {
      const TypedCell* const cells = record.begin();
      for (std::size_t k = listedCount; k < record.size(); ++k) {
        step(cells[k], std::true_type());
      }
    }
  } catch (...) {
    // The failing value is the highest so far of an ascending run.
    highest = std::max(highest, at);
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
