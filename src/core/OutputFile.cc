#include "core/OutputFile.h"

#include "core/Error.h"

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

OutputFile::OutputFile(const std::string& path)
    : fileName(path), buffer_(std::make_unique<char[]>(kBufferSize)) {
  stream_.rdbuf()->pubsetbuf(buffer_.get(), kBufferSize);
  stream_.open(fileName, std::ios::out | std::ios::trunc);
  if (!stream_) {
    throwMessage("Output file", " ", "\"", fileName, "\"",
                 " false after construction: probably could not create file. A possible cause "
                 "for this is that the directory in the file name does not exist or the file is "
                 "in use by another program.");
  }
}

OutputFile::~OutputFile() = default;

void OutputFile::finish() {
  if (!stream_.is_open()) return;
  // Flushing before the check means a write lost at the very end is reported
  // too, not only the ones that failed while the run went on.
  stream_.flush();
  bool good = static_cast<bool>(stream_);
  stream_.close();
  if (!good || !stream_) {
    throwMessage("Output file", " ", "\"", fileName, "\"", " false before destruction.");
  }
}
