#include <cstddef>
#include <cstdint>
#include <iterator>

#include "fuzz/FuzzChain.h"

// The first byte picks the year; the rest is the input file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr std::int32_t kYears[] = {80, 82, 86, 88};
  if (size == 0) return 0;
  runChainOnBytes(kYears[data[0] % std::size(kYears)], data + 1, size - 1);
  return 0;
}
