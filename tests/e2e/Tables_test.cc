// The typed tables of --tables, loaded by the real clients with the loaders of the README as
// they stand, and checked cell by cell against the output file and, for floats, against the
// bits in the input file.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "e2e/DecodedRun.h"
#include "e2e/DurationLine.h"
#include "e2e/RunProgram.h"
#include "e2e/TextFields.h"
#include "framing/Ebcdic.h"

namespace {

namespace fs = std::filesystem;

const char* const kFormatNames[] = {"District", "School", "District_Summary"};

// The code between `<!-- marker -->` and `<!-- /marker -->` in `file`, without the fences.
std::string block(const fs::path& file, const std::string& marker) {
  const std::string text = readFile(file);
  const std::string begin = "<!-- " + marker + " -->\n";
  const std::size_t from = text.find(begin);
  const std::size_t to = text.find("<!-- /" + marker + " -->");
  if (from == std::string::npos || to == std::string::npos || to < from) return "";
  std::string code;
  for (const std::string& line :
       linesOf(text.substr(from + begin.size(), to - from - begin.size())))
    if (line.rfind("```", 0) != 0) code += line + "\n";
  return code;
}

// One analysis client: how to start it, the loader's marker, the code that writes what
// it loaded to dump.tsv, and how it reads a column type.
struct Client {
  const char* name;
  const char* marker;
  std::vector<std::vector<std::string>> commands;  // candidates, each with its probe
  std::vector<std::string> probe;
  std::string dumpCode;
  std::map<std::string, std::string> typeNames;  // schema column type -> client's type name
};

// Writes, for every table, "NAME\trows\tN", then per column "NAME\tdtype\tCOLUMN\tTYPE" and
// per cell "NAME\tcell\tROW\tCOLUMN\tVALUE": a missing cell as (missing), a float NaN as nan,
// infinities as inf and -inf, other floats (in R every number) in %.17g, integers as such.
const char kPandasDump[] = R"dump(
import os
import numpy as np
with open("dump.tsv", "w") as out:
    for name in ["District", "School", "District_Summary"]:
        path = "OUTPUT." + name + ".tsv"
        if not os.path.exists(path):
            continue
        table = load_table(path)
        out.write(f"{name}\trows\t{len(table)}\n")
        for column in table.columns:
            out.write(f"{name}\tdtype\t{column}\t{table[column].dtype}\n")
            for row, value in enumerate(table[column].tolist()):
                if value is pd.NA:
                    text = "(missing)"
                elif isinstance(value, (float, np.floating)):
                    # A numpy single widens to a double exactly, and %.17g keeps that double.
                    value = float(value)
                    text = "nan" if value != value else "%.17g" % value
                else:
                    text = str(value)
                out.write(f"{name}\tcell\t{row}\t{column}\t{text}\n")
)dump";

// LOAD is the loader's call.
const char kRDump[] = R"dump(
parts <- list()
for (name in c("District", "School", "District_Summary")) {
  path <- paste0("OUTPUT.", name, ".tsv")
  if (!file.exists(path)) next
  table <- LOAD
  parts[[length(parts) + 1]] <- paste(name, "rows", nrow(table), sep = "\t")
  for (column in names(table)) {
    values <- table[[column]]
    parts[[length(parts) + 1]] <- paste(name, "dtype", column, class(values), sep = "\t")
    if (is.numeric(values)) {
      text <- ifelse(is.nan(values), "nan",
                     ifelse(is.na(values), "(missing)", sprintf("%.17g", values)))
      text[is.infinite(values)] <- ifelse(values[is.infinite(values)] > 0, "inf", "-inf")
    } else {
      text <- ifelse(is.na(values), "(missing)", values)
    }
    parts[[length(parts) + 1]] <- paste(name, "cell", seq_along(values) - 1, column, text,
                                        sep = "\t")
  }
}
writeLines(unlist(parts), "dump.tsv")
)dump";

const std::map<std::string, std::string> kRTypes = {
    {"uint32", "numeric"}, {"int32", "numeric"}, {"float32", "numeric"}, {"string", "character"}};

// The R loader, `load` its call, started after `probe`.
Client rClient(const char* name, const char* probe, const std::string& load) {
  std::string dump = kRDump;
  dump.replace(dump.find("LOAD"), 4, load);
  return {name, "tables-r", {{"/usr/bin/env", "Rscript"}}, {"-e", probe}, dump, kRTypes};
}

const Client kPandas = {
    "pandas",
    "tables-pandas",
    {{"/usr/bin/env", "python3"}, {"/usr/bin/python3"}},
    {"-c", "import pandas"},
    kPandasDump,
    {{"uint32", "UInt32"}, {"int32", "Int32"}, {"float32", "Float32"}, {"string", "string"}}};
// The R loader both ways: through data.table's fread, and through base R alone.
const Client kRFread = rClient("R_fread", "library(data.table)", "load_table(path, fast = TRUE)");
const Client kRBase = rClient("R_base", "invisible(0)", "load_table(path, fast = FALSE)");

// The command that starts `client`, or nothing when it is not installed.
std::optional<std::vector<std::string>> commandOf(const Client& client) {
  for (const std::vector<std::string>& command : client.commands) {
    std::vector<std::string> args(command.begin() + 1, command.end());
    args.insert(args.end(), client.probe.begin(), client.probe.end());
    if (!fs::exists(command[0])) continue;
    if (runProgram(command[0], args, fs::temp_directory_path()).exitStatus == 0) return command;
  }
  return std::nullopt;
}

// EBCDIC for the printable characters of `ascii`.
std::string ebcdic(const std::string& ascii) {
  std::array<unsigned char, 256> code{};
  for (int e = 0; e < 256; ++e) code[EbcdicToAscii[e]] = static_cast<unsigned char>(e);
  std::string bytes;
  for (char c : ascii) bytes += static_cast<char>(code[static_cast<unsigned char>(c)]);
  return bytes;
}

std::size_t occurrences(const std::string& bytes, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = bytes.find(part); at != std::string::npos; at = bytes.find(part, at + 1))
    ++count;
  return count;
}

// Texts that pandas or R read as missing, as logical or as a number, or strip, by default.
const std::vector<std::string> kTrickyTexts = {"NA",  "nan",  "null", "N/A",  "TRUE",  " NA ",
                                               "007", "-nan", "None", "NULL", "T",     "n/a ",
                                               "#",   "'",    "\\",   "  ",   " # '\\"};

// Replaces texts of the sample `input` in `dir` by kTrickyTexts, one string cell each: a
// text of printable characters without a parenthesis (so none rendered as "(ebcdic N)"), whose
// EBCDIC pieces (quartets, or the whole
// text in year 78) occur once in the file, is overwritten by a tricky text padded with EBCDIC
// zero bytes, which a decoded text leaves out. Returns how many texts were planted.
std::size_t plantTrickyTexts(const ScratchDir& dir, const std::string& input, bool year78) {
  const RunResult run = runDecoder({"--tables", input, "plain"}, dir.path());
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  std::string bytes = readFile(dir / input);
  std::size_t planted = 0;
  for (const char* name : kFormatNames) {
    const fs::path table = dir / ("plain." + std::string(name) + ".tsv");
    if (!fs::exists(table)) continue;
    std::vector<std::size_t> textColumns;
    for (const std::string& line :
         linesOf(readFile(dir / ("plain." + std::string(name) + ".schema.tsv")))) {
      const std::vector<std::string> cells = split(line, '\t');
      if (cells[2] == "s") textColumns.push_back(std::stoul(cells[1]));
    }
    for (const std::string& line : linesOf(readFile(table))) {
      const std::vector<std::string> cells = split(line, '\t');
      for (std::size_t column : textColumns) {
        if (planted == kTrickyTexts.size()) break;
        const std::string& text = cells[column];
        const std::string& tricky = kTrickyTexts[planted];
        const std::size_t piece = year78 ? text.size() : 4;
        bool plain = !text.empty() && text.size() % piece == 0 && text.size() >= tricky.size();
        for (char c : text)
          plain = plain && std::isprint(static_cast<unsigned char>(c)) && c != '(';
        for (std::size_t at = 0; plain && at < text.size(); at += piece)
          plain = occurrences(bytes, ebcdic(text.substr(at, piece))) == 1;
        if (!plain) continue;
        std::string replacement = ebcdic(tricky);
        replacement.resize(text.size(), '\0');
        for (std::size_t at = 0; at < text.size(); at += piece) {
          bytes.replace(bytes.find(ebcdic(text.substr(at, piece))), piece,
                        replacement.substr(at, piece));
        }
        ++planted;
      }
    }
  }
  writeFile(dir / input, bytes);
  return planted;
}

// The record counts of the metadata file, by format index.
std::map<unsigned, std::string> recordCounts(const std::string& meta) {
  std::map<unsigned, std::string> counts;
  const std::vector<std::string> lines = linesOf(meta);
  for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
    const std::string title = "Summary for record format ";
    const std::string count = "There are ";
    if (lines[k].rfind(title, 0) != 0 || lines[k + 1].rfind(count, 0) != 0) continue;
    const std::string rest = lines[k + 1].substr(count.size());
    counts[std::stoul(lines[k].substr(title.size()))] = rest.substr(0, rest.find(' '));
  }
  return counts;
}

// The float rows of --show-record for `line` of `input`; nothing when the run fails.
using Rows = std::vector<std::vector<std::string>>;
std::optional<Rows> floatRowsOf(const ScratchDir& dir, const std::string& input,
                                std::uint64_t line) {
  const RunResult shown = runDecoder({"--show-record", std::to_string(line), input}, dir.path());
  if (shown.exitStatus != 0) return std::nullopt;
  Rows floats;
  for (const std::string& row : linesOf(shown.out)) {
    std::vector<std::string> cells = split(row, '\t');
    if (cells.size() >= 4 && cells[3].rfind("Float", 0) == 0) floats.push_back(std::move(cells));
  }
  return floats;
}

// The float values of the records of `input` by line and address, as 32 bits read from the
// file at the offsets --show-record gives (a value carried from an earlier record in years 68
// to 76 is that record's).
using FloatBits = std::map<std::uint64_t, std::map<std::uint32_t, std::uint32_t>>;
FloatBits floatBitsOf(const ScratchDir& dir, const std::string& input, std::uint64_t lines) {
  const std::string bytes = readFile(dir / input);
  FloatBits bits;
  std::map<std::uint32_t, std::uint32_t> latest;
  for (std::uint64_t line = 1; line <= lines; ++line) {
    const auto rows = floatRowsOf(dir, input, line);
    EXPECT_TRUE(rows.has_value()) << "--show-record " << line;
    for (const std::vector<std::string>& cells : rows.value_or(Rows{})) {
      const std::uint32_t address = std::stoul(cells[0]);
      if (cells[1] != "carried") latest[address] = wordAt(bytes, std::stoul(cells[1]));
      bits[line][address] = latest.at(address);
    }
  }
  return bits;
}

float single(std::uint32_t bits) {
  return std::bit_cast<float>(bits);
}

// Makes the first value of the first float column of `input` a NaN, and the next float value
// (on that line) 15AE43FD, whose shortest form read as a double rounds to another single;
// returns the NaN's address (0 if the file has no float).
std::uint32_t plantNanFirst(const ScratchDir& dir, const std::string& input) {
  std::string bytes = readFile(dir / input);
  for (std::uint64_t line = 1;; ++line) {
    const auto rows = floatRowsOf(dir, input, line);
    if (!rows) return 0;
    const Rows& floats = *rows;
    if (floats.empty()) continue;
    bytes.replace(std::stoul(floats[0][1]), 4, std::string("\x7F\xC0\x00\x00", 4));
    if (floats.size() > 1) bytes.replace(std::stoul(floats[1][1]), 4, "\x15\xAE\x43\xFD");
    writeFile(dir / input, bytes);
    return std::stoul(floats[0][0]);
  }
}

// What the client must have read from the output file's `text` in a column of another type
// than float32.
std::string expectedCell(const std::string& text) {
  return text.empty() ? "(missing)" : text;
}

// Whether the client's `read` is the float `bits`: its number rounded to single precision has
// those bits (NaNs aside).
bool sameFloat(const std::string& read, std::uint32_t bits) {
  if (std::isnan(single(bits))) return read == "nan";
  if (read == "(missing)" || read == "nan") return false;
  const float value = read == "inf"    ? HUGE_VALF
                      : read == "-inf" ? -HUGE_VALF
                                       : static_cast<float>(std::strtod(read.c_str(), nullptr));
  return std::bit_cast<std::uint32_t>(value) == bits;
}

// The schema's min, max and constant of a float column whose values are `values`: the
// numbers' bounds (the first of equal ones), or the first NaN when there is no number.
std::string floatBounds(const std::vector<std::uint32_t>& values) {
  std::optional<std::uint32_t> least, greatest;
  for (std::uint32_t bits : values) {
    if (std::isnan(single(bits))) continue;
    if (!least || single(bits) < single(*least)) least = bits;
    if (!greatest || single(bits) > single(*greatest)) greatest = bits;
  }
  char text[64];
  if (!least) {
    std::snprintf(text, sizeof text, "no %08x %08x", values[0], values[0]);
  } else {
    std::snprintf(text, sizeof text, "%s %08x %08x",
                  single(*least) == single(*greatest) ? "yes" : "no", *least, *greatest);
  }
  return text;
}

// The schema's min, max and constant as floatBounds() gives them, from its cells.
std::string schemaBounds(const std::vector<std::string>& cells) {
  const auto bitsOf = [](const std::string& text) {
    const auto bits = std::bit_cast<std::uint32_t>(std::strtof(text.c_str(), nullptr));
    return text == "nan" ? 0x7FC00000u : text == "-nan" ? 0xFFC00000u : bits;
  };
  char text[64];
  std::snprintf(text, sizeof text, "%s %08x %08x", cells[4].c_str(), bitsOf(cells[5]),
                bitsOf(cells[6]));
  return text;
}

// Compares what the client loaded (dump.tsv) with the output file cell by cell, its floats
// with `floats`, and the schema's float bounds with `floats`; returns the first differences,
// "" when there are none.
std::string differences(const ScratchDir& dir, const Client& client, const FloatBits& floats) {
  std::ostringstream found;
  int reported = 0;
  const auto differ = [&](const std::string& what) {
    if (reported++ < 8) found << what << "\n";
  };
  std::map<std::string, std::vector<std::string>> dump;
  for (const std::string& line : linesOf(readFile(dir / "dump.tsv"))) {
    const std::vector<std::string> cells = split(line, '\t');
    std::string key = cells[0] + "\t" + cells[1];
    for (std::size_t k = 2; k + 1 < cells.size(); ++k) key += "\t" + cells[k];
    dump[key].push_back(cells.back());
  }
  const std::vector<std::string> output = linesOf(readFile(dir / "OUTPUT"));
  const std::map<unsigned, std::string> counts = recordCounts(readFile(dir / "OUTPUT.meta.txt"));
  for (unsigned index = 0; index < 3; ++index) {
    const std::string name = kFormatNames[index];
    const fs::path table = dir / ("OUTPUT." + name + ".tsv");
    if (fs::exists(table) != (counts.count(index) == 1))
      differ(name + ": table or records missing");
    if (!fs::exists(table)) continue;
    const std::vector<std::string> rows = linesOf(readFile(table));
    const std::vector<std::string> header = split(rows[0], '\t');
    if (dump[name + "\trows"] != std::vector<std::string>{counts.at(index)})
      differ(name + ": rows differ from the record count " + counts.at(index));
    std::map<std::string, std::vector<std::string>> schema;
    for (const std::string& line : linesOf(readFile(dir / ("OUTPUT." + name + ".schema.tsv"))))
      schema[split(line, '\t')[0]] = split(line, '\t');
    std::vector<std::uint64_t> lines;
    std::vector<std::vector<std::string>> fieldsOfRows;
    for (std::size_t r = 1; r < rows.size(); ++r) {
      const std::string line = split(rows[r], '\t')[0];
      lines.push_back(std::stoul(line));
      fieldsOfRows.push_back(split(output.at(lines.back() - 1), '\t'));
      fieldsOfRows.back().insert(fieldsOfRows.back().begin(), line);
    }
    for (std::size_t j = 0; j < header.size(); ++j) {
      const std::string& column = header[j];
      const std::string type = schema[column].at(3);
      if (dump[name + "\tdtype\t" + column] != std::vector<std::string>{client.typeNames.at(type)})
        differ(name + " " + column + ": not read as " + client.typeNames.at(type));
      std::vector<std::uint32_t> values;
      for (std::size_t r = 0; r < fieldsOfRows.size(); ++r) {
        const std::vector<std::string>& fields = fieldsOfRows[r];
        const std::string text = j < fields.size() ? fields[j] : "";
        const std::string key = name + "\tcell\t" + std::to_string(r) + "\t" + column;
        const std::string read = dump[key].empty() ? "nothing" : dump[key][0];
        if (type != "float32") {
          if (dump[key] != std::vector<std::string>{expectedCell(text)})
            differ(key + ": expected \"" + expectedCell(text) + "\", read \"" + read + "\"");
          continue;
        }
        const auto& bits = floats.at(lines[r]);
        const auto value = bits.find(static_cast<std::uint32_t>(j));
        if (value == bits.end()) {
          if (read != "(missing)") differ(key + ": expected (missing), read \"" + read + "\"");
          continue;
        }
        values.push_back(value->second);
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08x", value->second);
        if (dump[key].size() != 1 || !sameFloat(read, value->second))
          differ(key + ": expected the float " + hex + ", read \"" + read + "\"");
      }
      if (!values.empty() && schemaBounds(schema[column]) != floatBounds(values))
        differ(name + " " + column + ": schema bounds " + schemaBounds(schema[column]) +
               ", of the values " + floatBounds(values));
    }
  }
  if (reported > 8) found << reported - 8 << " more\n";
  return found.str();
}

struct TableYear {
  const char* year;
  const char* values;  // the sample's value profile
};

class TablesLoad : public testing::TestWithParam<std::tuple<TableYear, const Client*>> {};

TEST_P(TablesLoad, WithTheDocumentedLoaderCellForCellAsTheOutputFileFloatsAsTheInput) {
  const auto& [year, client] = GetParam();
  const std::optional<std::vector<std::string>> command = commandOf(*client);
  if (!command)
    GTEST_SKIP() << client->name << " is not installed (" << client->commands[0][1] << " "
                 << client->probe[1] << " failed)";
  ScratchDir dir;
  const std::string input = std::string("sample") + year.year + ".dat";
  writeSampleFile(dir, year.year, input, "30", {"--values", year.values});
  ASSERT_EQ(plantTrickyTexts(dir, input, year.year == std::string("78")), kTrickyTexts.size());
  const std::uint32_t nanFirst = plantNanFirst(dir, input);
  const RunResult run = runDecoder({"--tables", input, "OUTPUT"}, dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  std::map<std::string, int> fieldsInOutput;
  const std::vector<std::string> lines = linesOf(readFile(dir / "OUTPUT"));
  for (const std::string& line : lines)
    for (const std::string& field : split(line, '\t')) ++fieldsInOutput[field];
  for (const std::string& text : kTrickyTexts)
    EXPECT_GT(fieldsInOutput[text], 0) << "\"" << text << "\" not in the output";
  const FloatBits floats = floatBitsOf(dir, input, lines.size());
  if (nanFirst != 0) {
    // The column's first value is a NaN, and it holds numbers.
    EXPECT_TRUE(std::isnan(single(floats.begin()->second.at(nanFirst))));
    std::size_t numbers = 0;
    for (const auto& [line, values] : floats)
      numbers += values.count(nanFirst) == 1 && !std::isnan(single(values.at(nanFirst)));
    EXPECT_GT(numbers, 0u);
  }

  const std::string loader = block(fs::path(SURVEY_SOURCE_DIR) / "README.md", client->marker);
  ASSERT_NE(loader, "") << "no loader between the README's " << client->marker << " markers";
  writeFile(dir / "load", loader + client->dumpCode);
  std::vector<std::string> args(command->begin() + 1, command->end());
  args.push_back("load");
  const RunResult loaded = runProgram((*command)[0], args, dir.path());
  ASSERT_EQ(loaded.exitStatus, 0) << loaded.err;
  EXPECT_EQ(differences(dir, *client, floats), "");
}

INSTANTIATE_TEST_SUITE_P(
    FixedLength78AndFfRecords, TablesLoad,
    testing::Combine(testing::Values(TableYear{"86", "light"}, TableYear{"78", "light"},
                                     TableYear{"74", "wide"}, TableYear{"80", "wide"},
                                     TableYear{"88", "wide"}),
                     testing::Values(&kPandas, &kRFread, &kRBase)),
    [](const auto& info) {
      return std::string(std::get<1>(info.param)->name) + "_year" + std::get<0>(info.param).year +
             "_" + std::get<0>(info.param).values;
    });

TEST(TablesDocs, TheManualOnFormatsShowsTheReadmeLoaders) {
  for (const char* marker : {"tables-pandas", "tables-r"}) {
    const std::string readme = block(fs::path(SURVEY_SOURCE_DIR) / "README.md", marker);
    EXPECT_NE(readme, "") << marker;
    EXPECT_EQ(block(fs::path(SURVEY_SOURCE_DIR) / "docs/formats.md", marker), readme) << marker;
  }
}

TEST(TablesRun, LeaveEveryOtherOutputAsARunWithoutThem) {
  for (const TableYear year :
       {TableYear{"86", "light"}, TableYear{"78", "light"}, TableYear{"69", "light"},
        TableYear{"74", "wide"}, TableYear{"88", "wide"}}) {
    SCOPED_TRACE(year.year);
    ScratchDir dir;
    const std::string input = std::string("sample") + year.year + ".dat";
    writeSampleFile(dir, year.year, input, "30", {"--values", year.values});
    const RunResult plain = runDecoder({input, "plain"}, dir.path());
    const RunResult tables = runDecoder({"--tables", input, "tables"}, dir.path());
    EXPECT_EQ(tables.exitStatus, plain.exitStatus);
    EXPECT_EQ(tables.out, plain.out);
    EXPECT_EQ(maskDuration(tables.err), maskDuration(plain.err));
    EXPECT_EQ(readFile(dir / "tables"), readFile(dir / "plain"));
    EXPECT_EQ(readFile(dir / "tables.meta.txt"), readFile(dir / "plain.meta.txt"));
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir.path()))
      files += entry.path().filename().string().rfind("plain", 0) == 0;
    EXPECT_EQ(files, 2u) << "a run without --tables writes OUTPUT and OUTPUT.meta.txt only";
  }
}

// A damaged FF-record whose address lies past its table's last column ends a
// run, which leaves no partial table; with -k it is one rejected record, with
// no line, no row and no place in the statistics: the files are those of the
// file without it.
TEST(TablesRun, AnAddressBeyondTheLastColumnOfAnFfRecordTable) {
  const Pairs first = {{1, 5}, {2, 6}};
  const Pairs beyond = {{1, 7}, {700, 1}};
  const Pairs last = {{1, 8}, {3, 9}};
  const std::string message =
      "line 2 has address 700, beyond a593, the last column of "
      "out.District.tsv";
  struct Case {
    const char* option;
    int exitStatus;
    std::string err;  // duration masked
  };
  const Case cases[] = {
      {"--tables", 1, failureReport(message + "; --keep-going skips such records")},
      {"-k", 2, "1 records rejected; see out.rejects.tsv\nduration: * seconds\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    ScratchDir dir;
    writeFile(dir / "data69.dat", ffRecordFile({first, beyond, last}));
    writeFile(dir / "clean69.dat", ffRecordFile({first, last}));
    const RunResult run = runDecoder({"--tables", c.option, "data69.dat", "out"}, dir.path());
    EXPECT_EQ(run.exitStatus, c.exitStatus);
    EXPECT_EQ(maskDuration(run.err), c.err);
    if (c.exitStatus == 1) {
      EXPECT_FALSE(fs::exists(dir / "out.District.tsv"));
      EXPECT_FALSE(fs::exists(dir / "out.District.schema.tsv"));
      EXPECT_EQ(linesOf(readFile(dir / "out")).size(), 2u);
      continue;
    }
    ASSERT_EQ(runDecoder({"--tables", "clean69.dat", "clean"}, dir.path()).exitStatus, 0);
    for (const char* suffix : {"", ".meta.txt", ".District.tsv", ".District.schema.tsv"}) {
      EXPECT_EQ(readFile(dir / (std::string("out") + suffix)),
                readFile(dir / (std::string("clean") + suffix)))
          << suffix;
    }
    const std::vector<std::string> row = onlyRejectsRow(dir / "out.rejects.tsv");
    EXPECT_EQ(row[0], "1");
    EXPECT_EQ(row[3], "1");
    EXPECT_EQ(row[4], message);
  }
}

TEST(TablesRun, RefuseATablePathThatNamesTheInput) {
  ScratchDir dir;
  writeSampleFile(dir, "80", "data80.dat", "3");
  fs::rename(dir / "data80.dat", dir / "t.School.schema.tsv");
  const std::string before = readFile(dir / "t.School.schema.tsv");
  const RunResult run =
      runDecoder({"--tables", "--year", "80", "t.School.schema.tsv", "t"}, dir.path());
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(maskDuration(run.err),
            failureReport("Output file \"t.School.schema.tsv\" is the input file; refusing to "
                          "overwrite it"));
  EXPECT_EQ(readFile(dir / "t.School.schema.tsv"), before);
  EXPECT_FALSE(fs::exists(dir / "t"));
}

}  // namespace
