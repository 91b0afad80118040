#ifndef SURVEY_BINDINGS_PYTHON_RECORD_PUMP_H_
#define SURVEY_BINDINGS_PYTHON_RECORD_PUMP_H_

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "survey_decoder.h"

// Pulls a decoder's records on a thread of its own, a few batches ahead of
// the caller, so that decoding and filling the tables overlap. The decoder is
// the pump's alone from construction until stop() (or the destructor) has
// returned; it calls the decoder's options' callbacks on its thread.
class RecordPump {
 public:
  explicit RecordPump(survey::Decoder& decoder);
  ~RecordPump();
  RecordPump(const RecordPump&) = delete;
  RecordPump& operator=(const RecordPump&) = delete;

  // The next record, which holds until the following call, or nullptr at the
  // end of the data. Rethrows the decoder's failure after the records before
  // it. Waits with the GIL released.
  const survey::Record* next();

  // Stops the thread after the record it is decoding, and waits for it.
  void stop();

 private:
  struct Batch {
    std::vector<survey::Record> records;
    std::size_t count = 0;
    bool ended = false;  // the last batch: the data or a failure ended with it
    std::exception_ptr failure;
  };

  void run();

  survey::Decoder& decoder_;
  std::vector<Batch> batches_;
  std::mutex mutex_;
  std::condition_variable changed_;
  // Batches in order: [taken_, filled_) filled and waiting, the rest free;
  // counters run on, a batch is batches_[counter % size].
  std::size_t taken_ = 0;
  std::size_t filled_ = 0;
  std::atomic<bool> stopping_{false};
  Batch* current_ = nullptr;  // the caller's batch
  std::size_t position_ = 0;  // the caller's next record in it
  std::thread thread_;
};

#endif  // SURVEY_BINDINGS_PYTHON_RECORD_PUMP_H_
