#include "typing/ValueFormat.h"

#include <charconv>
#include <cmath>

#include "core/Error.h"

namespace {

// NaN and infinity as glibc spells them ("-nan" keeps the sign bit), or null
// for a finite value.
const char* spelledNonFinite(float value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  return nullptr;
}

char* putSpelled(char* p, const char* spelled) {
  const std::size_t length = std::strlen(spelled);
  std::memcpy(p, spelled, length);
  return p + length;
}

}  // namespace

char* formatFraction(char* p, std::uint32_t bits) {
  const float single = std::bit_cast<float>(bits);
  if (const char* spelled = spelledNonFinite(single)) return putSpelled(p, spelled);
  // to_chars with a precision behaves as printf's %.6g, which is what the
  // stream's default format uses.
  return std::to_chars(p, p + kValueRoom, static_cast<double>(single), std::chars_format::general,
                       6)
      .ptr;
}

char* formatExactFraction(char* p, std::uint32_t bits) {
  const float single = std::bit_cast<float>(bits);
  if (const char* spelled = spelledNonFinite(single)) return putSpelled(p, spelled);
  return std::to_chars(p, p + kMaxExactFractionChars, single).ptr;
}

void failUnrecognizedType() {
  throwMessage("unrec type");
}
