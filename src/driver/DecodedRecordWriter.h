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
// reports the end, writing each as one line to `out`.
void writeDecodedRecords(Stream<TypedRecord>& stage, std::ostream& out);

// Writes `record`, the `recordNumber`th of the run (1-based, for messages), as
// one line: the value at address k in tab-separated column k, empty columns for
// missing addresses, then "\n" and a flush. `line` is scratch storage the
// caller may reuse between records. The record must be sorted by address;
// a record whose first address is not 1, that holds an address more than once
// (or out of order), or whose highest address is beyond kLastColumn fails with
// nothing of its line written.
void writeDecodedRecord(const TypedRecord& record, std::uint64_t recordNumber, std::ostream& out,
                        std::string& line);

#endif  // SURVEY_DRIVER_DECODEDRECORDWRITER_H_
