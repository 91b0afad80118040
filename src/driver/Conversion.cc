#include "driver/Conversion.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <vector>

#include "chain/DecodedRecordWriter.h"
#include "core/Error.h"
#include "core/ExistingOutput.h"
#include "core/FirstFailure.h"
#include "core/Interruption.h"
#include "core/OutputFile.h"
#include "driver/CommandLine.h"
#include "driver/RunTimer.h"
#include "driver/StandardStreams.h"
#include "driver/Usage.h"
#include "input/InputSource.h"
#include "recovery/RejectsLog.h"
#include "survey_decoder.h"
#include "tables/FormatTables.h"
#include "viewing/ShowRecord.h"
#include "years/SurveyYear.h"

namespace {

// Writing an output file empties it, so a path that names the input file
// (standard input's file included) would destroy the data while it is read.
void refuseToOverwriteInput(const std::string& inputPath, const std::string& outputPath) {
  const std::string inputFile = inputPath == "-" ? "/dev/stdin" : inputPath;
  std::error_code unknown;
  if (std::filesystem::equivalent(inputFile, outputPath, unknown)) {
    throwMessage("Output file", " ", "\"", outputPath, "\"",
                 " is the input file; refusing to overwrite it");
  }
}

// After a complete run no table, schema or rejects file of an earlier run is
// left beside OUTPUT to describe other lines; after a failed one no table of
// its own is left to pass for a whole one. Only the decoder's own files go.
void settleDerivedFiles(const std::string& outputPath, const std::string& rejectsPath,
                        bool complete, const FormatTables* tables, bool wroteRejects) {
  if (!complete) {
    if (tables != nullptr) tables->removeWritten();
    return;
  }
  FormatTables::removeUnwritten(outputPath, tables);
  if (!wroteRejects) {
    removeDecoderFile(rejectsPath,
                      [](std::istream& in) { return streamStartsWith(in, RejectsLog::kHeader); });
  }
}

}  // namespace

std::int32_t surveyYearOf(const CommandLine& commandLine, InputKind kind) {
  if (commandLine.year) return *commandLine.year;
  return yearFromInputPath(yearNameOf(commandLine.operands[0], kind));
}

int runShowRecord(const CommandLine& commandLine) {
  checkOperands(commandLine);
  const std::string& inputPath = commandLine.operands[0];
  const InputKind kind = inputKindOf(inputPath);
  const std::uint64_t number = *commandLine.showRecord;
  const std::uint64_t rejected = showRecord(inputPath, kind, surveyYearOf(commandLine, kind),
                                            number, commandLine.keepGoing, std::cout);
  checkStandardOutput();
  if (rejected == 0) return 0;
  std::cerr << rejected << " records rejected before record " << number << std::endl;
  return 2;
}

// Writes every record of `decoder` to `out` as a line and, with `tables`,
// as a row of its table; the lines before a failure stay in the file.
void writeRecords(survey::Decoder& decoder, std::ostream& out, FormatTables* tables) {
  LineWriter lines(out);
  survey::Record record;
  try {
    while (decoder.next(record)) {
      const std::string_view text = lines.addAccepted(record.typed());
      if (tables != nullptr) tables->add(record.typed(), record.line(), text);
    }
  } catch (...) {
    lines.write();
    throw;
  }
  lines.write();
  out.flush();
}

int runConversion(int argc, const char* const* argv) {
  RunTimer timer;
  FirstFailure failure;
  std::optional<OutputFile> output;
  std::optional<OutputFile> metaData;
  std::optional<OutputFile> rejectsFile;
  std::string outputPath;
  std::string rejectsPath;
  std::optional<FormatTables> tables;
  std::optional<survey::Decoder> decoder;
  failure.attempt([&] {
    const CommandLine commandLine = parseCommandLine(argc, argv);
    checkOperands(commandLine);
    const std::string& inputPath = commandLine.operands[0];
    outputPath = commandLine.operands[1];
    const std::string metaDataPath = outputPath + ".meta.txt";
    const InputKind kind = inputKindOf(inputPath);
    const std::int32_t year = surveyYearOf(commandLine, kind);
    rejectsPath = outputPath + ".rejects.tsv";
    // Every file the run may write, in the order of the refusals below.
    std::vector<std::string> paths = {outputPath, metaDataPath};
    if (commandLine.keepGoing) paths.push_back(rejectsPath);
    if (commandLine.tables) {
      for (std::string& path : FormatTables::pathsFor(outputPath)) paths.push_back(std::move(path));
    }
    for (const std::string& path : paths) refuseToOverwriteInput(inputPath, path);
    for (const std::string& path : paths) refuseToOverwriteForeignFile(path);
    output.emplace(outputPath);
    metaData.emplace(metaDataPath);
    survey::Options options;
    options.year = year;
    options.keepGoing = commandLine.keepGoing;
    options.metaData = &metaData->stream();
    options.report = &std::cout;
    // Opened at the first rejected record only.
    options.rejected = [&](const survey::RejectedStretch& stretch) {
      if (!rejectsFile) {
        rejectsFile.emplace(rejectsPath);
        rejectsFile->stream() << RejectsLog::kHeader;
      }
      RejectsLog::writeRow({stretch.linesBefore, stretch.startOffset, stretch.records,
                            stretch.message, stretch.firstBytes, stretch.resumeOffset},
                           rejectsFile->stream());
    };
    if (commandLine.tables) {
      FormatTables& written = tables.emplace(outputPath);
      options.schemas = true;
      options.check = [&written](const survey::Record& record) {
        written.check(record.typed(), record.line());
      };
    }
    decoder.emplace(survey::Decoder::open(inputPath, options));
    writeRecords(*decoder, output->stream(), tables ? &*tables : nullptr);
  });
  if (decoder) {
    if (tables) {
      failure.attempt([&] {
        for (const survey::FormatResult& result : decoder->results()) {
          tables->writeSchema(result.format, result.schemaText);
        }
      });
    }
    failure.attempt([&] { decoder->finish(); });
  }
  // A run that failed leaves a file it never wrote to as it found it.
  const bool complete = !failure.any();
  if (metaData) failure.attempt([&] { metaData->finish(complete); });
  if (output) failure.attempt([&] { output->finish(complete); });
  if (tables) tables->finish(complete, failure);
  if (rejectsFile) failure.attempt([&] { rejectsFile->finish(complete); });
  failure.attempt(throwIfInterrupted);
  failure.attempt(checkStandardOutput);
  if (output) {
    settleDerivedFiles(outputPath, rejectsPath, !failure.any(), tables ? &*tables : nullptr,
                       rejectsFile.has_value());
  }
  const std::uint64_t rejected = decoder ? decoder->rejectedRecords() : 0;
  if (rejected > 0) {
    std::cerr << rejected << " records rejected; see " << rejectsPath << std::endl;
  }
  // Leaving this scope, also by the failure, destroys the timer, whose line
  // thus precedes the guard's report.
  failure.rethrowIfAny();
  return rejected > 0 ? 2 : 0;
}

int runGuarded(int argc, const char* const* argv) {
  try {
    const CommandLine commandLine = parseCommandLine(argc, argv);
    if (answerInformationRequest(commandLine, std::cout)) {
      checkStandardOutput();
      return 0;
    }
    if (commandLine.showRecord) return runShowRecord(commandLine);
    return runConversion(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "Caught std::exception whose 'what()' output appears below." << std::endl
              << e.what() << std::endl;
  } catch (...) {
    std::cerr << "Caught some kind of exception other than std::exception." << std::endl;
  }
  const int signalNumber = signalThatStoppedTheRun();
  return signalNumber != 0 ? 128 + signalNumber : 1;
}
