// Runs on a machine that lets the decoder down: a full device, a directory
// that refuses new files. Each ends with the failure report and status 1.
// (An input path that names a directory is covered in ConversionRun_test.)

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/DecodedRun.h"
#include "e2e/DurationLine.h"
#include "e2e/RunProgram.h"

namespace {

namespace fs = std::filesystem;

// Two year-76 records, so that several lines reach the output file.
std::string twoRecords() {
  return ffRecordFile({{{1, 7}, {123, 0x41200000}}, {{1, 8}}});
}

class BrokenEnvironment : public testing::Test {
 protected:
  void SetUp() override { writeFile(dir_ / "data76.dat", twoRecords()); }
  RunResult run(const std::string& output) {
    return runDecoder({"data76.dat", output}, dir_.path());
  }
  ScratchDir dir_;
};

// The metadata file is closed, and so checked, before the output file. The
// full device is reached through a link so that the other file of the run is
// made in the scratch directory, not beside the device.
TEST_F(BrokenEnvironment, FullDeviceFailsAtTheCloseOfTheFileWrittenToIt) {
  if (!std::ofstream("/dev/full")) GTEST_SKIP() << "/dev/full is not writable here";
  RunResult normal = run("normal.txt");
  ASSERT_EQ(normal.exitStatus, 0) << normal.err;
  ASSERT_NE(readFile(dir_ / "normal.txt"), "");
  ASSERT_NE(readFile(dir_ / "normal.txt.meta.txt"), "");
  const std::string warnings = normal.err.substr(0, normal.err.find("duration: "));

  struct Case {
    const char* link;
    const char* output;
    const char* message;
  };
  for (const Case& c :
       {Case{"full.txt", "full.txt", "Output file \"full.txt\" false before destruction."},
        Case{"meta.txt.meta.txt", "meta.txt",
             "Output file \"meta.txt.meta.txt\" false before destruction."}}) {
    SCOPED_TRACE(c.output);
    fs::create_symlink("/dev/full", dir_ / c.link);
    RunResult r = run(c.output);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, normal.out);
    EXPECT_EQ(maskDuration(r.err), warnings + failureReport(c.message));
  }
  EXPECT_EQ(readFile(dir_ / "meta.txt"), readFile(dir_ / "normal.txt"));
  EXPECT_EQ(readFile(dir_ / "full.txt.meta.txt"), readFile(dir_ / "normal.txt.meta.txt"));
}

// Root writes into any directory by a capability; a process that gives it up
// (and the one that reads past permissions) is held to the directory's
// permissions like anyone else.
const char kSetpriv[] = "/usr/bin/setpriv";
const char kWithoutOverride[] = "--bounding-set=-dac_override,-dac_read_search";

bool rootCanGiveUpOverride() {
  return runProgram(kSetpriv, {kWithoutOverride, "--", "/bin/true"}, ".").exitStatus == 0;
}

TEST_F(BrokenEnvironment, DirectoryWithoutWritePermissionRefusesTheOutputFile) {
  const bool root = geteuid() == 0;
  if (root && !rootCanGiveUpOverride()) {
    GTEST_SKIP() << "root may write into any directory, and cannot give that up here";
  }
  fs::create_directory(dir_ / "locked");
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  RunResult r =
      root
          ? runProgram(kSetpriv,
                       {kWithoutOverride, "--", SURVEY_DECODER_EXE, "data76.dat", "locked/out.txt"},
                       dir_.path())
          : run("locked/out.txt");
  fs::permissions(dir_ / "locked", fs::perms::owner_all);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(maskDuration(r.err),
            failureReport("Output file \"locked/out.txt\" false after construction: probably "
                          "could not create file. A possible cause for this is that the directory "
                          "in the file name does not exist or the file is in use by another "
                          "program."));
  EXPECT_FALSE(fs::exists(dir_ / "locked/out.txt"));
}

}  // namespace
