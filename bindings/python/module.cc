// The extension behind the survey_decoder package: a Reader pulls records
// from the library and fills per-format column buffers; survey_decoder/
// __init__.py turns what it hands over into DataFrames.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "FormatTable.h"
#include "survey_decoder.h"

namespace py = pybind11;

namespace {

// How many records pass between two looks at pending signals (Ctrl-C).
constexpr std::uint64_t kSignalInterval = 4096;
// The longest wait for the decoding thread between two such looks.
constexpr std::chrono::milliseconds kPatience{100};
// The name a memory buffer takes in messages and for its year: that of
// standard input, the other input without a name.
constexpr const char* kBufferName = "-";

// Lines written from any thread, taken whole from another.
class LineCollector : public std::streambuf {
 public:
  // The lines complete so far, each with its line end, and forgets them.
  std::string take() {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t end = text_.rfind('\n');
    if (end == std::string::npos) return {};
    std::string lines = text_.substr(0, end + 1);
    text_.erase(0, end + 1);
    return lines;
  }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    std::lock_guard<std::mutex> lock(mutex_);
    text_.push_back(traits_type::to_char_type(c));
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::lock_guard<std::mutex> lock(mutex_);
    text_.append(s, static_cast<std::size_t>(n));
    return n;
  }

 private:
  std::mutex mutex_;
  std::string text_;
};

py::object rejectRow(const survey::RejectedStretch& stretch) {
  return py::make_tuple(stretch.linesBefore, stretch.startOffset, stretch.resumeOffset,
                        stretch.records, stretch.message, stretch.firstBytes);
}

// One decode, pulled a chunk of records at a time. Holds the input buffer (for
// bytes) and the decoder; after a failure, an interruption or the end it holds
// neither.
class Reader {
 public:
  Reader(const py::object& source, std::optional<std::int32_t> year, bool keepGoing,
         std::optional<std::vector<unsigned>> formats,
         std::optional<std::vector<std::uint32_t>> columns, bool typeByValues)
      : typeByValues_(typeByValues), missing_(py::module_::import("pandas").attr("NA")) {
    survey::Options options;
    options.year = year;
    options.keepGoing = keepGoing;
    options.schemas = true;
    options.metaData = &metaData_;
    options.report = &report_;
    options.warnings = &warnings_;
    if (keepGoing) {
      // As the command line's tables do: a record the table has no column for is
      // one more rejected record.
      options.check = [](const survey::Record& record) { survey::checkFitsTable(record); };
    }
    // Called on the pump's thread.
    options.rejected = [this](const survey::RejectedStretch& stretch) {
      std::lock_guard<std::mutex> lock(stretchesMutex_);
      stretches_.push_back(stretch);
    };
    if (py::isinstance<py::str>(source)) {
      decoder_.emplace(survey::Decoder::open(source.cast<std::string>(), std::move(options)));
    } else {
      buffer_ = std::make_unique<py::buffer_info>(source.cast<py::buffer>().request());
      const auto* bytes = static_cast<const unsigned char*>(buffer_->ptr);
      const auto size = static_cast<std::size_t>(buffer_->size * buffer_->itemsize);
      decoder_.emplace(survey::Decoder::openBuffer({bytes, size}, kBufferName, std::move(options)));
    }
    try {
      year_ = decoder_->year();
      plan(survey::formatsOfYear(year_), formats, columns);
    } catch (const survey::DecodeError&) {
      // An input the decoder cannot start on (no year in its name, a year not
      // handled) fails its first record with the command line's message.
      decoder_->next(record_);
      throw;
    }
  }

  ~Reader() { close(); }

  std::int32_t year() const { return year_; }

  // The lines of the warnings issued so far and not yet taken.
  std::string takeWarnings() { return warningLines_.take(); }

  // [(format, [(address, type)])] for every table filled, in format order.
  py::list columns() const {
    py::list result;
    for (const auto& [format, plan] : plans_) {
      py::list columns;
      for (const ColumnPlan& column : plan) {
        columns.append(
            py::make_tuple(column.address, std::string(column.type ? 1 : 0, column.type)));
      }
      result.append(py::make_tuple(format, columns));
    }
    return result;
  }

  // Decodes up to `limit` records (0: all) and hands them over: a dict with
  // "tables" (format -> FormatTable::release()), "rejects" (the stretches
  // before the last record handed over, all that remain at the end) and,
  // once the decode has ended, "end": the run's results.
  py::dict read(std::uint64_t limit) {
    if (!decoder_) throw std::logic_error("the decode has ended");
    if (!pump_) pump_ = std::make_unique<survey::RecordPump>(*decoder_);
    std::uint64_t taken = 0;
    std::uint64_t lastLine = 0;
    bool ended = false;
    try {
      while (limit == 0 || taken < limit) {
        // Waits without the GIL, looking for Ctrl-C between slices.
        while (!pump_->ready()) {
          bool ready = false;
          {
            py::gil_scoped_release unlocked;
            ready = pump_->wait(kPatience);
          }
          if (!ready && PyErr_CheckSignals() != 0) throw py::error_already_set();
        }
        const survey::Record* record = pump_->next();
        if (record == nullptr) {
          ended = true;
          break;
        }
        ++taken;
        if (++pulled_ % kSignalInterval == 0 && PyErr_CheckSignals() != 0) {
          throw py::error_already_set();
        }
        survey::checkFitsTable(*record, "; keep_going=True skips such records");
        lastLine = record->line();
        FormatTable* table =
            record->format() < tables_.size() ? tables_[record->format()].get() : nullptr;
        if (table != nullptr) table->add(*record);
      }
    } catch (...) {
      close();
      throw;
    }
    py::dict result;
    py::dict tables;
    for (unsigned format = 0; format < tables_.size(); ++format) {
      if (tables_[format]) tables[py::int_(format)] = tables_[format]->release(typeByValues_);
    }
    result["tables"] = tables;
    if (ended) pump_.reset();
    result["rejects"] = takeStretches(ended ? UINT64_MAX : lastLine);
    if (ended) result["end"] = end();
    return result;
  }

 private:
  void plan(const std::vector<survey::FormatColumns>& layouts,
            const std::optional<std::vector<unsigned>>& formats,
            const std::optional<std::vector<std::uint32_t>>& columns) {
    tables_.resize(survey::kFormatCount);
    for (const survey::FormatColumns& layout : layouts) {
      if (formats && std::find(formats->begin(), formats->end(), layout.format) == formats->end()) {
        continue;
      }
      std::vector<ColumnPlan> plan;
      auto add = [&](std::uint32_t address) {
        if (address >= 1 && address <= layout.width)
          plan.push_back({address, layout.types[address]});
      };
      if (columns) {
        for (std::uint32_t address : *columns) add(address);
      } else {
        for (std::uint32_t address = 1; address <= layout.width; ++address) add(address);
      }
      tables_[layout.format] = std::make_unique<FormatTable>(layout.width, plan, missing_.ptr());
      plans_.emplace_back(layout.format, std::move(plan));
    }
  }

  // The stretches noted so far that lie before line `line`, as rows.
  py::list takeStretches(std::uint64_t line) {
    std::lock_guard<std::mutex> lock(stretchesMutex_);
    py::list rows;
    auto later = stretches_.begin();
    for (; later != stretches_.end() && later->linesBefore < line; ++later) {
      rows.append(rejectRow(*later));
    }
    stretches_.erase(stretches_.begin(), later);
    return rows;
  }

  // Finishes the decode (a failure at its end raises) and gives its results.
  py::dict end() {
    try {
      decoder_->finish();
    } catch (...) {
      close();
      throw;
    }
    py::dict end;
    end["complete"] = decoder_->complete();
    py::list results;
    for (const survey::FormatResult& result : decoder_->results()) {
      results.append(py::make_tuple(result.format, result.records, result.schema));
    }
    end["results"] = results;
    end["rejected_records"] = decoder_->rejectedRecords();
    end["statistics"] = report_.str();
    end["metadata"] = metaData_.str();
    decoder_.reset();
    buffer_.reset();
    return end;
  }

  // Ends the decode without its results, whatever state it is in.
  void close() noexcept {
    pump_.reset();
    if (decoder_) {
      try {
        decoder_->finish();
      } catch (...) {
      }
      decoder_.reset();
    }
    buffer_.reset();
  }

  bool typeByValues_;
  std::int32_t year_ = 0;
  std::uint64_t pulled_ = 0;  // records, over every chunk
  py::object missing_;
  std::ostringstream metaData_;
  std::ostringstream report_;
  LineCollector warningLines_;
  std::ostream warnings_{&warningLines_};  // written on the pump's thread
  std::mutex stretchesMutex_;
  std::vector<survey::RejectedStretch> stretches_;  // in order, not yet handed over
  std::unique_ptr<py::buffer_info> buffer_;
  std::optional<survey::Decoder> decoder_;
  survey::Record record_;                     // the first, for a decode that cannot start
  std::unique_ptr<survey::RecordPump> pump_;  // once the decode has started
  std::vector<std::unique_ptr<FormatTable>> tables_;
  std::vector<std::pair<unsigned, std::vector<ColumnPlan>>> plans_;
};

}  // namespace

PYBIND11_MODULE(_decoding, m) {
  m.doc() = "The survey_decoder package's compiled part; use survey_decoder itself.";
  py::register_exception<survey::DecodeError>(m, "DecodeError").attr("__doc__") =
      "A survey file could not be decoded; the message is the one the command line reports.";
  m.def("format_names", [] {
    std::vector<std::string> names;
    for (unsigned format = 0; format < survey::kFormatCount; ++format) {
      names.emplace_back(survey::formatName(format));
    }
    return names;
  });
  py::class_<Reader>(m, "Reader")
      .def(py::init<const py::object&, std::optional<std::int32_t>, bool,
                    std::optional<std::vector<unsigned>>, std::optional<std::vector<std::uint32_t>>,
                    bool>(),
           py::arg("source"), py::arg("year"), py::arg("keep_going"), py::arg("formats"),
           py::arg("columns"), py::arg("type_by_values"))
      .def_property_readonly("year", &Reader::year)
      .def("columns", &Reader::columns)
      .def("read", &Reader::read, py::arg("limit"))
      .def("take_warnings", &Reader::takeWarnings);
}
