// What a run does to the files it finds at its output paths and beside them:
// a file the decoder did not write is never overwritten or removed, and no
// table, schema or rejects file of another run is left to describe OUTPUT.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "e2e/DurationLine.h"
#include "e2e/RunProgram.h"

namespace {

// A directory with raw samples of years 80 and 86 (20 records), a gzip copy
// of the first, an empty year-80 file and a truncated one, whose last record
// a run without -k fails at and a run with -k rejects.
class SampleDir {
 public:
  SampleDir() {
    for (const char* year : {"80", "86"})
      writeSampleFile(dir, year, std::string("sample") + year + ".dat", "20");
    const RunResult made = shell(
        "gzip -n -c sample80.dat > z80.dat.gz && : > empty80.dat && "
        "head -c 20000 sample80.dat > cut80.dat",
        dir.path());
    EXPECT_EQ(made.exitStatus, 0) << made.err;
  }
  const std::filesystem::path& path() const { return dir.path(); }

 private:
  ScratchDir dir;
};

std::string refusal(const std::string& output) {
  return "Output file \"" + output +
         "\" exists and is not a decoded text file; refusing to overwrite it";
}

// The run stops before any stage is built: nothing on standard output, the
// duration line and the report on standard error, no file made or changed.
TEST(ForeignOutputFiles, AreRefusedBeforeAnythingIsWritten) {
  struct Case {
    const char* setup;    // shell commands run before the snapshot
    const char* command;  // $D is the decoder
    std::string message;
  };
  const Case cases[] = {
      // A glob that matches two raw files names the second as OUTPUT.
      {":", "\"$D\" sample8*.dat", refusal("sample86.dat")},
      {":", "\"$D\" sample80.dat z80.dat.gz", refusal("z80.dat.gz")},
      {"cp sample86.dat out.txt.meta.txt", "\"$D\" sample80.dat out.txt",
       refusal("out.txt.meta.txt")},
      // The output path first, then the metadata path.
      {"cp sample86.dat out.txt.meta.txt && cp z80.dat.gz out.txt", "\"$D\" sample80.dat out.txt",
       refusal("out.txt")},
      {"cp sample86.dat out.txt.rejects.tsv", "\"$D\" -k sample80.dat out.txt",
       refusal("out.txt.rejects.tsv")},
      {"cp sample86.dat out.txt.District_Summary.schema.tsv",
       "\"$D\" --tables sample80.dat out.txt", refusal("out.txt.District_Summary.schema.tsv")},
      // The refusal of an output that is the input comes first.
      {":", "\"$D\" sample80.dat sample80.dat",
       "Output file \"sample80.dat\" is the input file; refusing to overwrite it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    SampleDir dir;
    ASSERT_EQ(shell(c.setup, dir.path()).exitStatus, 0);
    const std::map<std::string, std::string> before = snapshot(dir.path());
    const RunResult r = shell(c.command, dir.path());
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(maskDuration(r.err), failureReport(c.message));
    EXPECT_EQ(snapshot(dir.path()), before);
  }
}

// Files named out.txt* after a run into out.txt, by suffix ("" for OUTPUT).
std::set<std::string> outputSuffixes(const std::filesystem::path& dir) {
  std::set<std::string> suffixes;
  for (const auto& [name, contents] : snapshot(dir)) {
    if (name.rfind("out.txt", 0) == 0) suffixes.insert(name.substr(7));
  }
  return suffixes;
}

// After the files of an earlier run (or a user's own) beside out.txt, a run
// into out.txt leaves exactly the files the same run leaves in a directory of
// its own, with the same contents, besides the user's files, untouched. A
// rerun over the decoder's own files replaces them.
TEST(FilesBesideOutput, NoneOfAnotherRunIsLeftAndNoUsersFileIsTouched) {
  struct Case {
    const char* name;
    const char* earlier;  // shell commands that leave files beside out.txt
    const char* options;  // of the run under test, before INPUT
    const char* input;
    int exitStatus;
    std::set<std::string> left;  // suffixes of the files named out.txt* after it
  };
  const std::set<std::string> plain = {"", ".meta.txt"};
  const std::set<std::string> tables80 = {"",
                                          ".meta.txt",
                                          ".District.tsv",
                                          ".District.schema.tsv",
                                          ".School.tsv",
                                          ".School.schema.tsv"};
  const char* const tables86 = "\"$D\" --tables sample86.dat out.txt";
  const char* const rejects = "\"$D\" -k cut80.dat out.txt; test -s out.txt.rejects.tsv";
  const char* const users =
      "echo my notes > out.txt.District.tsv && echo my notes > out.txt.rejects.tsv && "
      "printf 'column\\taddress\\n' > out.txt.School.schema.tsv";
  const Case cases[] = {
      {"tables of another year", tables86, "--tables", "sample80.dat", 0, tables80},
      {"tables, then no tables", tables86, "", "sample80.dat", 0, plain},
      {"tables, then an empty input", tables86, "--tables", "empty80.dat", 0, plain},
      {"rejects, then no -k", rejects, "", "sample80.dat", 0, plain},
      {"rejects, then -k and none", rejects, "-k", "sample80.dat", 0, plain},
      {"rejects, then new rejects",
       rejects,
       "-k --tables",
       "cut80.dat",
       2,
       {"", ".meta.txt", ".rejects.tsv", ".District.tsv", ".District.schema.tsv", ".School.tsv",
        ".School.schema.tsv"}},
      {"rerun over its own output",
       tables86,
       "--tables",
       "sample86.dat",
       0,
       {"", ".meta.txt", ".District.tsv", ".District.schema.tsv", ".School.tsv",
        ".School.schema.tsv", ".District_Summary.tsv", ".District_Summary.schema.tsv"}},
      {"a user's files",
       users,
       "-k",
       "sample86.dat",
       0,
       {"", ".meta.txt", ".District.tsv", ".rejects.tsv", ".School.schema.tsv"}},
      // A failed run removes the tables it wrote: no partial table is left.
      {"a failed run", ":", "--tables", "cut80.dat", 1, plain},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SampleDir dir;
    const std::string options = std::string("\"$D\" ") + c.options + " " + c.input;
    const RunResult reference = shell(options + " ref.txt", dir.path());
    ASSERT_EQ(reference.exitStatus, c.exitStatus) << reference.err;
    shell(c.earlier, dir.path());
    const std::map<std::string, std::string> earlier = snapshot(dir.path());
    const RunResult r = shell(options + " out.txt", dir.path());
    EXPECT_EQ(r.exitStatus, c.exitStatus) << r.err;
    EXPECT_EQ(outputSuffixes(dir.path()), c.left);
    const std::map<std::string, std::string> after = snapshot(dir.path());
    for (const std::string& suffix : c.left) {
      SCOPED_TRACE("out.txt" + suffix);
      const auto ours = after.find("ref.txt" + suffix);
      // What the same run left on its own, or else the user's file as it was.
      const std::string expected =
          ours != after.end() ? ours->second : earlier.at("out.txt" + suffix);
      EXPECT_TRUE(after.at("out.txt" + suffix) == expected);
    }
  }
}

// A run that skips damage can meet the input's end twice; it warns once.
TEST(SizeWarning, IsWrittenOnceByAKeepGoingRunOnATruncatedFile) {
  SampleDir dir;
  const RunResult r = runDecoder({"-k", "cut80.dat", "out.txt"}, dir.path());
  EXPECT_EQ(r.exitStatus, 2);
  EXPECT_EQ(maskDuration(r.err),
            "pseudoFileSize != metaData.fileSize (21128 != 147896000)\n"
            "1 records rejected; see out.txt.rejects.tsv\n"
            "duration: * seconds\n");
}

}  // namespace
