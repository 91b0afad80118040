#ifndef SURVEY_FRAMING_EBCDIC_H_
#define SURVEY_FRAMING_EBCDIC_H_

#include <string>

#include "framing/CharacterHistogram.h"

// EBCDIC code to ASCII (8-bit) code; a permutation of 0x00..0xFF.
extern const unsigned char EbcdicToAscii[256];

// Plain-ASCII printability, independent of locale: 0x20..0x7E except the
// double quote 0x22.
inline bool IsPrintable(unsigned char translated) {
  return translated >= 0x20 && translated <= 0x7E && translated != 0x22;
}

// Appends "(ebcdic N)" for EBCDIC code `e`; out of line, as it is rare.
void AppendEbcdicCode(std::string& text, unsigned char e);

// Counts EBCDIC byte `e` in `histogram` and appends its rendering to `text`:
// the translated character if printable, nothing for 0x00, otherwise
// "(ebcdic N)" with N the EBCDIC code. Inline: every character of every text
// passes here.
inline void AppendCharToString(std::string& text, unsigned char e, CharacterHistogram& histogram) {
  ++histogram.counts[e];
  const unsigned char a = EbcdicToAscii[e];
  if (IsPrintable(a)) {
    text.push_back(static_cast<char>(a));
  } else if (a != 0) {
    AppendEbcdicCode(text, e);
  }
}

#endif  // SURVEY_FRAMING_EBCDIC_H_
