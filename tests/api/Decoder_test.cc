#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "chain/DecodedRecordWriter.h"
#include "e2e/RunProgram.h"
#include "recovery/RejectsLog.h"
#include "survey_decoder.h"

namespace {

// What a decode through the library leaves, in the command line's forms.
struct LibraryRun {
  std::string output, metaData, report, rejects, failure;
  std::vector<survey::Record> records;  // only when asked for
};

LibraryRun decodeWithLibrary(survey::Decoder decoder, std::ostringstream& meta,
                             std::ostringstream& report, std::ostringstream& rejects,
                             bool keepRecords = false,
                             std::vector<survey::FormatResult>* results = nullptr) {
  LibraryRun run;
  std::ostringstream output;
  LineWriter lines(output);
  try {
    survey::Record record;
    while (decoder.next(record)) {
      lines.addAccepted(record.typed());
      if (keepRecords) run.records.push_back(std::exchange(record, survey::Record()));
    }
    lines.write();
    decoder.finish();
    if (results != nullptr) *results = decoder.results();
  } catch (const survey::DecodeError& e) {
    lines.write();
    run.failure = e.what();
    decoder.finish();
  }
  run.output = output.str();
  run.metaData = meta.str();
  run.report = report.str();
  run.rejects = rejects.str();
  return run;
}

struct Streams {
  std::ostringstream meta, report, rejects;
  survey::Options options(bool keepGoing = false) {
    survey::Options o;
    o.keepGoing = keepGoing;
    o.metaData = &meta;
    o.report = &report;
    o.rejected = [this](const survey::RejectedStretch& s) {
      if (rejects.str().empty()) rejects << RejectsLog::kHeader;
      RejectsLog::writeRow(
          {s.linesBefore, s.startOffset, s.records, s.message, s.firstBytes, s.resumeOffset},
          rejects);
    };
    return o;
  }
};

// The second line of the command line's report of a failure: its message.
std::string messageOf(const RunResult& cli) {
  const std::size_t first = cli.err.find('\n', cli.err.find("appears below."));
  return cli.err.substr(first + 1, cli.err.find('\n', first + 1) - first - 1);
}

const char* const kSampleYears[] = {"70", "76", "78", "80", "88"};

TEST(Decoder, GivesTheCommandLinesLinesMetadataAndReportsAndRecordsThatTileTheFile) {
  for (const char* year : kSampleYears) {
    ScratchDir dir;
    const std::string name = std::string("s") + year + ".dat";
    writeSampleFile(dir, year, name, "40", {"--values", "wide"});
    const RunResult cli = runDecoder({"--tables", name, "out"}, dir.path());
    ASSERT_EQ(cli.exitStatus, 0) << cli.err;
    Streams streams;
    survey::Options options = streams.options();
    options.schemas = true;
    survey::Decoder decoder = survey::Decoder::open((dir / name).string(), options);
    std::vector<survey::FormatResult> results;
    const LibraryRun lib = decodeWithLibrary(std::move(decoder), streams.meta, streams.report,
                                             streams.rejects, true, &results);
    EXPECT_FALSE(results.empty()) << year;
    for (const survey::FormatResult& result : results) {
      std::string schema = "column\taddress\ttype\tcolumn_type\tconstant\tmin\tmax\n";
      for (const auto& row : result.schema) {
        for (std::size_t k = 0; k < row.size(); ++k)
          schema += row[k] + (k + 1 < row.size() ? "\t" : "\n");
      }
      const std::string name = std::string(survey::formatName(result.format));
      EXPECT_EQ(schema, readFile(dir / ("out." + name + ".schema.tsv"))) << year << " " << name;
    }
    EXPECT_EQ(lib.failure, "") << year;
    EXPECT_EQ(lib.output, readFile(dir / "out")) << year;
    EXPECT_EQ(lib.metaData, readFile(dir / "out.meta.txt")) << year;
    EXPECT_EQ(lib.report, cli.out) << year;

    const std::vector<survey::FormatColumns> formats = survey::formatsOfYear(std::stoi(year));
    std::uint64_t next = 0;
    for (std::size_t k = 0; k < lib.records.size(); ++k) {
      const survey::Record& record = lib.records[k];
      EXPECT_EQ(record.line(), k + 1);
      EXPECT_EQ(record.startOffset(), next) << year << " line " << k + 1;
      EXPECT_GT(record.endOffset(), record.startOffset());
      next = record.endOffset();
      const survey::FormatColumns* columns = nullptr;
      for (const auto& f : formats) columns = f.format == record.format() ? &f : columns;
      ASSERT_NE(columns, nullptr) << year;
      EXPECT_EQ(columns->width, record.tableWidth());
      for (const survey::Cell& cell : record.cells()) {
        ASSERT_EQ(columns->types.at(cell.address), cell.type) << year << " a" << cell.address;
      }
    }
    EXPECT_LE(next, std::filesystem::file_size(dir / name)) << year;
  }
}

TEST(Decoder, ReadsBuffersPlainOrGzipAsItReadsTheFile) {
  ScratchDir dir;
  writeSampleFile(dir, "80", "s80.dat", "30");
  ASSERT_EQ(shell("gzip -c s80.dat > s80.dat.gz", dir.path()).exitStatus, 0);
  Streams fromFile;
  const std::string expected =
      decodeWithLibrary(survey::Decoder::open((dir / "s80.dat").string(), fromFile.options()),
                        fromFile.meta, fromFile.report, fromFile.rejects)
          .output;
  for (const char* name : {"s80.dat", "s80.dat.gz"}) {
    const std::string bytes = readFile(dir / name);
    Streams streams;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const LibraryRun run = decodeWithLibrary(
        survey::Decoder::openBuffer({data, bytes.size()}, "memory80.dat", streams.options()),
        streams.meta, streams.report, streams.rejects);
    EXPECT_EQ(run.failure, "") << name;
    EXPECT_EQ(run.output, expected) << name;
  }
}

TEST(Decoder, FailsWithTheCommandLinesMessage) {
  struct Case {
    const char* input;
    std::vector<std::string> options;
    std::optional<std::int32_t> year;
  };
  ScratchDir dir;
  writeSampleFile(dir, "80", "s80.dat", "30");
  writeFile(dir / "cut80.dat", readFile(dir / "s80.dat").substr(0, 5000));
  writeFile(dir / "s75.dat", readFile(dir / "s80.dat"));
  for (const Case& c : {Case{"missing80.dat", {}, {}}, Case{"cut80.dat", {}, {}},
                        Case{"s80.dat", {"--year", "76"}, 76}, Case{"s75.dat", {}, {}},
                        Case{"s75.dat", {"--keep-going"}, {}}}) {
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {c.input, "out"});
    const RunResult cli = runDecoder(args, dir.path());
    ASSERT_NE(cli.exitStatus, 0) << c.input;
    Streams streams;
    survey::Options options = streams.options(!c.options.empty() && c.options[0] == "--keep-going");
    options.year = c.year;
    const LibraryRun run =
        decodeWithLibrary(survey::Decoder::open((dir / c.input).string(), options), streams.meta,
                          streams.report, streams.rejects);
    const std::string expected = messageOf(cli);
    EXPECT_EQ(run.failure, std::regex_replace(expected, std::regex("\"" + std::string(c.input)),
                                              "\"" + (dir / c.input).string()))
        << c.input;
    EXPECT_EQ(run.report, cli.out) << c.input;
  }
}

TEST(Decoder, SkippingDamageRejectsWhatTheCommandLineRejects) {
  ScratchDir dir;
  writeSampleFile(dir, "76", "s76.dat", "40");
  std::string bytes = readFile(dir / "s76.dat");
  for (std::size_t at = 700; at < bytes.size(); at += 9001) bytes[at] ^= 0x5A;
  writeFile(dir / "d76.dat", bytes);
  const RunResult cli = runDecoder({"-k", "d76.dat", "out"}, dir.path());
  ASSERT_EQ(cli.exitStatus, 2) << cli.err;
  Streams streams;
  const LibraryRun run =
      decodeWithLibrary(survey::Decoder::open((dir / "d76.dat").string(), streams.options(true)),
                        streams.meta, streams.report, streams.rejects);
  EXPECT_EQ(run.failure, "");
  EXPECT_EQ(run.output, readFile(dir / "out"));
  EXPECT_EQ(run.rejects, readFile(dir / "out.rejects.tsv"));
}

}  // namespace
