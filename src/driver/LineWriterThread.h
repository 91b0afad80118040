#ifndef SURVEY_DRIVER_LINEWRITERTHREAD_H_
#define SURVEY_DRIVER_LINEWRITERTHREAD_H_

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "driver/DecodedRecordWriter.h"
#include "typing/TypedValue.h"

// Typed records on their way to the line writer. The records keep their
// storage (and that of their texts) from one use of the batch to the next.
struct RecordBatch {
  std::vector<TypedRecord> records;
  // records[0, count) belong to the batch; the rest are storage.
  std::size_t count = 0;
  // The run's number of records[0], 1-based.
  std::uint64_t firstNumber = 0;
};

// Whether the line writer takes `record` without fail: no record or one whose
// addresses start at 1, ascend strictly, stay within kLastColumn, and carry
// values of the four printable types. The caller writes any other record
// itself, so that a refusal ends the run before another record is decoded.
bool writesWithoutFail(const TypedRecord& record);

// Makes and writes the lines of batches of typed records on a thread of its
// own, in the order the batches were handed over, while the caller decodes
// the next ones. Only records for which writesWithoutFail() holds may be
// handed over. The thread starts with the first batch the caller does not
// wait for, so a run of one batch is written on the caller's thread, as is
// every batch when the system gives no thread.
class LineWriterThread {
 public:
  // `out` (not owned) must outlive this object; nothing else may write to it
  // between a submit() and the drain() after it.
  explicit LineWriterThread(std::ostream& out);
  LineWriterThread(const LineWriterThread&) = delete;
  LineWriterThread& operator=(const LineWriterThread&) = delete;
  // Writes what was handed over, then stops the thread. Never raises.
  ~LineWriterThread();

  // A batch to fill, once one is free (the thread may still be writing both).
  RecordBatch& freeBatch();
  // Hands over `batch`, which must come from freeBatch(); the caller keeps
  // away from it from now on. `drainNext` says that the caller calls drain()
  // next; while no thread runs, such a batch is written right here.
  void submit(RecordBatch& batch, bool drainNext);
  // Returns once every batch handed over is written to `out`. Raises again
  // what writing a batch raised (memory exhausted, the refusals being ruled
  // out by writesWithoutFail).
  void drain();

 private:
  // Starts the thread; false when the system has none to give.
  bool startThread();
  void run();
  // Writes `batch` on the caller's thread and frees it; a failure waits for drain().
  void writeHere(RecordBatch& batch);
  // Writes `batch`, returning what that raised instead of raising it.
  std::exception_ptr tryWrite(const RecordBatch& batch);

  RecordBatch batches_[2];
  RecordBatch* free_[2] = {&batches_[0], &batches_[1]};
  std::size_t freeCount_ = 2;
  // Handed over, oldest first; at most two.
  RecordBatch* full_[2] = {nullptr, nullptr};
  std::size_t fullCount_ = 0;
  bool writing_ = false;
  bool stop_ = false;
  bool noThread_ = false;
  std::exception_ptr failure_;
  GatheredLines lines_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
};

#endif  // SURVEY_DRIVER_LINEWRITERTHREAD_H_
