#ifndef SURVEY_TYPING_TYPEDVALUE_H_
#define SURVEY_TYPING_TYPEDVALUE_H_

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

#include "typing/ValueFormat.h"

// A decoded value of one of four types. The codes run u, i, s, f; letters and
// key lines are listed u, i, f, s.
struct TypedValue {
  enum Type : std::uint32_t { U = 0, I = 1, S = 2, F = 3 };

  std::uint32_t type = U;
  // Numeric value, most significant byte first, as it stood in the record.
  // Four zero bytes for type s.
  std::array<unsigned char, 4> bytes{};
  // Type s only.
  std::string text;

  // The big-endian reading of `bytes`; types u and i (as two's complement).
  std::uint32_t number() const {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
  }
  // The IEEE single whose big-endian bit pattern is `bytes`; type f.
  float fraction() const { return std::bit_cast<float>(number()); }

  void setNumber(std::uint32_t n) {
    bytes = {static_cast<unsigned char>(n >> 24), static_cast<unsigned char>(n >> 16),
             static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n)};
  }
};

struct AddressTypedValuePair {
  std::uint32_t address = 0;
  TypedValue value;
};

// Writes "u", "i", "s" or "f" for type codes 0, 1, 2, 3; any other code fails
// with "unrec type" and writes nothing.
void typeLetter(std::uint32_t type, std::ostream& out);
// The same letter as a character; inline, as record readers ask it per value.
inline char typeLetterOf(std::uint32_t type) {
  if (type > TypedValue::F) failUnrecognizedType();
  return "uisf"[type];
}

// The four key lines naming the types, in the order u, i, f, s.
void printTypeKey(std::ostream& out);

// The value alone, as formatValue prints it. An invalid type code fails with
// "unrec type" and writes nothing.
std::ostream& operator<<(std::ostream& out, const TypedValue& value);

// Appends exactly the characters operator<< would write, without a stream.
// Fails the same way, appending nothing.
void appendTypedValue(std::string& line, const TypedValue& value);

// The order of typed values, the one place it is stated: u values are
// ordered as unsigned numbers, i values as signed ones, f values as IEEE
// singles (a NaN is neither less, equal nor greater than anything), s values
// bytewise by their texts. The relations below, the extents of the
// statistics and their per-address table all take their order from here.
enum class Order { Less, Equal, Greater, Unordered };

// Calls fn(number) for type `type` (u, i or f), where number(word) turns the
// word of a value of that type into a C++ number that orders as the type
// does. Any other code fails with "unrec type".
template <class Fn>
decltype(auto) withNumberOrder(std::uint32_t type, Fn&& fn) {
  switch (type) {
    case TypedValue::U:
      return fn([](std::uint32_t word) { return word; });
    case TypedValue::I:
      return fn([](std::uint32_t word) { return static_cast<std::int32_t>(word); });
    case TypedValue::F:
      return fn([](std::uint32_t word) { return std::bit_cast<float>(word); });
    default:
      failUnrecognizedType();
  }
}

// The order of two values of type `type`: the words `a` and `b` of numbers,
// the texts `textA` and `textB` of type s.
inline Order orderOf(std::uint32_t type, std::uint32_t a, std::string_view textA, std::uint32_t b,
                     std::string_view textB) {
  if (type == TypedValue::S) {
    // Bytes compare as unsigned, then the shorter text first; spelled out
    // with memcmp so that the comparison inlines wherever the order is used.
    const std::size_t common = std::min(textA.size(), textB.size());
    const int c = common == 0 ? 0 : std::memcmp(textA.data(), textB.data(), common);
    if (c != 0) return c < 0 ? Order::Less : Order::Greater;
    if (textA.size() == textB.size()) return Order::Equal;
    return textA.size() < textB.size() ? Order::Less : Order::Greater;
  }
  return withNumberOrder(type, [&](auto number) {
    if (number(a) < number(b)) return Order::Less;
    if (number(b) < number(a)) return Order::Greater;
    if (number(a) == number(b)) return Order::Equal;
    return Order::Unordered;  // a NaN on either side
  });
}

// Moves the bounds `least` and `greatest`, words of type `type` (u, i or f),
// to take in `word` in the order of orderOf(): a bound changes only for a
// value less or greater than it.
inline void widenBounds(std::uint32_t type, std::uint32_t word, std::uint32_t& least,
                        std::uint32_t& greatest) {
  withNumberOrder(type, [&](auto number) {
    if (number(word) < number(least)) least = word;
    if (number(word) > number(greatest)) greatest = word;
  });
}

// Relations in each type's own order (unsigned, signed, IEEE, bytewise text).
// Values of different types fail with "attempt to relate values of different
// type"; an invalid code with "unrec type". Any NaN makes all three false.
bool equal(const TypedValue& a, const TypedValue& b);
bool less(const TypedValue& a, const TypedValue& b);
bool greater(const TypedValue& a, const TypedValue& b);

inline bool operator==(const TypedValue& a, const TypedValue& b) {
  return equal(a, b);
}
inline bool operator<(const TypedValue& a, const TypedValue& b) {
  return less(a, b);
}
inline bool operator>(const TypedValue& a, const TypedValue& b) {
  return greater(a, b);
}

#endif  // SURVEY_TYPING_TYPEDVALUE_H_
