// survey-sample: writes a synthetic, valid survey data file of any survey year.

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "SampleWriter.h"
#include "YearFile.h"

namespace {

constexpr uint32_t kMaxRecords = 1000000;

constexpr std::string_view kSynopsis =
    "usage: survey-sample YEAR OUTPUT [--records N] [--seed S] [--full-size] [--values P]\n";

constexpr std::string_view kDescription =
    "\n"
    "Writes a synthetic survey data file of the survey year YEAR to OUTPUT, in that year's\n"
    "own format, for survey-decoder to read.\n"
    "\n"
    "  YEAR          68, 69, 70, 71, 72, 73, 74, 76, 78, 80, 82, 86 or 88\n"
    "  OUTPUT        the file to write; survey-decoder takes the year from the two characters\n"
    "                before a four-character extension, so name it like sample80.dat\n"
    "  --records N   the number of records survey-decoder will decode from it\n"
    "                (default 100, at most 1000000)\n"
    "  --seed S      the generator's seed, 0 to 18446744073709551615 (default 1);\n"
    "                the same arguments always give the same file\n"
    "  --full-size   as many records as a whole year's file holds (5 to 150 MB), so that\n"
    "                survey-decoder's size check passes; not with --records\n"
    "  --values P    how wide the values spread: light (default) for mostly short numbers,\n"
    "                wide for numbers as long as their fields allow (unsigned values\n"
    "                over the whole 32-bit range, signed ones of both signs and every\n"
    "                length, floats of every magnitude) and texts without dropped bytes\n"
    "  -h, --help    print this text and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "Exit status: 0 on success, 1 if OUTPUT cannot be written, 2 on a wrong command line.\n";

// A command line that cannot be run.
struct UsageError {
  std::string message;
};

template <class Number>
std::optional<Number> parseNumber(std::string_view text) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || text.front() == '-' || error != std::errc() || stop != end) {
    return std::nullopt;
  }
  return value;
}

struct CommandLine {
  sample::SampleRequest request;
  std::string output;
};

CommandLine parse(int argc, char** argv) {
  CommandLine line;
  std::optional<std::string> year;
  std::optional<std::string> output;
  bool recordsGiven = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::optional<std::string_view> attached;
    if (const size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
      attached = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
    }
    auto value = [&]() -> std::string_view {
      if (attached) return *attached;
      if (i + 1 == argc) throw UsageError{"option " + std::string(arg) + " needs a value"};
      return argv[++i];
    };
    if (arg == "--records") {
      const std::string_view text = value();
      const auto n = parseNumber<uint32_t>(text);
      if (!n || *n > kMaxRecords) {
        throw UsageError{"--records wants a whole number from 0 to " + std::to_string(kMaxRecords) +
                         ", not '" + std::string(text) + "'"};
      }
      line.request.records = *n;
      recordsGiven = true;
    } else if (arg == "--seed") {
      const std::string_view text = value();
      const auto seed = parseNumber<uint64_t>(text);
      if (!seed) {
        throw UsageError{"--seed wants a whole number from 0 to 18446744073709551615, not '" +
                         std::string(text) + "'"};
      }
      line.request.seed = *seed;
    } else if (arg == "--values") {
      const std::string_view text = value();
      if (text == "light") {
        line.request.values = sample::ValueProfile::kLight;
      } else if (text == "wide") {
        line.request.values = sample::ValueProfile::kWide;
      } else {
        throw UsageError{"--values wants light or wide, not '" + std::string(text) + "'"};
      }
    } else if (arg == "--full-size" && !attached) {
      line.request.fullSize = true;
    } else if (arg.starts_with("-") && arg.size() > 1) {
      throw UsageError{"unknown option '" + std::string(argv[i]) + "'"};
    } else if (!year) {
      year = std::string(arg);
    } else if (!output) {
      output = std::string(arg);
    } else {
      throw UsageError{"unexpected argument '" + std::string(arg) + "'"};
    }
  }
  if (!year) throw UsageError{"missing YEAR and OUTPUT"};
  if (!output) throw UsageError{"missing OUTPUT"};
  const auto number = parseNumber<int>(*year);
  if (!number || sample::findYearFile(*number) == nullptr) {
    throw UsageError{"unsupported year '" + *year +
                     "': expected 68, 69, 70, 71, 72, 73, 74, 76, 78, 80, 82, 86 or 88"};
  }
  if (output->empty()) throw UsageError{"OUTPUT is empty"};
  if (recordsGiven && line.request.fullSize) {
    throw UsageError{"--records and --full-size exclude each other"};
  }
  line.request.year = *number;
  line.output = *output;
  return line;
}

// The decoder reads the year from the two characters before a four-character extension; a
// sample named otherwise would be decoded as another year, or refused.
void noteYearInName(const std::string& path, int year) {
  const std::string digits = std::to_string(year);
  if (path.size() >= 6 && path.compare(path.size() - 6, 2, digits) == 0) return;
  std::cerr << "survey-sample: note: survey-decoder takes the year from the two characters "
               "before a four-character extension, as in sample"
            << year << ".dat; \"" << path << "\" does not give " << year << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::cout << kSynopsis << kDescription;
    return EXIT_SUCCESS;
  }
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::cout << "survey-sample " << SURVEY_SAMPLE_VERSION << "\n";
    return EXIT_SUCCESS;
  }
  CommandLine line;
  try {
    line = parse(argc, argv);
  } catch (const UsageError& error) {
    std::cerr << "survey-sample: " << error.message << "\n"
              << kSynopsis << "Try 'survey-sample --help' for more.\n";
    return 2;
  }
  noteYearInName(line.output, line.request.year);
  try {
    const sample::SampleSummary summary = sample::writeSample(line.request, line.output);
    std::cout << "wrote " << line.output << ": year " << line.request.year << ", "
              << summary.records << (summary.records == 1 ? " record, " : " records, ")
              << summary.bytes << " bytes\n";
  } catch (const std::exception& error) {
    std::cerr << "survey-sample: " << error.what() << "\n";
    return EXIT_FAILURE;
  }
  return EXIT_SUCCESS;
}
