#ifndef SURVEY_LAYOUTS_VP8688_H_
#define SURVEY_LAYOUTS_VP8688_H_

#include <cstdint>
#include <ostream>

#include "layouts/ExpandingVp.h"
#include "layouts/LayoutRules.h"

// The highest record address of years 86 and 88's layouts: a fixed-length record holds
// one value for each address from 1 to it.
inline constexpr std::uint32_t kVp8688HighestAddress = 700;

// The layouts of years 86 and 88, whose records hold 700 values at addresses 1 to 700.
// The two years share the School and District_Summary layouts; their District layouts
// differ only in where a run of skipped values ends.

class Vp8688_District : public ExpandingVp {
 public:
  static const Vp8688_District& year86();  // lastSkipped 330
  static const Vp8688_District& year88();  // lastSkipped 328

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 0; }

 protected:
  explicit Vp8688_District(std::uint32_t lastSkipped);

 private:
  std::uint32_t lastSkipped_;
};

class Vp8688_School : public ExpandingVp {
 public:
  static const Vp8688_School& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 1; }

 protected:
  Vp8688_School();
};

// Packs nothing, so it writes no expansion table.
class Vp8688_District_Summary : public PrecomputedVp {
 public:
  static const Vp8688_District_Summary& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 2; }
  void printFieldExpansions(std::ostream&) const override {}

 protected:
  Vp8688_District_Summary();

 private:
  const StringRanges& strings_;
};

#endif  // SURVEY_LAYOUTS_VP8688_H_
