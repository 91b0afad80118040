#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "e2e/DecodedRun.h"
#include "e2e/DurationLine.h"
#include "e2e/RunProgram.h"

namespace {

namespace fs = std::filesystem;

const std::string kMissingDirectoryTail =
    "\" false after construction: probably could not create file. A possible cause for this is "
    "that the directory in the file name does not exist or the file is in use by another program.";

// `records` year-76 records of 800 data bytes and CR LF. Record r holds 99
// couples (address 1, value r + 1) and two end-of-record quartets: two
// FF-records, the second empty.
std::string year76Records(int records) {
  std::string file;
  for (int r = 0; r < records; ++r) {
    for (int k = 0; k < 99; ++k) file += bigEndian(1) + bigEndian(r + 1);
    file += bigEndian(0xFFFFFFFF) + bigEndian(0xFFFFFFFF) + "\r\n";
  }
  return file;
}

const std::string kEmptyHistogram = histogramReport({}, 0);

class ConversionRun : public testing::Test {
 protected:
  RunResult run(const std::vector<std::string>& args) { return runDecoder(args, dir_.path()); }
  bool exists(const std::string& name) const { return fs::exists(dir_ / name); }
  std::string contents(const std::string& name) const { return readFile(dir_ / name); }
  ScratchDir dir_;
};

TEST_F(ConversionRun, CompleteRunWritesLayoutAndStatisticsLines) {
  writeFile(dir_ / "data76.dat", year76Records(2));
  RunResult r = run({"data76.dat", "out.txt"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out, kEmptyHistogram +
                       "Integrator\tmoreGets\tnoMoreGets\t4\t1\n"
                       "AddressValueifier\tmoreGets\tnoMoreGets\t4\t1\n"
                       "Recordifier\tmoreGets\tnoMoreGets\t4\t1\n"
                       "CrLfRemover\tmoreGets\tnoMoreGets\t1600\t1\n"
                       "recordLen\tblockLen\tnumRecs\tfinalPhaseWithinRecord\t804\t3220\t2\t0\n"
                       "Reader\tmoreGets\tnoMoreGets\t1604\t1\n");
  EXPECT_EQ(contents("out.txt"), "1\n1\n2\n2\n");
  EXPECT_EQ(maskDuration(r.err),
            "pseudoFileSize != metaData.fileSize (2403 != 89358759)\nduration: * seconds\n");
  EXPECT_TRUE(exists("out.txt"));
  EXPECT_TRUE(exists("out.txt.meta.txt"));
}

TEST_F(ConversionRun, Year78HasNoLineEndLayout) {
  std::string record(275, '\0');
  record.replace(9, 5, "\xF0\x40\x40\x40\x40");  // the header of a 275-byte record
  writeFile(dir_ / "data78.dat", record + "\r\n");
  RunResult r = run({"data78.dat", "out.txt"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out.find("recordLen"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.substr(r.out.find("Recordifier78")),
            "Recordifier78\tmoreGets\tnoMoreGets\t1\t1\n"
            "Reader\tmoreGets\tnoMoreGets\t277\t1\n");
  EXPECT_EQ(maskDuration(r.err), "duration: * seconds\n");
}

// An existing output file is left as it was; a new metadata file is made empty.
TEST_F(ConversionRun, MissingInputKeepsAnExistingOutputAndMakesNewOnesEmpty) {
  writeFile(dir_ / "out.txt", "stale");
  RunResult r = run({"data76.dat", "out.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(maskDuration(r.err),
            failureReport(
                "inFile false after construction: probably file \"data76.dat\" does not exist"));
  EXPECT_TRUE(exists("out.txt"));
  EXPECT_TRUE(exists("out.txt.meta.txt"));
  EXPECT_EQ(contents("out.txt"), "stale");
  EXPECT_EQ(contents("out.txt.meta.txt"), "");
}

TEST_F(ConversionRun, OutputInMissingDirectoryFails) {
  writeFile(dir_ / "data76.dat", year76Records(1));
  RunResult r = run({"data76.dat", "missing/out.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(maskDuration(r.err),
            failureReport("Output file \"missing/out.txt" + kMissingDirectoryTail));
}

TEST_F(ConversionRun, MetadataFileThatCannotBeMadeFailsAfterTheOutputFile) {
  writeFile(dir_ / "data76.dat", year76Records(1));
  fs::create_directory(dir_ / "out.txt.meta.txt");
  RunResult r = run({"data76.dat", "out.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(maskDuration(r.err),
            failureReport("Output file \"out.txt.meta.txt" + kMissingDirectoryTail));
  EXPECT_TRUE(exists("out.txt"));
}

TEST_F(ConversionRun, YearWithoutLayoutFailsAfterTheReadersLine) {
  struct Case {
    const char* input;
    const char* message;
  };
  for (const Case& c : {Case{"data75.dat", "could not find metadata for year 75"},
                        Case{"data-5.dat", "could not find metadata for year 4294967291"},
                        Case{"dataxx.dat", "could not find metadata for year 0"}}) {
    writeFile(dir_ / c.input, year76Records(1));
    RunResult r = run({c.input, "out.txt"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "Reader\tmoreGets\tnoMoreGets\t0\t0\n");
    EXPECT_EQ(maskDuration(r.err), failureReport(c.message));
  }
}

TEST_F(ConversionRun, DamagedInputEndsWithTheTeardownLinesFirst) {
  std::string input = year76Records(2);
  input[1603] = 'x';  // the second record's LF
  writeFile(dir_ / "data76.dat", input);
  RunResult r = run({"data76.dat", "out.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, kEmptyHistogram +
                       "Integrator\tmoreGets\tnoMoreGets\t3\t0\n"
                       "AddressValueifier\tmoreGets\tnoMoreGets\t3\t0\n"
                       "Recordifier\tmoreGets\tnoMoreGets\t3\t0\n"
                       "CrLfRemover\tmoreGets\tnoMoreGets\t1599\t0\n"
                       "recordLen\tblockLen\tnumRecs\tfinalPhaseWithinRecord\t804\t3220\t2\t800\n"
                       "Reader\tmoreGets\tnoMoreGets\t1604\t0\n");
  EXPECT_EQ(contents("out.txt"), "1\n1\n2\n");
  EXPECT_EQ(maskDuration(r.err),
            failureReport(
                "At record 3, stream contained 120 at input location 1604 but 10 was expected"));
}

TEST_F(ConversionRun, UnreadableInputFailsOnItsFirstRead) {
  fs::create_directory(dir_ / "dir76.dat");
  RunResult r = run({"dir76.dat", "out.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, kEmptyHistogram +
                       "Integrator\tmoreGets\tnoMoreGets\t0\t0\n"
                       "AddressValueifier\tmoreGets\tnoMoreGets\t0\t0\n"
                       "Recordifier\tmoreGets\tnoMoreGets\t0\t0\n"
                       "CrLfRemover\tmoreGets\tnoMoreGets\t0\t0\n"
                       "recordLen\tblockLen\tnumRecs\tfinalPhaseWithinRecord\t804\t3220\t0\t0\n"
                       "Reader\tmoreGets\tnoMoreGets\t0\t0\n");
  EXPECT_EQ(maskDuration(r.err),
            failureReport(
                "At record 0, 'get()' from file \"dir76.dat\" failed for a reason other than end "
                "of file"));
}

TEST_F(ConversionRun, InputPathTooShortForTheYearFailsBeforeAnyFileIsMade) {
  writeFile(dir_ / "7.dat", year76Records(1));
  RunResult r = run({"7.dat", "out.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(maskDuration(r.err),
            failureReport("input path \"7.dat\" is too short to carry the survey year"));
  EXPECT_FALSE(exists("out.txt"));
  EXPECT_FALSE(exists("out.txt.meta.txt"));
}

TEST_F(ConversionRun, OutputPathNamingTheInputIsRefusedAndTheInputKept) {
  const std::string input = year76Records(2);
  writeFile(dir_ / "data76.dat", input);
  fs::create_hard_link(dir_ / "data76.dat", dir_ / "linked.txt");
  fs::create_symlink("data76.dat", dir_ / "alias.txt");
  for (const char* output : {"data76.dat", "./data76.dat", "linked.txt", "alias.txt"}) {
    RunResult r = run({"data76.dat", output});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(maskDuration(r.err), failureReport(std::string("Output file \"") + output +
                                                 "\" is the input file; refusing to overwrite it"));
    EXPECT_EQ(contents("data76.dat"), input);
    EXPECT_FALSE(exists(std::string(output) + ".meta.txt"));
  }
}

TEST_F(ConversionRun, MetadataPathNamingTheInputIsRefusedBeforeAnyFileIsMade) {
  const std::string input = year76Records(1);
  writeFile(dir_ / "data76.dat", input);
  fs::create_symlink("data76.dat", dir_ / "out.meta.txt");
  RunResult r = run({"data76.dat", "out"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(maskDuration(r.err),
            failureReport("Output file \"out.meta.txt\" is the input file; refusing to overwrite "
                          "it"));
  EXPECT_FALSE(exists("out"));
  EXPECT_EQ(contents("data76.dat"), input);
}

}  // namespace
