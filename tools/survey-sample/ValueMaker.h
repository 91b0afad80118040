#ifndef SURVEY_TOOLS_SURVEY_SAMPLE_VALUEMAKER_H_
#define SURVEY_TOOLS_SURVEY_SAMPLE_VALUEMAKER_H_

#include <cstddef>
#include <cstdint>

#include "SampleLayouts.h"
#include "SplitMix64.h"

namespace sample {

// How far the numbers and texts of a sample spread.
enum class ValueProfile {
  // Mostly short numbers (a few digits), with now and then an extreme; texts may lose a
  // byte to EBCDIC 00, which the decoder drops.
  kLight,
  // Numbers as wide as their fields allow: unsigned values over the whole 32-bit range, most
  // of them 8 to 10 digits long; signed values of both signs and every length; floats of
  // every magnitude, most of them printed in exponent form; texts without a dropped byte.
  kWide,
};

// Makes field contents that look like survey data and reach into the corners the decoder
// must handle: EBCDIC text with the occasional non-printable byte and double quote, floats
// that are negative, zero, NaN or infinite, constants at both allowed values, and the
// extreme integers of every width.
class ValueMaker {
 public:
  // Draws from `random`, which must outlive the maker. The light profile's draws never
  // change, so that its samples stay the same file for the same arguments.
  explicit ValueMaker(SplitMix64& random, ValueProfile profile = ValueProfile::kLight)
      : random_(random), profile_(profile) {}

  // Fills the `n` bytes at `out` for a field of `kind`; `expected` is a kConstant field's
  // word. Numeric kinds take n == 4 (kSigned16: 2, kSingleChar: 1); strings and skipped
  // fields take any n.
  void fill(Kind kind, uint32_t expected, uint8_t* out, size_t n);

  // One EBCDIC text byte.
  uint8_t textByte();

 private:
  uint32_t unsignedWord();
  uint32_t signedWord();
  uint32_t floatWord();
  uint8_t singleChar();
  uint32_t signed16Word();
  uint32_t byteArrayWord();

  uint8_t wideTextByte();
  uint32_t wideUnsignedWord();
  uint32_t wideSignedWord();
  uint32_t wideFloatWord();
  // Special float number `which` (below kSpecialFloats): a NaN, a NaN with a payload, plus
  // and minus infinity, a zero of either sign, the least denormal.
  uint32_t specialFloatWord(uint32_t which);
  // Uniform over the numbers of exactly `digits` decimal digits (1 to 10) that fit in
  // `limit`; one digit includes 0.
  uint32_t withDigits(uint32_t digits, uint32_t limit);

  SplitMix64& random_;
  ValueProfile profile_;
};

// Stores `word` at `out` most significant byte first.
inline void putBigEndian(uint32_t word, uint8_t* out) {
  out[0] = static_cast<uint8_t>(word >> 24);
  out[1] = static_cast<uint8_t>(word >> 16);
  out[2] = static_cast<uint8_t>(word >> 8);
  out[3] = static_cast<uint8_t>(word);
}

}  // namespace sample

#endif  // SURVEY_TOOLS_SURVEY_SAMPLE_VALUEMAKER_H_
