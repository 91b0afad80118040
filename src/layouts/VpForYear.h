#ifndef SURVEY_LAYOUTS_VPFORYEAR_H_
#define SURVEY_LAYOUTS_VPFORYEAR_H_

#include <ostream>
#include <vector>

#include "core/AddressValuePair.h"
#include "layouts/Vp.h"

// One year's layouts and the rule that picks one for a record. Providers are
// immutable static objects, never owned by their users.
template <class T>
class VpForYear {
 public:
  // The layout for `record`; fails when the record's format cannot be told.
  virtual const Vp& vpFor(const std::vector<T>& record) const = 0;
  // Has the layout at record-format index `index` write its expansion table.
  virtual void printFieldExpansions(std::ostream& out, unsigned index) const = 0;

 protected:
  ~VpForYear() = default;
};

#endif  // SURVEY_LAYOUTS_VPFORYEAR_H_
