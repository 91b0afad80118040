#include <array>
#include <exception>
#include <iostream>
#include <optional>
#include <utility>

#include "chain/Chain.h"
#include "core/FirstFailure.h"
#include "core/ReportStream.h"
#include "input/InputSource.h"
#include "input/Reader.h"
#include "layouts/Vp.h"
#include "layouts/VpInfo.h"
#include "recovery/RejectsLog.h"
#include "survey_decoder.h"
#include "tables/TableSchema.h"
#include "typing/TypedRecord.h"
#include "typing/ValueFormat.h"
#include "years/ProviderForYear.h"
#include "years/SurveyYear.h"

namespace survey {

namespace {

// Runs `fn`, passing the decoder's failures on as DecodeError with the same
// message. Exceptions of other kinds pass as they are.
template <class Fn>
decltype(auto) translated(Fn&& fn) {
  try {
    return fn();
  } catch (const DecodeError&) {
    throw;
  } catch (const std::exception& e) {
    throw DecodeError(e.what());
  }
}

std::vector<std::vector<std::string>> rowsOf(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::size_t lineStart = 0;
  while (lineStart < text.size()) {
    std::size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    std::vector<std::string> fields;
    for (std::size_t at = lineStart;;) {
      const std::size_t tab = text.find('\t', at);
      if (tab == std::string::npos || tab > lineEnd) {
        fields.emplace_back(text, at, lineEnd - at);
        break;
      }
      fields.emplace_back(text, at, tab - at);
      at = tab + 1;
    }
    rows.push_back(std::move(fields));
    lineStart = lineEnd + 1;
  }
  return rows;
}

}  // namespace

std::string_view formatName(unsigned format) {
  return translated([&] { return recordFormatName(format); });
}

std::string handledYears() {
  return handledYearsText();
}

std::int32_t yearOfPath(const std::string& path) {
  return translated([&] { return yearFromInputPath(yearNameOf(path, inputKindOf(path))); });
}

std::vector<FormatColumns> formatsOfYear(std::int32_t year) {
  return translated([&] {
    std::vector<FormatColumns> formats;
    for (const Vp* layout : layoutsOfYear(year)) {
      FormatColumns columns;
      columns.format = layout->recordFormat();
      columns.width = tableWidth(*layout);
      columns.types = layoutColumnTypes(*layout);
      formats.push_back(std::move(columns));
    }
    return formats;
  });
}

Record::Record() : typed_(std::make_unique<TypedRecord>()) {}
Record::~Record() = default;
Record::Record(Record&&) noexcept = default;
Record& Record::operator=(Record&&) noexcept = default;

std::span<const Cell> Record::cells() const {
  if (!cellsMade_) {
    // Written in place: the wide years' records hold thousands of values.
    cells_.resize(typed_->size());
    Cell* out = cells_.data();
    for (const TypedCell& cell : *typed_) {
      out->address = cell.address;
      if (cell.type == TypedValue::S) {
        out->type = 's';
        out->word = 0;
        out->text = typed_->text(cell);
      } else {
        out->type = typeLetterOf(cell.type);
        out->word = cell.word;
        out->text = {};
      }
      ++out;
    }
    cellsMade_ = true;
  }
  return cells_;
}

struct Decoder::Impl {
  explicit Impl(Options o)
      : options(std::move(o)),
        rejects([this](const RejectsLog::Stretch& stretch) { noteRejected(stretch); }) {}

  ~Impl() {
    // Reports of a decoder taken down without finish() go nowhere.
    ReportTo silenced(discardingStream(), discardingStream());
    drain.reset();
    chain.reset();
  }

  // Routes the stages' reports and warnings as the options say.
  ReportTo reportTo() const {
    return ReportTo(options.report != nullptr ? *options.report : discardingStream(),
                    options.warnings != nullptr ? *options.warnings : std::cerr);
  }

  void noteRejected(const RejectsLog::Stretch& stretch) {
    if (!options.rejected) return;
    RejectedStretch out;
    out.linesBefore = stretch.linesBefore;
    out.startOffset = stretch.start;
    out.resumeOffset = stretch.resumed;
    out.records = stretch.records;
    out.message = stretch.message;
    out.firstBytes = stretch.firstBytes;
    options.rejected(out);
  }

  // Builds the chain on `source` (added to it already), noting a failure for
  // the first next(), as the command line reports it when it starts decoding.
  template <class MakeReader>
  void build(MakeReader&& makeReader) {
    // A stage that fails to link reports as it goes.
    ReportTo reports = reportTo();
    chain.emplace();
    try {
      Reader* reader = makeReader(*chain);
      std::ostream& meta = options.metaData != nullptr ? *options.metaData : discardingStream();
      end = chain->build(reader, year, meta, options.keepGoing ? &rejects : nullptr);
      drain.emplace(end.drain());
      if (drain->skipping()) {
        drain->checkBeforeCounting(*end.checkBeforeCounting,
                                   [this](const TypedRecord&, std::uint64_t line) {
                                     if (!options.check) return;
                                     describe(*current, line);
                                     options.check(*current);
                                   });
      }
    } catch (...) {
      failure = std::current_exception();
    }
  }

  // Sets what `record` tells beside its values, for line `line`.
  void describe(Record& record, std::uint64_t line) {
    const TypedRecord& typed = *record.typed_;
    record.line_ = line;
    record.cellsMade_ = false;
    record.format_ = 0;
    record.width_ = 0;
    if (typed.layout == nullptr) return;
    record.format_ = typed.layout->recordFormat();
    if (record.format_ >= kFormatCount) {
      record.width_ = tableWidth(*typed.layout);
      return;
    }
    // A year has a layout per format, so each layout's width is worked out
    // once.
    LayoutWidth& known = widths[record.format_];
    if (known.layout != typed.layout) known = {typed.layout, tableWidth(*typed.layout)};
    record.width_ = known.width;
  }

  bool next(Record& record) {
    if (failure) std::rethrow_exception(failure);
    if (ended) return false;
    current = &record;
    ReportTo reports = reportTo();
    try {
      if (!drain->next(*record.typed_)) {
        ended = true;
        return false;
      }
      if (drain->printable() < record.typed_->size()) failUnrecognizedType();
    } catch (...) {
      failure = std::current_exception();
      throw;
    }
    describe(record, drain->line());
    const RecordSpan& span = drain->span();
    record.start_ = span.start;
    record.end_ = span.end;
    if (options.schemas && record.typed_->layout != nullptr && record.format_ < kFormatCount) {
      std::optional<TableExtent>& extent = extents[record.format_];
      if (!extent) extent = TableExtent::ofWidth(record.width_);
      if (record.typed_->empty() || record.typed_->lastAddress() <= extent->width) {
        extent->add(*record.typed_, record.line_);
      }
    }
    return true;
  }

  // The results of the records delivered so far; once the chain is taken
  // down, those it held at the end.
  std::vector<FormatResult> currentResults() const {
    if (finished || end.statistics == nullptr) return results;
    std::vector<FormatResult> made;
    for (const auto& [format, statistics] : *end.statistics) {
      FormatResult result;
      result.format = format;
      result.records = statistics.recordCount;
      if (options.schemas && format < kFormatCount && extents[format]) {
        result.schemaText = schemaText(*extents[format], statistics);
        result.schema = rowsOf(result.schemaText);
        result.schema.erase(result.schema.begin());  // the header row
      }
      made.push_back(std::move(result));
    }
    return made;
  }

  void finish() {
    if (finished) return;
    results = currentResults();
    finished = true;
    FirstFailure teardown;
    if (chain) {
      ReportTo reports = reportTo();
      drain.reset();
      chain->tearDown(teardown);
    }
    complete = !failure && !teardown.any() && ended;
    if (teardown.any() && !failure) teardown.rethrowIfAny();
  }

  Options options;
  std::int32_t year = 0;
  RejectsLog rejects;
  std::optional<Chain> chain;
  ChainEnd end;
  std::optional<RecordDrain> drain;
  std::exception_ptr failure;
  bool ended = false;
  bool finished = false;
  bool complete = false;
  Record* current = nullptr;
  // By record format.
  struct LayoutWidth {
    const Vp* layout = nullptr;
    std::uint32_t width = 0;
  };
  std::array<LayoutWidth, kFormatCount> widths;
  std::array<std::optional<TableExtent>, kFormatCount> extents;
  std::vector<FormatResult> results;
};

Decoder::Decoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Decoder::Decoder(Decoder&&) noexcept = default;
Decoder& Decoder::operator=(Decoder&&) noexcept = default;
Decoder::~Decoder() = default;

Decoder Decoder::open(const std::string& path, Options options) {
  auto impl = std::make_unique<Impl>(std::move(options));
  Impl& self = *impl;
  try {
    const InputKind kind = inputKindOf(path);
    self.year = self.options.year ? *self.options.year : yearFromInputPath(yearNameOf(path, kind));
    self.build([&](Chain& chain) { return chain.add<Reader>(path, kind); });
  } catch (...) {
    self.failure = std::current_exception();
  }
  return Decoder(std::move(impl));
}

Decoder Decoder::openBuffer(std::span<const unsigned char> bytes, const std::string& name,
                            Options options) {
  auto impl = std::make_unique<Impl>(std::move(options));
  Impl& self = *impl;
  try {
    self.year = self.options.year ? *self.options.year : yearFromInputPath(name);
    self.build(
        [&](Chain& chain) { return chain.add<Reader>(openMemorySource(bytes, name), name); });
  } catch (...) {
    self.failure = std::current_exception();
  }
  return Decoder(std::move(impl));
}

std::int32_t Decoder::year() const {
  return impl_->year;
}

bool Decoder::next(Record& record) {
  return translated([&] { return impl_->next(record); });
}

void Decoder::finish() {
  translated([&] { impl_->finish(); });
}

bool Decoder::complete() const {
  return impl_->complete;
}

std::vector<FormatResult> Decoder::results() const {
  return impl_->currentResults();
}

std::uint64_t Decoder::rejectedRecords() const {
  return impl_->rejects.rejected();
}

}  // namespace survey
