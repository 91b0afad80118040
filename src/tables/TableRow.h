#ifndef SURVEY_TABLES_TABLEROW_H_
#define SURVEY_TABLES_TABLEROW_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "tables/TableSchema.h"
#include "typing/TypedRecord.h"

// Appends to `rows` the row of `record`, whose output line (the `number`th,
// without its line end) is `line`: the line number, then the table's cells
// a1 to a<width>, which are the line's fields (field k holds the value
// at address k and no field holds a tab, as the line writer makes it) with
// each float value in its exact form (formatExactFraction) instead of the
// output file's six digits, and empty cells after them, up to a<width>;
// every address of the record is within the width. A line without the field of a float fails with
// "line N lacks field A" and leaves `rows` as it was.
void appendRow(std::string& rows, std::uint64_t number, const TypedRecord& record,
               std::string_view line, std::uint32_t width);

#endif  // SURVEY_TABLES_TABLEROW_H_
