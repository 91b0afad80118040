#include "typing/ValueFormat.h"

#include <charconv>
#include <cmath>

#include "core/Error.h"

char* formatFraction(char* p, std::uint32_t bits) {
  const double value = static_cast<double>(std::bit_cast<float>(bits));
  // to_chars with a precision behaves as printf's %.6g, which is what the
  // stream's default format uses; only NaN and infinity are spelled by hand so
  // that they follow glibc ("-nan" keeps the sign bit).
  const char* spelled = nullptr;
  if (std::isnan(value)) {
    spelled = std::signbit(value) ? "-nan" : "nan";
  } else if (std::isinf(value)) {
    spelled = value < 0 ? "-inf" : "inf";
  } else {
    return std::to_chars(p, p + kValueRoom, value, std::chars_format::general, 6).ptr;
  }
  const std::size_t length = std::strlen(spelled);
  std::memcpy(p, spelled, length);
  return p + length;
}

void failUnrecognizedType() {
  throwMessage("unrec type");
}
