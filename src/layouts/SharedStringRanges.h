#ifndef SURVEY_LAYOUTS_SHAREDSTRINGRANGES_H_
#define SURVEY_LAYOUTS_SHAREDSTRINGRANGES_H_

#include "layouts/LayoutRules.h"

// The string range sets that the layouts of years 82, 86 and 88 share, built on first use
// so that no layout meets them unbuilt.
const StringRanges& districtStringRanges();
const StringRanges& schoolStringRanges();

#endif  // SURVEY_LAYOUTS_SHAREDSTRINGRANGES_H_
