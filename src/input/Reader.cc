#include "input/Reader.h"

#include <algorithm>
#include <cassert>
#include <cstring>

Reader::Reader(const std::string& path, InputKind kind)
    : Reader(openBlockSource(path, kind), path) {}

Reader::Reader(std::unique_ptr<BlockSource> source, const std::string& path, std::size_t blockSize)
    : fileName(path),
      source_(std::move(source)),
      buffer_(std::make_unique_for_overwrite<unsigned char[]>(blockSize)),
      blockSize_(blockSize),
      capacity_(blockSize) {
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

void Reader::reserve(std::size_t bytes) {
  if (capacity_ >= bytes) return;
  const std::size_t larger = std::max(bytes, 2 * capacity_);
  auto buffer = std::make_unique_for_overwrite<unsigned char[]>(larger);
  std::memcpy(buffer.get(), buffer_.get(), filled_);
  buffer_ = std::move(buffer);
  capacity_ = larger;
}

bool Reader::refill() {
  const std::size_t keepFrom = next_ > keepBehind_ ? next_ - keepBehind_ : 0;
  return fill(keepBehind_ == 0 ? filled_ : keepFrom) > 0;
}

std::size_t Reader::fill(std::size_t keepFrom) {
  const std::size_t kept = filled_ - keepFrom;
  if (keepFrom != 0) std::memmove(buffer_.get(), buffer_.get() + keepFrom, kept);
  base_ += keepFrom;
  next_ -= std::min(next_, keepFrom);
  filled_ = kept;
  if (ended_) return 0;
  reserve(filled_ + blockSize_);
  std::size_t read;
  try {
    read = source_->read(buffer_.get() + filled_, std::min(blockSize_, capacity_ - filled_));
  } catch (...) {
    failed_ = true;
    throw;
  }
  ended_ = read == 0;
  filled_ += read;
  return read;
}

std::size_t Reader::view(std::uint64_t at, std::size_t n, const unsigned char*& bytes) {
  assert(at >= base_);
  if (at + n > base_ + filled_ && !ended_) {
    // Keep what seek() may still go back to, and everything from `at` on.
    const std::uint64_t keepFrom =
        std::min<std::uint64_t>(at, base_ + next_ - std::min(next_, keepBehind_));
    fill(static_cast<std::size_t>(keepFrom - base_));
    while (base_ + filled_ < at + n && fill(0) > 0) {
    }
  }
  const std::uint64_t available = base_ + filled_ > at ? base_ + filled_ - at : 0;
  bytes = buffer_.get() + (available > 0 ? at - base_ : 0);
  return static_cast<std::size_t>(std::min<std::uint64_t>(available, n));
}

void Reader::seek(std::uint64_t at) {
  assert(at >= base_);
  while (at > base_ + filled_) {
    next_ = filled_;
    if (!refill()) return;
  }
  next_ = static_cast<std::size_t>(at - base_);
}
