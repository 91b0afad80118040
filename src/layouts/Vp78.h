#ifndef SURVEY_LAYOUTS_VP78_H_
#define SURVEY_LAYOUTS_VP78_H_

#include <cstdint>
#include <ostream>

#include "layouts/LayoutRules.h"
#include "layouts/PrecomputedVp.h"

// The byte-record layouts of year 78: addresses are 1-based byte positions, and an address
// that no rule describes is NoEntry, which the Typifier refuses.

// Records of 275 bytes.
class Vp78_District : public PrecomputedVp {
 public:
  static const Vp78_District& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 0; }
  void printFieldExpansions(std::ostream&) const override {}

 protected:
  Vp78_District();

 private:
  StringRanges strings_;
};

// Records of 866 bytes.
class Vp78_School : public PrecomputedVp {
 public:
  static const Vp78_School& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 1; }
  void printFieldExpansions(std::ostream&) const override {}

 protected:
  Vp78_School();

 private:
  StringRanges strings_;
};

#endif  // SURVEY_LAYOUTS_VP78_H_
