#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/RunProgram.h"
#include "survey_decoder.h"

namespace {

// A record as text: what identifies it and every value, so that two ways of
// pulling records compare with one EXPECT_EQ.
std::string describe(const survey::Record& record) {
  std::ostringstream out;
  out << record.line() << ' ' << record.format() << ' ' << record.startOffset() << '-'
      << record.endOffset() << ':';
  for (const survey::Cell& cell : record.cells()) {
    out << ' ' << cell.address << cell.type << cell.word << '/' << cell.text;
  }
  return out.str();
}

// What pulling every record of an input leaves: the records, the failure
// that ended them, the rejected stretches.
struct Pulled {
  std::vector<std::string> records;
  std::string failure;
  std::size_t stretches = 0;
};

// Pulls every record of `input` straight from a decoder, or through a pump,
// whose every call after a failure must fail again.
Pulled pull(const std::filesystem::path& input, bool keepGoing, bool throughPump) {
  Pulled pulled;
  survey::Options options;
  options.keepGoing = keepGoing;
  options.rejected = [&pulled](const survey::RejectedStretch&) { ++pulled.stretches; };
  survey::Decoder decoder = survey::Decoder::open(input.string(), options);
  std::optional<survey::RecordPump> pump;
  if (throughPump) pump.emplace(decoder);
  survey::Record own;
  auto next = [&]() -> const survey::Record* {
    if (pump) return pump->next();
    return decoder.next(own) ? &own : nullptr;
  };
  try {
    while (const survey::Record* record = next()) pulled.records.push_back(describe(*record));
  } catch (const survey::DecodeError& e) {
    pulled.failure = e.what();
    EXPECT_THROW(next(), survey::DecodeError);
  }
  return pulled;
}

TEST(RecordPump, DeliversTheDecodersRecordsAndFailureInOrder) {
  ScratchDir dir;
  writeSampleFile(dir, "80", "s80.dat", "70", {"--values", "wide"});
  writeFile(dir / "cut80.dat", readFile(dir / "s80.dat").substr(0, 60000));
  writeSampleFile(dir, "76", "s76.dat", "40");
  std::string damaged = readFile(dir / "s76.dat");
  for (std::size_t at = 700; at < damaged.size(); at += 9001) damaged[at] ^= 0x5A;
  writeFile(dir / "d76.dat", damaged);
  struct Case {
    const char* input;
    bool keepGoing;
    bool fails;
  };
  for (const Case& c :
       {Case{"s80.dat", false, false}, Case{"cut80.dat", false, true}, Case{"d76.dat", true, false},
        Case{"d76.dat", false, true}, Case{"missing80.dat", false, true}}) {
    const Pulled direct = pull(dir / c.input, c.keepGoing, false);
    const Pulled pumped = pull(dir / c.input, c.keepGoing, true);
    EXPECT_EQ(pumped.records, direct.records) << c.input;
    EXPECT_EQ(pumped.failure, direct.failure) << c.input;
    EXPECT_EQ(pumped.stretches, direct.stretches) << c.input;
    EXPECT_EQ(pumped.failure.empty(), !c.fails) << c.input;
    EXPECT_EQ(pumped.records.empty(), c.input == std::string("missing80.dat")) << c.input;
    EXPECT_EQ(pumped.stretches != 0, c.keepGoing) << c.input;
  }
}

TEST(RecordPump, StopsEarlyAndLeavesTheDecoderToFinish) {
  ScratchDir dir;
  writeSampleFile(dir, "80", "s80.dat", "200");
  std::ostringstream report;
  survey::Options options;
  options.report = &report;
  survey::Decoder decoder = survey::Decoder::open((dir / "s80.dat").string(), options);
  {
    survey::RecordPump pump(decoder);
    ASSERT_TRUE(pump.wait(std::chrono::minutes(1)));
    EXPECT_TRUE(pump.ready());
    const survey::Record* first = pump.next();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->line(), 1u);
  }  // the pump stops with batches filled and waiting
  decoder.finish();
  EXPECT_FALSE(decoder.complete());
  EXPECT_NE(report.str(), "");
}

}  // namespace
