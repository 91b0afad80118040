#ifndef SURVEY_INPUT_CRLFREMOVER_H_
#define SURVEY_INPUT_CRLFREMOVER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/FileMetaData.h"
#include "core/Stream.h"
#include "core/Upstream.h"

// Passes the data bytes of a year's input file on unchanged and consumes the
// CR LF pairs exactly where the year's FileMetaData puts them, failing if one
// is missing. Does not own the upstream stage.
class CrLfRemover : public Stream<unsigned char> {
 public:
  // Sets up the link to `upstream`, then asks `lineEnds` for the year's
  // layout. A failure of that call (a year without a layout) passes on after
  // the link has written its line with 0 and 0.
  CrLfRemover(const std::function<FileMetaData()>& lineEnds, Stream<unsigned char>* upstream);
  // The same with the layout at hand.
  CrLfRemover(const FileMetaData& lineEnds, Stream<unsigned char>* upstream)
      : CrLfRemover([&lineEnds] { return lineEnds; }, upstream) {}

  // Delivers the next data byte. A pair that belongs after it is consumed and
  // checked first, so a missing pair fails before that byte is delivered. The
  // end is the upstream's end; the first time it is reported the size figure
  // is compared with the layout's fileSize, and a difference is written to
  // standard error as a warning. The end may be asked for again.
  bool get(unsigned char& item) override;

  // As n calls of get(): the data bytes between two pair positions travel
  // through the link in one bulk request.
  bool getMany(unsigned char* out, std::size_t n, std::size_t& got) override;

  // Writes the layout line (the table's lengths, the records completed and
  // the data bytes of the unfinished record) to standard output.
  void finish() override;

  // Where a record starts, the pairs' places depend only on the block phase
  // there. Returns the file offsets, counted from the record's first byte, of
  // the pairs that follow its next `records` records when the block phase at
  // its start is `blockPhase`.
  static std::vector<std::uint64_t> pairOffsets(const FileMetaData& metaData,
                                                std::uint32_t blockPhase, std::uint32_t records);

  // Where the data byte delivered next stands among the pair positions.
  struct Phases {
    std::uint32_t withinRecord = 0;  // data bytes since the last record end
    std::uint32_t withinBlock = 0;   // block positions since the last block end
  };
  Phases phases() const { return {phaseWithinRecord, phaseWithinBlock}; }

  // Of the next `dataBytes` data bytes from a place with phases `at`: for each
  // pair that follows one of them, how many of those data bytes precede it,
  // ascending. Data byte d (0-based) thus lies 2 * (pairs with a count <= d)
  // file bytes after d.
  static std::vector<std::uint64_t> pairsAmong(const FileMetaData& metaData, Phases at,
                                               std::uint64_t dataBytes);

  // Advances `at` past one data byte; whether a pair follows that byte.
  static bool passDataByte(const FileMetaData& metaData, Phases& at);

  // The block phases that record starts have in an intact file, in file order,
  // up to the first that repeats or lies past every block end.
  static std::vector<std::uint32_t> recordStartPhases(const FileMetaData& metaData);

  // Takes up the data at a record start with block phase `blockPhase`, after
  // the caller moved the upstream there (a run that skips damage).
  void restartRecord(std::uint32_t blockPhase) {
    phaseWithinRecord = 0;
    phaseWithinBlock = blockPhase;
  }

  const FileMetaData& layout() const { return metaData; }

  // Data bytes delivered so far, and how many of them the last pair that was
  // checked followed: the bytes up to there are known to stand where the
  // layout puts them. Both count modulo 2^32.
  std::uint32_t dataBytes() const { return numBytes; }
  std::uint32_t checkedThrough() const { return checkedThrough_; }

 private:
  // Counts `n` data bytes that are followed by no pair.
  void passPlain(std::uint32_t n) {
    numBytes += n;
    phaseWithinRecord += n;
    phaseWithinBlock += n;
  }

  // Data bytes that can pass before the next one that a pair follows.
  std::uint64_t plainBytesAhead() const;

  void reportEnd();

  Upstream<unsigned char> link;
  const FileMetaData metaData;
  std::uint32_t phaseWithinRecord = 0;  // data bytes since the last record end
  std::uint32_t phaseWithinBlock = 0;   // block positions since the last block end
  std::uint32_t numRecs = 0;            // records completed
  std::uint32_t numBytes = 0;           // data bytes passed in total
  bool endReported_ = false;            // the size warning is written once
  std::uint32_t checkedThrough_ = 0;    // numBytes when the last pair passed
};

#endif  // SURVEY_INPUT_CRLFREMOVER_H_
