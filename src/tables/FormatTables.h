#ifndef SURVEY_TABLES_FORMATTABLES_H_
#define SURVEY_TABLES_FORMATTABLES_H_

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/OutputFile.h"
#include "tables/TableSchema.h"
#include "typing/FormatStatistics.h"
#include "typing/RecordSink.h"

class FirstFailure;

// The typed tables of one run: for each record format that occurs, the
// table OUTPUT.<format>.tsv (a header row, then one row per record of the
// format: its line number in OUTPUT, then one cell per address from a1 to
// the layout's last column, empty where the record has no value) and, at the
// end, its schema OUTPUT.<format>.schema.tsv (see schemaText()).
//
// Rows are streamed: each table keeps only the rows gathered since its last
// write. The files are OutputFiles, so a path keeps its old contents until
// the run writes to it.
class FormatTables final : public RecordSink {
 public:
  // The tables of the output file `outputPath`; no file is opened yet.
  explicit FormatTables(std::string outputPath);
  FormatTables(const FormatTables&) = delete;
  FormatTables& operator=(const FormatTables&) = delete;
  ~FormatTables();

  // Every path the tables of `outputPath` may take, whichever formats occur.
  static std::vector<std::string> pathsFor(const std::string& outputPath);

  // Adds the row of `record`, opening its format's table on the format's
  // first record. The record must carry its layout. A record check() refuses
  // adds nothing and fails as check() does, a value beyond the last column
  // with "; --keep-going skips such records" after the message.
  void add(const TypedRecord& record, std::uint64_t line, std::string_view text) override;

  // Fails with "line L has address A, beyond a<W>, the last column of PATH"
  // when `record` as line L has a value above its table's last column, or
  // with "line L has no record format" when it carries no layout.
  void check(const TypedRecord& record, std::uint64_t line) const override;

  // Writes the schema file of every table from `statistics`, the run's
  // statistics by record-format index.
  void writeSchemas(const std::map<unsigned, FormatStatistics>& statistics);
  // Writes `text` as the schema file of format `format`'s table, if the run
  // wrote that table.
  void writeSchema(unsigned format, std::string text);

  // Writes the rows still gathered and finishes every file, as
  // OutputFile::finish(complete) does; every file is finished, the first
  // failure goes to `failure`.
  void finish(bool complete, FirstFailure& failure);

  // Removes, after finish(), every table and schema written: a failed run
  // leaves no partial table to pass for a whole one.
  void removeWritten() const;

  // Removes every table and schema of `outputPath` that `written` (null for
  // a run without tables) did not write, so that none of an earlier run is
  // left to describe another OUTPUT; only a file whose first line is the
  // header the decoder writes there, so a user's own file of such a name
  // stays.
  static void removeUnwritten(const std::string& outputPath, const FormatTables* written);

 private:
  struct Table {
    Table(const std::string& path, std::uint32_t width);
    OutputFile file;
    std::optional<OutputFile> schema;
    TableExtent extent;
    std::string rows;
  };

  Table& open(unsigned format, const Vp& layout);
  // check(), with `advice` after the message of a value beyond the last column.
  void checkFits(const TypedRecord& record, std::uint64_t line, std::string_view advice) const;

  std::string outputPath_;
  std::array<std::unique_ptr<Table>, kFormatCount> tables_;
};

#endif  // SURVEY_TABLES_FORMATTABLES_H_
