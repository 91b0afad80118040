#include "typing/TypedValue.h"

#include "core/Error.h"

namespace {

Order relate(const TypedValue& a, const TypedValue& b) {
  if (a.type != b.type) throwMessage("attempt to relate values of different type");
  return orderOf(a.type, a.number(), a.text, b.number(), b.text);
}

// Room for a number, or for the text of `value`.
std::size_t roomFor(const TypedValue& value) {
  return value.type == TypedValue::S ? value.text.size() : kValueRoom;
}

}  // namespace

void typeLetter(std::uint32_t type, std::ostream& out) {
  out << typeLetterOf(type);
}

void printTypeKey(std::ostream& out) {
  out << "type u\tunsigned (non-negative) integer (e.g. 0, 3, 7)" << std::endl;
  out << "type i\t(signed) integer (e.g. -3, 0, 7)" << std::endl;
  out << "type f\t(decimal) fraction (e.g. 3.14)" << std::endl;
  out << "type s\tstring (e.g. \"A\", \"A B\", \"02143\")" << std::endl;
}

void appendTypedValue(std::string& line, const TypedValue& value) {
  const std::size_t at = line.size();
  line.resize(at + roomFor(value));
  try {
    // A value's text starts at its own first character.
    const std::uint32_t word = value.type == TypedValue::S ? 0 : value.number();
    char* end =
        formatValue(line.data() + at, value.type, word, value.text.data(), value.text.size());
    line.resize(static_cast<std::size_t>(end - line.data()));
  } catch (...) {
    line.resize(at);
    throw;
  }
}

std::ostream& operator<<(std::ostream& out, const TypedValue& value) {
  std::string printed;
  appendTypedValue(printed, value);
  return out.write(printed.data(), static_cast<std::streamsize>(printed.size()));
}

bool equal(const TypedValue& a, const TypedValue& b) {
  return relate(a, b) == Order::Equal;
}
bool less(const TypedValue& a, const TypedValue& b) {
  return relate(a, b) == Order::Less;
}
bool greater(const TypedValue& a, const TypedValue& b) {
  return relate(a, b) == Order::Greater;
}
