#ifndef SURVEY_FRAMING_EBCDIC_H_
#define SURVEY_FRAMING_EBCDIC_H_

#include <string>

#include "framing/CharacterHistogram.h"

// EBCDIC code to ASCII (8-bit) code; a permutation of 0x00..0xFF.
extern const unsigned char EbcdicToAscii[256];

// Plain-ASCII printability, independent of locale: 0x20..0x7E except the
// double quote 0x22.
bool IsPrintable(unsigned char translated);

// Counts EBCDIC byte `e` in `histogram` and appends its rendering to `text`:
// the translated character if printable, nothing for 0x00, otherwise
// "(ebcdic N)" with N the EBCDIC code.
void AppendCharToString(std::string& text, unsigned char e, CharacterHistogram& histogram);

#endif  // SURVEY_FRAMING_EBCDIC_H_
