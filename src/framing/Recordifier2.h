#ifndef SURVEY_FRAMING_RECORDIFIER2_H_
#define SURVEY_FRAMING_RECORDIFIER2_H_

#include <cstdint>
#include <vector>

#include "core/Quartet.h"
#include "core/Stream.h"
#include "core/Upstream.h"

// Frames the quartets of a fixed-length file (years 80 to 88) into records of
// `recordQuartets` quartets each. No quartet value has a meaning here.
class Recordifier2 : public Stream<std::vector<Quartet>> {
 public:
  // `upstream` (not owned) feeds the bytes and must outlive this stage.
  Recordifier2(std::uint32_t recordQuartets, Stream<unsigned char>* upstream);

  // Fills `record` with the next `recordQuartets` quartets and returns true;
  // returns false with `record` empty when the input ended exactly on a record
  // boundary (always, if `recordQuartets` is 0). Fails on a record or quartet
  // cut short.
  // Whether the last get() failed before its record was framed.
  bool midRecord() const { return midRecord_; }

  bool get(std::vector<Quartet>& record) override;

  const std::uint32_t recordQuartets;
  Upstream<unsigned char> upstream;

 private:
  bool midRecord_ = false;
};

#endif  // SURVEY_FRAMING_RECORDIFIER2_H_
