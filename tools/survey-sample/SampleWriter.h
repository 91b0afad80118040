#ifndef SURVEY_TOOLS_SURVEY_SAMPLE_SAMPLEWRITER_H_
#define SURVEY_TOOLS_SURVEY_SAMPLE_SAMPLEWRITER_H_

#include <cstdint>
#include <string>

#include "ValueMaker.h"

namespace sample {

struct SampleRequest {
  int year = 0;            // one of the thirteen survey years
  uint32_t records = 100;  // records the decoder will deliver; not used with fullSize
  bool fullSize = false;   // as many records as the year's size table asks for
  uint64_t seed = 1;       // the same request and seed give the same file
  ValueProfile values = ValueProfile::kLight;  // how wide the numbers and texts spread
};

struct SampleSummary {
  uint64_t records = 0;  // records the decoder will deliver (lines of its output file)
  uint64_t bytes = 0;    // size of the file written
};

// Writes a synthetic input file for `request.year` to `path`, valid for the decoder: it
// reads it to the end with exit status 0. Year by year:
// - 68 to 76: FF-records listing a random subset of the layout's addresses in random order,
//   some repeated, the first one listing address 1. A sized sample ends with the end-of-data
//   quartet and zero padding to the end of its physical record; a full-size one fills its
//   physical records exactly, so that the decoder's size check runs and passes.
// - 80 to 88: fixed-length records of every format of the year, mixed.
// - 78: records of 275 and 866 bytes, mixed; a full-size sample stops at the last record
//   that fits within the year's fileSize.
// Throws std::runtime_error if the file cannot be written.
SampleSummary writeSample(const SampleRequest& request, const std::string& path);

}  // namespace sample

#endif  // SURVEY_TOOLS_SURVEY_SAMPLE_SAMPLEWRITER_H_
