#ifndef SURVEY_TESTS_FRAMING_STREAMSTUBS_H_
#define SURVEY_TESTS_FRAMING_STREAMSTUBS_H_

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/Quartet.h"
#include "core/Stream.h"
#include "support/MemoryBytes.h"

using Bytes = std::vector<unsigned char>;

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

#endif  // SURVEY_TESTS_FRAMING_STREAMSTUBS_H_
