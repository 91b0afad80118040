#include "driver/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/FailureText.h"
#include "driver/Usage.h"

namespace {

CommandLine parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "survey-decoder");
  return parseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

std::string refusalOf(const CommandLine& commandLine) {
  return failureOf([&] { checkOperands(commandLine); });
}

const std::string kAccepted = "no failure";

std::string yearRefusal(const std::string& value) {
  return "--year needs one of the survey years 68 to 74, 76, 78, 80, 82, 86 and 88 (as 80 or "
         "1980), not \"" +
         value + "\"";
}

std::string unknownOption(const std::string& argument) {
  return "unknown option \"" + argument + "\"; see survey-decoder --help";
}

TEST(ParseCommandLine, OptionsBeforeTheOperandsAndTheRefusalsInTheirOrder) {
  struct Case {
    std::vector<const char*> arguments;
    std::optional<std::int32_t> year;
    std::vector<std::string> operands;
    std::string refusal;
  };
  const Case cases[] = {
      {{"data80.dat", "out.txt"}, std::nullopt, {"data80.dat", "out.txt"}, kAccepted},
      {{"--year", "80", "-", "out.txt"}, 80, {"-", "out.txt"}, kAccepted},
      {{"--", "--year", "out"}, std::nullopt, {"--year", "out"}, kAccepted},
      {{"--", "-x", "out"}, std::nullopt, {"-x", "out"}, kAccepted},
      // An argument that looks like an option but is none is refused by name.
      {{"--helpme"}, std::nullopt, {}, unknownOption("--helpme")},
      {{"--tabels", "in80.dat", "out.txt"},
       std::nullopt,
       {"in80.dat", "out.txt"},
       unknownOption("--tabels")},
      {{"-x", "-y", "in", "out"}, std::nullopt, {"in", "out"}, unknownOption("-x")},
      {{"-K", "in", "out"}, std::nullopt, {"in", "out"}, unknownOption("-K")},
      {{"in", "--year", "80"},
       std::nullopt,
       {"in", "--year", "80"},
       "unexpected argument \"80\" after the output path"},
      {{}, std::nullopt, {}, "argc < 3 (argc == 1)"},
      {{"--year", "80", "in"}, 80, {"in"}, "argc < 3 (argc == 2)"},
      {{"a", "b", "c", "d"},
       std::nullopt,
       {"a", "b", "c", "d"},
       "unexpected argument \"c\" after the output path"},
      {{"--year"}, std::nullopt, {}, "--year needs a value"},
      {{"-k", "--year", "80", "in", "out"}, 80, {"in", "out"}, kAccepted},
  };
  for (const Case& c : cases) {
    const CommandLine commandLine = parse(c.arguments);
    SCOPED_TRACE(c.refusal);
    EXPECT_EQ(commandLine.year, c.year);
    EXPECT_EQ(commandLine.operands, c.operands);
    EXPECT_EQ(refusalOf(commandLine), c.refusal);
  }
}

// A handled year in two digits or four; anything else names the handled years.
TEST(ParseCommandLine, YearIsAHandledSurveyYearInTwoDigitsOrFour) {
  struct Case {
    const char* value;
    std::optional<std::int32_t> year;  // nullopt: refused
  };
  const Case cases[] = {
      {"80", 80},
      {"1980", 80},
      {"68", 68},
      {"1988", 88},
      {"74", 74},
      {"75", std::nullopt},
      {"1975", std::nullopt},
      {"2080", std::nullopt},
      {"080", std::nullopt},
      {"8", std::nullopt},
      {"-80", std::nullopt},
      {"+80", std::nullopt},
      {"8O", std::nullopt},
      {"", std::nullopt},
      {"19800", std::nullopt},
      {"99999999999", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    for (const std::string& form : {std::string("--year=") + c.value, std::string("--year")}) {
      std::vector<const char*> arguments = {form.c_str()};
      if (form == "--year") arguments.push_back(c.value);
      arguments.insert(arguments.end(), {"in", "out"});
      const CommandLine commandLine = parse(arguments);
      EXPECT_EQ(commandLine.year, c.year);
      EXPECT_EQ(commandLine.operands, (std::vector<std::string>{"in", "out"}));
      EXPECT_EQ(refusalOf(commandLine), c.year ? kAccepted : yearRefusal(c.value));
    }
  }
}

TEST(ParseCommandLine, KeepGoingAndShowRecordTakeTheirOperands) {
  struct Case {
    std::vector<const char*> arguments;
    bool keepGoing;
    std::optional<std::uint64_t> showRecord;
    std::string refusal;
  };
  const Case cases[] = {
      {{"--keep-going", "in", "out"}, true, std::nullopt, kAccepted},
      {{"in", "-k", "out"},
       false,
       std::nullopt,
       "unexpected argument \"out\" after the output path"},
      {{"--show-record", "12", "in"}, false, 12, kAccepted},
      {{"-k", "--show-record=3", "in"}, true, 3, kAccepted},
      {{"--show-record", "7"}, false, 7, "--show-record needs INPUT"},
      {{"--show-record", "7", "in", "out"},
       false,
       7,
       "unexpected argument \"out\" after the input path"},
      {{"--show-record", "0", "in"},
       false,
       std::nullopt,
       "--show-record needs a record number from 1, not \"0\""},
      {{"--show-record=+4", "in"},
       false,
       std::nullopt,
       "--show-record needs a record number from 1, not \"+4\""},
      {{"--show-record"}, false, std::nullopt, "--show-record needs a value"},
      {{"--tables", "--show-record", "2", "in"},
       false,
       2,
       "--show-record writes no file: drop --tables"},
  };
  for (const Case& c : cases) {
    const CommandLine commandLine = parse(c.arguments);
    SCOPED_TRACE(c.refusal);
    EXPECT_EQ(commandLine.keepGoing, c.keepGoing);
    EXPECT_EQ(commandLine.showRecord, c.showRecord);
    EXPECT_EQ(refusalOf(commandLine), c.refusal);
  }
}

TEST(ParseCommandLine, TablesIsAnOptionOnlyBeforeTheOperands) {
  struct Case {
    std::vector<const char*> arguments;
    bool tables;
    std::string refusal;
  };
  const Case cases[] = {
      {{"data80.dat", "out.txt"}, false, kAccepted},
      {{"--tables", "data80.dat", "out.txt"}, true, kAccepted},
      {{"--year", "80", "--tables", "-", "out.txt"}, true, kAccepted},
      {{"--tables", "--tables", "in", "out"}, true, kAccepted},
      {{"--", "--tables", "out"}, false, kAccepted},
      {{"in", "out", "--tables"}, false, "unexpected argument \"--tables\" after the output path"},
      {{"--table", "in", "out"}, false, unknownOption("--table")},
  };
  for (const Case& c : cases) {
    const CommandLine commandLine = parse(c.arguments);
    SCOPED_TRACE(c.arguments.front());
    EXPECT_EQ(commandLine.tables, c.tables);
    EXPECT_EQ(refusalOf(commandLine), c.refusal);
  }
}

TEST(ParseCommandLine, HelpAndVersionAreAnsweredWhenGivenAmongTheOptions) {
  struct Case {
    std::vector<const char*> arguments;
    const char* answerStart;  // nullptr: not answered
  };
  const std::string version = std::string("survey-decoder ") + SURVEY_DECODER_VERSION + "\n";
  const Case cases[] = {
      {{"--help"}, "Usage: survey-decoder [--year YY] [-k] [--tables] [--] INPUT OUTPUT\n"},
      {{"-h", "in", "out"},
       "Usage: survey-decoder [--year YY] [-k] [--tables] [--] INPUT OUTPUT\n"},
      {{"--version"}, version.c_str()},
      {{"data76.dat", "--help"}, nullptr},
      {{"--", "--help"}, nullptr},
      {{"--helpme"}, nullptr},
      {{"--helpme", "--help"},
       "Usage: survey-decoder [--year YY] [-k] [--tables] [--] INPUT OUTPUT\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    const bool answered = answerInformationRequest(parse(c.arguments), out);
    SCOPED_TRACE(c.arguments.front());
    EXPECT_EQ(answered, c.answerStart != nullptr);
    if (c.answerStart == nullptr) {
      EXPECT_EQ(out.str(), "");
    } else {
      EXPECT_EQ(out.str().rfind(c.answerStart, 0), 0u) << out.str();
    }
  }
}

TEST(ParseCommandLine, HelpFitsOnOneScreenAndNamesEveryOption) {
  std::ostringstream out;
  answerInformationRequest(parse({"--help"}), out);
  const std::string help = out.str();
  EXPECT_LT(std::count(help.begin(), help.end(), '\n'), 25);
  for (const char* mention : {"--year YY", "--keep-going", "INPUT -", ".gz", "--help", "--version",
                              "--  ", "--show-record N", "--tables",
                              "68 to 74, 76, 78, 80, 82, 86 and 88", "man survey-decoder"}) {
    EXPECT_NE(help.find(mention), std::string::npos) << mention;
  }
}

}  // namespace
