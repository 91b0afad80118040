#include "typing/TypedValue.h"

#include <bit>
#include <charconv>
#include <cmath>

#include "core/Error.h"

namespace {

enum class Order { Less, Equal, Greater, Unordered };

template <class N>
Order orderOf(N a, N b) {
  if (a < b) return Order::Less;
  if (b < a) return Order::Greater;
  if (a == b) return Order::Equal;
  return Order::Unordered;  // a NaN on either side
}

Order relate(const TypedValue& a, const TypedValue& b) {
  if (a.type != b.type) throwMessage("attempt to relate values of different type");
  switch (a.type) {
    case TypedValue::U:
      return orderOf(a.number(), b.number());
    case TypedValue::I:
      return orderOf(static_cast<std::int32_t>(a.number()), static_cast<std::int32_t>(b.number()));
    case TypedValue::F:
      return orderOf(a.fraction(), b.fraction());
    case TypedValue::S: {
      // std::string compares char_traits<char>, which orders as unsigned bytes.
      int c = a.text.compare(b.text);
      return c < 0 ? Order::Less : c > 0 ? Order::Greater : Order::Equal;
    }
    default:
      throwMessage("unrec type");
  }
}

template <class N>
void appendInteger(std::string& line, N n) {
  char digits[16];
  auto result = std::to_chars(digits, digits + sizeof digits, n);
  line.append(digits, result.ptr);
}

}  // namespace

float TypedValue::fraction() const {
  return std::bit_cast<float>(number());
}

char typeLetterOf(std::uint32_t type) {
  switch (type) {
    case TypedValue::U:
      return 'u';
    case TypedValue::I:
      return 'i';
    case TypedValue::S:
      return 's';
    case TypedValue::F:
      return 'f';
    default:
      throwMessage("unrec type");
  }
}

void typeLetter(std::uint32_t type, std::ostream& out) {
  out << typeLetterOf(type);
}

void printTypeKey(std::ostream& out) {
  out << "type u\tunsigned (non-negative) integer (e.g. 0, 3, 7)" << std::endl;
  out << "type i\t(signed) integer (e.g. -3, 0, 7)" << std::endl;
  out << "type f\t(decimal) fraction (e.g. 3.14)" << std::endl;
  out << "type s\tstring (e.g. \"A\", \"A B\", \"02143\")" << std::endl;
}

std::ostream& operator<<(std::ostream& out, const TypedValue& value) {
  switch (value.type) {
    case TypedValue::U:
      return out << value.number();
    case TypedValue::I:
      return out << static_cast<std::int32_t>(value.number());
    case TypedValue::F:
      return out << static_cast<double>(value.fraction());
    case TypedValue::S:
      return out << value.text;
    default:
      throwMessage("unrec type");
  }
}

void appendDefaultFormatDouble(std::string& line, double value) {
  // to_chars with a precision is specified as printf's %.6g, which is what the
  // stream's default format uses; only NaN and infinity are spelled by hand so
  // that they follow glibc ("-nan" keeps the sign bit).
  if (std::isnan(value)) {
    line.append(std::signbit(value) ? "-nan" : "nan");
    return;
  }
  if (std::isinf(value)) {
    line.append(value < 0 ? "-inf" : "inf");
    return;
  }
  char digits[32];
  auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 6);
  line.append(digits, result.ptr);
}

void appendTypedValue(std::string& line, const TypedValue& value) {
  switch (value.type) {
    case TypedValue::U:
      appendInteger(line, value.number());
      return;
    case TypedValue::I:
      appendInteger(line, static_cast<std::int32_t>(value.number()));
      return;
    case TypedValue::F:
      appendDefaultFormatDouble(line, static_cast<double>(value.fraction()));
      return;
    case TypedValue::S:
      line.append(value.text);
      return;
    default:
      throwMessage("unrec type");
  }
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
