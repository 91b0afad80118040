#include "framing/ReadQuartet.h"

#include "core/Error.h"

bool ReadQuartet(Upstream<unsigned char>& link, Quartet& quartet) {
  std::size_t got = link.getMany(quartet.bytes.data(), quartet.bytes.size());
  if (got == quartet.bytes.size()) return true;
  if (got == 0) return false;
  FailQuartetCutShort(link.moreGets);
}

void FailQuartetCutShort(std::uint32_t location) {
  throwMessage("stream ended unexpectedly", " at input non-multiple of 4 input location", " ",
               location);
}
