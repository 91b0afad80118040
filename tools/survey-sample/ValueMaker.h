#ifndef SURVEY_TOOLS_SURVEY_SAMPLE_VALUEMAKER_H_
#define SURVEY_TOOLS_SURVEY_SAMPLE_VALUEMAKER_H_

#include <cstddef>
#include <cstdint>

#include "SampleLayouts.h"
#include "SplitMix64.h"

namespace sample {

// Makes field contents that look like survey data and reach into the corners the decoder
// must handle: EBCDIC text with the occasional non-printable byte and double quote, floats
// that are negative, zero, NaN or infinite, constants at both allowed values, and the
// extreme integers of every width.
class ValueMaker {
 public:
  // Draws from `random`, which must outlive the maker.
  explicit ValueMaker(SplitMix64& random) : random_(random) {}

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

  SplitMix64& random_;
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
