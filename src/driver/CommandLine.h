#ifndef SURVEY_DRIVER_COMMANDLINE_H_
#define SURVEY_DRIVER_COMMANDLINE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the command line asks for. Options come before the operands and are
// recognised by their exact names; an argument there that begins with "-",
// is not "-" and names no option is refused as unknown. The operands start
// at the first other argument, or after "--", so a command line without
// options reads as it always has (INPUT OUTPUT).
struct CommandLine {
  bool help = false;
  bool version = false;
  // The survey year given by --year (two digits), in place of the one in
  // INPUT's name; only a year the decoder handles is taken.
  std::optional<std::int32_t> year;
  // --keep-going (-k): a damaged record is skipped rather than ending the run.
  bool keepGoing = false;
  // --show-record N: print record N (1-based) of INPUT instead of converting.
  std::optional<std::uint64_t> showRecord;
  // --tables: one typed table and its schema per record format besides OUTPUT.
  bool tables = false;
  std::vector<std::string> operands;
  // The first refusal met among the options ("" if none); raised by
  // checkOperands() so that it is reported like any other failure of a run.
  std::string optionError;
};

// Reads argv[1, argc). Never fails: a refusal is kept in optionError.
CommandLine parseCommandLine(int argc, const char* const* argv);

// Fails with the command line's first refusal, in this order: an option's
// error or an unknown option, whichever comes first, too few operands ("argc < 3 (argc == N)", N
// counting the program and the operands as if no option had been given), an operand after OUTPUT.
// With --show-record the one operand is INPUT: "--show-record needs INPUT",
// or an operand after it; --tables is refused with it.
void checkOperands(const CommandLine& commandLine);

#endif  // SURVEY_DRIVER_COMMANDLINE_H_
