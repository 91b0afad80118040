#ifndef SURVEY_FUZZ_FUZZCHAIN_H_
#define SURVEY_FUZZ_FUZZCHAIN_H_

#include <cstddef>
#include <cstdint>

// Decodes `size` bytes as `year` through the library's decoder, reading every
// record's cells, with every report discarded. Returns normally when the
// decode completed or ended with the decoder's own error; a failure of the
// standard library's (told by its message) aborts, and any other exception
// escapes: both are findings.
// With `keepGoing`, damaged records are skipped as --keep-going skips them.
void runChainOnBytes(std::int32_t year, const std::uint8_t* data, std::size_t size,
                     bool keepGoing = false);

#endif  // SURVEY_FUZZ_FUZZCHAIN_H_
