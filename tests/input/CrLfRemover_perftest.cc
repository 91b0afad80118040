#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "core/Upstream.h"
#include "input/CrLfRemover.h"
#include "input/Reader.h"
#include "years/SurveyYear.h"

namespace {

// A year-80 file of 12000 well-formed records (about 32 MB), made once.
const std::string& year80File() {
  static const std::string path = [] {
    const std::string file = (std::filesystem::temp_directory_path() / "perf-data80.dat").string();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    std::string record(2640, '\x40');
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<char>(i * 31 % 256);
    record += "\r\n";
    for (int r = 0; r < 12000; ++r) out << record;
    return file;
  }();
  return path;
}

// Keeps the statistics and layout lines out of the benchmark's report.
struct QuietStreams {
  QuietStreams() : out(std::cout.rdbuf(nullptr)), err(std::cerr.rdbuf(nullptr)) {}
  ~QuietStreams() {
    std::cout.clear();
    std::cerr.clear();
    std::cout.rdbuf(out);
    std::cerr.rdbuf(err);
  }
  std::streambuf* out;
  std::streambuf* err;
};

void BM_ReaderBulk(benchmark::State& state) {
  const std::string& path = year80File();
  std::vector<unsigned char> block(64 * 1024);
  for (auto _ : state) {
    Reader reader(path);
    std::size_t got = 0;
    while (reader.getMany(block.data(), block.size(), got)) got = 0;
    benchmark::DoNotOptimize(block.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(std::filesystem::file_size(path)) *
                          state.iterations());
}
BENCHMARK(BM_ReaderBulk)->Unit(benchmark::kMillisecond);

void BM_CrLfRemoverBulk(benchmark::State& state) {
  const std::string& path = year80File();
  std::vector<unsigned char> block(64 * 1024);
  QuietStreams quiet;
  for (auto _ : state) {
    Reader reader(path);
    CrLfRemover remover(fileMetaDataForYear(80), &reader);
    Upstream<unsigned char> link(&remover);
    while (link.getMany(block.data(), block.size()) == block.size()) {
    }
    remover.finish();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(std::filesystem::file_size(path)) *
                          state.iterations());
}
BENCHMARK(BM_CrLfRemoverBulk)->Unit(benchmark::kMillisecond);

void BM_CrLfRemoverByteWise(benchmark::State& state) {
  const std::string& path = year80File();
  QuietStreams quiet;
  for (auto _ : state) {
    Reader reader(path);
    CrLfRemover remover(fileMetaDataForYear(80), &reader);
    Upstream<unsigned char> link(&remover);
    unsigned char byte;
    while (link.get(byte)) {
    }
    remover.finish();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(std::filesystem::file_size(path)) *
                          state.iterations());
}
BENCHMARK(BM_CrLfRemoverByteWise)->Unit(benchmark::kMillisecond);

}  // namespace
