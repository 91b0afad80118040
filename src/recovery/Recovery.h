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

// What a run that skips damaged records does to its chain after a record
// failed, one kind per framing. The stages are the chain's (not owned) and
// must outlive the recovery.
class Recovery {
 public:
  virtual ~Recovery() = default;

  // After the record that started at file offset `start` failed: forgets
  // what the chain kept of it and, where its framing was lost, moves the
  // reader to the start of the next record that frames (or to the end). A
  // record that failed after it was framed is followed by the next one
  // already. Fails only as the Reader fails.
  virtual void recover(std::uint64_t start) = 0;
};

// Years 80 to 88: the next record whose CR LF pairs stand where the record
// length puts them.
std::unique_ptr<Recovery> fixedLengthRecovery(Reader& reader, CrLfRemover& crLfRemover,
                                              Recordifier2& framer);

// Years 68 to 76: the next line start whose pairs hold, then the record after
// the next end-of-record marker. The integrator undoes a refused record, so
// later records carry forward only values of records that were decoded.
std::unique_ptr<Recovery> ffRecordRecovery(Reader& reader, CrLfRemover& crLfRemover,
                                           Recordifier& framer, Integrator& integrator);

// Year 78: the next record whose length and CR LF hold.
std::unique_ptr<Recovery> year78Recovery(Reader& reader, Recordifier78& framer);

#endif  // SURVEY_RECOVERY_RECOVERY_H_
