#ifndef SURVEY_LAYOUTS_VP82_H_
#define SURVEY_LAYOUTS_VP82_H_

#include <cstdint>
#include <ostream>

#include "layouts/FieldExpansions.h"
#include "layouts/LayoutRules.h"
#include "layouts/PrecomputedVp.h"

// The layouts of year 82, whose records hold 700 values at addresses 1 to 700.

class Vp82_District : public PrecomputedVp {
 public:
  static const Vp82_District& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 0; }
  void printFieldExpansions(std::ostream& out) const override;

 protected:
  Vp82_District();

 private:
  const StringRanges& strings_;
  FieldExpansions expansions_;
};

class Vp82_School : public PrecomputedVp {
 public:
  static const Vp82_School& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 1; }
  void printFieldExpansions(std::ostream& out) const override;

 protected:
  Vp82_School();

 private:
  const StringRanges& strings_;
  FieldExpansions expansions_;
};

#endif  // SURVEY_LAYOUTS_VP82_H_
