#ifndef SURVEY_FRAMING_FRAMING_H_
#define SURVEY_FRAMING_FRAMING_H_

// How a year's file cuts its bytes into records.
enum class Framing {
  kFfRecords,    // (address, value) couples up to an end-of-record marker
  kFixedLength,  // valuesPerRecord values at addresses 1, 2, ...
  kYear78,       // EBCDIC byte records told apart by their length
};

#endif  // SURVEY_FRAMING_FRAMING_H_
