#include "fuzz/FuzzChain.h"

#include <exception>
#include <iostream>
#include <ostream>
#include <streambuf>

#include "driver/Chain.h"
#include "driver/FirstFailure.h"
#include "fuzz/MemorySource.h"

namespace {

// Accepts and forgets everything, in bulk.
class DiscardBuffer : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

DiscardBuffer discard;
std::ostream discarded(&discard);

// The statistics lines, histogram and warnings would flood the fuzzer's log.
const bool quiet = [] {
  std::cout.rdbuf(&discard);
  std::cerr.rdbuf(&discard);
  return true;
}();

}  // namespace

void runChainOnBytes(std::int32_t year, const std::uint8_t* data, std::size_t size) {
  (void)quiet;
  FirstFailure failure;
  {
    Chain chain;
    failure.attempt([&] {
      chain.buildAndDrainFrom(chain.add<MemorySource>(data, size), year, discarded, discarded);
    });
    chain.tearDown(failure);
  }
  try {
    failure.rethrowIfAny();
  } catch (const std::exception&) {
    // The decoder's error: a legitimate answer to a hostile input.
  }
}
