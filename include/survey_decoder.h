#ifndef SURVEY_DECODER_H_
#define SURVEY_DECODER_H_

// The decoding library: one survey data file in, its typed records out, one
// at a time, then the run's statistics. The command line, its tables and
// record view, the fuzzers and the language bindings all decode through this
// header alone.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class TypedRecord;

namespace survey {

// Every failure of a decode: the message is the one the command line reports
// ("At record 12, ..." and the like), nothing added.
class DecodeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The record formats, by index: 0 District (the single format of years 68 to
// 76), 1 School, 2 District_Summary.
inline constexpr unsigned kFormatCount = 3;

// "District", "School" or "District_Summary", as file names and reports give
// them; fails with DecodeError for any other index.
std::string_view formatName(unsigned format);

// The survey years handled, as the help names them: "68 to 74, 76, ...".
std::string handledYears();

// The survey year that the name of the input at `path` carries: the two
// digits before its last four characters (before a final ".gz" of a gzip
// file). Fails for a name too short to carry one.
std::int32_t yearOfPath(const std::string& path);

// One value of a record. `type` is 'u' (unsigned), 'i' (signed), 'f' (IEEE
// single) or 's' (text). For u, i and f, `word` is the value's four bytes read
// big-endian, as they stood in the file (an f value's bits, a NaN's
// included); `text` is empty. For s, `text` is the value as OUTPUT writes it
// and `word` is 0.
struct Cell {
  std::uint32_t address = 0;
  char type = 'u';
  std::uint32_t word = 0;
  std::string_view text;
};

// A column of a record format's table as its layout types it: for every
// address from 0 to the format's last column, the type letter a value there
// gets ('u', 'i', 'f', 's'), or 0 where the layout puts no value (address 0
// never has one).
struct FormatColumns {
  unsigned format = 0;
  std::uint32_t width = 0;  // the last column, a<width>
  std::string types;        // width + 1 letters
};

// The formats a year's records can take, in index order; fails with the
// command line's message for a year it does not handle.
std::vector<FormatColumns> formatsOfYear(std::int32_t year);

// One decoded record, filled by Decoder::next(). Everything it returns,
// cells and texts included, belongs to the record and holds until the next
// call of next() with it, or its destruction.
class Record {
 public:
  Record();
  ~Record();
  Record(Record&&) noexcept;
  Record& operator=(Record&&) noexcept;

  // The record format's index (see kFormatCount) and the last column of its
  // table: every value's address lies within 1 to tableWidth(), unless the
  // file named a higher one (see Options::check).
  unsigned format() const { return format_; }
  std::uint32_t tableWidth() const { return width_; }
  // Its line in OUTPUT (1-based): rejected records take no line.
  std::uint64_t line() const { return line_; }
  // File offsets (0-based, in the decompressed bytes) of the record's first
  // byte and of the byte after its last, its line end included where one
  // follows it.
  std::uint64_t startOffset() const { return start_; }
  std::uint64_t endOffset() const { return end_; }

  // The values, by ascending address.
  std::span<const Cell> cells() const;

  // The record as the library's own writers take it.
  const TypedRecord& typed() const { return *typed_; }

 private:
  friend class Decoder;
  std::unique_ptr<TypedRecord> typed_;
  mutable std::vector<Cell> cells_;
  mutable bool cellsMade_ = false;
  unsigned format_ = 0;
  std::uint32_t width_ = 0;
  std::uint64_t line_ = 0;
  std::uint64_t start_ = 0;
  std::uint64_t end_ = 0;
};

// Fails with DecodeError("line L has address A, beyond aW, the last column of
// the NAME table" and `advice` after it) when `record` holds a value past its
// table's last column: a table of the format has no column for it.
void checkFitsTable(const Record& record, std::string_view advice = {});

// A stretch of consecutive records rejected under keep-going, as a row of the
// rejects file: the lines OUTPUT held before it, the file offsets where it
// starts and where decoding resumed, how many records it held, the first
// failure's message (without "At record N, "), its first 64 bytes in hex.
struct RejectedStretch {
  std::uint64_t linesBefore = 0;
  std::uint64_t startOffset = 0;
  std::uint64_t resumeOffset = 0;
  std::uint64_t records = 0;
  std::string message;
  std::string firstBytes;
};

struct Options {
  // The survey year; when absent, the one the input's name carries (see
  // yearOfPath()).
  std::optional<std::int32_t> year;
  // Skip damaged records instead of failing: each stretch of them goes to
  // `rejected`, and only a failure of the input itself (or an interruption)
  // ends the decode.
  bool keepGoing = false;
  // Under keepGoing, called with each record before the statistics count it:
  // what it throws rejects the record, its message the stretch's. Without
  // keepGoing it is not called. Not owned beyond the decoder's life.
  std::function<void(const Record&)> check;
  // Called with each stretch of rejected records once it ends.
  std::function<void(const RejectedStretch&)> rejected;
  // Where the metadata file's contents and the statistics lines (standard
  // output's part of a run) go, at finish(); null discards them. Not owned.
  std::ostream* metaData = nullptr;
  std::ostream* report = nullptr;
  // Where warnings go as they arise (the command line's standard error
  // lines, such as a file size that differs from the year's); standard
  // error when null. Not owned.
  std::ostream* warnings = nullptr;
  // Keep, per format, what the schema rows of results() need beyond the
  // statistics: the rows' line numbers and the float columns' bounds.
  bool schemas = false;
};

// One format's statistics: how many records it held, and its schema rows as
// the tables' schema file holds them (see Decoder::schema()).
struct FormatResult {
  unsigned format = 0;
  std::uint64_t records = 0;
  // Rows of the schema: column, address, type, column_type, constant, min,
  // max; the first is the `record` column's. `schemaText` is the schema
  // file: a header row, then these rows.
  std::vector<std::vector<std::string>> schema;
  std::string schemaText;
};

// The decode of one input. Not copyable; one thread at a time.
class Decoder {
 public:
  // Opens a file by path, "-" for standard input; gzip is told by its first
  // two bytes. Nothing fails here: an input that cannot be opened, a year
  // that is not handled or a name without a year is the first next()'s
  // failure, with the command line's message, and finish() then still
  // writes the reports of what was built.
  static Decoder open(const std::string& path, Options options = {});
  // Decodes `bytes` (not copied: they must outlive the decoder), plain or
  // gzip, named `name` in messages and for the year.
  static Decoder openBuffer(std::span<const unsigned char> bytes, const std::string& name,
                            Options options = {});

  Decoder(Decoder&&) noexcept;
  Decoder& operator=(Decoder&&) noexcept;
  // Takes a decoder down without writing its reports.
  ~Decoder();

  std::int32_t year() const;

  // Fills `record` with the next record and returns true, or returns false at
  // the end of the data. A failure throws DecodeError; every later call
  // throws it again, and finish() still closes the decoder. A signal that
  // the command line catches stops it the same way.
  bool next(Record& record);

  // Ends the decode, whether or not next() reached the end: every stage
  // finishes, writing its report to the options' streams. Throws the first
  // failure of those ends, unless next() already threw one. Later calls do
  // nothing.
  void finish();

  // After finish(): whether the decode reached the end and finished without
  // failing.
  bool complete() const;
  // One result per format that occurred among the records next() delivered
  // so far, in index order; after finish(), those of the whole decode. The
  // schema rows are filled only with Options::schemas.
  std::vector<FormatResult> results() const;
  // Records rejected so far (keepGoing).
  std::uint64_t rejectedRecords() const;

 private:
  struct Impl;
  explicit Decoder(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// Pulls a decoder's records on a thread of its own, a few small batches ahead
// of the caller, so that decoding and the caller's work on the records
// overlap. The decoder is borrowed, and the pump's alone from construction
// until stop() or the destructor has returned: its options' callbacks run on
// the pump's thread. The caller finishes the decoder after that.
class RecordPump {
 public:
  explicit RecordPump(Decoder& decoder);
  // Stops the pump (see stop()).
  ~RecordPump();
  RecordPump(const RecordPump&) = delete;
  RecordPump& operator=(const RecordPump&) = delete;

  // Whether next() would return without waiting.
  bool ready();
  // Waits until ready() or until `patience` has passed, and returns ready():
  // a caller that must look at something else while it waits (an interrupt,
  // a lock to give up) waits in slices.
  bool wait(std::chrono::milliseconds patience);

  // The next record, which holds until the following call, or nullptr at the
  // end of the data. Rethrows the decoder's failure after the records before
  // it, at this and every later call. Waits when not ready().
  const Record* next();

  // Stops the thread after the record it is decoding, and waits for it.
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace survey

#endif  // SURVEY_DECODER_H_
