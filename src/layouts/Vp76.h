#ifndef SURVEY_LAYOUTS_VP76_H_
#define SURVEY_LAYOUTS_VP76_H_

#include <cstdint>

#include "layouts/ExpandingVp.h"

// Year 76, the last FF-record year; it has no constants.
class Vp76 : public ExpandingVp {
 public:
  static const Vp76& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 0; }

 protected:
  Vp76();
};

#endif  // SURVEY_LAYOUTS_VP76_H_
