#ifndef SURVEY_LAYOUTS_VP76_H_
#define SURVEY_LAYOUTS_VP76_H_

#include <cstdint>
#include <ostream>

#include "layouts/FieldExpansions.h"
#include "layouts/LayoutRules.h"
#include "layouts/PrecomputedVp.h"

// Year 76, the last FF-record year; it has no constants.
class Vp76 : public PrecomputedVp {
 public:
  static const Vp76& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 0; }
  void printFieldExpansions(std::ostream& out) const override;

 protected:
  Vp76();

 private:
  StringRanges strings_;
  FieldExpansions expansions_;
};

#endif  // SURVEY_LAYOUTS_VP76_H_
