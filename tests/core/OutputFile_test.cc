#include "core/OutputFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/FailureText.h"
#include "e2e/RunProgram.h"

namespace {

TEST(OutputFile, CreatesOrEmptiesTheFileAndKeepsWhatIsWritten) {
  ScratchDir dir;
  const std::string path = (dir / "out.txt").string();
  writeFile(path, "old content that must go");
  OutputFile file(path);
  EXPECT_EQ(readFile(path), "");
  file.stream() << "a\tb" << std::endl;
  file.finish();
  EXPECT_EQ(readFile(path), "a\tb\n");
  EXPECT_NO_THROW(file.finish());
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
