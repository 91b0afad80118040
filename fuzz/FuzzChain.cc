#include "fuzz/FuzzChain.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

#include "survey_decoder.h"

namespace {

// Accepts and forgets everything, in bulk.
class DiscardBuffer : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

DiscardBuffer discard;
// The warnings would flood the fuzzer's log (the statistics lines go nowhere
// unless asked for). With SURVEY_FUZZ_MESSAGES set, each run's failure
// message goes to standard error, so that replaying a corpus shows which
// refusals it reaches.
std::ostream discarded(&discard);
const bool showMessages = std::getenv("SURVEY_FUZZ_MESSAGES") != nullptr;
// The Typifier passes every failure on as the decoder's error, the standard
// library's included; their texts give those away.
bool fromStandardLibrary(const std::string& message) {
  for (const char* marker :
       {"std::", "_M_", "vector::", "basic_string", "map::at", "max_size()", "bad_alloc"}) {
    if (message.find(marker) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

void runChainOnBytes(std::int32_t year, const std::uint8_t* data, std::size_t size,
                     bool keepGoing) {
  survey::Options options;
  options.year = year;
  options.keepGoing = keepGoing;
  options.warnings = &discarded;
  std::optional<std::string> message;
  survey::Decoder decoder = survey::Decoder::openBuffer({data, size}, "fuzz", options);
  try {
    survey::Record record;
    // The cells are what a binding reads, texts included.
    while (decoder.next(record)) (void)record.cells();
  } catch (const survey::DecodeError& error) {
    message = error.what();
  }
  try {
    decoder.finish();
  } catch (const survey::DecodeError& error) {
    if (!message) message = error.what();
  }
  if (!message) return;
  // The decoder's error is a legitimate answer to a hostile input. The
  // standard library's own failures (an index out of range, a length limit,
  // memory exhausted) mean a stage trusted a size it should not have, and
  // escape as findings.
  if (showMessages) std::cerr << year << ": " << *message << '\n';
  if (fromStandardLibrary(*message)) {
    std::cerr << "the standard library failed: " << *message << std::endl;
    std::abort();
  }
}
