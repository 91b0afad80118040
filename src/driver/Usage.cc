#include "driver/Usage.h"

#include <string_view>

#include "years/SurveyYear.h"

namespace {

// The years come from the table of years; the text around them is fixed.
constexpr std::string_view kUsageHead =
    "Usage: survey-decoder [--year YY] [-k] [--tables] [--] INPUT OUTPUT\n"
    "\n"
    "Decodes one yearly survey data file into OUTPUT (one tab-separated line per\n"
    "record) and OUTPUT.meta.txt (a summary of every record format). Statistics go\n"
    "to standard output; warnings, the duration and any failure to standard error.\n"
    "\n"
    "Years handled: ";
constexpr std::string_view kUsageTail =
    ". The year is read from\n"
    "INPUT's name: the two characters before a four-character extension, as in\n"
    "data76.dat (data76.dat.gz for a gzip file).\n"
    "\n"
    "  --year YY    take the survey year YY (80 or 1980) instead of the name's\n"
    "  -k, --keep-going  skip damaged records, listing them in OUTPUT.rejects.tsv\n"
    "  --show-record N INPUT  print record N's bytes next to its values; no OUTPUT\n"
    "  --tables     also write OUTPUT.<format>.tsv and .schema.tsv (typed tables)\n"
    "  INPUT -      read standard input (needs --year)\n"
    "  gzip INPUT   decompressed as it is read, known by its first bytes\n"
    "  --           end of options (for an INPUT whose name starts with -)\n"
    "  -h, --help   show this text\n"
    "  --version    show the version\n"
    "\n"
    "An existing OUTPUT is replaced only once the run has something to write, and\n"
    "never if it is not text the decoder wrote. Exit status: 0 on success, 2 if\n"
    "records were skipped, 1 on failure, 128+N when stopped by signal N.\n"
    "See man survey-decoder.\n";

}  // namespace

bool answerInformationRequest(const CommandLine& commandLine, std::ostream& out) {
  if (commandLine.help) {
    out << kUsageHead << handledYearsText() << kUsageTail << std::flush;
    return true;
  }
  if (commandLine.version) {
    out << "survey-decoder " << SURVEY_DECODER_VERSION << std::endl;
    return true;
  }
  return false;
}
