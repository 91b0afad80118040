#ifndef SURVEY_TABLES_TABLESCHEMA_H_
#define SURVEY_TABLES_TABLESCHEMA_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "typing/FormatStatistics.h"
#include "typing/TypedRecord.h"

class Vp;

// Appends `n` in decimal to `out`.
void appendDecimal(std::string& out, std::uint64_t n);

// The record formats, by index from 0.
inline constexpr unsigned kFormatCount = 3;

// The last column of the table of `layout`'s records: the highest address of
// its table of entries, or the last expanded address of its packed fields
// if that is higher. Every record the layout types in a well-formed file has
// its values within it; in FF-record files a record names its addresses, and
// a damaged one can name higher ones.
std::uint32_t tableWidth(const Vp& layout);

// The column type that analysis tools read a value of type code `type` as:
// uint32, int32, float32 or string. Fails with "unrec type" for other codes.
std::string_view columnType(std::uint32_t type);

// The least and the greatest number among the float values of a column,
// NaNs left out; in the order of the metadata file's bounds, so that of
// equal values (0 and -0) the first stays.
struct FloatBounds {
  bool defined = false;
  std::uint32_t least = 0;
  std::uint32_t greatest = 0;

  // Takes in the single whose bit pattern is `bits`; a NaN changes nothing.
  void add(std::uint32_t bits);
};

// What a table held besides its values: its width, the line numbers of its
// rows and, by address, the bounds of its float values.
struct TableExtent {
  std::uint32_t width = 0;
  std::uint64_t rows = 0;
  std::uint64_t firstLine = 0;
  std::uint64_t lastLine = 0;
  std::vector<FloatBounds> floats;

  // The extent of a table `width` columns wide that has no row yet.
  static TableExtent ofWidth(std::uint32_t width);
  // Takes in `record` as the table's row of line `line`: its line number and
  // its float values. Every address of the record is within the width.
  void add(const TypedRecord& record, std::uint64_t line);
};

// The column type letter ('u', 'i', 'f', 's') that `layout` gives a value at
// each address from 0 to tableWidth(layout), 0 where it gives none.
std::string layoutColumnTypes(const Vp& layout);

// The first line of every schema.
inline constexpr std::string_view kSchemaHeader =
    "column\taddress\ttype\tcolumn_type\tconstant\tmin\tmax\n";

// The schema of a table as text: a header row (kSchemaHeader), the row of the `record`
// column, then one row per column a1 to a<width>, each with the column name,
// the address, the type letter, the column type, whether the value was
// constant ("yes" or "no"), the least and the greatest value, taken from
// `statistics` (addresses above the width are not columns and are left out).
// A float column takes its bounds from `table.floats` instead: the least and
// greatest number, NaNs left out, and constant when they are equal; only a
// column of NaNs alone has the statistics' bounds (a NaN, not constant).
// Floats are written in their exact form (formatExactFraction), the other
// values as in the output file. An address that never carried a value has
// the column type string and nothing in the type, constant, min and max
// cells.
std::string schemaText(const TableExtent& table, const FormatStatistics& statistics);

#endif  // SURVEY_TABLES_TABLESCHEMA_H_
