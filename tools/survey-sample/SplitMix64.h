#ifndef SURVEY_TOOLS_SURVEY_SAMPLE_SPLITMIX64_H_
#define SURVEY_TOOLS_SURVEY_SAMPLE_SPLITMIX64_H_

#include <cstdint>

namespace sample {

// A small generator whose sequence depends on the seed alone, on every platform and
// standard library, so a sample can be rebuilt byte for byte from its arguments.
class SplitMix64 {
 public:
  explicit SplitMix64(uint64_t seed) : state_(seed) {}

  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  uint32_t next32() { return static_cast<uint32_t>(next() >> 32); }

  // Uniform in [0, n) for n > 0, by multiply and shift: the bias is far below what a
  // sample could show, and no loop makes the count of draws depend on the values.
  uint32_t below(uint32_t n) {
    return static_cast<uint32_t>((static_cast<uint64_t>(next32()) * n) >> 32);
  }

  // True with probability 1 / n.
  bool oneIn(uint32_t n) { return below(n) == 0; }

 private:
  uint64_t state_;
};

}  // namespace sample

#endif  // SURVEY_TOOLS_SURVEY_SAMPLE_SPLITMIX64_H_
