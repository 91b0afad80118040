#ifndef SURVEY_FUZZ_MEMORYSOURCE_H_
#define SURVEY_FUZZ_MEMORYSOURCE_H_

#include <cstddef>
#include <cstring>

#include "core/Stream.h"

// Stands in for the Reader: hands out the bytes of a caller-owned buffer, then
// reports the end on every later request.
class MemorySource : public Stream<unsigned char> {
 public:
  MemorySource(const unsigned char* data, std::size_t size) : next_(data), end_(data + size) {
    name = "Reader";
  }

  bool get(unsigned char& byte) override {
    if (next_ == end_) return false;
    byte = *next_++;
    return true;
  }

  bool getMany(unsigned char* out, std::size_t n, std::size_t& got) override {
    const std::size_t left = static_cast<std::size_t>(end_ - next_);
    const std::size_t take = n < left ? n : left;
    if (take != 0) std::memcpy(out, next_, take);
    next_ += take;
    got += take;
    return take == n;
  }

 private:
  const unsigned char* next_;
  const unsigned char* end_;
};

#endif  // SURVEY_FUZZ_MEMORYSOURCE_H_
