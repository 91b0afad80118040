#include "core/OutputFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/FailureText.h"
#include "e2e/RunProgram.h"

namespace {

// An existing file is emptied by the first bytes that reach it, or at the end
// of a complete run that wrote none; a failed run leaves an unwritten one.
TEST(OutputFile, ExistingFileKeepsItsContentsUntilTheRunWritesOrCompletes) {
  struct Case {
    const char* written;  // nullptr: nothing written
    bool complete;
    const char* after;
  };
  const Case cases[] = {
      {"a\tb\n", true, "a\tb\n"},
      {"a\tb\n", false, "a\tb\n"},
      {"", true, ""},
      {nullptr, true, ""},
      {nullptr, false, "old content that must stay"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    const std::string path = (dir / "out.txt").string();
    writeFile(path, "old content that must stay");
    OutputFile file(path);
    EXPECT_EQ(readFile(path), "old content that must stay");
    if (c.written != nullptr) file.stream() << c.written << std::flush;
    file.finish(c.complete);
    EXPECT_EQ(readFile(path), c.after) << (c.written ? c.written : "nothing") << c.complete;
    EXPECT_NO_THROW(file.finish());
    EXPECT_EQ(readFile(path), c.after);
  }
}

TEST(OutputFile, NewFileIsCreatedEmptyAtConstruction) {
  ScratchDir dir;
  const std::string path = (dir / "out.txt").string();
  OutputFile file(path);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(readFile(path), "");
  file.stream() << std::string(200000, 'x') << "\n";
  file.finish(false);
  EXPECT_EQ(readFile(path), std::string(200000, 'x') + "\n");
}

TEST(OutputFile, FileThatCannotBeCreatedFailsAtConstruction) {
  ScratchDir dir;
  const std::string path = (dir / "missing" / "out.txt").string();
  EXPECT_EQ(failureOf([&] { OutputFile file(path); }),
            "Output file \"" + path +
                "\" false after construction: probably could not create file. A possible cause "
                "for this is that the directory in the file name does not exist or the file is "
                "in use by another program.");
}

TEST(OutputFile, WriteThatFailsIsReportedByFinish) {
  if (!std::ofstream("/dev/full")) GTEST_SKIP() << "/dev/full is not writable here";
  OutputFile file("/dev/full");
  file.stream() << "lost" << std::endl;
  EXPECT_EQ(failureOf([&] { file.finish(); }),
            "Output file \"/dev/full\" false before destruction.");
  EXPECT_NO_THROW(file.finish());
}

TEST(OutputFile, WriteLostInTheLastBufferIsReportedToo) {
  if (!std::ofstream("/dev/full")) GTEST_SKIP() << "/dev/full is not writable here";
  OutputFile file("/dev/full");
  file.stream() << "no line end, so still buffered";
  EXPECT_EQ(failureOf([&] { file.finish(); }),
            "Output file \"/dev/full\" false before destruction.");
}

}  // namespace
