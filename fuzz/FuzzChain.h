#ifndef SURVEY_FUZZ_FUZZCHAIN_H_
#define SURVEY_FUZZ_FUZZCHAIN_H_

#include <cstddef>
#include <cstdint>

// Runs the whole chain of `year` over `size` bytes, with every output stream
// discarded. Returns normally when the run completed or ended with the
// decoder's error (std::runtime_error); anything else, the standard library's
// other exceptions included, escapes to the fuzzer as a finding.
// With `keepGoing`, damaged records are skipped as --keep-going skips them.
void runChainOnBytes(std::int32_t year, const std::uint8_t* data, std::size_t size,
                     bool keepGoing = false);

#endif  // SURVEY_FUZZ_FUZZCHAIN_H_
