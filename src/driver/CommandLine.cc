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
    } else if (argument == "--tables") {
      commandLine.tables = true;
    } else if (argument == "--year") {
      if (i + 1 == argc) {
        if (commandLine.optionError.empty()) commandLine.optionError = "--year needs a value";
        continue;
      }
      setYear(commandLine, argv[++i]);
    } else if (argument.substr(0, 7) == "--year=") {
      setYear(commandLine, argument.substr(7));
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
  if (given < 2) throwMessage("argc < 3 (argc == ", static_cast<int>(given) + 1, ")");
  if (given > 2) {
    throwMessage("unexpected argument ", "\"", commandLine.operands[2], "\"",
                 " after the output path");
  }
}
