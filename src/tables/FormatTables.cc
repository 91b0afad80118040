#include "tables/FormatTables.h"

#include <filesystem>

#include "core/Error.h"
#include "core/ExistingOutput.h"
#include "core/FirstFailure.h"
#include "layouts/Vp.h"
#include "layouts/VpInfo.h"
#include "tables/TableRow.h"

namespace {

// Rows are handed to a table's file in writes of about this size.
constexpr std::size_t kWriteBytes = std::size_t{1} << 18;

std::string tablePath(const std::string& outputPath, unsigned format, std::string_view suffix) {
  std::string path = outputPath + ".";
  path += recordFormatName(format);
  path += suffix;
  return path;
}

// "record", then "\ta1" to "\ta<W>" for some width W, then the line end: the
// header of every table, whichever its layout.
bool startsWithTableHeader(std::istream& in) {
  if (!streamStartsWith(in, "record")) return false;
  for (std::uint64_t column = 1;; ++column) {
    if (in.peek() == '\n') return true;
    if (!streamStartsWith(in, "\ta" + std::to_string(column))) return false;
    if (in.peek() != '\t' && in.peek() != '\n') return false;
  }
}

void writeOut(OutputFile& file, std::string& text) {
  file.stream().write(text.data(), static_cast<std::streamsize>(text.size()));
  text.clear();
}

}  // namespace

FormatTables::Table::Table(const std::string& path, std::uint32_t width) : file(path) {
  extent = TableExtent::ofWidth(width);
  rows.reserve(kWriteBytes);
  rows = "record";
  for (std::uint32_t address = 1; address <= width; ++address) {
    rows += "\ta";
    appendDecimal(rows, address);
  }
  rows += "\n";
}

FormatTables::FormatTables(std::string outputPath) : outputPath_(std::move(outputPath)) {}

FormatTables::~FormatTables() = default;

std::vector<std::string> FormatTables::pathsFor(const std::string& outputPath) {
  std::vector<std::string> paths;
  for (unsigned format = 0; format < kFormatCount; ++format) {
    paths.push_back(tablePath(outputPath, format, ".tsv"));
    paths.push_back(tablePath(outputPath, format, ".schema.tsv"));
  }
  return paths;
}

FormatTables::Table& FormatTables::open(unsigned format, const Vp& layout) {
  // recordFormatName() refuses an index without a table before anything is opened.
  const std::string path = tablePath(outputPath_, format, ".tsv");
  tables_[format] = std::make_unique<Table>(path, tableWidth(layout));
  return *tables_[format];
}

void FormatTables::check(const TypedRecord& record, std::uint64_t line) const {
  checkFits(record, line, "");
}

void FormatTables::checkFits(const TypedRecord& record, std::uint64_t line,
                             std::string_view advice) const {
  if (record.layout == nullptr) throwMessage("line ", line, " has no record format");
  const unsigned format = record.layout->recordFormat();
  const Table* table = format < tables_.size() ? tables_[format].get() : nullptr;
  const std::uint32_t width = table != nullptr ? table->extent.width : tableWidth(*record.layout);
  const std::uint32_t last = record.empty() ? 0 : record.lastAddress();
  if (last > width) {
    throwMessage("line ", line, " has address ", last, ", beyond a", width, ", the last column of ",
                 tablePath(outputPath_, format, ".tsv"), advice);
  }
}

void FormatTables::add(const TypedRecord& record, std::uint64_t line, std::string_view text) {
  checkFits(record, line, "; --keep-going skips such records");
  const unsigned format = record.layout->recordFormat();
  Table& table =
      format < tables_.size() && tables_[format] ? *tables_[format] : open(format, *record.layout);
  TableExtent& extent = table.extent;
  appendRow(table.rows, line, record, text, extent.width);
  extent.add(record, line);
  if (table.rows.size() >= kWriteBytes) writeOut(table.file, table.rows);
}

void FormatTables::writeSchemas(const std::map<unsigned, FormatStatistics>& statistics) {
  const FormatStatistics none;
  for (unsigned format = 0; format < kFormatCount; ++format) {
    Table* table = tables_[format].get();
    if (table == nullptr) continue;
    const auto found = statistics.find(format);
    writeSchema(format,
                schemaText(table->extent, found != statistics.end() ? found->second : none));
  }
}

void FormatTables::writeSchema(unsigned format, std::string text) {
  Table* table = tables_[format].get();
  if (table == nullptr) return;
  table->schema.emplace(tablePath(outputPath_, format, ".schema.tsv"));
  writeOut(*table->schema, text);
}

void FormatTables::finish(bool complete, FirstFailure& failure) {
  for (const std::unique_ptr<Table>& table : tables_) {
    if (!table) continue;
    failure.attempt([&] {
      writeOut(table->file, table->rows);
      table->file.finish(complete);
    });
    if (table->schema) failure.attempt([&] { table->schema->finish(complete); });
  }
}

void FormatTables::removeWritten() const {
  for (unsigned format = 0; format < kFormatCount; ++format) {
    const Table* table = tables_[format].get();
    if (table == nullptr) continue;
    std::error_code ignored;
    std::filesystem::remove(table->file.fileName, ignored);
    if (table->schema) std::filesystem::remove(table->schema->fileName, ignored);
  }
}

void FormatTables::removeUnwritten(const std::string& outputPath, const FormatTables* written) {
  for (unsigned format = 0; format < kFormatCount; ++format) {
    if (written != nullptr && written->tables_[format]) continue;
    removeDecoderFile(tablePath(outputPath, format, ".tsv"), startsWithTableHeader);
    removeDecoderFile(tablePath(outputPath, format, ".schema.tsv"),
                      [](std::istream& in) { return streamStartsWith(in, kSchemaHeader); });
  }
}
