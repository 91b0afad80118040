#ifndef SURVEY_RECOVERY_LINEENDSEARCH_H_
#define SURVEY_RECOVERY_LINEENDSEARCH_H_

#include <cstdint>
#include <optional>
#include <vector>

#include "core/FileMetaData.h"
#include "input/Reader.h"

// Where records start again after damage, for a run that skips damaged
// records. Each search looks at the file's bytes through the Reader's window
// and advances one position at a time from where it is asked to begin, each
// position checked in constant time: its cost is linear in the bytes it
// passes over. It moves the reader's next byte along behind it, so that the
// window stays small however far it goes; the caller seeks afterwards.
//
// A place counts as a record start only if what precedes it and what
// follows it both fit the framing: the bytes before it close a line (CR LF),
// or it is the file's first byte, or it follows the record that failed as
// it would had that record kept its length (`due` is where that record's CR
// LF should stand: a start there, or just after those two bytes, passes);
// and the records from it on frame as far as the checks look.

// Record starts in a file whose records end in CR LF pairs at fixed data
// lengths, with further pairs at block ends (every year but 78).
class LineEndSearch {
 public:
  // A record start and the block phase there (see CrLfRemover).
  struct Found {
    std::uint64_t offset;
    std::uint32_t blockPhase;
  };

  explicit LineEndSearch(const FileMetaData& metaData);

  // The search for files laid out as `metaData`, made once per layout (the
  // phases take a while to work out), alive until the program ends.
  static const LineEndSearch& forLayout(const FileMetaData& metaData);

  // The first offset at or after `from` (or after the oldest byte the reader
  // keeps, if that is later) where a record starts: it closes a line as
  // above, and the pairs that follow it over the next few records stand
  // where the layout puts them for one of the block phases an intact file
  // has at record starts, and at least one such pair lies inside the file,
  // or the file ends inside the record. None if the file ends first.
  std::optional<Found> find(Reader& reader, std::uint64_t from,
                            std::optional<std::uint64_t> due = std::nullopt) const;

 private:
  struct Phase {
    std::uint32_t blockPhase;
    std::vector<std::uint64_t> pairs;  // offsets from the record start
  };
  bool pairsHold(const Phase& phase, const unsigned char* bytes, std::uint64_t available) const;

  std::uint64_t dataLength_;  // data bytes of a record
  std::uint64_t lookahead_;   // bytes after a start that the checks read
  std::vector<Phase> phases_;
};

// Year-78 record starts: a place that closes a line as above, with a header
// whose length (275 or 866 bytes) is followed by CR LF, and so for the record
// after it unless the file ends within it. None if the file ends first;
// `from` as for LineEndSearch.
std::optional<std::uint64_t> findYear78RecordStart(Reader& reader, std::uint64_t from,
                                                   std::optional<std::uint64_t> due = std::nullopt);

#endif  // SURVEY_RECOVERY_LINEENDSEARCH_H_
