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

namespace {

// Whether the decimal at [p, end) reads back to `single` as the nearest
// double rounded to single precision, which is how readers without a
// single-precision parser (pandas, R) read it.
bool readsBackThroughDouble(const char* p, const char* end, float single) {
  double nearest = 0;
  std::from_chars(p, end, nearest);
  return std::bit_cast<std::uint32_t>(static_cast<float>(nearest)) ==
         std::bit_cast<std::uint32_t>(single);
}

// The same, and read straight as a single too.
bool readsBackBothWays(const char* p, const char* end, float single) {
  float direct = 0;
  std::from_chars(p, end, direct);
  return std::bit_cast<std::uint32_t>(direct) == std::bit_cast<std::uint32_t>(single) &&
         readsBackThroughDouble(p, end, single);
}

}  // namespace

char* formatExactFraction(char* p, std::uint32_t bits) {
  const float single = std::bit_cast<float>(bits);
  if (const char* spelled = spelledNonFinite(single)) return putSpelled(p, spelled);
  // The shortest form reads back as a single by to_chars' own guarantee.
  char* const shortest = std::to_chars(p, p + kMaxExactFractionChars, single).ptr;
  if (readsBackThroughDouble(p, shortest, single)) return shortest;
  // The shortest form's nearest double can lie on the midpoint between two
  // singles, and rounding it again then picks the other one (7.038531e-26 is
  // 15AE43FD, its double rounds to 15AE43FE). Eight digits mend that there;
  // nine always hold both ways.
  char* const eight =
      std::to_chars(p, p + kMaxExactFractionChars, single, std::chars_format::general, 8).ptr;
  if (readsBackBothWays(p, eight, single)) return eight;
  return std::to_chars(p, p + kMaxExactFractionChars, single, std::chars_format::general, 9).ptr;
}

void failUnrecognizedType() {
  throwMessage("unrec type");
}
