#include "LineEndPlacer.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace sample {

LineEndPlacer::LineEndPlacer(const YearFile& file, ByteSink& sink)
    : sink_(sink), recordData_(dataBytesPerRecord(file)), blockEnd_(file.blockLen - 8) {}

void LineEndPlacer::putPair() {
  sink_.put(0x0D);
  sink_.put(0x0A);
}

void LineEndPlacer::write(const uint8_t* data, size_t n) {
  constexpr uint64_t kNever = std::numeric_limits<uint64_t>::max();
  while (n > 0) {
    // Copy up to the next place where either count meets its end; the tests below then
    // look at exactly the data byte that the decoder tests them after.
    const uint64_t toRecordEnd = recordData_ - phaseWithinRecord_;
    const uint64_t toBlockEnd =
        phaseWithinBlock_ < blockEnd_ ? blockEnd_ - phaseWithinBlock_ : kNever;
    const size_t step = static_cast<size_t>(std::min<uint64_t>({n, toRecordEnd, toBlockEnd}));
    sink_.append(data, step);
    data += step;
    n -= step;
    dataBytes_ += step;
    phaseWithinRecord_ += static_cast<uint32_t>(step);
    phaseWithinBlock_ += step;

    const bool recordEnded = phaseWithinRecord_ == recordData_;
    if (recordEnded) {
      putPair();
      ++records_;
      phaseWithinRecord_ = 0;
      phaseWithinBlock_ += 4;
    }
    if (phaseWithinBlock_ == blockEnd_) {
      if (!recordEnded) putPair();
      phaseWithinBlock_ = 0;
    }
  }
}

void LineEndPlacer::padRecord(uint8_t fill) {
  if (phaseWithinRecord_ == 0) return;
  const std::vector<uint8_t> padding(recordData_ - phaseWithinRecord_, fill);
  write(padding.data(), padding.size());
}

}  // namespace sample
