#ifndef SURVEY_TESTS_TYPING_TYPEDVALUEMAKERS_H_
#define SURVEY_TESTS_TYPING_TYPEDVALUEMAKERS_H_

#include <bit>
#include <cstdint>
#include <sstream>
#include <string>

#include "typing/TypedRecord.h"
#include "typing/TypedValue.h"

// Typed values built the way the Typifier builds them: bytes most significant first.
inline TypedValue withBits(std::uint32_t type, std::uint32_t bits) {
  TypedValue v;
  v.type = type;
  v.setNumber(bits);
  return v;
}
inline TypedValue u(std::uint32_t n) {
  return withBits(TypedValue::U, n);
}
inline TypedValue i(std::int32_t n) {
  return withBits(TypedValue::I, static_cast<std::uint32_t>(n));
}
inline TypedValue f(float x) {
  return withBits(TypedValue::F, std::bit_cast<std::uint32_t>(x));
}
inline TypedValue fBits(std::uint32_t bits) {
  return withBits(TypedValue::F, bits);
}
inline TypedValue s(const std::string& text) {
  TypedValue v;
  v.type = TypedValue::S;
  v.text = text;
  return v;
}

// "address:letter:value" for each value of `record`, space-separated.
inline std::string show(const TypedRecord& record) {
  std::ostringstream out;
  for (const TypedCell& cell : record) {
    if (&cell != &record.front()) out << ' ';
    out << cell.address << ':';
    typeLetter(cell.type, out);
    out << ':' << record.value(cell);
  }
  return out.str();
}

#endif  // SURVEY_TESTS_TYPING_TYPEDVALUEMAKERS_H_
