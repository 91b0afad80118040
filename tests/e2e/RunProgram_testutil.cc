#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "e2e/RunProgram.h"

namespace fs = std::filesystem;

RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const fs::path& workDir) {
  ScratchDir capture;
  const fs::path outPath = capture / "stdout";
  const fs::path errPath = capture / "stderr";
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || chdir(workDir.c_str()) != 0) _exit(127);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  RunResult result;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

RunResult runDecoder(const std::vector<std::string>& args, const fs::path& workDir) {
  return runProgram(SURVEY_DECODER_EXE, args, workDir);
}

RunResult shell(const std::string& script, const fs::path& workDir) {
  return runProgram("/bin/sh", {"-c", "D='" SURVEY_DECODER_EXE "'; " + script}, workDir);
}

RunResult runSample(const std::vector<std::string>& args, const fs::path& workDir) {
  return runProgram(SURVEY_SAMPLE_EXE, args, workDir);
}

void writeSampleFile(const ScratchDir& dir, const std::string& year, const std::string& name,
                     const std::string& records, const std::vector<std::string>& more) {
  std::vector<std::string> args = {year, name, "--records", records};
  args.insert(args.end(), more.begin(), more.end());
  const RunResult made = runSample(args, dir.path());
  EXPECT_EQ(made.exitStatus, 0) << made.err;
}

ScratchDir::ScratchDir() {
  std::string pattern = (fs::temp_directory_path() / "survey-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::map<std::string, std::string> snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    files[entry.path().filename().string()] = readFile(entry.path());
  }
  return files;
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}
