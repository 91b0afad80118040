#ifndef SURVEY_TYPING_TYPEDRECORD_H_
#define SURVEY_TYPING_TYPEDRECORD_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "typing/TypedValue.h"

namespace TypifierPrivate {
class TypedRecordBuilder;
}

// One value of a typed record in sixteen bytes: a record of thousands of
// values is typed, counted and written without moving a string per value.
struct TypedCell {
  std::uint32_t address = 0;
  std::uint32_t type = TypedValue::U;
  // Types u, i, f: the big-endian reading of the value's four bytes. Type s:
  // where the text starts in its record's texts.
  std::uint32_t word = 0;
  // Type s: the text's length; 0 for the other types.
  std::uint32_t length = 0;

  friend bool operator==(const TypedCell&, const TypedCell&) = default;
};

// The values of one packed field: `count` values of type u (32 bits or 4
// bytes of `word`, most significant first) at `first` and the addresses after.
struct PackedRun {
  std::uint32_t first = 0;
  std::uint32_t word = 0;
  std::uint32_t count = 0;
};

// A typed record: its values as cells sorted by address, ascending, and the
// texts of its s values one after the other in one buffer. The record owns
// both; clear() keeps their storage for the next record.
class TypedRecord {
 public:
  TypedRecord() = default;
  // The pairs as given, in their order (which a record's reader expects to
  // ascend by address).
  TypedRecord(std::initializer_list<AddressTypedValuePair> pairs);

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const TypedCell* begin() const { return cells_.data(); }
  const TypedCell* end() const { return cells_.data() + size_; }
  const TypedCell& operator[](std::size_t k) const { return cells_[k]; }
  const TypedCell& front() const { return cells_[0]; }
  const TypedCell& back() const { return cells_[size_ - 1]; }

  // The texts of the record's s values; cell `c` of type s has its text at
  // texts() + c.word, c.length bytes long.
  const char* texts() const { return texts_.data(); }
  // How many cells at the end hold the values of packed fields, each of type
  // u and below 256, in strictly ascending address order above every cell
  // before them: the shape the layouts give, which statistics and writer take
  // in a simpler loop. 0 when the record has no such run or another shape.
  std::size_t packedCount() const { return packed_; }
  // The packed fields whose values are those last packedCount() cells, in
  // their order; empty when packedCount() is 0.
  const std::vector<PackedRun>& packedRuns() const { return runs_; }
  // The bytes of all the record's texts together.
  std::size_t textBytes() const { return texts_.size(); }
  // The text of `cell`, which must be of type s and belong to this record.
  std::string_view text(const TypedCell& cell) const {
    return {texts_.data() + cell.word, cell.length};
  }
  // `cell` as a value of its own, its text copied.
  TypedValue value(const TypedCell& cell) const;

  // Leaves the record without values, keeping its storage.
  void clear() {
    size_ = 0;
    packed_ = 0;
    runs_.clear();
    texts_.clear();
  }
  // Appends `value` at `address`, after the values there are.
  void add(std::uint32_t address, const TypedValue& value);

 private:
  friend class TypifierPrivate::TypedRecordBuilder;

  void append(const TypedCell& cell) {
    if (size_ == cells_.size()) grow(1);
    cells_[size_++] = cell;
  }
  // Makes room for `n` cells after the first size(); out of line, so that
  // append() stays small.
  void grow(std::size_t n);

  // cells_[0, size_) are the record's; the rest is storage kept for the next.
  std::vector<TypedCell> cells_;
  std::size_t size_ = 0;
  std::size_t packed_ = 0;
  std::vector<PackedRun> runs_;
  std::string texts_;
};

#endif  // SURVEY_TYPING_TYPEDRECORD_H_
