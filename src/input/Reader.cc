#include "input/Reader.h"

#include <algorithm>
#include <cstring>

#include "core/Error.h"

namespace {
constexpr std::size_t kBlockSize = 256 * 1024;
}

Reader::Reader(const std::string& path)
    : fileName(path),
      inFile_(path, std::ios::in | std::ios::binary),
      buffer_(std::make_unique<unsigned char[]>(kBlockSize)) {
  name = "Reader";
  if (!inFile_) {
    throwMessage("inFile false after construction: probably file", " ", "\"", fileName, "\"",
                 " does not exist");
  }
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
  // A short read leaves the end-of-file state set, so the end stays reported.
  if (inFile_.eof()) return false;
  if (inFile_) {
    inFile_.read(reinterpret_cast<char*>(buffer_.get()), static_cast<std::streamsize>(kBlockSize));
    next_ = 0;
    filled_ = static_cast<std::size_t>(inFile_.gcount());
    if (filled_ > 0) return true;
    if (inFile_.eof()) return false;
  }
  throwMessage("'get()' from file", " ", "\"", fileName, "\"",
               " failed for a reason other than end of file");
}
