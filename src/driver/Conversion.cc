#include "driver/Conversion.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>

#include "core/Error.h"
#include "core/OutputFile.h"
#include "driver/Chain.h"
#include "driver/CommandLine.h"
#include "driver/FirstFailure.h"
#include "driver/Interruption.h"
#include "driver/RunTimer.h"
#include "driver/StandardStreams.h"
#include "driver/Usage.h"
#include "input/InputSource.h"
#include "tables/FormatTables.h"

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

}  // namespace

std::int32_t yearFromInputPath(const std::string& inputPath) {
  const std::size_t len = inputPath.size();
  if (len < 6) {
    throwMessage("input path ", "\"", inputPath, "\"", " is too short to carry the survey year");
  }
  const char yearField[3] = {inputPath[len - 6], inputPath[len - 5], '\0'};
  return std::atoi(yearField);
}

void runConversion(int argc, const char* const* argv) {
  RunTimer timer;
  FirstFailure failure;
  std::optional<OutputFile> output;
  std::optional<OutputFile> metaData;
  std::optional<FormatTables> tables;
  Chain chain;
  failure.attempt([&] {
    const CommandLine commandLine = parseCommandLine(argc, argv);
    checkOperands(commandLine);
    const std::string& inputPath = commandLine.operands[0];
    const std::string& outputPath = commandLine.operands[1];
    const std::string metaDataPath = outputPath + ".meta.txt";
    const InputKind kind = inputKindOf(inputPath);
    const std::int32_t year =
        commandLine.year ? *commandLine.year : yearFromInputPath(yearNameOf(inputPath, kind));
    refuseToOverwriteInput(inputPath, outputPath);
    refuseToOverwriteInput(inputPath, metaDataPath);
    if (commandLine.tables) {
      for (const std::string& path : FormatTables::pathsFor(outputPath)) {
        refuseToOverwriteInput(inputPath, path);
      }
    }
    output.emplace(outputPath);
    metaData.emplace(metaDataPath);
    if (commandLine.tables) chain.writeTablesTo(&tables.emplace(outputPath));
    chain.buildAndDrain(inputPath, kind, year, output->stream(), metaData->stream());
  });
  chain.tearDown(failure);
  // A run that failed leaves a file it never wrote to as it found it.
  const bool complete = !failure.any();
  if (metaData) failure.attempt([&] { metaData->finish(complete); });
  if (output) failure.attempt([&] { output->finish(complete); });
  if (tables) tables->finish(complete, failure);
  failure.attempt(throwIfInterrupted);
  failure.attempt(checkStandardOutput);
  // Leaving this scope, also by the failure, destroys the timer, whose line
  // thus precedes the guard's report.
  failure.rethrowIfAny();
}

int runGuarded(int argc, const char* const* argv) {
  try {
    if (answerInformationRequest(parseCommandLine(argc, argv), std::cout)) {
      checkStandardOutput();
      return 0;
    }
    runConversion(argc, argv);
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "Caught std::exception whose 'what()' output appears below." << std::endl
              << e.what() << std::endl;
  } catch (...) {
    std::cerr << "Caught some kind of exception other than std::exception." << std::endl;
  }
  const int signalNumber = signalThatStoppedTheRun();
  return signalNumber != 0 ? 128 + signalNumber : 1;
}
