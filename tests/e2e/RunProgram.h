#ifndef SURVEY_TESTS_E2E_RUNPROGRAM_H_
#define SURVEY_TESTS_E2E_RUNPROGRAM_H_

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// What a finished child process left behind.
struct RunResult {
  int exitStatus = -1;  // the exit code; 128 + signal number if killed
  std::string out;      // everything written to standard output
  std::string err;      // everything written to standard error
};

// Runs `program` with `args` (not including argv[0]) in directory `workDir`,
// capturing both output streams. argv[0] is `program` itself.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::filesystem::path& workDir);

// Runs the built survey-decoder.
RunResult runDecoder(const std::vector<std::string>& args, const std::filesystem::path& workDir);

// Runs `script` with /bin/sh in `workDir`; $D stands for the decoder.
RunResult shell(const std::string& script, const std::filesystem::path& workDir);

// Runs the built survey-sample tool.
RunResult runSample(const std::vector<std::string>& args, const std::filesystem::path& workDir);

// A fresh, empty directory under the system's temporary folder, removed with
// everything in it when the object goes away.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Writes `name` into `dir`: a sample of `records` records of `year`, made with the tool's
// options `more`. A failure of the tool fails the test.
void writeSampleFile(const ScratchDir& dir, const std::string& year, const std::string& name,
                     const std::string& records = "20", const std::vector<std::string>& more = {});

std::string readFile(const std::filesystem::path& path);
// Every regular file of `dir` by name, with its contents.
std::map<std::string, std::string> snapshot(const std::filesystem::path& dir);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

#endif  // SURVEY_TESTS_E2E_RUNPROGRAM_H_
