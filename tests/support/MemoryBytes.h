#ifndef SURVEY_TESTS_SUPPORT_MEMORYBYTES_H_
#define SURVEY_TESTS_SUPPORT_MEMORYBYTES_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/Error.h"
#include "core/Stream.h"
#include "input/InputSource.h"

// How a MemoryBytes answers bulk requests: through Stream's one-at-a-time
// default, or by copying whole stretches as the real byte stages do.
enum class BulkMode { kOneByOne, kOverridden };

inline void PrintTo(BulkMode mode, std::ostream* out) {
  *out << (mode == BulkMode::kOneByOne ? "OneByOne" : "Overridden");
}

// The one in-memory stand-in for the Reader, for tests, perftests and
// fuzzers: hands out its bytes, then the end for ever. With `failAfter` set,
// the request for byte failAfter + 1 fails with "read failed after N bytes",
// as a read error would, so that the bytes before it still arrive.
class MemoryBytes : public Stream<unsigned char> {
 public:
  static constexpr std::size_t kNever = SIZE_MAX;

  // Copies `bytes`.
  explicit MemoryBytes(std::string_view bytes, BulkMode bulk = BulkMode::kOverridden,
                       std::size_t failAfter = kNever)
      : owned_(bytes),
        data_(bytesOf(owned_)),
        size_(owned_.size()),
        bulk_(bulk),
        failAfter_(failAfter) {
    name = "MemoryBytes";
  }
  explicit MemoryBytes(const std::vector<unsigned char>& bytes,
                       BulkMode bulk = BulkMode::kOverridden, std::size_t failAfter = kNever)
      : MemoryBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                    bulk, failAfter) {}
  // Borrows `size` bytes at `data`, which the caller keeps alive (a fuzzer's
  // input is not copied).
  MemoryBytes(const unsigned char* data, std::size_t size) : data_(data), size_(size) {
    name = "MemoryBytes";
  }

  // Starts over at the first byte instead of reporting the end, for
  // benchmarks that pull as long as they like.
  void repeatForever() { repeat_ = true; }

  bool get(unsigned char& item) override {
    if (next_ == failAfter_) throwMessage("read failed after ", next_, " bytes");
    if (next_ == size_) {
      if (!repeat_ || size_ == 0) return false;
      next_ = 0;
    }
    item = data_[next_++];
    return true;
  }

  bool getMany(unsigned char* out, std::size_t n, std::size_t& got) override {
    if (bulk_ == BulkMode::kOneByOne) return Stream::getMany(out, n, got);
    std::size_t copied = 0;
    for (;;) {
      const std::size_t chunk = std::min(n - copied, std::min(size_, failAfter_) - next_);
      if (chunk != 0) std::memcpy(out + copied, data_ + next_, chunk);
      next_ += chunk;
      copied += chunk;
      got += chunk;
      if (copied == n) return true;
      if (!repeat_ || next_ == failAfter_ || size_ == 0) break;
      next_ = 0;
    }
    unsigned char ignored;
    return get(ignored);  // fails, or reports the end
  }

  // Bytes handed out so far.
  std::size_t consumed() const { return next_; }

 private:
  static const unsigned char* bytesOf(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
  }

  std::string owned_;
  const unsigned char* data_;
  std::size_t size_;
  BulkMode bulk_ = BulkMode::kOverridden;
  std::size_t failAfter_ = kNever;
  bool repeat_ = false;
  std::size_t next_ = 0;
};

// The same bytes as a Reader's block source, for chains that need the Reader
// itself (a run that skips damaged records): hands out at most `block` bytes
// per read, and fails like MemoryBytes once `failAfter` bytes are out.
class MemoryBlocks : public BlockSource {
 public:
  // Borrows `size` bytes at `data`, which the caller keeps alive.
  MemoryBlocks(const unsigned char* data, std::size_t size, std::size_t block = SIZE_MAX,
               std::size_t failAfter = MemoryBytes::kNever)
      : data_(data), size_(size), block_(block), failAfter_(failAfter) {}

  std::size_t read(unsigned char* out, std::size_t n) override {
    if (next_ == failAfter_) throwMessage("read failed after ", next_, " bytes");
    const std::size_t chunk = std::min({n, block_, std::min(size_, failAfter_) - next_});
    if (chunk != 0) std::memcpy(out, data_ + next_, chunk);
    next_ += chunk;
    return chunk;
  }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t block_;
  std::size_t failAfter_;
  std::size_t next_ = 0;
};

#endif  // SURVEY_TESTS_SUPPORT_MEMORYBYTES_H_
