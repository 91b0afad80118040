#include "driver/CommandLine.h"

#include <charconv>
#include <limits>
#include <string_view>

#include "core/Error.h"

namespace {

// Any decimal number, with an optional sign; out-of-range years are refused
// by the decoder's own year check, as a year in a name would be.
std::optional<std::int32_t> decimalYear(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

void setYear(CommandLine& commandLine, std::string_view value) {
  const std::optional<std::int32_t> year = decimalYear(value);
  if (!year && commandLine.optionError.empty()) {
    commandLine.optionError = "--year needs a decimal number, not \"" + std::string(value) + "\"";
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
    if (commandLine.optionError.empty()) {
      commandLine.optionError =
          "--show-record needs a record number from 1, not \"" + std::string(value) + "\"";
    }
    return;
  }
  commandLine.showRecord = number;
}

// The value of option `name` at argv[i + 1], which the caller then passes
// over; null, with the refusal noted, when the command line ends first.
const char* optionValue(CommandLine& commandLine, std::string_view name, int i, int argc,
                        const char* const* argv) {
  if (i + 1 < argc) return argv[i + 1];
  if (commandLine.optionError.empty()) {
    commandLine.optionError = std::string(name) + " needs a value";
  }
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
