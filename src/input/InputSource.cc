#include "input/InputSource.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
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

// A descriptor that closes itself; `owned` false for standard input.
class Descriptor {
 public:
  Descriptor(int fd, bool owned) : fd_(fd), owned_(owned) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (owned_ && fd_ >= 0) ::close(fd_);
  }

  // As read(2), resuming after a signal; -1 on failure.
  ssize_t read(unsigned char* out, std::size_t n) const {
    for (;;) {
      const ssize_t got = ::read(fd_, out, n);
      if (got >= 0 || errno != EINTR) return got;
    }
  }

 private:
  int fd_;
  bool owned_;
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
  PlainSource(const std::string& path, int fd, bool owned) : path_(path), fd_(fd, owned) {}

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
  explicit GzipSource(const std::string& path)
      : path_(path), fd_(openOrFail(path), true), compressed_(kCompressedBlock) {
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
    const ssize_t got = fd_.read(compressed_.data(), compressed_.size());
    if (got < 0) failToRead(path_);
    stream_.next_in = compressed_.data();
    stream_.avail_in = static_cast<uInt>(got);
    return got > 0;
  }

  [[noreturn]] void damaged(const char* what) {
    throwMessage("gzip input ", "\"", path_, "\"", " is damaged: ", what);
  }

  const std::string path_;
  Descriptor fd_;
  std::vector<unsigned char> compressed_;
  z_stream stream_{};
  bool memberOpen_ = false;
  bool ended_ = false;
};

}  // namespace

InputKind inputKindOf(const std::string& path) {
  if (path == "-") return InputKind::kStandardInput;
  if (!endsWithGzipSuffix(path)) return InputKind::kFile;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return InputKind::kFile;
  const Descriptor file(fd, true);
  unsigned char start[2] = {0, 0};
  std::size_t got = 0;
  while (got < 2) {
    const ssize_t n = file.read(start + got, 2 - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  const bool gzip = got == 2 && start[0] == kGzipSignature[0] && start[1] == kGzipSignature[1];
  return gzip ? InputKind::kGzipFile : InputKind::kFile;
}

std::string yearNameOf(const std::string& path, InputKind kind) {
  if (kind != InputKind::kGzipFile) return path;
  return path.substr(0, path.size() - kGzipSuffix.size());
}

std::unique_ptr<BlockSource> openBlockSource(const std::string& path, InputKind kind) {
  switch (kind) {
    case InputKind::kStandardInput:
      return std::make_unique<PlainSource>(path, STDIN_FILENO, false);
    case InputKind::kGzipFile:
      return std::make_unique<GzipSource>(path);
    case InputKind::kFile:
      break;
  }
  return std::make_unique<PlainSource>(path, openOrFail(path), true);
}
