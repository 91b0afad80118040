#ifndef SURVEY_TYPING_TYPEDVALUE_H_
#define SURVEY_TYPING_TYPEDVALUE_H_

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

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

// A typed record: sorted by address, ascending.
using TypedRecord = std::vector<AddressTypedValuePair>;

// Writes "u", "i", "s" or "f" for type codes 0, 1, 2, 3; any other code fails
// with "unrec type" and writes nothing.
void typeLetter(std::uint32_t type, std::ostream& out);
// The same letter as a character.
char typeLetterOf(std::uint32_t type);

// The four key lines naming the types, in the order u, i, f, s.
void printTypeKey(std::ostream& out);

// The value alone: u and i in decimal, f as the stream's default format prints
// the float widened to double, s as its text. An invalid type code fails with
// "unrec type" and writes nothing.
std::ostream& operator<<(std::ostream& out, const TypedValue& value);

// Appends exactly the characters operator<< would write, without a stream.
// Fails the same way, appending nothing.
void appendTypedValue(std::string& line, const TypedValue& value);

// Appends what the default stream format writes for `value` (six significant
// digits, %g style, glibc's spelling of nan and inf).
void appendDefaultFormatDouble(std::string& line, double value);

// The room formatTypedValue needs for a value of type u, i or f.
inline constexpr std::size_t kMaxNumberChars = 16;

namespace decimal_detail {

inline constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324"
    "25262728293031323334353637383940414243444546474849"
    "50515253545556575859606162636465666768697071727374"
    "75767778798081828384858687888990919293949596979899";

// Two digits of `n` (below 100), leading zero included.
inline char* put2(char* p, std::uint32_t n) {
  std::memcpy(p, kPairs + 2 * n, 2);
  return p + 2;
}
// Four digits of `n` (below 10000), leading zeros included; the two halves
// are independent, so their divisions overlap.
inline char* put4(char* p, std::uint32_t n) {
  put2(p, n / 100);
  return put2(p + 2, n % 100);
}
// The digits of `n` (below 10000) without leading zeros.
inline char* putUpTo4(char* p, std::uint32_t n) {
  if (n < 10) {
    *p = static_cast<char>('0' + n);
    return p + 1;
  }
  if (n < 100) return put2(p, n);
  if (n < 1000) {
    *p = static_cast<char>('0' + n / 100);
    return put2(p + 1, n % 100);
  }
  return put4(p, n);
}

}  // namespace decimal_detail

// The decimal digits of `n` at `p`; returns one past the last. The output
// holds tens of millions of numbers, so the digits are made in groups of four
// whose divisions do not wait for each other.
inline char* formatDecimal(char* p, std::uint32_t n) {
  using namespace decimal_detail;
  if (n < 10000) return putUpTo4(p, n);
  if (n < 100000000) return put4(putUpTo4(p, n / 10000), n % 10000);
  const std::uint32_t low8 = n % 100000000;
  p = putUpTo4(p, n / 100000000);
  return put4(put4(p, low8 / 10000), low8 % 10000);
}

// Writes the fraction and the invalid codes for formatTypedValue.
char* formatTypedValueAt(char* p, const TypedValue& value);

// The writer's form of appendTypedValue: writes the same characters at `p`,
// which must have room for kMaxNumberChars or, for type s, the text, and
// returns one past the last. Fails the same way, writing nothing.
inline char* formatTypedValue(char* p, const TypedValue& value) {
  switch (value.type) {
    case TypedValue::U:
      return formatDecimal(p, value.number());
    case TypedValue::I:
      if (value.number() >> 31) {
        *p++ = '-';
        return formatDecimal(p, 0u - value.number());
      }
      return formatDecimal(p, value.number());
    case TypedValue::S:
      std::memcpy(p, value.text.data(), value.text.size());
      return p + value.text.size();
    default:
      return formatTypedValueAt(p, value);
  }
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
