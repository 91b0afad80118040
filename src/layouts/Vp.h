#ifndef SURVEY_LAYOUTS_VP_H_
#define SURVEY_LAYOUTS_VP_H_

#include <cstdint>
#include <ostream>
#include <span>

#include "layouts/VpInfo.h"

// The layout of one record format: what stands at every address. Layouts are
// immutable static objects; nobody who points at one owns it.
class Vp {
 public:
  // The entry for `address`. Called for every value of every record.
  virtual VpInfo info(std::uint32_t address) const = 0;
  // The entries of addresses 0, 1, ... as far as the layout keeps them in a
  // table (info(a) == entries()[a] for every a in it), so that a walk over a
  // record reads them without a call each; empty when it keeps none.
  virtual std::span<const VpInfo> entries() const { return {}; }
  // 0 District (and the single format of 68 to 76), 1 School, 2 District_Summary.
  virtual unsigned recordFormat() const = 0;
  // Writes the layout's field expansion table; nothing when it has none.
  virtual void printFieldExpansions(std::ostream& out) const = 0;

 protected:
  ~Vp() = default;
};

#endif  // SURVEY_LAYOUTS_VP_H_
