#include "core/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/Error.h"

// A write-only file buffer that empties a regular file just before its first
// bytes are written. Devices and pipes are never truncated.
class OutputFile::FileBuffer : public std::streambuf {
 public:
  explicit FileBuffer(const std::string& path)
      : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666)), space_(kBufferSize) {
    setp(space_.data(), space_.data() + space_.size());
  }
  FileBuffer(const FileBuffer&) = delete;
  FileBuffer& operator=(const FileBuffer&) = delete;
  ~FileBuffer() override { close(); }

  bool isOpen() const { return fd_ >= 0; }

  // Writes what is buffered, then closes; false if that or the emptying failed.
  bool flushAndClose(bool emptyIfUnwritten) {
    bool good = sync() == 0;
    if (good && emptyIfUnwritten && !started_) good = startWriting();
    return close() && good;
  }

 protected:
  int_type overflow(int_type c) override {
    if (!drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
  }

  // Large pieces (a batch of decoded lines) go to the file without a copy.
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (n < static_cast<std::streamsize>(space_.size()) / 2) {
      std::streamsize done = 0;
      while (done < n) {
        if (pptr() == epptr() && !drain()) return done;
        const std::streamsize room = std::min<std::streamsize>(n - done, epptr() - pptr());
        std::memcpy(pptr(), s + done, static_cast<std::size_t>(room));
        pbump(static_cast<int>(room));
        done += room;
      }
      return n;
    }
    if (!drain() || !writeAll(s, static_cast<std::size_t>(n))) return 0;
    return n;
  }

  int sync() override { return drain() ? 0 : -1; }

 private:
  static constexpr std::size_t kBufferSize = 1 << 16;

  // Writes the buffered bytes; false (and nothing more accepted) on failure.
  bool drain() {
    const std::size_t pending = static_cast<std::size_t>(pptr() - pbase());
    if (pending == 0) return !failed_;
    const bool ok = writeAll(pbase(), pending);
    setp(space_.data(), space_.data() + space_.size());
    return ok;
  }

  bool writeAll(const char* data, std::size_t n) {
    if (failed_ || !startWriting()) return false;
    while (n > 0) {
      const ssize_t written = ::write(fd_, data, n);
      if (written < 0) {
        if (errno == EINTR) continue;
        return fail();
      }
      data += written;
      n -= static_cast<std::size_t>(written);
    }
    return true;
  }

  // Empties the file once, before the first write that reaches it.
  bool startWriting() {
    if (started_) return !failed_;
    started_ = true;
    if (fd_ < 0) return fail();
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return fail();
    // An empty file is left alone: truncating it would change nothing but
    // make some file systems write it out in full when it is closed.
    if (S_ISREG(info.st_mode) && info.st_size > 0 && ::ftruncate(fd_, 0) != 0) return fail();
    return true;
  }

  bool fail() {
    failed_ = true;
    return false;
  }

  bool close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
  }

  int fd_;
  std::vector<char> space_;
  bool started_ = false;
  bool failed_ = false;
};

OutputFile::OutputFile(const std::string& path)
    : fileName(path), buffer_(std::make_unique<FileBuffer>(path)), stream_(buffer_.get()) {
  if (!buffer_->isOpen()) {
    throwMessage("Output file", " ", "\"", fileName, "\"",
                 " false after construction: probably could not create file. A possible cause "
                 "for this is that the directory in the file name does not exist or the file is "
                 "in use by another program.");
  }
}

OutputFile::~OutputFile() = default;

void OutputFile::finish(bool emptyIfUnwritten) {
  if (!buffer_->isOpen()) return;
  // Flushing before the check means a write lost at the very end is reported
  // too, not only the ones that failed while the run went on.
  const bool written = static_cast<bool>(stream_);
  if (!buffer_->flushAndClose(emptyIfUnwritten) || !written) {
    throwMessage("Output file", " ", "\"", fileName, "\"", " false before destruction.");
  }
}
