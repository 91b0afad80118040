#ifndef SURVEY_LAYOUTS_VPFORYEAR_H_
#define SURVEY_LAYOUTS_VPFORYEAR_H_

#include <ostream>
#include <vector>

#include "framing/AddressValuePair.h"
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

// The provider for a quartet year; fails with "78 handled differently" for 78
// and "unrecognized year " and the year for years it does not know.
const VpForYear<AddressValuePair>& providerForYear(int year);

// The year-78 provider (byte records).
const VpForYear<unsigned char>& providerForYear78();

#endif  // SURVEY_LAYOUTS_VPFORYEAR_H_
