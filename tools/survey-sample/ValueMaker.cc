#include "ValueMaker.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <limits>

namespace sample {

namespace {

// EBCDIC: upper-case letters, digits and spaces, the bulk of the survey's text.
constexpr uint8_t kPlain[] = {0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xD1, 0xD2,
                              0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xE2, 0xE3, 0xE4, 0xE5,
                              0xE6, 0xE7, 0xE8, 0xE9, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6,
                              0xF7, 0xF8, 0xF9, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40};
// EBCDIC: lower-case letters and punctuation . , - / & ( ) ' # * : @ < +
constexpr uint8_t kRare[] = {0x81, 0x85, 0x89, 0x96, 0xA4, 0xA8, 0x4B, 0x6B, 0x60, 0x61,
                             0x50, 0x4D, 0x5D, 0x7D, 0x7B, 0x5C, 0x7A, 0x7C, 0x4C, 0x4E};
// EBCDIC bytes without a printable translation: line feed, tab, backspace, graphic escape,
// substitute, carriage return, a high code, and 00, which the decoder drops from the text.
constexpr uint8_t kNonPrintable[] = {0x25, 0x05, 0x16, 0x08, 0x3F, 0x0D, 0x41, 0x00};
constexpr uint8_t kDoubleQuote = 0x7F;

template <size_t N>
uint8_t pick(SplitMix64& random, const uint8_t (&from)[N]) {
  return from[random.below(N)];
}

uint32_t floatBits(float value) {
  return std::bit_cast<uint32_t>(value);
}

// The first draws of floatWord() that pick a special value.
constexpr uint32_t kSpecialFloats = 6;

}  // namespace

uint8_t ValueMaker::textByte() {
  const uint32_t roll = random_.below(1000);
  if (roll < 6) return kDoubleQuote;
  if (roll < 12) return pick(random_, kNonPrintable);
  if (roll < 60) return pick(random_, kRare);
  return pick(random_, kPlain);
}

uint8_t ValueMaker::singleChar() {
  // FF in a one-character field reads as "-1".
  if (random_.oneIn(12)) return 0xFF;
  return profile_ == ValueProfile::kWide ? wideTextByte() : textByte();
}

uint32_t ValueMaker::unsignedWord() {
  switch (random_.below(8)) {
    case 0:
      return 0;
    case 1:
      return random_.next32();
    case 2:
      return random_.below(1u << 20);
    case 3:
      return random_.oneIn(2) ? std::numeric_limits<uint32_t>::max() : 0x80000000u;
    default:
      return random_.below(1000);
  }
}

uint32_t ValueMaker::signedWord() {
  switch (random_.below(8)) {
    case 0:
      return random_.next32();
    case 1:
      return static_cast<uint32_t>(random_.oneIn(2) ? std::numeric_limits<int32_t>::min()
                                                    : std::numeric_limits<int32_t>::max());
    default:
      return static_cast<uint32_t>(static_cast<int32_t>(random_.below(20001)) - 10000);
  }
}

uint32_t ValueMaker::floatWord() {
  const uint32_t roll = random_.below(20);
  if (roll < kSpecialFloats) return specialFloatWord(roll);
  if (roll == kSpecialFloats) return random_.next32();  // any bit pattern at all
  const float cents = static_cast<float>(static_cast<int32_t>(random_.below(2000001)) - 1000000);
  return floatBits(cents / 100.0f);
}

uint32_t ValueMaker::specialFloatWord(uint32_t which) {
  switch (which) {
    case 0:
      return floatBits(std::numeric_limits<float>::quiet_NaN());
    case 1:
      return 0x7F800001u | random_.below(0x7FFFFF);  // a NaN with a payload
    case 2:
      return floatBits(std::numeric_limits<float>::infinity());
    case 3:
      return floatBits(-std::numeric_limits<float>::infinity());
    case 4:
      return random_.oneIn(2) ? 0u : 0x80000000u;  // plus and minus zero
    default:
      return floatBits(std::numeric_limits<float>::denorm_min());
  }
}

uint32_t ValueMaker::signed16Word() {
  return random_.oneIn(4) ? random_.next32() : static_cast<uint32_t>(random_.below(2001)) - 1000;
}

uint32_t ValueMaker::byteArrayWord() {
  return random_.oneIn(4) ? random_.next32() : random_.next32() & 0x07070707u;
}

uint8_t ValueMaker::wideTextByte() {
  // EBCDIC 00 is the one byte that adds nothing to a decoded text.
  for (;;) {
    const uint8_t byte = textByte();
    if (byte != 0x00) return byte;
  }
}

uint32_t ValueMaker::withDigits(uint32_t digits, uint32_t limit) {
  uint32_t low = 1;
  for (uint32_t d = 1; d < digits; ++d) low *= 10;
  const uint32_t high = digits == 10 ? limit : std::min(limit, low * 10 - 1);
  if (digits == 1) low = 0;
  return low + static_cast<uint32_t>(
                   (static_cast<uint64_t>(random_.next32()) * (uint64_t{high} - low + 1)) >> 32);
}

uint32_t ValueMaker::wideUnsignedWord() {
  const uint32_t roll = random_.below(16);
  if (roll == 0) return random_.oneIn(2) ? 0u : std::numeric_limits<uint32_t>::max();
  if (roll < 3) return withDigits(1 + random_.below(7), std::numeric_limits<uint32_t>::max());
  if (roll < 8) return withDigits(8 + random_.below(2), std::numeric_limits<uint32_t>::max());
  return random_.next32();
}

uint32_t ValueMaker::wideSignedWord() {
  const uint32_t roll = random_.below(16);
  if (roll == 0) {
    return static_cast<uint32_t>(random_.oneIn(2) ? std::numeric_limits<int32_t>::min()
                                                  : std::numeric_limits<int32_t>::max());
  }
  if (roll < 8) return random_.next32();
  const uint32_t magnitude = withDigits(1 + random_.below(10), std::numeric_limits<int32_t>::max());
  return random_.oneIn(2) ? magnitude : 0u - magnitude;
}

uint32_t ValueMaker::wideFloatWord() {
  const uint32_t roll = random_.below(16);
  const uint32_t sign = random_.oneIn(2) ? 0x80000000u : 0u;
  if (roll == 0) return specialFloatWord(random_.below(kSpecialFloats));
  if (roll == 1) return sign | random_.below(0x800000);  // a denormal
  if (roll < 10) {
    // Any finite magnitude: nearly all of these print in exponent form.
    const uint32_t exponent = 1 + random_.below(254);
    return sign | exponent << 23 | random_.below(0x800000);
  }
  // Six significant digits between 1e-4 and 1e6, which print without an exponent.
  static constexpr float kScale[] = {1e-9f, 1e-8f, 1e-7f, 1e-6f, 1e-5f,
                                     1e-4f, 1e-3f, 1e-2f, 1e-1f, 1.0f};
  const float digits = static_cast<float>(withDigits(6, 999999));
  return sign | floatBits(digits * kScale[random_.below(std::size(kScale))]);
}

void ValueMaker::fill(Kind kind, uint32_t expected, uint8_t* out, size_t n) {
  const bool wide = profile_ == ValueProfile::kWide;
  switch (kind) {
    case Kind::kString:
      for (size_t i = 0; i < n; ++i) out[i] = wide ? wideTextByte() : textByte();
      return;
    case Kind::kSkip:
      for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(random_.next32());
      return;
    case Kind::kSingleChar:
      out[0] = singleChar();
      return;
    case Kind::kSigned16: {
      const uint32_t half = wide ? random_.next32() : signed16Word();
      out[0] = static_cast<uint8_t>(half >> 8);
      out[1] = static_cast<uint8_t>(half);
      return;
    }
    case Kind::kConstant:
      putBigEndian(random_.oneIn(5) ? 0 : expected, out);
      return;
    case Kind::kFloat:
      putBigEndian(wide ? wideFloatWord() : floatWord(), out);
      return;
    case Kind::kUnsigned:
      putBigEndian(wide ? wideUnsignedWord() : unsignedWord(), out);
      return;
    case Kind::kSigned:
      putBigEndian(wide ? wideSignedWord() : signedWord(), out);
      return;
    case Kind::kBitArray:
      putBigEndian(random_.oneIn(8) ? 0 : random_.next32(), out);
      return;
    case Kind::kByteArray:
      putBigEndian(wide ? random_.next32() : byteArrayWord(), out);
      return;
  }
}

}  // namespace sample
