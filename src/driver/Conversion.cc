#include "driver/Conversion.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>

#include "core/Error.h"
#include "core/OutputFile.h"
#include "driver/Chain.h"
#include "driver/FirstFailure.h"
#include "driver/RunTimer.h"
#include "driver/Usage.h"

namespace {

// Creating an output file empties it, so a path that names the input file
// would destroy the data before it is read.
void refuseToOverwriteInput(const std::string& inputPath, const std::string& outputPath) {
  std::error_code unknown;
  if (std::filesystem::equivalent(inputPath, outputPath, unknown)) {
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
  Chain chain;
  failure.attempt([&] {
    if (argc < 3) throwMessage("argc < 3 (argc == ", argc, ")");
    const std::string inputPath = argv[1];
    const std::string outputPath = argv[2];
    const std::string metaDataPath = outputPath + ".meta.txt";
    const std::int32_t year = yearFromInputPath(inputPath);
    refuseToOverwriteInput(inputPath, outputPath);
    refuseToOverwriteInput(inputPath, metaDataPath);
    output.emplace(outputPath);
    metaData.emplace(metaDataPath);
    chain.buildAndDrain(inputPath, year, output->stream(), metaData->stream());
  });
  chain.tearDown(failure);
  if (metaData) failure.attempt([&] { metaData->finish(); });
  if (output) failure.attempt([&] { output->finish(); });
  // Leaving this scope, also by the failure, destroys the timer, whose line
  // thus precedes the guard's report.
  failure.rethrowIfAny();
}

int runGuarded(int argc, const char* const* argv) {
  try {
    if (answerInformationRequest(argc, argv, std::cout)) return 0;
    runConversion(argc, argv);
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "Caught std::exception whose 'what()' output appears below." << std::endl
              << e.what() << std::endl;
  } catch (...) {
    std::cerr << "Caught some kind of exception other than std::exception." << std::endl;
  }
  return 1;
}
