#ifndef SURVEY_CHAIN_SKIPPINGDRAIN_H_
#define SURVEY_CHAIN_SKIPPINGDRAIN_H_

#include <cstdint>
#include <functional>
#include <ostream>

#include "core/Stream.h"
#include "input/Reader.h"
#include "recovery/Recovery.h"
#include "recovery/RejectsLog.h"
#include "typing/RecordSink.h"
#include "typing/TypedRecord.h"

// The drain of a run that skips damaged records (--keep-going): as
// writeDecodedRecords(), except that a failure of one record costs that
// record only. It gets no line; the failure goes to `rejects` with the file
// offset where the record started, `recovery` moves the chain past it, and
// the loop goes on. A failure of the input itself (the reader's) or a signal
// still ends the run, after the open stretch is written to `rejects` and the
// lines before it to `out`. Every record `stage` delivers must have passed
// acceptRecord() with all its values printable, as the run's check before
// the statistics makes sure. `written` counts the lines written; the caller
// reads it to number the record being checked. Nothing is owned.
// `rows`, if given, takes each record right after its line.
void drainSkippingDamage(Stream<TypedRecord>& stage, std::ostream& out, std::uint64_t& written,
                         Reader& reader, Recovery& recovery, RejectsLog& rejects,
                         RecordSink* rows = nullptr);

// The writer's acceptance of the record that would follow the `written`
// lines written so far (see acceptRecord()), then that of `rows` if given
// (see RecordSink::check()), as a Typifier's checkBeforeCounting, so that a
// record either refuses has no place in the statistics. `written` is read at
// each call and must outlive the check; `rows` too.
std::function<void(const TypedRecord&)> writerCheckAfter(const std::uint64_t& written,
                                                         const RecordSink* rows = nullptr);

#endif  // SURVEY_CHAIN_SKIPPINGDRAIN_H_
