#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/DurationLine.h"
#include "e2e/RunProgram.h"

namespace {

namespace fs = std::filesystem;

std::size_t entriesIn(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

TEST(CommandLine, NoArgumentsFailsBeforeAnyFileIsMade) {
  ScratchDir dir;
  RunResult r = runDecoder({}, dir.path());
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(maskDuration(r.err), failureReport("argc < 3 (argc == 1)"));
  EXPECT_EQ(entriesIn(dir.path()), 0u);
}

TEST(CommandLine, OneArgumentFailsBeforeAnyFileIsMade) {
  ScratchDir dir;
  writeFile(dir / "data76.dat", "");
  struct Case {
    const char* argument;
    std::string message;
  };
  const Case cases[] = {
      {"data76.dat", "argc < 3 (argc == 2)"},
      {"--helpme", "unknown option \"--helpme\"; see survey-decoder --help"},
      {"-v", "unknown option \"-v\"; see survey-decoder --help"},
  };
  for (const Case& c : cases) {
    RunResult r = runDecoder({c.argument}, dir.path());
    EXPECT_EQ(r.exitStatus, 1) << c.argument;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(maskDuration(r.err), failureReport(c.message));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
  }
}

TEST(CommandLine, HelpAndVersionAloneAnswerOnStandardOutput) {
  ScratchDir dir;
  RunResult help = runDecoder({"--help"}, dir.path());
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_EQ(
      help.out.rfind("Usage: survey-decoder [--year YY] [-k] [--tables] [--] INPUT OUTPUT\n", 0),
      0u)
      << help.out;
  EXPECT_EQ(help.err, "");
  RunResult shortHelp = runDecoder({"-h"}, dir.path());
  EXPECT_EQ(shortHelp.exitStatus, 0);
  EXPECT_EQ(shortHelp.out, help.out);
  RunResult version = runDecoder({"--version"}, dir.path());
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_EQ(version.out, std::string("survey-decoder ") + SURVEY_DECODER_VERSION + "\n");
  EXPECT_EQ(version.err, "");
  EXPECT_EQ(entriesIn(dir.path()), 0u);
}

TEST(CommandLine, ArgumentsAfterTheOutputPathAreRefusedBeforeAnyFileIsMade) {
  ScratchDir dir;
  writeFile(dir / "data78.dat", "");
  RunResult r = runDecoder({"data78.dat", "out.txt", "--help", "more"}, dir.path());
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(maskDuration(r.err),
            failureReport("unexpected argument \"--help\" after the output path"));
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

}  // namespace
