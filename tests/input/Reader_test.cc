#include "input/Reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/FailureText.h"
#include "e2e/RunProgram.h"

namespace {

// Bytes 0 to 255 over and over, so block edges fall on every value.
std::string everyByteValue(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 256);
  return bytes;
}

class ReaderTest : public testing::Test {
 protected:
  std::string fileWith(const std::string& bytes) {
    const std::string path = (dir_ / "data76.dat").string();
    writeFile(path, bytes);
    return path;
  }
  ScratchDir dir_;
};

TEST_F(ReaderTest, EmptyFileReportsTheEndAtOnceAndAgain) {
  Reader reader(fileWith(""));
  unsigned char byte = 'k';
  EXPECT_FALSE(reader.get(byte));
  EXPECT_FALSE(reader.get(byte));
  EXPECT_EQ(byte, 'k');
  std::size_t got = 0;
  EXPECT_FALSE(reader.getMany(&byte, 1, got));
  EXPECT_EQ(got, 0u);
}

TEST_F(ReaderTest, HandsOutEveryByteUnchangedThenTheEndForEver) {
  const std::string bytes = "a\r\nb\n\r\x1a" + everyByteValue(300) + std::string(1, '\0');
  Reader reader(fileWith(bytes));
  std::string seen;
  unsigned char byte;
  while (reader.get(byte)) seen += static_cast<char>(byte);
  EXPECT_EQ(seen, bytes);
  for (int again = 0; again < 3; ++again) EXPECT_FALSE(reader.get(byte));
}

TEST_F(ReaderTest, BulkAndSingleRequestsMixAcrossBlockEdges) {
  const std::string bytes = everyByteValue(3 * 256 * 1024 + 123);
  Reader reader(fileWith(bytes));
  std::string seen;
  std::vector<unsigned char> block(100000);
  const std::size_t sizes[] = {1, 99999, 7, 100000, 65536};
  for (std::size_t i = 0;; ++i) {
    unsigned char byte;
    if (i % 3 == 2) {
      if (!reader.get(byte)) break;
      seen += static_cast<char>(byte);
      continue;
    }
    const std::size_t want = sizes[i % 5];
    std::size_t got = 0;
    const bool complete = reader.getMany(block.data(), want, got);
    seen.append(block.begin(), block.begin() + got);
    if (!complete) {
      EXPECT_LT(got, want);
      break;
    }
    EXPECT_EQ(got, want);
  }
  EXPECT_EQ(seen, bytes);
  std::size_t got = 0;
  EXPECT_FALSE(reader.getMany(block.data(), 10, got));
  EXPECT_EQ(got, 0u);
}

TEST_F(ReaderTest, MissingFileFailsAtConstruction) {
  EXPECT_EQ(failureOf([] { Reader reader("data76.dat"); }),
            "inFile false after construction: probably file \"data76.dat\" does not exist");
}

TEST_F(ReaderTest, UnreadableFileFailsOnFirstRequest) {
  // A directory opens on Linux, but reading it fails.
  const std::filesystem::path path = dir_ / "dir76.dat";
  std::filesystem::create_directory(path);
  const std::string message =
      "'get()' from file \"" + path.string() + "\" failed for a reason other than end of file";
  Reader reader(path.string());
  unsigned char byte;
  EXPECT_EQ(failureOf([&] { reader.get(byte); }), message);
  std::size_t got = 0;
  EXPECT_EQ(failureOf([&] { reader.getMany(&byte, 1, got); }), message);
  EXPECT_EQ(got, 0u);
}

TEST_F(ReaderTest, IsNamedReader) {
  Reader reader(fileWith("x"));
  EXPECT_EQ(reader.name, "Reader");
  EXPECT_EQ(reader.fileName, (dir_ / "data76.dat").string());
}

}  // namespace
