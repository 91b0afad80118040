#ifndef SURVEY_YEARS_PROVIDERFORYEAR_H_
#define SURVEY_YEARS_PROVIDERFORYEAR_H_

#include <vector>

#include "core/AddressValuePair.h"
#include "layouts/VpForYear.h"

// The provider for a quartet year, made from its row of the survey-year
// table; fails with "78 handled differently" for 78 and "unrecognized year "
// and the year for years it does not know.
const VpForYear<AddressValuePair>& providerForYear(int year);

// The year-78 provider (byte records).
const VpForYear<unsigned char>& providerForYear78();

// The layouts of `year`'s record formats, by record-format index; fails as
// providerForYear() does for a year it does not handle.
std::vector<const Vp*> layoutsOfYear(int year);

#endif  // SURVEY_YEARS_PROVIDERFORYEAR_H_
