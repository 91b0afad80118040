#ifndef SURVEY_TYPING_TYPEDVALUE_H_
#define SURVEY_TYPING_TYPEDVALUE_H_

#include <array>
#include <cstdint>
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
  float fraction() const;

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
