#ifndef SURVEY_FRAMING_CHARACTERHISTOGRAM_H_
#define SURVEY_FRAMING_CHARACTERHISTOGRAM_H_

#include <array>
#include <cstdint>

// How often each EBCDIC code went into a decoded string, and how many double
// quotes came in pairs within one string field.
struct CharacterHistogram {
  std::uint32_t matchedQuotes = 0;
  std::array<std::uint32_t, 256> counts{};
};

#endif  // SURVEY_FRAMING_CHARACTERHISTOGRAM_H_
