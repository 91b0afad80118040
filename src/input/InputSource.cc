#include "input/InputSource.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "core/Error.h"

namespace {

constexpr unsigned char kGzipSignature[2] = {0x1f, 0x8b};
constexpr std::string_view kGzipSuffix = ".gz";

bool endsWithGzipSuffix(const std::string& path) {
  return path.size() >= kGzipSuffix.size() &&
         path.compare(path.size() - kGzipSuffix.size(), kGzipSuffix.size(), kGzipSuffix) == 0;
}

[[noreturn]] void failToRead(const std::string& path) {
  throwMessage("'get()' from file", " ", "\"", path, "\"",
               " failed for a reason other than end of file");
}

// A descriptor that closes itself; `owned` false for standard input. Bytes
// peeked at the start are handed out again by read(), so that standard input
// can be looked at without losing them.
class Descriptor {
 public:
  Descriptor(int fd, bool owned) : fd_(fd), owned_(owned) {}
  Descriptor(Descriptor&& other) noexcept
      : fd_(std::exchange(other.fd_, -1)),
        owned_(other.owned_),
        peeked_(other.peeked_),
        peekedCount_(other.peekedCount_) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (owned_ && fd_ >= 0) ::close(fd_);
  }

  // As read(2), resuming after a signal; -1 on failure.
  ssize_t read(unsigned char* out, std::size_t n) {
    if (peekedCount_ > 0 && n > 0) {
      const std::size_t given = std::min(n, peekedCount_);
      std::memcpy(out, peeked_.data(), given);
      std::memmove(peeked_.data(), peeked_.data() + given, peekedCount_ - given);
      peekedCount_ -= given;
      return static_cast<ssize_t>(given);
    }
    return readFile(out, n);
  }

  // Whether the input starts with the gzip signature. Reads its first bytes
  // (fewer where it ends or fails sooner) and keeps them for read().
  bool startsWithGzipSignature() {
    while (peekedCount_ < peeked_.size()) {
      const ssize_t n = readFile(peeked_.data() + peekedCount_, peeked_.size() - peekedCount_);
      if (n <= 0) break;
      peekedCount_ += static_cast<std::size_t>(n);
    }
    return peekedCount_ == peeked_.size() && peeked_[0] == kGzipSignature[0] &&
           peeked_[1] == kGzipSignature[1];
  }

 private:
  ssize_t readFile(unsigned char* out, std::size_t n) const {
    for (;;) {
      const ssize_t got = ::read(fd_, out, n);
      if (got >= 0 || errno != EINTR) return got;
    }
  }

  int fd_;
  bool owned_;
  std::array<unsigned char, sizeof kGzipSignature> peeked_{};
  std::size_t peekedCount_ = 0;
};

int openOrFail(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    throwMessage("inFile false after construction: probably file", " ", "\"", path, "\"",
                 " does not exist");
  }
  return fd;
}

class PlainSource : public BlockSource {
 public:
  PlainSource(const std::string& path, Descriptor fd) : path_(path), fd_(std::move(fd)) {}

  std::size_t read(unsigned char* out, std::size_t n) override {
    if (ended_) return 0;
    const ssize_t got = fd_.read(out, n);
    if (got < 0) failToRead(path_);
    ended_ = got == 0;
    return static_cast<std::size_t>(got);
  }

 private:
  const std::string path_;
  Descriptor fd_;
  bool ended_ = false;
};

// Inflates a file of one or more gzip members, as gzip -d reads it.
class GzipSource : public BlockSource {
 public:
  GzipSource(const std::string& path, std::unique_ptr<BlockSource> compressed)
      : path_(path), source_(std::move(compressed)), compressed_(kCompressedBlock) {
    // 16 + the largest window: a gzip header and trailer around deflate data.
    if (inflateInit2(&stream_, 16 + MAX_WBITS) != Z_OK) damaged("cannot start zlib");
  }
  GzipSource(const GzipSource&) = delete;
  GzipSource& operator=(const GzipSource&) = delete;
  ~GzipSource() override { inflateEnd(&stream_); }

  std::size_t read(unsigned char* out, std::size_t n) override {
    if (ended_) return 0;
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(n);
    while (stream_.avail_out == n) {
      if (stream_.avail_in == 0 && !refill()) {
        if (!memberOpen_) {
          ended_ = true;
          return 0;
        }
        damaged("unexpected end of file");
      }
      memberOpen_ = true;
      const int status = inflate(&stream_, Z_NO_FLUSH);
      if (status == Z_STREAM_END) {
        // Another member may follow.
        memberOpen_ = false;
        inflateReset(&stream_);
      } else if (status != Z_OK) {
        damaged(stream_.msg != nullptr ? stream_.msg : zError(status));
      }
    }
    return n - stream_.avail_out;
  }

 private:
  static constexpr std::size_t kCompressedBlock = 64 * 1024;

  bool refill() {
    const std::size_t got = source_->read(compressed_.data(), compressed_.size());
    stream_.next_in = compressed_.data();
    stream_.avail_in = static_cast<uInt>(got);
    return got > 0;
  }

  [[noreturn]] void damaged(const char* what) {
    throwMessage("gzip input ", "\"", path_, "\"", " is damaged: ", what);
  }

  const std::string path_;
  std::unique_ptr<BlockSource> source_;
  std::vector<unsigned char> compressed_;
  z_stream stream_{};
  bool memberOpen_ = false;
  bool ended_ = false;
};

// Bytes in memory, not owned.
class MemorySource : public BlockSource {
 public:
  explicit MemorySource(std::span<const unsigned char> bytes) : rest_(bytes) {}
  std::size_t read(unsigned char* out, std::size_t n) override {
    const std::size_t given = std::min(n, rest_.size());
    if (given > 0) std::memcpy(out, rest_.data(), given);
    rest_ = rest_.subspan(given);
    return given;
  }

 private:
  std::span<const unsigned char> rest_;
};

}  // namespace

InputKind inputKindOf(const std::string& path) {
  if (path == "-") return InputKind::kStandardInput;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return InputKind::kFile;
  Descriptor file(fd, true);
  return file.startsWithGzipSignature() ? InputKind::kGzipFile : InputKind::kFile;
}

std::string yearNameOf(const std::string& path, InputKind kind) {
  if (kind != InputKind::kGzipFile || !endsWithGzipSuffix(path)) return path;
  return path.substr(0, path.size() - kGzipSuffix.size());
}

std::unique_ptr<BlockSource> openBlockSource(const std::string& path, InputKind kind) {
  switch (kind) {
    case InputKind::kStandardInput: {
      Descriptor in(STDIN_FILENO, false);
      const bool gzip = in.startsWithGzipSignature();
      auto plain = std::make_unique<PlainSource>(path, std::move(in));
      if (gzip) return std::make_unique<GzipSource>(path, std::move(plain));
      return plain;
    }
    case InputKind::kGzipFile:
      return std::make_unique<GzipSource>(
          path, std::make_unique<PlainSource>(path, Descriptor(openOrFail(path), true)));
    case InputKind::kFile:
      break;
  }
  return std::make_unique<PlainSource>(path, Descriptor(openOrFail(path), true));
}

std::unique_ptr<BlockSource> openMemorySource(std::span<const unsigned char> bytes,
                                              const std::string& name) {
  auto plain = std::make_unique<MemorySource>(bytes);
  if (bytes.size() >= sizeof kGzipSignature && bytes[0] == kGzipSignature[0] &&
      bytes[1] == kGzipSignature[1]) {
    return std::make_unique<GzipSource>(name, std::move(plain));
  }
  return plain;
}
