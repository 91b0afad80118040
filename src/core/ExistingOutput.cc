#include "core/ExistingOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <vector>

#include "core/Error.h"

namespace {

constexpr std::size_t kLookedAtBytes = 64 * 1024;

bool isTextByte(unsigned char c) {
  return c == '\t' || c == '\n' || (c >= 0x20 && c <= 0x7E);
}

bool isNonEmptyRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

// The first `n` bytes of `path` (fewer where it ends or a read fails).
std::vector<unsigned char> firstBytes(const std::string& path, std::size_t n) {
  std::vector<unsigned char> bytes(n);
  std::size_t got = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  while (got < n) {
    const ssize_t read = ::read(fd, bytes.data() + got, n - got);
    if (read < 0 && errno == EINTR) continue;
    if (read <= 0) break;
    got += static_cast<std::size_t>(read);
  }
  ::close(fd);
  bytes.resize(got);
  return bytes;
}

}  // namespace

void refuseToOverwriteForeignFile(const std::string& path) {
  // Only a regular file is read: a device or a pipe could block or lose bytes.
  if (!isNonEmptyRegularFile(path)) return;
  const std::vector<unsigned char> start = firstBytes(path, kLookedAtBytes);
  if (std::all_of(start.begin(), start.end(), isTextByte)) return;
  throwMessage("Output file", " ", "\"", path, "\"",
               " exists and is not a decoded text file; refusing to overwrite it");
}

bool streamStartsWith(std::istream& in, std::string_view text) {
  std::string start(text.size(), '\0');
  in.read(start.data(), static_cast<std::streamsize>(start.size()));
  return in.gcount() == static_cast<std::streamsize>(text.size()) && start == text;
}

void removeDecoderFile(const std::string& path,
                       const std::function<bool(std::istream&)>& startsWithHeader) {
  if (!isNonEmptyRegularFile(path)) return;
  bool decoders = false;
  {
    std::ifstream in(path, std::ios::binary);
    decoders = in && startsWithHeader(in);
  }
  if (decoders) ::unlink(path.c_str());
}
