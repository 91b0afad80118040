#ifndef SURVEY_CHAIN_DECODEDRECORDWRITER_H_
#define SURVEY_CHAIN_DECODEDRECORDWRITER_H_

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "chain/RecordDrain.h"
#include "core/Stream.h"
#include "typing/RecordSink.h"
#include "typing/TypedRecord.h"

// The widest line the writer makes: a record whose highest address lies above
// it is refused, so a damaged explicit address cannot demand billions of tabs.
inline constexpr std::uint32_t kLastColumn = 1048576;

// Pulls typed records from `stage` (the chain's last stage, not owned) until
// it reports the end, writing each as one line to `out` (not owned), and
// flushes `out` at the end. A record that acceptRecord() refuses, or that
// fails upstream, ends the run: no record is pulled after it, and every line
// before it (with the unfinished line of a value that cannot be printed) is
// in `out` before the failure passes on. Each record whose line was gathered
// then goes to `rows` (not owned) when it is given; its failure ends the run
// the same way.
void writeDecodedRecords(Stream<TypedRecord>& stage, std::ostream& out, RecordSink* rows = nullptr);

// The same for the records of `drain` (not owned), each numbered as the
// drain numbers it.
void writeDrainedRecords(RecordDrain& drain, std::ostream& out, RecordSink* rows = nullptr);

// The writer's acceptance rule, the one place it is stated: the addresses of
// a record start at 1, ascend strictly and end within kLastColumn (an empty
// record passes). Fails otherwise, naming the first fault in address order:
// "first address is A, not 1", or "record N has address A more than once",
// "... after address B" or "..., beyond the last column C", N being
// `recordNumber`. On success returns how many values from the first can be
// printed: all of them, or up to the first of a type code no value has.
std::size_t acceptRecord(const TypedRecord& record, std::uint64_t recordNumber);

// Lines of typed records gathered for `out` (not owned), written to it in
// large pieces as they gather and on write().
class LineWriter {
 public:
  explicit LineWriter(std::ostream& out) : out_(out) {}

  // Gathers the line of `record`, the `recordNumber`th of the run (1-based):
  // the value at address k in tab-separated column k, nothing in the columns
  // of missing addresses, then "\n". A record acceptRecord() refuses fails
  // with nothing of its line gathered; a value that cannot be printed fails
  // with "unrec type" and its line gathered up to that value's column.
  // Returns the line without its end, valid until the next add().
  std::string_view add(const TypedRecord& record, std::uint64_t recordNumber);
  // The same for a record that acceptRecord() has passed already, with all
  // its values printable.
  std::string_view addAccepted(const TypedRecord& record) {
    return addPrintable(record, record.size());
  }
  // The same for a record that acceptRecord() has passed, of whose values
  // the first `printable` can be printed (what it returned).
  std::string_view addChecked(const TypedRecord& record, std::size_t printable) {
    return addPrintable(record, printable);
  }
  // Writes what is gathered; the storage stays for the next lines.
  void write();

 private:
  // Gathers the line of an accepted record whose first `count` values can
  // be printed. Kept out of line: the hot loop compiles tighter on its own
  // than inlined into a caller's loop.
  [[gnu::noinline]] std::string_view addPrintable(const TypedRecord& record, std::size_t count);

  std::ostream& out_;
  std::string buffer_;
  std::size_t used_ = 0;
};

#endif  // SURVEY_CHAIN_DECODEDRECORDWRITER_H_
