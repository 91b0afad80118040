#ifndef SURVEY_CORE_REPORTSTREAM_H_
#define SURVEY_CORE_REPORTSTREAM_H_

#include <ostream>

// Where the stages write their statistics lines and reports when they finish
// and when their links go: standard output, unless a ReportTo lives on the
// calling thread. A decoder embedded in another program thus keeps its
// reports out of that program's standard output.
std::ostream& reportStream();

// Where the stages write warnings as they arise: standard error, unless a
// ReportTo lives on the calling thread.
std::ostream& warningStream();

// While it lives, reportStream() and warningStream() on this thread are
// `report` and `warnings` (not owned). Nests.
class ReportTo {
 public:
  ReportTo(std::ostream& report, std::ostream& warnings);
  ~ReportTo();
  ReportTo(const ReportTo&) = delete;
  ReportTo& operator=(const ReportTo&) = delete;

 private:
  std::ostream* savedReport_;
  std::ostream* savedWarnings_;
};

// A stream that takes everything and keeps nothing.
std::ostream& discardingStream();

#endif  // SURVEY_CORE_REPORTSTREAM_H_
