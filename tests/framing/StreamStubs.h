#ifndef SURVEY_TESTS_FRAMING_STREAMSTUBS_H_
#define SURVEY_TESTS_FRAMING_STREAMSTUBS_H_

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/Stream.h"
#include "framing/Quartet.h"

using Bytes = std::vector<unsigned char>;

// How a stub byte stage answers bulk requests: through the one-at-a-time
// default, or with its own copying override as the real byte stages do.
enum class BulkMode { kOneByOne, kOverridden };

inline void PrintTo(BulkMode mode, std::ostream* out) {
  *out << (mode == BulkMode::kOneByOne ? "OneByOne" : "Overridden");
}

// Hands out a fixed list of bytes, then reports the end forever. With
// `failAfter` set it raises "source broke" instead of delivering that byte.
class ByteSource : public Stream<unsigned char> {
 public:
  explicit ByteSource(Bytes bytes, BulkMode mode = BulkMode::kOverridden,
                      std::size_t failAfter = SIZE_MAX)
      : bytes_(std::move(bytes)), mode_(mode), failAfter_(failAfter) {
    name = "ByteSource";
  }

  bool get(unsigned char& item) override {
    if (next_ == failAfter_) throwMessage("source broke");
    if (next_ == bytes_.size()) return false;
    item = bytes_[next_++];
    return true;
  }

  bool getMany(unsigned char* out, std::size_t n, std::size_t& got) override {
    if (mode_ == BulkMode::kOneByOne) return Stream::getMany(out, n, got);
    std::size_t stop = std::min({bytes_.size(), failAfter_, next_ + n});
    std::size_t count = stop - next_;
    std::copy_n(bytes_.begin() + next_, count, out);
    next_ = stop;
    got += count;
    if (count < n && next_ == failAfter_) throwMessage("source broke");
    return count == n;
  }

  std::size_t consumed() const { return next_; }

 private:
  Bytes bytes_;
  BulkMode mode_;
  std::size_t failAfter_;
  std::size_t next_ = 0;
};

// Hands out a fixed list of records, then reports the end forever.
template <class T>
class RecordSource : public Stream<std::vector<T>> {
 public:
  explicit RecordSource(std::vector<std::vector<T>> records) : records_(std::move(records)) {
    this->name = "RecordSource";
  }
  bool get(std::vector<T>& item) override {
    if (next_ == records_.size()) return false;
    item = records_[next_++];
    return true;
  }

 private:
  std::vector<std::vector<T>> records_;
  std::size_t next_ = 0;
};

inline Quartet Q(std::uint32_t value) {
  return Quartet{{static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
                  static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)}};
}

inline Bytes BytesOf(const std::vector<Quartet>& quartets) {
  Bytes bytes;
  for (const Quartet& q : quartets) bytes.insert(bytes.end(), q.bytes.begin(), q.bytes.end());
  return bytes;
}

// Input-damaging helpers.
inline Bytes Truncated(Bytes bytes, std::size_t length) {
  bytes.resize(length);
  return bytes;
}
inline Bytes WithByteAt(Bytes bytes, std::size_t index, unsigned char value) {
  bytes[index] = value;
  return bytes;
}
inline Bytes WithoutBytes(Bytes bytes, std::size_t index, std::size_t count) {
  bytes.erase(bytes.begin() + index, bytes.begin() + index + count);
  return bytes;
}

// The message `action` fails with, or "no failure".
inline std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no failure";
}

#endif  // SURVEY_TESTS_FRAMING_STREAMSTUBS_H_
