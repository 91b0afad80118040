#ifndef SURVEY_RECOVERY_RECOVERY_H_
#define SURVEY_RECOVERY_RECOVERY_H_

#include <cstdint>
#include <memory>

#include "framing/Integrator.h"
#include "framing/Recordifier.h"
#include "framing/Recordifier2.h"
#include "framing/Recordifier78.h"
#include "input/CrLfRemover.h"
#include "input/Reader.h"
#include "recovery/HeldRecords.h"

// What a run that skips damaged records does to its chain around each
// record, one kind per framing: it tells the drain where each record stood
// in the file and which records a failure costs, and after a failure moves
// the chain on to the next record that frames. The stages are the chain's
// (not owned) and must outlive the recovery.
//
// The drain calls beginRecord() before each request for a record; after the
// request delivered one, delivered() tells where it stood; after the request
// failed, lost() tells which records the failure costs and recover() moves
// on. A failure of the input itself is not a record's and ends the run.
class Recovery {
 public:
  virtual ~Recovery() = default;

  virtual void beginRecord() = 0;
  virtual RecordSpan delivered() const = 0;

  // The records a failure costs: the file offset where the first of them
  // starts, and how many they are.
  struct Loss {
    std::uint64_t start;
    std::uint64_t records;
  };
  virtual Loss lost() const = 0;

  // After the failure that lost() describes: forgets what the chain kept of
  // those records and, where their framing was lost, moves the reader to the
  // start of the next record that frames (or to the end). A record that
  // failed after it was framed is followed by the next one already. Fails
  // only as the Reader fails.
  virtual void recover() = 0;
};

// Years 80 to 88: the next record whose CR LF pairs stand where the record
// length puts them.
std::unique_ptr<Recovery> fixedLengthRecovery(Reader& reader, CrLfRemover& crLfRemover,
                                              Recordifier2& framer);

// Years 68 to 76: records reach the integrator only through `held`, once a
// CR LF check after them passed (see HeldRecords); after a framing failure,
// the next line start whose pairs hold, then the record after the next
// end-of-record marker. The integrator undoes a record refused after it, so
// later records carry forward only values of records that were decoded.
std::unique_ptr<Recovery> ffRecordRecovery(Reader& reader, CrLfRemover& crLfRemover,
                                           Recordifier& framer, HeldRecords& held,
                                           Integrator& integrator);

// Year 78: the next record whose length and CR LF hold.
std::unique_ptr<Recovery> year78Recovery(Reader& reader, Recordifier78& framer);

#endif  // SURVEY_RECOVERY_RECOVERY_H_
