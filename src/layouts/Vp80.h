#ifndef SURVEY_LAYOUTS_VP80_H_
#define SURVEY_LAYOUTS_VP80_H_

#include <cstdint>

#include "layouts/ExpandingVp.h"

// The highest record address of year 80's layouts: a fixed-length record holds
// one value for each address from 1 to it.
inline constexpr std::uint32_t kVp80HighestAddress = 660;

// The layouts of year 80, whose records hold 660 values at addresses 1 to 660.

class Vp80_District : public ExpandingVp {
 public:
  static const Vp80_District& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 0; }

 protected:
  Vp80_District();
};

class Vp80_School : public ExpandingVp {
 public:
  static const Vp80_School& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 1; }

 protected:
  Vp80_School();
};

#endif  // SURVEY_LAYOUTS_VP80_H_
