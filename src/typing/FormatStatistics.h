#ifndef SURVEY_TYPING_FORMATSTATISTICS_H_
#define SURVEY_TYPING_FORMATSTATISTICS_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/AddressValuePair.h"
#include "core/Error.h"
#include "typing/TypedRecord.h"

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
    // Assignment only on change: a typed text is copied only when it moves the
    // bound. For typed values the order is that of orderOf().
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
    for (std::size_t a = 0; a < dense_.size(); ++a) {
      const Bounds& b = dense_[a];
      if (!b.defined) continue;
      const auto address = static_cast<std::uint32_t>(a);
      if (isNumeric(b.type)) {
        fn(address,
           Extent<TypedValue>(valueOf(b.type, b.least, {}), valueOf(b.type, b.greatest, {})));
      } else {
        const TextBounds& t = texts_[b.least];
        fn(address,
           Extent<TypedValue>(valueOf(b.type, 0, t.least), valueOf(b.type, 0, t.greatest)));
      }
    }
    for (const auto& [address, extent] : sparse_) fn(address, extent);
  }

  // The number of addresses that carried a value.
  std::size_t addressCount() const;

 private:
  // The extent at one address of the table, small enough for the table of a
  // whole format to stay in the nearest cache. For types u, i and f the
  // bounds are the values' words; for texts (and codes no value is typed
  // with) `least` indexes texts_.
  struct Bounds {
    bool defined = false;
    // The type of the bounds; `numberType` repeats it for u, i and f and is
    // S otherwise, so that a number of the type already there is told apart
    // from everything else at once.
    std::uint32_t type = 0;
    std::uint32_t numberType = TypedValue::S;
    std::uint32_t least = 0;
    std::uint32_t greatest = 0;
  };
  struct TextBounds {
    std::string least;
    std::string greatest;
  };

  static bool isNumeric(std::uint32_t type) {
    return type == TypedValue::U || type == TypedValue::I || type == TypedValue::F;
  }
  static TypedValue valueOf(std::uint32_t type, std::uint32_t word, const std::string& text);

  // The value of `cell` at table entry `b`, when it is not a number of the
  // type already there: a first value, a text, or a clash of types.
  void addOther(Bounds& b, const TypedRecord& record, const TypedCell& cell);
  // The table entry of `address`, growing the table, or null above it.
  Bounds* boundsBeyond(std::uint32_t address);

  // Addresses below kDirectAddressLimit, by address; higher ones in sparse_.
  std::vector<Bounds> dense_;
  // One bit per entry of dense_: set once the entry is of type u with bounds
  // 0 and at least 1, which no bit of a packed field can move. A bit field
  // whose 32 entries are all set is passed over whole. One word more than
  // the table needs, so that 32 bits from any entry can be read at once.
  std::vector<std::uint64_t> takesEveryBit_;
  std::vector<TextBounds> texts_;
  std::map<std::uint32_t, Extent<TypedValue>> sparse_;
};

#endif  // SURVEY_TYPING_FORMATSTATISTICS_H_
