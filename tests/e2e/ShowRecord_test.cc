// --show-record read back against what it claims: each value is the field of
// the same record in a conversion's output, and each run of bytes stands at
// its offset in the input file.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/DurationLine.h"
#include "e2e/RunProgram.h"
#include "e2e/TextFields.h"

namespace {

namespace fs = std::filesystem;

const std::string kReport = "Caught std::exception whose 'what()' output appears below.\n";

// As split(), but an empty text has no piece.
std::vector<std::string> piecesOf(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

struct ShownRow {
  std::uint32_t address = 0;
  std::vector<std::string> offsets;
  std::vector<std::string> bytes;
  std::string entry;
  std::string value;
};

struct Shown {
  std::map<std::string, std::string> head;
  std::vector<ShownRow> rows;
};

// The head's "name<TAB>value" lines up to the header row, then the rows.
Shown parseShown(const std::string& out) {
  Shown shown;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line) && line != "address\toffset\tbytes\tentry\tvalue") {
    const std::size_t tab = line.find('\t');
    shown.head[line.substr(0, tab)] = line.substr(tab + 1);
  }
  while (std::getline(lines, line)) {
    const std::vector<std::string> cells = piecesOf(line, '\t');
    EXPECT_EQ(cells.size(), 5u) << line;
    if (cells.size() != 5) continue;
    shown.rows.push_back({static_cast<std::uint32_t>(std::stoul(cells[0])), piecesOf(cells[1], ' '),
                          piecesOf(cells[2], ' '), cells[3], cells[4]});
  }
  return shown;
}

std::string lineOf(const std::string& file, std::size_t number) {
  const std::vector<std::string> lines = piecesOf(file, '\n');
  return number <= lines.size() ? lines[number - 1] : "";
}

// Each row's value is the field at its address in `line`, and a field with no
// row is empty.
void expectValuesOfLine(const Shown& shown, const std::string& line) {
  const std::vector<std::string> fields = piecesOf(line, '\t');
  std::map<std::uint32_t, std::string> byAddress;
  for (const ShownRow& row : shown.rows) byAddress[row.address] = row.value;
  ASSERT_FALSE(byAddress.empty());
  EXPECT_EQ(fields.size(), byAddress.rbegin()->first);
  for (std::size_t k = 0; k < fields.size(); ++k) {
    const auto row = byAddress.find(static_cast<std::uint32_t>(k + 1));
    EXPECT_EQ(fields[k], row == byAddress.end() ? "" : row->second) << "address " << k + 1;
  }
}

// Each run of bytes that is not carried stands at its offset in `file`, within
// the record's range; a bit of a packed field is the bit of its byte that the
// value says. Returns whether any run was carried.
bool expectBytesInFile(const Shown& shown, const std::string& file) {
  const std::uint64_t first = std::stoull(shown.head.at("first_offset"));
  const std::uint64_t end = std::stoull(shown.head.at("end_offset"));
  bool carried = false;
  for (const ShownRow& row : shown.rows) {
    SCOPED_TRACE("address " + std::to_string(row.address));
    EXPECT_EQ(row.offsets.size(), row.bytes.size());
    for (std::size_t k = 0; k < row.offsets.size() && k < row.bytes.size(); ++k) {
      if (row.offsets[k] == "carried") {
        carried = true;
        continue;
      }
      const std::uint64_t offset = std::stoull(row.offsets[k]);
      const std::size_t length = row.bytes[k].size() / 2;
      EXPECT_GE(offset, first);
      EXPECT_LE(offset + length, end);
      EXPECT_EQ(hexOf(file.substr(offset, length)), row.bytes[k]);
    }
    const std::size_t bit = row.entry.find(", bit ");
    if (bit != std::string::npos && row.offsets[0] != "carried") {
      const int k = std::stoi(row.entry.substr(bit + 6));
      const auto byte = static_cast<unsigned char>(file[std::stoull(row.offsets[0])]);
      EXPECT_EQ(row.value, std::to_string((byte >> (7 - k % 8)) & 1));
    }
  }
  return carried;
}

RunResult shell(const std::string& script, const fs::path& dir) {
  return runProgram("/bin/sh", {"-c", "D='" SURVEY_DECODER_EXE "'; " + script}, dir);
}

// Writes dataYY.dat, a sample of `records` records of year YY, into `dir`;
// returns its name.
std::string makeSample(const ScratchDir& dir, const std::string& year, const std::string& records) {
  const std::string name = "data" + year + ".dat";
  const RunResult made = runSample({year, name, "--records", records}, dir.path());
  EXPECT_EQ(made.exitStatus, 0) << made.err;
  return name;
}

struct ShowCase {
  const char* year;
  const char* records;
  std::uint64_t record;
  const char* command;  // $D is the decoder; dataYY.dat the sample
  bool carries;         // whether values carried from earlier records show
};

void PrintTo(const ShowCase& c, std::ostream* out) {
  *out << c.command;
}

class ShowRecordOfSample : public testing::TestWithParam<ShowCase> {};

TEST_P(ShowRecordOfSample, ShowsTheOutputLineAndTheBytesItCameFrom) {
  const ShowCase& c = GetParam();
  ScratchDir dir;
  const std::string data = makeSample(dir, c.year, c.records);
  ASSERT_EQ(runDecoder({data, "ref.txt"}, dir.path()).exitStatus, 0);

  const RunResult run = shell(c.command, dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const Shown shown = parseShown(run.out);
  EXPECT_EQ(shown.head.at("record"), std::to_string(c.record));
  EXPECT_EQ(shown.head.at("year"), c.year);
  expectValuesOfLine(shown, lineOf(readFile(dir / "ref.txt"), c.record));
  EXPECT_EQ(expectBytesInFile(shown, readFile(dir / data)), c.carries);
}

INSTANTIATE_TEST_SUITE_P(
    FramingsAndInputs, ShowRecordOfSample,
    testing::Values(
        ShowCase{"80", "5", 4, "\"$D\" --show-record 4 data80.dat", false},
        ShowCase{"88", "3", 1, "\"$D\" --show-record=1 data88.dat", false},
        ShowCase{"82", "4", 3,
                 "gzip -c data82.dat > x82.dat.gz && \"$D\" --show-record 3 x82.dat.gz", false},
        ShowCase{"70", "30", 17, "\"$D\" --show-record 17 data70.dat", true},
        ShowCase{"68", "60", 41, "\"$D\" --show-record 41 data68.dat", true},
        ShowCase{"69", "12", 1, "\"$D\" --show-record 1 data69.dat", false},
        ShowCase{"76", "8", 6, "\"$D\" --year 76 --show-record 6 - < data76.dat", true},
        ShowCase{"72", "9", 9, "gzip -c data72.dat > x.gz && \"$D\" --year=72 --show-record 9 x.gz",
                 true},
        ShowCase{"78", "6", 5, "\"$D\" --show-record 5 -- data78.dat", false},
        ShowCase{"78", "6", 2, "cat data78.dat | \"$D\" --year 78 --show-record 2 -", false}));

struct PastEndCase {
  const char* year;
  const char* command;
  std::string err;
};

TEST(ShowRecordPastTheEnd, FailsWithTheNumberOfRecords) {
  const PastEndCase cases[] = {
      {"70", "\"$D\" --show-record 6 data70.dat",
       kReport + "record 6 asked for, but the input holds 5 records\n"},
      {"78", "\"$D\" -k --show-record 100 data78.dat",
       kReport + "record 100 asked for, but the input holds 5 records\n"},
      {"80", "\"$D\" --show-record 6 data80.dat",
       "pseudoFileSize != metaData.fileSize (15846 != 147896000)\n" + kReport +
           "record 6 asked for, but the input holds 5 records\n"},
  };
  for (const PastEndCase& c : cases) {
    SCOPED_TRACE(c.command);
    ScratchDir dir;
    makeSample(dir, c.year, "5");
    const RunResult run = shell(c.command, dir.path());
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err);
  }
}

// A sample with one of its records damaged by `damage`.
struct DamageCase {
  const char* year;
  const char* records;
  std::function<void(std::string&)> damage;
  std::uint64_t record;    // a record after the damage
  std::uint64_t rejected;  // records -k skips before it
  std::string failure;     // the report of a conversion without -k
};

void PrintTo(const DamageCase& c, std::ostream* out) {
  *out << c.year << " record " << c.record;
}

class ShowRecordAfterDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(ShowRecordAfterDamage, FailsAsAConversionWithoutKeepGoingAndReachesItWithIt) {
  const DamageCase& c = GetParam();
  ScratchDir dir;
  const std::string data = makeSample(dir, c.year, c.records);
  std::string bytes = readFile(dir / data);
  c.damage(bytes);
  writeFile(dir / data, bytes);
  const std::string number = std::to_string(c.record);

  const RunResult failed = runDecoder({"--show-record", number, data}, dir.path());
  EXPECT_EQ(failed.exitStatus, 1);
  EXPECT_EQ(failed.out, "");
  EXPECT_EQ(failed.err, kReport + c.failure + "\n");
  const RunResult conversion = runDecoder({data, "plain.txt"}, dir.path());
  EXPECT_EQ(maskDuration(conversion.err), failureReport(c.failure));

  const RunResult kept = runDecoder({"-k", data, "kept.txt"}, dir.path());
  ASSERT_EQ(kept.exitStatus, 2) << kept.err;
  const RunResult run = runDecoder({"-k", "--show-record", number, data}, dir.path());
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err,
            std::to_string(c.rejected) + " records rejected before record " + number + "\n");
  const Shown shown = parseShown(run.out);
  expectValuesOfLine(shown, lineOf(readFile(dir / "kept.txt"), c.record));
  expectBytesInFile(shown, bytes);

  const std::size_t lines = piecesOf(readFile(dir / "kept.txt"), '\n').size() - 1;
  const std::string past = std::to_string(lines + 1);
  const RunResult pastEnd = runDecoder({"-k", "--show-record", past, data}, dir.path());
  EXPECT_EQ(pastEnd.exitStatus, 1);
  // Read to its end, the input gets the conversion's size warning.
  const std::string warning =
      kept.err.rfind("pseudoFileSize", 0) == 0 ? kept.err.substr(0, kept.err.find('\n') + 1) : "";
  EXPECT_EQ(pastEnd.err, warning + kReport + "record " + past + " asked for, but the input holds " +
                             std::to_string(lines) + " records, besides " +
                             std::to_string(c.rejected) + " rejected\n");
}

// A year-80 record takes 2642 bytes of the file, its CR LF included. The
// failures count the records fetched before the damaged one.
INSTANTIATE_TEST_SUITE_P(
    Framings, ShowRecordAfterDamage,
    testing::Values(
        // Seven bytes of record 3 lost.
        DamageCase{"80", "6", [](std::string& b) { b.erase(2 * 2642 + 100, 7); }, 5, 1,
                   "At record 2, stream contained 0 at input location 7925 but 13 was "
                   "expected"},
        // The CR LF after record 2 lost.
        DamageCase{"78", "6",
                   [](std::string& b) { b.erase(b.find("\r\n", b.find("\r\n") + 2), 2); }, 4, 1,
                   "At record 1, stream contained 194 at input location 1144 but 13 was expected"},
        // An end-of-record marker of record 3 made into an address.
        DamageCase{"70", "12",
                   [](std::string& b) {
                     std::size_t at = 0;
                     for (int k = 0; k < 3; ++k) at = b.find("\xff\xff\xff\xff", at) + 4;
                     b[at - 1] = '\x00';
                   },
                   8, 1, "At record 2, no val for addr 3267547844"}));

// The terminal sessions between the format guide's example markers: each
// fenced block holds commands ("$ " lines) and the output they print.
struct Session {
  std::string script;
  std::string output;
};

std::vector<Session> sessionsInGuide() {
  const std::string guide = readFile(fs::path(SURVEY_SOURCE_DIR) / "docs" / "formats.md");
  const std::string begin = "<!-- show-record-example -->\n";
  const std::size_t from = guide.find(begin);
  const std::size_t to = guide.find("<!-- /show-record-example -->");
  std::vector<Session> sessions;
  if (from == std::string::npos || to == std::string::npos || to < from) return sessions;
  std::istringstream block(guide.substr(from + begin.size(), to - from - begin.size()));
  bool inFence = false;
  for (std::string line; std::getline(block, line);) {
    if (line.rfind("```", 0) == 0) {
      inFence = !inFence;
      if (inFence) sessions.emplace_back();
    } else if (inFence && line.rfind("$ ", 0) == 0) {
      sessions.back().script += line.substr(2) + "\n";
    } else if (inFence) {
      sessions.back().output += line + "\n";
    }
  }
  return sessions;
}

TEST(ShowRecordGuide, ExamplesPrintWhatTheGuideShows) {
  const std::vector<Session> sessions = sessionsInGuide();
  ASSERT_EQ(sessions.size(), 2u) << "the guide's examples between its markers";
  const char* path = std::getenv("PATH");
  const std::string searchPath = fs::path(SURVEY_DECODER_EXE).parent_path().string() + ":" +
                                 fs::path(SURVEY_SAMPLE_EXE).parent_path().string() + ":" +
                                 (path != nullptr ? path : "/usr/bin:/bin");
  for (const Session& session : sessions) {
    SCOPED_TRACE(session.script);
    ScratchDir dir;
    writeFile(dir / "session.sh", session.script);
    const RunResult run =
        runProgram("/usr/bin/env", {"PATH=" + searchPath, "bash", "session.sh"}, dir.path());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, session.output);
  }
}

}  // namespace
