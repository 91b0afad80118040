#ifndef SURVEY_LAYOUTS_VP80_H_
#define SURVEY_LAYOUTS_VP80_H_

#include <cstdint>
#include <ostream>

#include "layouts/FieldExpansions.h"
#include "layouts/LayoutRules.h"
#include "layouts/PrecomputedVp.h"

// The layouts of year 80, whose records hold 660 values at addresses 1 to 660.

class Vp80_District : public PrecomputedVp {
 public:
  static const Vp80_District& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 0; }
  void printFieldExpansions(std::ostream& out) const override;

 protected:
  Vp80_District();

 private:
  StringRanges strings_;
  FieldExpansions expansions_;
};

class Vp80_School : public PrecomputedVp {
 public:
  static const Vp80_School& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 1; }
  void printFieldExpansions(std::ostream& out) const override;

 protected:
  Vp80_School();

 private:
  StringRanges strings_;
  FieldExpansions expansions_;
};

#endif  // SURVEY_LAYOUTS_VP80_H_
