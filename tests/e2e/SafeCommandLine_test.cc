// Ordinary mistakes and hostile surroundings on the command line: none may
// destroy a file or pass for a normal run. Also the other ways of naming the
// input (--year, standard input, gzip), which must decode exactly as the
// plain named file does.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "e2e/DurationLine.h"
#include "e2e/RunProgram.h"

namespace {

namespace fs = std::filesystem;

TEST(Mistakes, LeaveEveryExistingFileAsItWasWithTheirMessage) {
  struct Case {
    const char* command;  // $D is the decoder
    std::string message;
  };
  const Case cases[] = {
      {"\"$D\" data*.dat", "unexpected argument \"data71.dat\" after the output path"},
      {"\"$D\" o80.txt s80.dat",
       "Output file \"s80.dat\" exists and is not a decoded text file; refusing to overwrite it"},
      {"\"$D\" --tabels data69.dat o80.txt",
       "unknown option \"--tabels\"; see survey-decoder --help"},
      {"\"$D\" -x s80.dat o80.txt", "unknown option \"-x\"; see survey-decoder --help"},
      {"\"$D\" --year -80 s80.dat o80.txt",
       "--year needs one of the survey years 68 to 74, 76, 78, 80, 82, 86 and 88 (as 80 or 1980), "
       "not \"-80\""},
      {"\"$D\" --year 80 - s80.dat < s80.dat",
       "Output file \"s80.dat\" is the input file; refusing to overwrite it"},
      {"\"$D\" nothere80.dat o80.txt",
       "inFile false after construction: probably file \"nothere80.dat\" does not exist"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    ScratchDir dir;
    for (const char* year : {"69", "70", "71"})
      writeSampleFile(dir, year, std::string("data") + year + ".dat");
    writeSampleFile(dir, "80", "s80.dat");
    ASSERT_EQ(runDecoder({"s80.dat", "o80.txt"}, dir.path()).exitStatus, 0);
    const std::map<std::string, std::string> before = snapshot(dir.path());

    const RunResult r = shell(c.command, dir.path());
    EXPECT_EQ(r.exitStatus, 1);
    const std::string err = maskDuration(r.err);
    EXPECT_EQ(err.substr(err.find("duration: ")), failureReport(c.message));
    std::map<std::string, std::string> after = snapshot(dir.path());
    // A new metadata file may be made; nothing that existed may change.
    after.erase("s80.dat.meta.txt");
    EXPECT_EQ(after, before);
  }
}

// Standard output that cannot take the statistics fails the run, as does one
// that was closed; a closed standard error just stays silent. No text ever
// lands in the output files instead.
TEST(StandardStreams, LostOrClosedOnesNeverPassForANormalRunNorRedirectIntoTheFiles) {
  ScratchDir dir;
  writeSampleFile(dir, "80", "s80.dat");
  const RunResult normal = runDecoder({"s80.dat", "normal.txt"}, dir.path());
  ASSERT_EQ(normal.exitStatus, 0);
  const std::string warnings = normal.err.substr(0, normal.err.find("duration: "));
  struct Case {
    const char* redirections;
    int exitStatus;
    std::string err;  // duration masked; "-" when standard error is closed
  };
  const Case cases[] = {
      {">/dev/full", 1, warnings + failureReport("write error on standard output")},
      {">&-", 1, warnings + failureReport("write error on standard output")},
      {">/dev/null 2>&-", 0, "-"},
      {"<&- >&- 2>&-", 1, "-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.redirections);
    const RunResult r = shell(std::string("\"$D\" s80.dat out.txt ") + c.redirections, dir.path());
    EXPECT_EQ(r.exitStatus, c.exitStatus);
    EXPECT_EQ(maskDuration(r.err), c.err == "-" ? "" : c.err);
    EXPECT_EQ(readFile(dir / "out.txt"), readFile(dir / "normal.txt"));
    EXPECT_EQ(readFile(dir / "out.txt.meta.txt"), readFile(dir / "normal.txt.meta.txt"));
  }
  const RunResult help = shell("\"$D\" --help >/dev/full", dir.path());
  EXPECT_EQ(help.exitStatus, 1);
  EXPECT_NE(help.err.find("write error on standard output\n"), std::string::npos) << help.err;
}

// Each way of naming the input decodes exactly as the plain named file.
TEST(InputNaming, YearOptionStandardInputAndGzipDecodeAsThePlainFile) {
  struct Case {
    const char* year;
    const char* command;  // in a directory holding plain.dat, a sample of `year`
  };
  const Case cases[] = {
      {"80", "cp plain.dat renamed.bin && \"$D\" --year 80 renamed.bin out.txt"},
      {"76", "\"$D\" --year=76 - out.txt < plain.dat"},
      {"78", "cat plain.dat | \"$D\" --year 78 -- - out.txt"},
      {"88", "gzip -c plain.dat > data88.dat.gz && \"$D\" data88.dat.gz out.txt"},
      {"70", "gzip -c plain.dat > x.gz && \"$D\" --year 70 x.gz out.txt"},
      {"80", "\"$D\" --year 1980 plain.dat out.txt"},
      {"74", "cp plain.dat ./-in74.dat && \"$D\" -- -in74.dat out.txt"},
      // gzip is told by its first bytes, whatever the name, and on standard input.
      {"86", "gzip -c plain.dat > z86.dat && \"$D\" z86.dat out.txt"},
      {"76", "gzip -c plain.dat | \"$D\" --year 76 - out.txt"},
      {"78", "gzip -c plain.dat | \"$D\" -k --year 1978 - out.txt"},
      // Two gzip members, as `cat a.gz b.gz` makes them.
      {"82",
       "head -c 5000 plain.dat | gzip -c > data82.dat.gz && tail -c +5001 plain.dat | gzip -c >> "
       "data82.dat.gz && \"$D\" data82.dat.gz out.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    ScratchDir dir;
    writeSampleFile(dir, c.year, std::string("data") + c.year + ".dat");
    fs::copy_file(dir / (std::string("data") + c.year + ".dat"), dir / "plain.dat");
    const RunResult plain =
        runDecoder({std::string("data") + c.year + ".dat", "ref.txt"}, dir.path());
    ASSERT_EQ(plain.exitStatus, 0) << plain.err;
    const RunResult r = shell(c.command, dir.path());
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, plain.out);
    EXPECT_EQ(maskDuration(r.err), maskDuration(plain.err));
    EXPECT_EQ(readFile(dir / "out.txt"), readFile(dir / "ref.txt"));
    EXPECT_EQ(readFile(dir / "out.txt.meta.txt"), readFile(dir / "ref.txt.meta.txt"));
  }
}

// The records before the damage are decoded; the failure names the file.
TEST(InputNaming, DamagedGzipFailsNamingTheFileAndWhatZlibSaid) {
  struct Case {
    const char* damage;  // made from whole.gz, a gzip file without a stored name
    std::string message;
  };
  const Case cases[] = {
      {"head -c 20000 whole.gz", "gzip input \"data80.dat.gz\" is damaged: unexpected end of file"},
      // The last eight bytes are the check value and the length.
      {"head -c -8 whole.gz; printf 'XXXXXXXX'",
       "gzip input \"data80.dat.gz\" is damaged: incorrect data check"},
      {"head -c 10 whole.gz; printf '\\377\\377'",
       "gzip input \"data80.dat.gz\" is damaged: invalid block type"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.damage);
    ScratchDir dir;
    writeSampleFile(dir, "80", "s80.dat", "30");
    const RunResult r = shell(std::string("gzip -n -c s80.dat > whole.gz && { ") + c.damage +
                                  "; } > data80.dat.gz && \"$D\" data80.dat.gz out.txt",
                              dir.path());
    EXPECT_EQ(r.exitStatus, 1);
    const std::string err = maskDuration(r.err);
    const std::size_t report = err.find("duration: ");
    ASSERT_NE(report, std::string::npos) << err;
    // Framing asks for a record's bytes ahead of typing it, hence "At record N, ".
    const std::size_t prefix = err.find("At record ");
    ASSERT_NE(prefix, std::string::npos) << err;
    const std::string records = err.substr(prefix, err.find(", ", prefix) + 2 - prefix);
    EXPECT_EQ(err.substr(report), failureReport(records + c.message));
    const std::string output = readFile(dir / "out.txt");
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'),
              std::stoi(records.substr(std::string("At record ").size())));
  }
}

// Interrupted runs stop between two records as a failure: the files hold
// every line written so far, and the exit status tells the signal.
TEST(Interruption, SigintStopsAFullSizeRunBetweenRecords) {
  ScratchDir dir;
  const RunResult made = runSample({"80", "full80.dat", "--full-size"}, dir.path());
  ASSERT_EQ(made.exitStatus, 0) << made.err;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (chdir(dir.path().c_str()) != 0 || !freopen("stdout", "w", stdout) ||
        !freopen("stderr", "w", stderr)) {
      _exit(127);
    }
    execl(SURVEY_DECODER_EXE, SURVEY_DECODER_EXE, "full80.dat", "out.txt", nullptr);
    _exit(127);
  }
  // Once lines reach the output file the run is well under way.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  const auto started = [&] {
    std::error_code missing;
    const std::uintmax_t size = fs::file_size(dir / "out.txt", missing);
    return !missing && size > 0;
  };
  while (!started() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  kill(child, SIGINT);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  const std::string err = maskDuration(readFile(dir / "stderr"));
  EXPECT_EQ(err.substr(err.find("duration: ")), failureReport("interrupted by signal 2"));
  const std::string output = readFile(dir / "out.txt");
  ASSERT_FALSE(output.empty());
  EXPECT_EQ(output.back(), '\n');
  // The teardown still wrote the summary and the statistics.
  EXPECT_NE(readFile(dir / "out.txt.meta.txt"), "");
  EXPECT_NE(readFile(dir / "stdout").find("Reader\tmoreGets\tnoMoreGets\t"), std::string::npos);
}

}  // namespace
