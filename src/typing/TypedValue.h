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

// kFloor[t] is the least number of t + 1 digits (0 for one digit).
inline constexpr std::uint32_t kFloor[] = {0,      10,      100,      1000,      10000,
                                           100000, 1000000, 10000000, 100000000, 1000000000};

// The number of decimal digits of `n` (1 for 0), without a branch: the bit
// width gives the count or one less, and one comparison settles which.
inline std::uint32_t digitCount(std::uint32_t n) {
  const std::uint32_t t = (static_cast<std::uint32_t>(std::bit_width(n | 1)) * 1233) >> 12;
  return t + (n >= kFloor[t]);
}

// The eight decimal digits of `n` (below 10^8, leading zeros included) as
// characters, the first digit in the lowest byte. Each step splits every
// lane of the word at once: into halves of four digits, then of two, then
// single digits; the divisions are multiplications by reciprocals that are
// exact in the range of each lane.
inline std::uint64_t eightDigits(std::uint32_t n) {
  const std::uint64_t fours = (n / 10000) | (std::uint64_t{n % 10000} << 32);
  const std::uint64_t hundreds = ((fours * 10486) >> 20) & 0x0000007F0000007Full;
  const std::uint64_t twos = hundreds | ((fours - 100 * hundreds) << 16);
  const std::uint64_t tens = ((twos * 103) >> 10) & 0x000F000F000F000Full;
  const std::uint64_t ones = tens | ((twos - 10 * tens) << 8);
  return ones | 0x3030303030303030ull;
}

// Stores the last `count` (1 to 8) of the eight digits at `p`, writing eight
// bytes; returns one past the last digit.
inline char* putLast(char* p, std::uint64_t digits, std::uint32_t count) {
  digits >>= 8 * (8 - count);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &digits, 8);
  } else {
    for (int k = 0; k < 8; ++k) p[k] = static_cast<char>(digits >> (8 * k));
  }
  return p + count;
}

}  // namespace decimal_detail

// The decimal digits of `n` at `p`; returns one past the last. Writes up to
// ten bytes past `p`, the digits and scratch after them. The output holds
// tens of millions of numbers of every length, so the digits are made in one
// word and their count is computed, not branched on.
inline char* formatDecimal(char* p, std::uint32_t n) {
  using namespace decimal_detail;
  if (n < 100000000) return putLast(p, eightDigits(n), digitCount(n));
  const std::uint32_t high = n / 100000000;  // 1 to 42
  std::memcpy(p, kPairs + 2 * high + (high < 10), 2);
  return putLast(p + 1 + (high >= 10), eightDigits(n % 100000000), 8);
}

// formatDecimal for the two's complement number `bits`, minus sign first;
// writes up to eleven bytes past `p`. The sign is written always and kept only
// for a negative number: the signs of survey answers follow no pattern a
// branch could learn.
inline char* formatSigned(char* p, std::uint32_t bits) {
  const std::uint32_t negative = bits >> 31;
  *p = '-';
  return formatDecimal(p + negative, negative ? 0u - bits : bits);
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
      return formatSigned(p, value.number());
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
