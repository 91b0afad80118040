#ifndef SURVEY_TYPING_RECORDSINK_H_
#define SURVEY_TYPING_RECORDSINK_H_

#include <cstdint>
#include <string_view>

#include "typing/TypedRecord.h"

// Takes each record that the output file accepted, right after its line.
class RecordSink {
 public:
  // `record` (not kept) is the `line`th line of the output file (1-based),
  // and `text` that line as written there, without its line end; both are
  // valid only during the call.
  virtual void add(const TypedRecord& record, std::uint64_t line, std::string_view text) = 0;

  // Fails, naming the fault, if add() would refuse `record` as the `line`th
  // line: a run that skips damaged records asks before it counts one.
  virtual void check(const TypedRecord& record, std::uint64_t line) const = 0;

 protected:
  ~RecordSink() = default;
};

#endif  // SURVEY_TYPING_RECORDSINK_H_
