#ifndef SURVEY_LAYOUTS_VP82_H_
#define SURVEY_LAYOUTS_VP82_H_

#include <cstdint>

#include "layouts/ExpandingVp.h"

// The highest record address of year 82's layouts: a fixed-length record holds
// one value for each address from 1 to it.
inline constexpr std::uint32_t kVp82HighestAddress = 700;

// The layouts of year 82, whose records hold 700 values at addresses 1 to 700.

class Vp82_District : public ExpandingVp {
 public:
  static const Vp82_District& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 0; }

 protected:
  Vp82_District();
};

class Vp82_School : public ExpandingVp {
 public:
  static const Vp82_School& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 1; }

 protected:
  Vp82_School();
};

#endif  // SURVEY_LAYOUTS_VP82_H_
