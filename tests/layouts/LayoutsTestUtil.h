#ifndef SURVEY_TESTS_LAYOUTS_LAYOUTSTESTUTIL_H_
#define SURVEY_TESTS_LAYOUTS_LAYOUTSTESTUTIL_H_

#include <ostream>
#include <string>
#include <vector>

#include "core/FailureText.h"
#include "layouts/PrecomputedVp.h"
#include "layouts/VpInfo.h"

// Lets failing expectations show entries as (parameter, tag).
void PrintTo(const VpInfo& entry, std::ostream* out);

struct NamedLayout {
  const char* name;
  const PrecomputedVp& layout;
};

// Every layout instance, the two District layouts of years 86 and 88 included.
const std::vector<NamedLayout>& allLayouts();

// The lines of a "Field expansions" report section with `rows`, each written with single
// spaces where the report has tabs.
std::vector<std::string> expectedExpansionReport(const std::vector<std::string>& rows);

// `text` cut at its line ends; a last line without one is kept as is.
std::vector<std::string> linesOf(const std::string& text);

#endif  // SURVEY_TESTS_LAYOUTS_LAYOUTSTESTUTIL_H_
