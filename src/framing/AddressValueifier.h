#ifndef SURVEY_FRAMING_ADDRESSVALUEIFIER_H_
#define SURVEY_FRAMING_ADDRESSVALUEIFIER_H_

#include <cstdint>
#include <vector>

#include "core/Stream.h"
#include "core/Upstream.h"
#include "framing/AddressValuePair.h"
#include "framing/Quartet.h"

// Turns each framed record of quartets into address/value pairs: in years 68
// to 76 every value follows its explicit address quartet, in years 80 to 88
// the n-th quartet stands at address n.
class AddressValueifier : public Stream<std::vector<AddressValuePair>> {
 public:
  // `upstream` (not owned) is the framer and must outlive this stage.
  AddressValueifier(std::uint32_t year, Stream<std::vector<Quartet>>* upstream);

  // Fills `pairs` with the next record's pairs in input order and returns
  // true; returns false, leaving `pairs` as it was, when the framer has no
  // more records.
  bool get(std::vector<AddressValuePair>& pairs) override;

  const std::uint32_t year;
  Upstream<std::vector<Quartet>> upstream;

 private:
  std::vector<Quartet> record_;  // reused from record to record
};

#endif  // SURVEY_FRAMING_ADDRESSVALUEIFIER_H_
