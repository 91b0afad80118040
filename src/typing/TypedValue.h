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
};

struct AddressTypedValuePair {
  std::uint32_t address = 0;
  TypedValue value;
};

// A typed record: sorted by address, ascending.
using TypedRecord = std::vector<AddressTypedValuePair>;

#endif  // SURVEY_TYPING_TYPEDVALUE_H_
