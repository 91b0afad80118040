#include "input/Reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/FailureText.h"
#include "e2e/RunProgram.h"
#include "support/MemoryBytes.h"

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

namespace {

// The window a run that skips damage looks through: offsets, views ahead and
// seeks back over the kept bytes, whatever the block edges.
TEST(ReaderWindowTest, ViewsAndSeeksGiveTheFileBytesAtTheirOffsets) {
  const std::string bytes = everyByteValue(5000);
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t block : {1u, 7u, 256u, 10000u}) {
    SCOPED_TRACE("block " + std::to_string(block));
    Reader reader(std::make_unique<MemoryBlocks>(data, bytes.size(), block), "memory", block);
    reader.keepBehind(300);
    std::string out(1000, '\0');
    std::size_t got = 0;
    ASSERT_TRUE(reader.getMany(reinterpret_cast<unsigned char*>(out.data()), 1000, got));
    EXPECT_EQ(reader.offset(), 1000u);
    EXPECT_LE(reader.oldestKept(), 700u);

    const unsigned char* seen;
    ASSERT_EQ(reader.view(800, 900, seen), 900u);  // back over kept bytes and ahead
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(seen), 900), bytes.substr(800, 900));
    EXPECT_EQ(reader.offset(), 1000u);
    EXPECT_EQ(reader.view(4990, 64, seen), 10u);  // the file ends first
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(seen), 10), bytes.substr(4990));

    reader.seek(750);
    unsigned char byte;
    ASSERT_TRUE(reader.get(byte));
    EXPECT_EQ(byte, static_cast<unsigned char>(bytes[750]));
    reader.seek(4999);
    ASSERT_TRUE(reader.get(byte));
    EXPECT_EQ(byte, static_cast<unsigned char>(bytes[4999]));
    EXPECT_FALSE(reader.get(byte));
    EXPECT_FALSE(reader.failed());
  }
}

TEST(ReaderWindowTest, AReadFailureIsToldFromTheEnd) {
  const std::string bytes = everyByteValue(100);
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  Reader reader(std::make_unique<MemoryBlocks>(data, bytes.size(), 16, 40), "memory", 16);
  std::string out(100, '\0');
  std::size_t got = 0;
  EXPECT_EQ(
      failureOf([&] { reader.getMany(reinterpret_cast<unsigned char*>(out.data()), 100, got); }),
      "read failed after 40 bytes");
  EXPECT_EQ(got, 40u);
  EXPECT_TRUE(reader.failed());
}

}  // namespace
