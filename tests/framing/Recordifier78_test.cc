#include "framing/Recordifier78.h"

#include <gtest/gtest.h>

#include "core/FailureText.h"
#include "framing/StreamStubs.h"

namespace {

// A record of `length` bytes whose header bytes 9 to 13 are `steering`; the
// other bytes are EBCDIC letters, so neither CR nor LF occurs inside.
Bytes Record78(const Bytes& steering, std::size_t length) {
  Bytes record(length, 0xC1);
  std::copy(steering.begin(), steering.end(), record.begin() + 9);
  return record;
}

Bytes WithCrLf(std::initializer_list<Bytes> records) {
  Bytes input;
  for (const Bytes& record : records) {
    input.insert(input.end(), record.begin(), record.end());
    input.push_back(0x0D);
    input.push_back(0x0A);
  }
  return input;
}

const Bytes kShortBlanks = {0xF0, 0x40, 0x40, 0x40, 0x40};
const Bytes kShortZeros = {0xF0, 0xF0, 0xF0, 0xF0, 0xF0};

TEST(Recordifier78Length, ShortOnlyForZeroFollowedByFourBlanksOrFourZeros) {
  struct Case {
    Bytes steering;
    std::size_t length;
  };
  for (const Case& c :
       {Case{kShortBlanks, 275}, Case{kShortZeros, 275}, Case{{0xF0, 0x40, 0x40, 0x40, 0xF0}, 866},
        Case{{0x40, 0x40, 0x40, 0x40, 0x40}, 866}, Case{{0xF1, 0xF0, 0xF0, 0xF0, 0xF0}, 866},
        Case{{0xF0, 0xF0, 0xF0, 0xF0, 0x40}, 866}}) {
    Bytes header = Record78(c.steering, 14);
    EXPECT_EQ(Recordifier78::RecordLength(header.data()), c.length)
        << "bytes 9 to 13 " << testing::PrintToString(c.steering);
  }
}

class Recordifier78Test : public testing::TestWithParam<BulkMode> {
 protected:
  void Frame(const Bytes& input) {
    framer_.reset();  // its link reports on the old source when destroyed
    source_ = std::make_unique<MemoryBytes>(input, GetParam());
    framer_ = std::make_unique<Recordifier78>(78, source_.get());
  }
  std::string FailureOfSecondRecord() {
    std::vector<unsigned char> record;
    EXPECT_TRUE(framer_->get(record));
    return failureOf([&] { framer_->get(record); });
  }
  Upstream<unsigned char>& link() { return framer_->upstream; }

  std::unique_ptr<MemoryBytes> source_;
  std::unique_ptr<Recordifier78> framer_;
};

TEST_P(Recordifier78Test, FramesBothLengthsWithoutTheirLineEnds) {
  Bytes first = Record78(kShortZeros, 275), second = Record78({0xF0, 0xF0, 0xF1}, 866);
  Frame(WithCrLf({first, second}));
  std::vector<unsigned char> record;
  ASSERT_TRUE(framer_->get(record));
  EXPECT_EQ(record, first);
  ASSERT_TRUE(framer_->get(record));
  EXPECT_EQ(record, second);
  EXPECT_FALSE(framer_->get(record));
  EXPECT_TRUE(record.empty());
  EXPECT_EQ(link().moreGets, 275u + 866u + 4u);
  EXPECT_EQ(link().noMoreGets, 1u);
}

TEST_P(Recordifier78Test, EmptyInputHasNoRecord) {
  Frame({});
  std::vector<unsigned char> record = {1};
  EXPECT_FALSE(framer_->get(record));
  EXPECT_TRUE(record.empty());
  EXPECT_EQ(link().noMoreGets, 1u);
}

TEST_P(Recordifier78Test, InputEndingInsideHeaderOrBodyFails) {
  Bytes input = WithCrLf({Record78(kShortBlanks, 275), Record78(kShortBlanks, 275)});
  for (std::size_t cut : {277u + 5u, 277u + 100u, 277u + 274u}) {
    Frame(Truncated(input, cut));
    EXPECT_EQ(FailureOfSecondRecord(), "input ended while trying to get 78 header") << cut;
    EXPECT_EQ(link().moreGets, cut);
    EXPECT_EQ(link().noMoreGets, 1u);
  }
}

TEST_P(Recordifier78Test, MissingOrWrongLineEndFails) {
  Bytes input = WithCrLf({Record78(kShortBlanks, 275), Record78(kShortBlanks, 275)});
  Frame(WithoutBytes(input, 275 + 277, 1));  // LF alone
  EXPECT_EQ(FailureOfSecondRecord(),
            "stream contained 10 at input location 553 but 13 was expected");
  Frame(Truncated(input, 275 + 277));  // no line end at the very end
  EXPECT_EQ(FailureOfSecondRecord(), "stream ended at input location 552 but 13 was expected");
  Frame(Truncated(input, 276 + 277));  // CR without LF
  EXPECT_EQ(FailureOfSecondRecord(), "stream ended at input location 553 but 10 was expected");
  // A 275-byte record read where the header calls for 866 bytes swallows the
  // CR LF and the next record, and fails on whatever stands at byte 867.
  Bytes longer = WithByteAt(input, 9, 0xF1);
  longer.resize(866 + 2, 0xC1);
  Frame(longer);
  EXPECT_EQ(failureOf([&] {
              std::vector<unsigned char> record;
              framer_->get(record);
            }),
            "stream contained 193 at input location 867 but 13 was expected");
}

INSTANTIATE_TEST_SUITE_P(BothBulkModes, Recordifier78Test,
                         testing::Values(BulkMode::kOneByOne, BulkMode::kOverridden));

}  // namespace
