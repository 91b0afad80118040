#ifndef SURVEY_CORE_ADDRESSVALUEPAIR_H_
#define SURVEY_CORE_ADDRESSVALUEPAIR_H_

#include <cstdint>

#include "core/Quartet.h"

// One value of a quartet-year record and the address it stands at.
struct AddressValuePair {
  std::uint32_t address = 0;
  Quartet value;

  friend bool operator==(const AddressValuePair&, const AddressValuePair&) = default;
};

// Addresses below this may index a table directly: the layouts' addresses,
// expanded ones included, stay below 2200. Higher ones come only from explicit
// addresses of damaged FF-records (up to 4294967295) and are searched for, so
// that one stray address costs a damaged file little.
inline constexpr std::uint32_t kDirectAddressLimit = 8192;

#endif  // SURVEY_CORE_ADDRESSVALUEPAIR_H_
