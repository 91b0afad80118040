#ifndef SURVEY_DRIVER_DECODEDRECORDWRITER_H_
#define SURVEY_DRIVER_DECODEDRECORDWRITER_H_

#include <cstdint>
#include <ostream>
#include <string>

#include "core/Stream.h"
#include "typing/TypedValue.h"

// The widest line the writer makes: a record whose highest address lies above
// it is refused, so a damaged explicit address cannot demand billions of tabs.
inline constexpr std::uint32_t kLastColumn = 1048576;

// Pulls typed records from `stage` (the chain's last stage, not owned) until it
// reports the end, writing each as one line to `out`. Once the run outgrows a
// batch, the lines are made and written on a second thread while the next
// records are decoded (see LineWriterThread). Lines reach `out` a few hundred
// KiB at a time and are flushed at the end. No record is pulled after one the
// writer refuses, and when a record fails, here or upstream, every line before
// it (and the unfinished line of a value that cannot be printed) is written
// before the failure passes on.
void writeDecodedRecords(Stream<TypedRecord>& stage, std::ostream& out);

// Appends the line of `record`, the `recordNumber`th of the run (1-based, for
// messages), to the lines in buffer[0, used) and moves `used` past it: the
// value at address k in tab-separated column k, empty columns for missing
// addresses, then "\n". The rest of `buffer` is scratch the function may grow.
// The record must be sorted by address; a record whose first address is not
// 1, that holds an address more than once (or out of order), or whose highest
// address is beyond kLastColumn fails with nothing of its line appended; a
// value that cannot be printed fails with its line appended as far as it got.
void appendDecodedRecord(const TypedRecord& record, std::uint64_t recordNumber, std::string& buffer,
                         std::size_t& used);

// Lines on their way to an output stream, gathered and written a few hundred
// KiB at a time: damaged FF-records can make lines of up to a million
// columns, and a batch of them must not be held whole.
class GatheredLines {
 public:
  // `out` (not owned) must outlive this object.
  explicit GatheredLines(std::ostream& out) : out_(out) {}

  // Appends the line of `record` (see appendDecodedRecord). When that fails,
  // writes the lines gathered, with the unfinished line of a value that
  // cannot be printed, and raises again.
  void add(const TypedRecord& record, std::uint64_t recordNumber);
  // Writes the lines gathered so far; the buffer's storage stays for the next.
  void write();

 private:
  std::ostream& out_;
  std::string buffer_;
  std::size_t used_ = 0;
};

#endif  // SURVEY_DRIVER_DECODEDRECORDWRITER_H_
