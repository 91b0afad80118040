#ifndef SURVEY_CORE_REPORTSTREAM_H_
#define SURVEY_CORE_REPORTSTREAM_H_

#include <ostream>

// Where the stages write their statistics lines and reports when they finish
// and when their links go: standard output, unless a ReportTo lives on the
// calling thread. A decoder embedded in another program thus keeps its
// reports out of that program's standard output.
std::ostream& reportStream();

// While it lives, reportStream() on this thread is `out` (not owned), or a
// stream that discards everything when `out` is null. Nests.
class ReportTo {
 public:
  explicit ReportTo(std::ostream* out);
  ~ReportTo();
  ReportTo(const ReportTo&) = delete;
  ReportTo& operator=(const ReportTo&) = delete;

 private:
  std::ostream* saved_;
};

// A stream that takes everything and keeps nothing.
std::ostream& discardingStream();

#endif  // SURVEY_CORE_REPORTSTREAM_H_
