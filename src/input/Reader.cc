#include "input/Reader.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kBlockSize = 256 * 1024;
}

Reader::Reader(const std::string& path, InputKind kind)
    : fileName(path),
      source_(openBlockSource(path, kind)),
      buffer_(std::make_unique<unsigned char[]>(kBlockSize)) {
  name = "Reader";
}

bool Reader::getMany(unsigned char* out, std::size_t n, std::size_t& got) {
  std::size_t copied = 0;
  while (copied < n) {
    if (next_ == filled_ && !refill()) return false;
    std::size_t chunk = std::min(n - copied, filled_ - next_);
    std::memcpy(out + copied, buffer_.get() + next_, chunk);
    next_ += chunk;
    copied += chunk;
    // Counted before the next refill, which may fail.
    got += chunk;
  }
  return true;
}

bool Reader::refill() {
  next_ = 0;
  filled_ = source_->read(buffer_.get(), kBlockSize);
  return filled_ > 0;
}
