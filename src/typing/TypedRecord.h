#ifndef SURVEY_TYPING_TYPEDRECORD_H_
#define SURVEY_TYPING_TYPEDRECORD_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "typing/TypedValue.h"

class Vp;

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
//
// The values of packed fields that follow every other value in the layouts'
// shape are kept as their fields' words (packedRuns()) and made into cells
// only when the cells are read: the statistics and the writer take them from
// the words, through listedCells() and packedRuns(), and never need them.
// Reading the cells may thus change the record's storage: a record is read
// by one thread at a time.
class TypedRecord {
 public:
  TypedRecord() = default;
  // The pairs as given, in their order (which a record's reader expects to
  // ascend by address).
  TypedRecord(std::initializer_list<AddressTypedValuePair> pairs);

  std::size_t size() const { return listed_ + packed_; }
  bool empty() const { return size() == 0; }
  // All the cells, those of packed fields made on first use.
  const TypedCell* begin() const { return cells(); }
  const TypedCell* end() const { return cells() + size(); }
  const TypedCell& operator[](std::size_t k) const { return cells()[k]; }
  const TypedCell& front() const { return cells()[0]; }
  const TypedCell& back() const { return cells()[size() - 1]; }

  // The first listedCount() cells, which come before every packed value;
  // read without making the cells of packed fields.
  const TypedCell* listedCells() const { return cells_.data(); }
  std::size_t listedCount() const { return listed_; }
  // How many values at the end belong to packed fields, each of type u and
  // below 256, in strictly ascending address order above every listed cell:
  // the shape the layouts give. 0 when the record has another shape.
  std::size_t packedCount() const { return packed_; }
  // The packed fields of those packedCount() values, in their order.
  const std::vector<PackedRun>& packedRuns() const { return runs_; }
  // The address of the last value; the record must not be empty.
  std::uint32_t lastAddress() const {
    if (packed_ == 0) return cells_[listed_ - 1].address;
    return runs_.back().first + (runs_.back().count - 1);
  }

  // The texts of the record's s values; cell `c` of type s has its text at
  // texts() + c.word, c.length bytes long.
  const char* texts() const { return texts_.data(); }
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
    listed_ = 0;
    packed_ = 0;
    expanded_ = true;
    runs_.clear();
    texts_.clear();
  }
  // Appends `value` at `address`, after the values there are.
  void add(std::uint32_t address, const TypedValue& value);

  // The layout that typed the record (a static object, not owned), which
  // gives its record format; null for a record made otherwise. clear()
  // keeps it: the Typifier sets it for every record it fills.
  const Vp* layout = nullptr;

 private:
  friend class TypifierPrivate::TypedRecordBuilder;

  const TypedCell* cells() const {
    if (!expanded_) expandPacked();
    return cells_.data();
  }
  // Makes the cells of the packed values; `const`, as they only spell out
  // what the runs hold.
  void expandPacked() const;
  // Turns the packed values into listed cells.
  void listPacked();
  void append(const TypedCell& cell) {
    if (listed_ == cells_.size()) grow(1);
    cells_[listed_++] = cell;
  }
  // Makes room for `n` cells after the first size(); out of line, so that
  // append() stays small.
  void grow(std::size_t n) const;

  // cells_[0, listed_) are the listed values; the packed values follow once
  // expanded_; the rest is storage kept for the next record.
  mutable std::vector<TypedCell> cells_;
  std::size_t listed_ = 0;
  std::size_t packed_ = 0;
  mutable bool expanded_ = true;
  std::vector<PackedRun> runs_;
  std::string texts_;
};

#endif  // SURVEY_TYPING_TYPEDRECORD_H_
