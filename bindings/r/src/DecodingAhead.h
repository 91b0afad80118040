#ifndef SURVEYDECODER_DECODINGAHEAD_H_
#define SURVEYDECODER_DECODINGAHEAD_H_

#include <array>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "survey_decoder.h"

namespace rbinding {

// Runs a decoder's next() on a second thread, a batch of records ahead of its
// caller, so that the caller files one batch while the next is decoded. The
// decoder is the thread's alone until this is destroyed; the options'
// callbacks run on that thread.
class DecodingAhead {
 public:
  static constexpr std::size_t kBatch = 32;

  // Starts decoding `decoder` (not owned; it must outlive this).
  explicit DecodingAhead(survey::Decoder& decoder);
  // Stops the thread at its next record and waits for it.
  ~DecodingAhead();
  DecodingAhead(const DecodingAhead&) = delete;
  DecodingAhead& operator=(const DecodingAhead&) = delete;

  // The next records in file order, valid until the next call; empty at the
  // end of the data or at the decoder's failure.
  std::span<const survey::Record> next();
  // After next() came back empty: throws the decoder's failure, if any.
  void rethrowFailure() const;

 private:
  struct Batch {
    std::vector<survey::Record> records;
    std::size_t count = 0;
    bool last = false;
    std::exception_ptr failure;
  };

  void run();

  survey::Decoder& decoder_;
  std::array<Batch, 3> batches_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Batch*> free_;
  std::deque<Batch*> full_;
  bool stop_ = false;
  Batch* current_ = nullptr;
  bool done_ = false;
  std::exception_ptr failure_;
  std::jthread thread_;
};

}  // namespace rbinding

#endif  // SURVEYDECODER_DECODINGAHEAD_H_
