#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzChain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  runChainOnBytes(78, data, size);
  return 0;
}
