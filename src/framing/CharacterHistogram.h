#ifndef SURVEY_FRAMING_CHARACTERHISTOGRAM_H_
#define SURVEY_FRAMING_CHARACTERHISTOGRAM_H_

#include <array>
#include <cstdint>
#include <ostream>
#include <string>

// How often each EBCDIC code went into a decoded string, and how many double
// quotes came in pairs within one string field.
struct CharacterHistogram {
  std::uint32_t matchedQuotes = 0;
  std::array<std::uint32_t, 256> counts{};
};

// Readable name of translated code `a`, which came from EBCDIC code `e`: a few
// spelled-out names, else the character itself if printable, else "".
std::string CharacterName(unsigned char a, unsigned char e);

// Writes `title`, the key, one line per EBCDIC code that occurred, and the
// count of characters shown in "(ebcdic N)" form less the double quotes that
// came in pairs. Every line is ended and flushed.
void PrintCharacterHistogram(const CharacterHistogram& histogram, std::ostream& out,
                             const std::string& title);

#endif  // SURVEY_FRAMING_CHARACTERHISTOGRAM_H_
