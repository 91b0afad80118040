#include <cstddef>
#include <cstdint>
#include <iterator>

#include "fuzz/FuzzChain.h"

// The first byte picks the year, of every framing; the rest is the input
// file, decoded skipping damaged records.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr std::int32_t kYears[] = {68, 69, 70, 71, 72, 73, 74, 76, 78, 80, 82, 86, 88};
  if (size == 0) return 0;
  runChainOnBytes(kYears[data[0] % std::size(kYears)], data + 1, size - 1, true);
  return 0;
}
