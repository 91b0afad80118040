#include "ByteSink.h"

#include <cstring>
#include <stdexcept>

namespace sample {

namespace {
constexpr size_t kBufferBytes = size_t{1} << 20;
}

ByteSink::ByteSink(const std::string& path)
    : path_(path), out_(path, std::ios::binary | std::ios::trunc) {
  if (!out_) throw std::runtime_error("cannot create \"" + path + "\"");
  buffer_.reserve(kBufferBytes);
}

void ByteSink::append(const uint8_t* data, size_t n) {
  size_ += n;
  while (n > 0) {
    if (buffer_.size() == buffer_.capacity()) flushBuffer();
    const size_t step = std::min(n, buffer_.capacity() - buffer_.size());
    buffer_.insert(buffer_.end(), data, data + step);
    data += step;
    n -= step;
  }
}

void ByteSink::flushBuffer() {
  out_.write(reinterpret_cast<const char*>(buffer_.data()),
             static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
}

void ByteSink::finish() {
  flushBuffer();
  out_.close();
  if (!out_) throw std::runtime_error("writing \"" + path_ + "\" failed");
}

}  // namespace sample
