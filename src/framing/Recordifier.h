#ifndef SURVEY_FRAMING_RECORDIFIER_H_
#define SURVEY_FRAMING_RECORDIFIER_H_

#include <cstdint>
#include <vector>

#include "core/Quartet.h"
#include "core/Stream.h"
#include "core/Upstream.h"

// Frames the quartets of an FF-record file (years 68 to 76) into records, each
// ended by endOfRecordQuartet, the data ended by endOfDataQuartet at the start
// of a record or by the input ending on a quartet boundary.
class Recordifier : public Stream<std::vector<Quartet>> {
 public:
  // Longest record accepted, in quartets, before the missing marker is
  // reported; one quartet more still passes.
  static constexpr std::uint32_t kRecordLimit = 5000;

  // `upstream` (not owned) feeds the bytes and must outlive this stage.
  explicit Recordifier(Stream<unsigned char>* upstream);

  // Fills `record` with the next record's quartets, markers left out, and
  // returns true; returns false, leaving `record` as it was, once the data has
  // ended, then and on every later call without asking the upstream again.
  bool get(std::vector<Quartet>& record) override;

  // For a run that skips damage, after the caller moved the upstream to a
  // quartet boundary inside the data: passes over everything up to and
  // including the next end-of-record marker (an end-of-data marker there is
  // data), so that get() frames the record after it. Returns false, the data
  // then having ended, when the input ends first. Fails as get() does.
  bool skipPastNextMarker();

  // Whether the last get() failed before its record was framed.
  bool midRecord() const { return midRecord_; }
  // Whether the data ended at the end-of-data marker (rather than with the
  // input).
  bool endMarkerSeen() const { return endMarkerSeen_; }

  Upstream<unsigned char> upstream;
  bool more = true;

 private:
  bool midRecord_ = false;
  bool endMarkerSeen_ = false;
};

#endif  // SURVEY_FRAMING_RECORDIFIER_H_
