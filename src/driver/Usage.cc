#include "driver/Usage.h"

#include <string_view>

namespace {

constexpr std::string_view kUsage =
    "Usage: survey-decoder INPUT OUTPUT\n"
    "\n"
    "Decodes one yearly survey data file into OUTPUT (one tab-separated line per\n"
    "record) and OUTPUT.meta.txt (a summary of every record format). The survey\n"
    "year is read from INPUT's name: the two characters before a four-character\n"
    "extension, as in data76.dat. Statistics go to standard output; warnings, the\n"
    "duration and any failure to standard error. Exit status 0 on success, 1 on\n"
    "failure.\n"
    "\n"
    "  -h, --help   show this text\n"
    "  --version    show the version\n";

}  // namespace

bool answerInformationRequest(int argc, const char* const* argv, std::ostream& out) {
  if (argc != 2) return false;
  const std::string_view argument = argv[1];
  if (argument == "--help" || argument == "-h") {
    out << kUsage << std::flush;
    return true;
  }
  if (argument == "--version") {
    out << "survey-decoder " << SURVEY_DECODER_VERSION << std::endl;
    return true;
  }
  return false;
}
