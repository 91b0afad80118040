#ifndef SURVEY_RECOVERY_REJECTSLOG_H_
#define SURVEY_RECOVERY_REJECTSLOG_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "input/Reader.h"

// The rejects file of a run that skips damaged records: a header row, then
// one line per stretch of consecutive rejected records, written when the
// stretch ends: the lines OUTPUT held before it, the file offsets where it
// starts and where decoding resumed, the records rejected in it, the first
// failure's message without its "At record N, " prefix, and the stretch's
// first 64 bytes in hex. Tab-separated.
class RejectsLog {
 public:
  // A stretch of consecutive rejected records, as its row tells it.
  struct Stretch {
    std::uint64_t linesBefore = 0;
    std::uint64_t start = 0;
    std::uint64_t records = 0;
    std::string message;
    std::string firstBytes;
    std::uint64_t resumed = 0;
  };

  // `closed` is called with each stretch as it ends.
  explicit RejectsLog(std::function<void(const Stretch&)> closed) : closed_(std::move(closed)) {}

  // A log that writes its rows as the rejects file holds them: `open` is
  // called once, at the first stretch, and returns the stream the header and
  // the rows go to (owned by the caller, alive until finish()).
  static RejectsLog writingTo(std::function<std::ostream&()> open);

  // Notes that `records` records, the first starting at `start`, were
  // rejected with `message`, `linesBefore` lines having been written to
  // OUTPUT. Opens a stretch if none is open, reading its first bytes through
  // `reader` (from the oldest byte it keeps, if that is later than `start`).
  void reject(std::uint64_t linesBefore, std::uint64_t start, const std::string& message,
              Reader& reader, std::uint64_t records = 1);

  // A record starting at `start` was decoded: ends the open stretch, if any.
  void resume(std::uint64_t start) {
    if (openStretch_) closeStretch(start);
  }

  // The run stopped at file offset `end`: ends the open stretch there.
  void finish(std::uint64_t end) { resume(end); }

  // Records rejected so far.
  std::uint64_t rejected() const { return rejected_; }

  static constexpr const char* kHeader =
      "lines_before\tstart_offset\tresume_offset\trecords_rejected\tmessage\tfirst_bytes\n";

  // Writes `stretch`'s row of the rejects file, its line end included.
  static void writeRow(const Stretch& stretch, std::ostream& out);

 private:
  void closeStretch(std::uint64_t resumed);

  std::function<void(const Stretch&)> closed_;
  std::optional<Stretch> openStretch_;
  std::uint64_t rejected_ = 0;
};

// `message` without a leading "At record N, ", tabs and line ends as blanks.
std::string rejectionText(const std::string& message);

#endif  // SURVEY_RECOVERY_REJECTSLOG_H_
