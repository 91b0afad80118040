#ifndef SURVEY_FRAMING_READQUARTET_H_
#define SURVEY_FRAMING_READQUARTET_H_

#include <cstdint>

#include "core/Quartet.h"
#include "core/Upstream.h"

// Reads the next four bytes of `link` into `quartet`. Returns false, with
// `quartet` unspecified, when the upstream had no byte left at this quartet
// boundary; fails with "stream ended unexpectedly at input non-multiple of 4
// input location N" when it ends after one to three bytes. The link's counts
// grow exactly as four single requests stopping at the first end would.
bool ReadQuartet(Upstream<unsigned char>& link, Quartet& quartet);

// Fails as ReadQuartet does for an input cut inside a quartet; `location` is
// the number of bytes the link delivered.
[[noreturn]] void FailQuartetCutShort(std::uint32_t location);

#endif  // SURVEY_FRAMING_READQUARTET_H_
