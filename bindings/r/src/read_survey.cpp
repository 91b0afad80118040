// The R side of read_survey(): the library's pump decodes the records on a
// second thread while this one files them in a ColumnStore. Then the data
// frames are made, and filled run of rows by run of rows: R's strings on this
// thread while the second copies the numbers, which needs no R.

#include <Rcpp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
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

// Records between two looks for an interrupt from the R session, and the
// longest wait for the pump between two looks.
constexpr std::uint64_t kInterruptEvery = 4096;
constexpr std::chrono::milliseconds kPatience{100};
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
  std::uint64_t delivered = 0;  // records the decoder delivered
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

// Files the pump's records in the store until the end of the data. Throws
// what the pump or the store throws, an interrupt from the R session
// included.
void storeRecords(survey::Decoder& decoder, std::string_view advice, Outcome& outcome) {
  survey::RecordPump pump(decoder);
  for (;;) {
    while (!pump.wait(kPatience)) Rcpp::checkUserInterrupt();
    const survey::Record* record = pump.next();
    if (record == nullptr) return;
    if (++outcome.delivered % kInterruptEvery == 0) Rcpp::checkUserInterrupt();
    outcome.store.add(*record, advice);
  }
}

// Decodes `path` into `outcome`; a failure ends the decode and is kept in
// outcome.failure. The decoder and its pump are taken down before this
// returns, however it returns (an R interrupt included, which Rcpp raises as
// an exception).
void decode(const std::string& path, std::optional<std::int32_t> year, bool keepGoing,
            Outcome& outcome) {
  survey::Options options;
  options.year = year;
  options.keepGoing = keepGoing;
  options.schemas = true;
  // Called on the pump's thread; read here once it has stopped.
  options.rejected = [&outcome](const survey::RejectedStretch& stretch) {
    outcome.rejects.push_back(stretch);
  };
  // A record with a value past its table's last column is a damaged one, as
  // under -k --tables: the data frames have no column for it.
  if (keepGoing) {
    options.check = [](const survey::Record& record) { survey::checkFitsTable(record); };
  }
  const std::string advice = keepGoing ? "" : "; keep_going = TRUE skips such records";
  // The warnings (a file size other than the year's) are the R session's to
  // give, not lines on its standard error.
  std::ostringstream warnings;
  options.warnings = &warnings;

  survey::Decoder decoder = survey::Decoder::open(path, std::move(options));
  try {
    storeRecords(decoder, advice, outcome);
    decoder.finish();
  } catch (const survey::DecodeError& error) {
    outcome.failure = error.what();
    try {
      decoder.finish();
    } catch (const survey::DecodeError&) {
      // A failure of the ends, after the one kept.
    }
  }
  outcome.salvaged = outcome.delivered != 0 || !outcome.rejects.empty();
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

void giveMemoryBack() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
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

// A table's data frame as it is built: its list, protected while it lives,
// and where each number column's values go.
struct Frame {
  StoredTable* table;
  Rcpp::List list;
  std::vector<double*> numbers;  // by column; null for the others
};

// Makes the table's data frame: its `record` column, doubles for numbers,
// characters for texts (filled later), and logical NA for a column that
// never held a value, as R's readers make an empty column (half the memory
// of a number column, and nothing for the garbage collector to walk).
Frame makeFrame(StoredTable& table) {
  const std::vector<std::uint32_t>& addresses = table.addresses();
  const std::vector<char>& types = table.types();
  const auto rows = static_cast<R_xlen_t>(table.rows());
  Frame frame{&table, Rcpp::List(addresses.size() + 1), std::vector<double*>(types.size())};
  Rcpp::CharacterVector names(addresses.size() + 1);
  frame.list[0] = Rcpp::NumericVector(table.lines().begin(), table.lines().end());
  names[0] = "record";
  for (std::size_t column = 0; column < addresses.size(); ++column) {
    names[column + 1] = "a" + std::to_string(addresses[column]);
    const SEXPTYPE type = types[column] == 's' ? STRSXP : types[column] == 0 ? LGLSXP : REALSXP;
    SET_VECTOR_ELT(frame.list, column + 1, allocate(type, rows));
    SEXP made = VECTOR_ELT(frame.list, column + 1);
    if (type == LGLSXP) std::fill(LOGICAL(made), LOGICAL(made) + rows, NA_LOGICAL);
    if (type == REALSXP) frame.numbers[column] = REAL(made);
  }
  frame.list.attr("names") = names;
  return frame;
}

// A run of rows of one frame, freed once both its numbers and its texts are
// copied, by whichever copy ends last.
struct Run {
  const Frame* frame;
  std::unique_ptr<StoredChunk>* chunk;
  std::atomic<int> copiesLeft{2};

  void copied() {
    if (copiesLeft.fetch_sub(1) == 1) chunk->reset();
  }
};

void copyNumbers(Run& run) {
  const StoredChunk& chunk = **run.chunk;
  const std::vector<char>& types = run.frame->table->types();
  for (std::size_t column = 0; column < types.size(); ++column) {
    double* out = run.frame->numbers[column];
    if (out != nullptr) fillNumberColumn(out + chunk.firstRow(), chunk, column, types[column]);
  }
  run.copied();
}

void copyTexts(Run& run) {
  const StoredChunk& chunk = **run.chunk;
  const std::vector<char>& types = run.frame->table->types();
  for (std::size_t column = 0; column < types.size(); ++column) {
    if (types[column] == 's') fillTexts(VECTOR_ELT(run.frame->list, column + 1), chunk, column);
  }
  run.copied();
}

// Copies every run of rows into the frames, freeing each run once copied:
// this thread makes the strings, which only R's thread may, while a second
// copies the numbers (mostly the first touch of the vectors' pages, and no
// R), then helps with the numbers left.
void fillFrames(std::vector<Frame>& frames) {
  std::vector<std::unique_ptr<Run>> runs;
  for (const Frame& frame : frames) {
    for (auto& chunk : frame.table->chunks()) {
      runs.push_back(std::make_unique<Run>());
      runs.back()->frame = &frame;
      runs.back()->chunk = &chunk;
    }
  }
  std::atomic<std::size_t> nextNumbers{0};
  std::atomic<bool> abandoned{false};
  auto numbers = [&] {
    for (std::size_t k; !abandoned && (k = nextNumbers.fetch_add(1)) < runs.size();) {
      copyNumbers(*runs[k]);
      if ((k + 1) % kTrimEvery == 0) giveMemoryBack();
    }
  };
  std::thread helper(numbers);
  // Joins the helper however this returns: an R error in making a string
  // unwinds these frames as an exception. Once this thread's numbers() has
  // returned, every run is taken, so stopping the helper loses nothing.
  struct Joined {
    std::thread& thread;
    std::atomic<bool>& abandoned;
    ~Joined() {
      abandoned = true;
      thread.join();
    }
  } joined{helper, abandoned};
  for (auto& run : runs) copyTexts(*run);
  numbers();
}

// Grows R's vector heap to hold every column makeFrame() makes. R grows it by
// a fifth at each garbage collection that finds it short, so making thousands
// of vectors one by one would cost a dozen full collections. One vector of
// that size, dropped and collected, costs two, made before any string exists
// for them to walk; it is never written, so it takes no memory.
void makeRoomForFrames(ColumnStore& store) {
  // The share of room to spare: R shrinks the heap by a fifth at the
  // collection that frees the vector.
  constexpr double kSpare = 1.25;
  double bytes = 0;
  for (const auto& table : store.tables()) {
    if (!table) continue;
    const std::vector<char>& types = table->types();
    const auto empty = static_cast<double>(std::count(types.begin(), types.end(), 0));
    const auto others = static_cast<double>(types.size()) - empty;
    bytes += kSpare * static_cast<double>(table->rows()) * (8.0 * others + 4.0 * empty);
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
    frames.push_back(makeFrame(*table));
    schemas.push_back(schemaFrame(formatResult, outcome.store.addresses()));
  }
  fillFrames(frames);
  for (Frame& frame : frames) {
    makeDataFrame(frame.list, frame.table->rows());
    tables.push_back(frame.list);
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
