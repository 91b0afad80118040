#ifndef SURVEY_TYPING_FORMATSTATISTICS_H_
#define SURVEY_TYPING_FORMATSTATISTICS_H_

#include <bit>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "core/Error.h"
#include "framing/AddressValuePair.h"
#include "typing/TypedValue.h"

// The least and greatest of the values added so far. For typed values the
// order is the type's own (less/greater of TypedValue), so adding a value of
// another type than the first fails with "attempt to relate values of
// different type".
template <class T>
class Extent {
 public:
  Extent() = default;
  // An extent that has seen values from `least` to `greatest`.
  Extent(const T& least, const T& greatest) : undefined(false), min(least), max(greatest) {}

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
  template <class N>
  void moveBounds(const T& v, N n, N least, N greatest) {
    if (n < least) min = v;
    if (n > greatest) max = v;
  }

  bool undefined = true;
  T min{};
  T max{};
};

// Every value of every record passes here, so the relations are taken apart:
// min and max always share the first value's type, which makes one type check
// stand for the two that less() and greater() would make, and numbers are
// compared as numbers without a call.
template <>
inline void Extent<TypedValue>::add(const TypedValue& v) {
  if (undefined) {
    min = v;
    max = v;
    undefined = false;
    return;
  }
  if (v.type != min.type) throwMessage("attempt to relate values of different type");
  switch (v.type) {
    case TypedValue::U:
      moveBounds(v, v.number(), min.number(), max.number());
      return;
    case TypedValue::I:
      moveBounds(v, static_cast<std::int32_t>(v.number()), static_cast<std::int32_t>(min.number()),
                 static_cast<std::int32_t>(max.number()));
      return;
    case TypedValue::F:
      // A NaN on either side fails both tests, as it fails less() and greater().
      moveBounds(v, v.fraction(), min.fraction(), max.fraction());
      return;
    default:
      // Texts, and codes no value is typed with, which the relations refuse.
      if (v < min) min = v;
      if (v > max) max = v;
  }
}

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
    for (std::size_t a = 0; a < dense_.size(); ++a) {
      const Bounds& b = dense_[a];
      if (!b.defined) continue;
      const auto address = static_cast<std::uint32_t>(a);
      if (isNumeric(b.type)) {
        fn(address, Extent<TypedValue>(numberOf(b.type, b.least), numberOf(b.type, b.greatest)));
      } else {
        fn(address, others_[b.least]);
      }
    }
    for (const auto& [address, extent] : sparse_) fn(address, extent);
  }

  // The number of addresses that carried a value.
  std::size_t addressCount() const;

 private:
  // The extent at one address of the table, small enough for the table of a
  // whole format to stay in the nearest cache. For types u, i and f the
  // bounds are the values' big-endian numbers, compared in the type's order;
  // for texts (and codes no value is typed with) `least` indexes others_.
  struct Bounds {
    bool defined = false;
    std::uint32_t type = 0;
    std::uint32_t least = 0;
    std::uint32_t greatest = 0;
  };

  static bool isNumeric(std::uint32_t type) {
    return type == TypedValue::U || type == TypedValue::I || type == TypedValue::F;
  }
  static TypedValue numberOf(std::uint32_t type, std::uint32_t bits) {
    TypedValue v;
    v.type = type;
    v.setNumber(bits);
    return v;
  }
  template <class N>
  static void moveBounds(Bounds& b, N n, N least, N greatest, std::uint32_t bits) {
    if (n < least) b.least = bits;
    if (n > greatest) b.greatest = bits;
  }

  void addTo(Bounds& b, const TypedValue& v) {
    if (!b.defined) {
      first(b, v);
      return;
    }
    if (v.type != b.type) throwMessage("attempt to relate values of different type");
    const std::uint32_t n = v.number();
    switch (v.type) {
      case TypedValue::U:
        moveBounds(b, n, b.least, b.greatest, n);
        return;
      case TypedValue::I:
        moveBounds(b, static_cast<std::int32_t>(n), static_cast<std::int32_t>(b.least),
                   static_cast<std::int32_t>(b.greatest), n);
        return;
      case TypedValue::F:
        // A NaN on either side fails both tests, as it fails less() and greater().
        moveBounds(b, std::bit_cast<float>(n), std::bit_cast<float>(b.least),
                   std::bit_cast<float>(b.greatest), n);
        return;
      default:
        others_[b.least].add(v);
    }
  }
  void first(Bounds& b, const TypedValue& v);
  // The table entry of `address`, growing the table, or null above it.
  Bounds* boundsBeyond(std::uint32_t address);

  // Addresses below kDirectAddressLimit, by address; higher ones in sparse_.
  std::vector<Bounds> dense_;
  std::vector<Extent<TypedValue>> others_;
  std::map<std::uint32_t, Extent<TypedValue>> sparse_;
};

#endif  // SURVEY_TYPING_FORMATSTATISTICS_H_
