#include "driver/CommandLine.h"

#include <charconv>
#include <string_view>
#include <utility>

#include "core/Error.h"
#include "years/SurveyYear.h"

namespace {

// A handled survey year in two digits ("80") or four ("1980"); anything
// else is refused here, naming the years, so that no mistyped year reaches
// the decoder as another number.
std::optional<std::int32_t> surveyYear(std::string_view text) {
  if (text.size() != 2 && text.size() != 4) return std::nullopt;
  std::int32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = 10 * value + (c - '0');
  }
  if (text.size() == 4) {
    if (value / 100 != 19) return std::nullopt;
    value %= 100;
  }
  if (findSurveyYear(value) == nullptr) return std::nullopt;
  return value;
}

// Notes `refusal` unless an earlier one was noted: the first is reported.
void refuse(CommandLine& commandLine, std::string refusal) {
  if (commandLine.optionError.empty()) commandLine.optionError = std::move(refusal);
}

void setYear(CommandLine& commandLine, std::string_view value) {
  const std::optional<std::int32_t> year = surveyYear(value);
  if (!year) {
    refuse(commandLine, "--year needs one of the survey years " + handledYearsText() +
                            " (as 80 or 1980), not \"" + std::string(value) + "\"");
  }
  commandLine.year = year;
}

// A record number: decimal digits only, at least 1.
void setShowRecord(CommandLine& commandLine, std::string_view value) {
  std::uint64_t number = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, number);
  const bool digitsOnly = !value.empty() && value.front() != '-' && value.front() != '+';
  if (!digitsOnly || error != std::errc() || stop != end || number == 0) {
    refuse(commandLine,
           "--show-record needs a record number from 1, not \"" + std::string(value) + "\"");
    return;
  }
  commandLine.showRecord = number;
}

// The value of option `name` at argv[i + 1], which the caller then passes
// over; null, with the refusal noted, when the command line ends first.
const char* optionValue(CommandLine& commandLine, std::string_view name, int i, int argc,
                        const char* const* argv) {
  if (i + 1 < argc) return argv[i + 1];
  refuse(commandLine, std::string(name) + " needs a value");
  return nullptr;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
  CommandLine commandLine;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") {
      ++i;
      break;
    }
    if (argument == "--help" || argument == "-h") {
      commandLine.help = true;
    } else if (argument == "--version") {
      commandLine.version = true;
    } else if (argument == "--keep-going" || argument == "-k") {
      commandLine.keepGoing = true;
    } else if (argument == "--tables") {
      commandLine.tables = true;
    } else if (argument == "--year") {
      if (const char* value = optionValue(commandLine, argument, i++, argc, argv)) {
        setYear(commandLine, value);
      }
    } else if (argument.substr(0, 7) == "--year=") {
      setYear(commandLine, argument.substr(7));
    } else if (argument == "--show-record") {
      if (const char* value = optionValue(commandLine, argument, i++, argc, argv)) {
        setShowRecord(commandLine, value);
      }
    } else if (argument.substr(0, 14) == "--show-record=") {
      setShowRecord(commandLine, argument.substr(14));
    } else if (argument.size() > 1 && argument.front() == '-') {
      // Read as an operand, a mistyped option would name the wrong word in
      // the refusal, or become an input or output path.
      refuse(commandLine,
             "unknown option \"" + std::string(argument) + "\"; see survey-decoder --help");
    } else {
      break;
    }
  }
  for (; i < argc; ++i) commandLine.operands.emplace_back(argv[i]);
  return commandLine;
}

void checkOperands(const CommandLine& commandLine) {
  if (!commandLine.optionError.empty()) throwMessage(commandLine.optionError);
  const std::size_t given = commandLine.operands.size();
  if (commandLine.showRecord) {
    // It writes no file, so a table asked for would silently not come.
    if (commandLine.tables) throwMessage("--show-record writes no file: drop --tables");
    if (given < 1) throwMessage("--show-record needs INPUT");
    if (given > 1) {
      throwMessage("unexpected argument ", "\"", commandLine.operands[1], "\"",
                   " after the input path");
    }
    return;
  }
  if (given < 2) throwMessage("argc < 3 (argc == ", static_cast<int>(given) + 1, ")");
  if (given > 2) {
    throwMessage("unexpected argument ", "\"", commandLine.operands[2], "\"",
                 " after the output path");
  }
}
