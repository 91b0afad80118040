#ifndef SURVEY_FRAMING_ADDRESSVALUEPAIR_H_
#define SURVEY_FRAMING_ADDRESSVALUEPAIR_H_

#include <cstdint>

#include "framing/Quartet.h"

// One value of a quartet-year record and the address it stands at.
struct AddressValuePair {
  std::uint32_t address = 0;
  Quartet value;

  friend bool operator==(const AddressValuePair&, const AddressValuePair&) = default;
};

#endif  // SURVEY_FRAMING_ADDRESSVALUEPAIR_H_
