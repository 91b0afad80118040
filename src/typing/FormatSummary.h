#ifndef SURVEY_TYPING_FORMATSUMMARY_H_
#define SURVEY_TYPING_FORMATSUMMARY_H_

#include <ostream>

#include "typing/FormatStatistics.h"

// The count, address range, column keys and one row per address of a record
// format (two lines for a text address). `statistics.addressRange` must be
// defined, or this fails with "undef ext" before writing anything.
void writeFormatSummary(const FormatStatistics& statistics, std::ostream& out);

// A format's section of the metadata file, up to its field expansion table:
// the title line, then the summary when the format carried any value.
void writeFormatSection(unsigned formatIndex, const FormatStatistics& statistics,
                        std::ostream& out);

#endif  // SURVEY_TYPING_FORMATSUMMARY_H_
