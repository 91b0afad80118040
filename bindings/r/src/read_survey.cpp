// The R side of read_survey(): decodes through the library into a
// ColumnStore, then turns the store into data frames: the text columns first,
// then the number columns, run of rows by run of rows.

#include <Rcpp.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "ColumnStore.h"
#include "survey_decoder.h"

namespace {

using rbinding::ColumnStore;
using rbinding::StoredChunk;
using rbinding::StoredTable;

// Records between two looks for an interrupt from the R session.
constexpr std::uint64_t kInterruptEvery = 4096;
// Runs of rows copied between two returns of freed memory to the system.
constexpr std::size_t kTrimEvery = 16;

// What a decode left: the records, the schema rows, the rejected stretches,
// the warnings, and the failure that ended it, if any.
struct Outcome {
  explicit Outcome(ColumnStore s) : store(std::move(s)) {}
  ColumnStore store;
  std::vector<survey::FormatResult> results;
  std::vector<survey::RejectedStretch> rejects;
  std::vector<std::string> warnings;
  std::int32_t year = 0;
  bool complete = false;
  // Whether any record was decoded or rejected before the failure.
  bool salvaged = false;
  std::optional<std::string> failure;
};

// The lines of `text`.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Decodes `path` into `outcome`; a failure ends the decode and is kept in
// outcome.failure. The decoder is taken down before this returns, however it
// returns (an R interrupt included, which Rcpp raises as an exception).
void decode(const std::string& path, std::optional<std::int32_t> year, bool keepGoing,
            Outcome& outcome) {
  survey::Options options;
  options.year = year;
  options.keepGoing = keepGoing;
  options.schemas = true;
  options.rejected = [&outcome](const survey::RejectedStretch& stretch) {
    outcome.rejects.push_back(stretch);
  };
  // A record with a value past its table's last column is a damaged one, as
  // under -k --tables: the data frames have no column for it.
  if (keepGoing) {
    options.check = [](const survey::Record& record) { rbinding::checkFitsTable(record, ""); };
  }
  const std::string advice = keepGoing ? "" : "; keep_going = TRUE skips such records";
  // The warnings (a file size other than the year's) are the R session's to
  // give, not lines on its standard error.
  std::ostringstream warnings;
  options.warnings = &warnings;

  survey::Decoder decoder = survey::Decoder::open(path, std::move(options));
  std::uint64_t delivered = 0;
  try {
    survey::Record record;
    while (decoder.next(record)) {
      if (++delivered % kInterruptEvery == 0) Rcpp::checkUserInterrupt();
      outcome.store.add(record, advice);
    }
    decoder.finish();
  } catch (const survey::DecodeError& error) {
    outcome.failure = error.what();
    try {
      decoder.finish();
    } catch (const survey::DecodeError&) {
      // A failure of the ends, after the one kept.
    }
  }
  outcome.salvaged = delivered != 0 || !outcome.rejects.empty();
  outcome.complete = decoder.complete() && !outcome.failure;
  outcome.year = decoder.year();
  outcome.results = decoder.results();
  outcome.warnings = linesOf(warnings.str());
}

// R allocations that cannot jump over C++ frames: an R error in them (memory
// exhausted) unwinds the frames as an exception.
SEXP allocate(SEXPTYPE type, R_xlen_t length) {
  return Rcpp::unwindProtect([&] { return Rf_allocVector(type, length); });
}

void makeDataFrame(SEXP list, std::size_t rows) {
  Rf_setAttrib(list, R_ClassSymbol, Rf_mkString("data.frame"));
  Rcpp::IntegerVector rowNames = Rcpp::IntegerVector::create(NA_INTEGER, -static_cast<int>(rows));
  Rf_setAttrib(list, R_RowNamesSymbol, rowNames);
}

// Fills rows of the R vector `out` from column `column` of `chunk`, NA where
// a row has no value.
template <class Convert>
void fillNumbers(double* out, const StoredChunk& chunk, std::size_t column, Convert convert) {
  for (std::size_t row = 0; row < chunk.rows(); ++row) {
    out[row] = chunk.has(row, column) ? convert(chunk.word(row, column)) : NA_REAL;
  }
}

// The same for a number column of type `type` ('u', 'i' or 'f').
void fillNumberColumn(double* out, const StoredChunk& chunk, std::size_t column, char type) {
  if (type == 'u') {
    fillNumbers(out, chunk, column, [](std::uint32_t w) { return static_cast<double>(w); });
  } else if (type == 'i') {
    fillNumbers(out, chunk, column,
                [](std::uint32_t w) { return static_cast<double>(static_cast<std::int32_t>(w)); });
  } else {
    fillNumbers(out, chunk, column, rbinding::widenFloat);
  }
}

void fillTexts(SEXP strings, const StoredChunk& chunk, std::size_t column) {
  Rcpp::unwindProtect([&] {
    for (std::size_t row = 0; row < chunk.rows(); ++row) {
      SEXP text = NA_STRING;
      if (chunk.has(row, column)) {
        const std::string_view value = chunk.text(row, column);
        text = Rf_mkCharLenCE(value.data(), static_cast<int>(value.size()), CE_UTF8);
      }
      SET_STRING_ELT(strings, static_cast<R_xlen_t>(chunk.firstRow() + row), text);
    }
    return R_NilValue;
  });
}

void giveMemoryBack() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

bool isTextColumn(char type) {
  return type == 's' || type == 0;
}

// A table's data frame as it is built: its list, protected while it lives.
struct Frame {
  StoredTable* table;
  Rcpp::List list;
};

// Starts the table's data frame: doubles for numbers, characters for texts,
// NA where a row has none; a column that never held a value is logical NA,
// as R's readers make an empty column (half the memory of a character one,
// and nothing for the garbage collector to walk). This
// makes the `record` column and the text columns with their strings: the
// garbage collections that making strings brings walk only what exists, so
// the strings come before the wide columns.
Frame startFrame(StoredTable& table) {
  const std::vector<std::uint32_t>& addresses = table.addresses();
  const std::vector<char>& types = table.types();
  Frame frame{&table, Rcpp::List(addresses.size() + 1)};
  Rcpp::CharacterVector names(addresses.size() + 1);
  frame.list[0] = Rcpp::NumericVector(table.lines().begin(), table.lines().end());
  names[0] = "record";
  for (std::size_t column = 0; column < addresses.size(); ++column) {
    names[column + 1] = "a" + std::to_string(addresses[column]);
    if (types[column] != 's') continue;
    SET_VECTOR_ELT(frame.list, column + 1, allocate(STRSXP, static_cast<R_xlen_t>(table.rows())));
    for (const auto& chunk : table.chunks()) {
      fillTexts(VECTOR_ELT(frame.list, column + 1), *chunk, column);
    }
  }
  frame.list.attr("names") = names;
  return frame;
}

// Ends the data frame: makes its other columns, then copies each run of rows
// into them and frees it.
SEXP finishFrame(Frame& frame) {
  StoredTable& table = *frame.table;
  const std::vector<char>& types = table.types();
  const auto rows = static_cast<R_xlen_t>(table.rows());
  for (std::size_t column = 0; column < types.size(); ++column) {
    if (types[column] == 's') continue;
    const bool empty = types[column] == 0;
    SET_VECTOR_ELT(frame.list, column + 1, allocate(empty ? LGLSXP : REALSXP, rows));
    if (empty) {
      int* missing = LOGICAL(VECTOR_ELT(frame.list, column + 1));
      std::fill(missing, missing + rows, NA_LOGICAL);
    }
  }
  auto& chunks = table.chunks();
  for (std::size_t k = 0; k < chunks.size(); ++k) {
    const StoredChunk& chunk = *chunks[k];
    for (std::size_t column = 0; column < types.size(); ++column) {
      if (isTextColumn(types[column])) continue;
      double* out = REAL(VECTOR_ELT(frame.list, column + 1)) + chunk.firstRow();
      fillNumberColumn(out, chunk, column, types[column]);
    }
    chunks[k].reset();
    if ((k + 1) % kTrimEvery == 0) giveMemoryBack();
  }
  makeDataFrame(frame.list, table.rows());
  return frame.list;
}

// Grows R's vector heap to hold every column finishFrame() makes at once. R
// grows it by a fifth at each garbage collection that finds it short, so
// making thousands of vectors one by one would cost a dozen full collections,
// each walking every string made so far. One vector of that size, dropped and
// collected before any string is made, costs two short ones; it is never
// written, so it takes no memory.
void makeRoomForFrames(ColumnStore& store) {
  // The share of room to spare: R shrinks the heap by a fifth at the
  // collection that frees the vector.
  constexpr double kSpare = 1.25;
  double bytes = 0;
  for (const auto& table : store.tables()) {
    if (!table) continue;
    const std::vector<char>& types = table->types();
    const auto numbers = static_cast<double>(
        std::count_if(types.begin(), types.end(), [](char type) { return !isTextColumn(type); }));
    const auto empty = static_cast<double>(std::count(types.begin(), types.end(), 0));
    bytes += kSpare * static_cast<double>(table->rows()) * (8.0 * numbers + 4.0 * empty);
  }
  if (bytes < 64 * 1024 * 1024 || bytes > static_cast<double>(R_XLEN_T_MAX)) return;
  allocate(RAWSXP, static_cast<R_xlen_t>(bytes));
  R_gc();
}

// A format's schema rows (column, address, type, column_type, constant, min,
// max) as a data frame; the address is an integer, NA for `record`. Only the
// rows of the columns kept.
SEXP schemaFrame(const survey::FormatResult& result,
                 const std::optional<std::vector<std::uint32_t>>& addresses) {
  std::vector<const std::vector<std::string>*> rows;
  for (const auto& row : result.schema) {
    if (row.size() != 7) throw survey::DecodeError("a schema row without its seven fields");
    // The library's rows may start with the schema file's header row.
    if (&row == &result.schema.front() && row[0] == "column" && row[1] == "address") continue;
    if (addresses && !row[1].empty() &&
        !std::binary_search(addresses->begin(), addresses->end(),
                            static_cast<std::uint32_t>(std::stoul(row[1])))) {
      continue;
    }
    rows.push_back(&row);
  }
  static const char* const kNames[] = {"column",   "address", "type", "column_type",
                                       "constant", "min",     "max"};
  Rcpp::List frame(7);
  for (int field = 0; field < 7; ++field) {
    if (field == 1) {
      Rcpp::IntegerVector address(rows.size());
      for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& text = (*rows[i])[1];
        address[i] = text.empty() ? NA_INTEGER : std::stoi(text);
      }
      frame[field] = address;
      continue;
    }
    Rcpp::CharacterVector texts(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) texts[i] = (*rows[i])[field];
    frame[field] = texts;
  }
  frame.attr("names") = Rcpp::CharacterVector(std::begin(kNames), std::end(kNames));
  makeDataFrame(frame, rows.size());
  return frame;
}

SEXP rejectsFrame(const std::vector<survey::RejectedStretch>& rejects) {
  const std::size_t n = rejects.size();
  Rcpp::NumericVector linesBefore(n), start(n), resume(n), records(n);
  Rcpp::CharacterVector message(n), firstBytes(n);
  for (std::size_t i = 0; i < n; ++i) {
    linesBefore[i] = static_cast<double>(rejects[i].linesBefore);
    start[i] = static_cast<double>(rejects[i].startOffset);
    resume[i] = static_cast<double>(rejects[i].resumeOffset);
    records[i] = static_cast<double>(rejects[i].records);
    message[i] = rejects[i].message;
    firstBytes[i] = rejects[i].firstBytes;
  }
  Rcpp::List frame = Rcpp::List::create(
      Rcpp::Named("lines_before") = linesBefore, Rcpp::Named("start_offset") = start,
      Rcpp::Named("resume_offset") = resume, Rcpp::Named("records_rejected") = records,
      Rcpp::Named("message") = message, Rcpp::Named("first_bytes") = firstBytes);
  makeDataFrame(frame, n);
  return frame;
}

}  // namespace

// The handled years as numbers and as the command line's refusals name them.
// [[Rcpp::export(name = ".survey_years")]]
Rcpp::List surveyYears() {
  std::vector<int> years;
  for (int year = 0; year < 100; ++year) {
    try {
      survey::formatsOfYear(year);
      years.push_back(year);
    } catch (const survey::DecodeError&) {
      // Not a year handled.
    }
  }
  return Rcpp::List::create(Rcpp::Named("years") = years,
                            Rcpp::Named("text") = survey::handledYears());
}

// read_survey()'s decode: `year` NA for the year of the file name, `formats`
// one flag per format index, `addresses` the columns kept when `select` is
// true. A failure is returned in `failure`, with the data decoded before it
// only when `keep_going` is true and the decode got as far as a record.
// [[Rcpp::export(name = ".decode_survey")]]
Rcpp::List decodeSurvey(std::string path, int year, bool keep_going, Rcpp::LogicalVector formats,
                        bool select, Rcpp::IntegerVector addresses) {
  std::array<bool, survey::kFormatCount> kept{};
  for (unsigned format = 0; format < survey::kFormatCount; ++format) {
    kept[format] = format < static_cast<unsigned>(formats.size()) && formats[format] == TRUE;
  }
  std::optional<std::vector<std::uint32_t>> columns;
  if (select) {
    columns.emplace(addresses.begin(), addresses.end());
    std::sort(columns->begin(), columns->end());
  }
  std::optional<std::int32_t> givenYear;
  if (year != NA_INTEGER) givenYear = year;

  Outcome outcome{ColumnStore(kept, std::move(columns))};
  decode(path, givenYear, keep_going, outcome);
  Rcpp::List result = Rcpp::List::create(
      Rcpp::Named("complete") = outcome.complete,
      Rcpp::Named("failure") = outcome.failure ? Rcpp::wrap(*outcome.failure) : R_NilValue,
      Rcpp::Named("warnings") = outcome.warnings);
  if (outcome.failure && !(keep_going && outcome.salvaged)) return result;

  Rcpp::List tables, schemas;
  Rcpp::CharacterVector names;
  std::vector<Frame> frames;
  makeRoomForFrames(outcome.store);
  for (const survey::FormatResult& formatResult : outcome.results) {
    const unsigned format = formatResult.format;
    auto& table = outcome.store.tables()[format];
    if (!table) continue;
    names.push_back(std::string(survey::formatName(format)));
    frames.push_back(startFrame(*table));
    schemas.push_back(schemaFrame(formatResult, outcome.store.addresses()));
  }
  for (Frame& frame : frames) {
    tables.push_back(finishFrame(frame));
    outcome.store.tables()[frame.table->format()].reset();
  }
  giveMemoryBack();
  tables.attr("names") = names;
  schemas.attr("names") = names;
  result["tables"] = tables;
  result["schema"] = schemas;
  result["rejects"] = rejectsFrame(outcome.rejects);
  result["year"] = outcome.year;
  return result;
}
