#ifndef SURVEY_DRIVER_CONVERSION_H_
#define SURVEY_DRIVER_CONVERSION_H_

#include <cstdint>
#include <string>

#include "driver/CommandLine.h"
#include "input/InputSource.h"

// One whole run: checks the command line (see CommandLine), takes the year
// from --year or the input path, refuses every path the run may write that
// names the input or a file the decoder did not write (output path first,
// then the metadata, rejects and table paths), opens the output file and
// OUTPUT.meta.txt, builds and drains the year's chain, then takes everything
// down in order, checks that standard output took every line, settles the
// derived files (a complete run removes the decoder's tables, schemas and
// rejects file it did not write; a failed one the tables it wrote) and
// writes the duration line to standard error. Every step of the teardown runs even after a failure;
// the first failure is raised at the very end, after the duration line.
// With --keep-going, damaged records are skipped and listed in
// OUTPUT.rejects.tsv, and a line before the duration line counts them.
// Returns the exit status of a run that did not fail: 0, or 2 if records
// were rejected.
int runConversion(int argc, const char* const* argv);

// --show-record N INPUT: checks the command line, takes the year as a
// conversion does and writes record N to standard output (see showRecord()).
// Returns 0, or 2 after writing to standard error how many damaged records
// --keep-going skipped before it.
int runShowRecord(const CommandLine& commandLine);

// The survey year of a run on the command line's input, read as `kind`:
// --year's, or the one in the input's name (see yearFromInputPath()).
std::int32_t surveyYearOf(const CommandLine& commandLine, InputKind kind);

// Runs the conversion, --show-record (or answers --help / --version) and turns a failure into
// the report on standard error. Returns the exit status: 0, 2 when records
// were skipped, 1 on failure, or 128 + N when signal N stopped the run.
int runGuarded(int argc, const char* const* argv);

#endif  // SURVEY_DRIVER_CONVERSION_H_
