#ifndef SURVEY_TOOLS_SURVEY_SAMPLE_LINEENDPLACER_H_
#define SURVEY_TOOLS_SURVEY_SAMPLE_LINEENDPLACER_H_

#include <cstddef>
#include <cstdint>

#include "ByteSink.h"
#include "YearFile.h"

namespace sample {

// Lays a quartet year's data stream out in physical records the way the decoder reads it
// back: a CR LF pair after each recordLen - 4 data bytes and one more wherever a block of
// blockLen - 8 positions ends inside a record. A record's CR LF pair counts 4 block positions
// and is added before the block end is tested, so in every year but 68 the block count steps
// over its end at the first record end that passes it and never meets it again; year 68's
// blocks end inside records (after data bytes 3180, 6356, ...).
class LineEndPlacer {
 public:
  // Writes to `sink`, which must outlive the placer.
  LineEndPlacer(const YearFile& file, ByteSink& sink);

  // Passes `n` data bytes on, with the CR LF pairs that fall among them.
  void write(const uint8_t* data, size_t n);

  // Fills the physical record under way with `fill` bytes up to its end and its CR LF;
  // does nothing when the last record is complete.
  void padRecord(uint8_t fill);

  // Physical records completed so far.
  uint64_t records() const { return records_; }

  // Data bytes passed on so far.
  uint64_t dataBytes() const { return dataBytes_; }

 private:
  void putPair();

  ByteSink& sink_;
  const uint32_t recordData_;
  const uint32_t blockEnd_;
  uint32_t phaseWithinRecord_ = 0;
  uint64_t phaseWithinBlock_ = 0;
  uint64_t records_ = 0;
  uint64_t dataBytes_ = 0;
};

}  // namespace sample

#endif  // SURVEY_TOOLS_SURVEY_SAMPLE_LINEENDPLACER_H_
