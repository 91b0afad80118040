#ifndef SURVEY_TYPING_FORMATSTATISTICS_H_
#define SURVEY_TYPING_FORMATSTATISTICS_H_

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "core/Error.h"
#include "typing/TypedValue.h"

// The least and greatest of the values added so far. For typed values the
// order is the type's own (less/greater of TypedValue), so adding a value of
// another type than the first fails with "attempt to relate values of
// different type".
template <class T>
class Extent {
 public:
  void add(const T& v) {
    if (undefined) {
      min = v;
      max = v;
      undefined = false;
      return;
    }
    // Assignment only on change: a typed text is copied only when it moves the bound.
    if (v < min) min = v;
    if (v > max) max = v;
  }

  // (min, max); fails with "undef ext" before the first add.
  std::pair<const T&, const T&> get() const {
    if (undefined) throwMessage("undef ext");
    return {min, max};
  }

  bool isUndefined() const { return undefined; }

 private:
  bool undefined = true;
  T min{};
  T max{};
};

// Whether every value added to `extent` was equal (false once a NaN is in it).
bool isConstant(const Extent<TypedValue>& extent);

// What the records of one record format held: how many, which addresses, and
// per address the extent of its values.
class FormatStatistics {
 public:
  // Counts `record` (first, so an empty record counts too) and adds each of
  // its values to the extent of its address. A value whose type differs from
  // the first one seen at that address fails; the pairs before it stay added.
  void add(const TypedRecord& record);

  std::uint32_t recordCount = 0;
  Extent<std::uint32_t> addressRange;

  // Calls fn(address, extent) for every address that carried a value, in
  // ascending unsigned address order.
  template <class Fn>
  void forEachAddress(Fn&& fn) const {
    for (std::size_t a = 0; a < slotOf_.size(); ++a) {
      if (slotOf_[a] != 0) fn(static_cast<std::uint32_t>(a), dense_[slotOf_[a] - 1]);
    }
    for (const auto& [address, extent] : sparse_) fn(address, extent);
  }

  // The number of addresses that carried a value.
  std::size_t addressCount() const;

  // Addresses below this find their extent through a vector indexed by
  // address (the layouts' addresses, expanded ones included, stay far below
  // it); higher ones, which only explicit addresses of damaged FF-records
  // reach, go to an ordered map.
  static constexpr std::uint32_t kDenseLimit = 1u << 16;

 private:
  Extent<TypedValue>& extentAt(std::uint32_t address);

  // slotOf_[a] is 1 + the position of address a's extent in dense_, or 0 if a
  // carried no value: one stray high address costs an index entry per address
  // below it, not a whole extent. An extent is present exactly when it is
  // defined: the first add to a new extent cannot fail.
  std::vector<std::uint32_t> slotOf_;
  std::vector<Extent<TypedValue>> dense_;
  std::map<std::uint32_t, Extent<TypedValue>> sparse_;
};

#endif  // SURVEY_TYPING_FORMATSTATISTICS_H_
