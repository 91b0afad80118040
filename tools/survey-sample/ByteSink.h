#ifndef SURVEY_TOOLS_SURVEY_SAMPLE_BYTESINK_H_
#define SURVEY_TOOLS_SURVEY_SAMPLE_BYTESINK_H_

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace sample {

// A binary output file written through a large buffer of its own, so that a sample of
// 150 MB costs a few hundred write calls.
class ByteSink {
 public:
  // Creates or empties the file; throws std::runtime_error naming `path` if it cannot.
  explicit ByteSink(const std::string& path);
  ByteSink(const ByteSink&) = delete;
  ByteSink& operator=(const ByteSink&) = delete;

  void append(const uint8_t* data, size_t n);
  void put(uint8_t byte) {
    if (buffer_.size() == buffer_.capacity()) flushBuffer();
    buffer_.push_back(byte);
    ++size_;
  }

  // Writes out the buffer and closes the file; throws std::runtime_error if any write
  // failed. Must be called once the sample is complete.
  void finish();

  // Bytes handed to the sink so far.
  uint64_t size() const { return size_; }

 private:
  void flushBuffer();

  std::string path_;
  std::ofstream out_;
  std::vector<uint8_t> buffer_;
  uint64_t size_ = 0;
};

}  // namespace sample

#endif  // SURVEY_TOOLS_SURVEY_SAMPLE_BYTESINK_H_
