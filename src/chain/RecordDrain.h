#ifndef SURVEY_CHAIN_RECORDDRAIN_H_
#define SURVEY_CHAIN_RECORDDRAIN_H_

#include <cstddef>
#include <cstdint>
#include <functional>

#include "core/Stream.h"
#include "input/CrLfRemover.h"
#include "input/Reader.h"
#include "recovery/HeldRecords.h"
#include "recovery/Recovery.h"
#include "recovery/RejectsLog.h"
#include "typing/TypedRecord.h"

// The one loop that takes records out of a chain, whatever consumes them:
// the output file's writer, the tables, the record view and the library's
// decoder all pull through here. Between two records it checks for a signal.
//
// Plain, the first failure ends the drain. Skipping damage (with a recovery
// and a rejects log), a failure costs the records it names: they get no
// line, the failure goes to the rejects log with the file offset where they
// started, the recovery moves the chain past them, and the drain goes on.
// A failure of the input itself (the reader's) or a signal still ends it,
// after the open stretch of rejects is closed where the input ended.
//
// Either way, a record handed out has passed the writer's acceptance rule
// (acceptRecord()) as the line it is numbered: plain, here, after the
// statistics counted it, as the writer always checked; skipping damage, in
// the last stage's check before the statistics count it, so that a refused
// record has no place in them.
class RecordDrain {
 public:
  // Drains `last` (not owned). `reader` and `crLfRemover`, when given, tell
  // where each record stood (see span()); `recovery` and `rejects` make the
  // drain skip damage and need the reader. None is owned; all must outlive
  // the drain.
  explicit RecordDrain(Stream<TypedRecord>& last, Reader* reader = nullptr,
                       CrLfRemover* crLfRemover = nullptr, Recovery* recovery = nullptr,
                       RejectsLog* rejects = nullptr);

  // Fills `record` with the next record and returns true, or returns false
  // at the end. A failure that ends the drain is raised as it came.
  bool next(TypedRecord& record);

  // The line of the record next() delivered last (1-based), and how many of
  // its values, from the first, can be printed: all of them but in a record
  // whose type codes are damaged, which a writer fails on (plain drains only).
  std::uint64_t line() const { return line_; }
  std::size_t printable() const { return printable_; }
  // Where that record stood in the file, with the line-end phases at its
  // start; zeros without a reader.
  const RecordSpan& span() const { return span_; }

  // Skipping damage: has `hook`, the last stage's check before the
  // statistics count a record, refuse what the writer's rule refuses as the
  // next line, then what `also` (if given) refuses as that line. The drain
  // must outlive the hook's use.
  void checkBeforeCounting(std::function<void(const TypedRecord&)>& hook,
                           std::function<void(const TypedRecord&, std::uint64_t)> also = {});

  // Whether damaged records are skipped.
  bool skipping() const { return recovery_ != nullptr; }

 private:
  // Out of line, so that the plain path, taken once per record, keeps a
  // small frame.
  [[gnu::noinline]] bool nextSkipping(TypedRecord& record);

  Stream<TypedRecord>& last_;
  Reader* reader_;
  CrLfRemover* crLfRemover_;
  Recovery* recovery_;
  RejectsLog* rejects_;
  std::uint64_t line_ = 0;
  std::size_t printable_ = 0;
  RecordSpan span_;
  bool ended_ = false;
};

#endif  // SURVEY_CHAIN_RECORDDRAIN_H_
