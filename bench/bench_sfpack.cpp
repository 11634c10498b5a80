// Pack and unpack throughput of the acSFPack codec beside memcpy and LZ4 on the same inputs,
// each as a 64 KiB in-cache block and as one 64 MiB buffer. After the runs it prints the
// throughput on the mixed inputs (total bytes over total time of the four inputs) and the
// ratios the codec is measured by.
#include "storage/acSFPack.h"
#include "bench_inputs.h"

#include <benchmark/benchmark.h>
#include <lz4.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kSmall = 64 * 1024;
constexpr std::size_t kLarge = 64 * 1024 * 1024;

struct Prepared {
  std::string input;  // input name
  std::string size;   // "64KiB" or "64MiB"
  std::vector<std::uint8_t> bytes;
  std::vector<std::uint8_t> packed;  // acSFPack stream
  std::vector<std::uint8_t> lz4;     // LZ4 block
  std::vector<std::uint8_t> out;     // room for unpacking and copies
};

Prepared Prepare(const BenchInput& in, std::size_t n, const std::string& sizeName) {
  Prepared p{in.name, sizeName, std::vector<std::uint8_t>(in.bytes.begin(), in.bytes.begin() + static_cast<long>(n)),
             {},      {},       {}};
  p.packed.resize(PackedSizeBound(n));
  p.packed.resize(PackStream(p.bytes.data(), n, p.packed.data()));
  p.lz4.resize(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(n))));
  const int lz =
      LZ4_compress_default(reinterpret_cast<const char*>(p.bytes.data()), reinterpret_cast<char*>(p.lz4.data()),
                           static_cast<int>(n), static_cast<int>(p.lz4.size()));
  if (lz <= 0) throw std::runtime_error("LZ4 compression failed");
  p.lz4.resize(static_cast<std::size_t>(lz));
  p.out.assign(std::max(PackedSizeBound(n), p.lz4.capacity()), 0);
  // Both codecs must give the input back before their speed means anything.
  UnpackStream(p.packed.data(), p.packed.size(), p.out.data(), n);
  if (std::memcmp(p.out.data(), p.bytes.data(), n) != 0) throw std::runtime_error("acSFPack round trip");
  const int back = LZ4_decompress_safe(reinterpret_cast<const char*>(p.lz4.data()),
                                       reinterpret_cast<char*>(p.out.data()), lz, static_cast<int>(n));
  if (back != static_cast<int>(n) || std::memcmp(p.out.data(), p.bytes.data(), n) != 0) {
    throw std::runtime_error("LZ4 round trip");
  }
  return p;
}

void Register(Prepared& p) {
  const std::string tail = "/" + p.input + "/" + p.size;
  const auto n = static_cast<std::int64_t>(p.bytes.size());
  auto add = [&](const std::string& name, auto body) {
    benchmark::RegisterBenchmark(name.c_str(), [&p, n, body](benchmark::State& state) {
      for (auto _ : state) {
        body(p);
        benchmark::ClobberMemory();
      }
      state.SetBytesProcessed(state.iterations() * n);
    })->Unit(benchmark::kMicrosecond);
  };
  add("copy/memcpy" + tail, [](Prepared& q) { std::memcpy(q.out.data(), q.bytes.data(), q.bytes.size()); });
  add("pack/sfpack" + tail,
      [](Prepared& q) { benchmark::DoNotOptimize(PackStream(q.bytes.data(), q.bytes.size(), q.out.data())); });
  add("pack/lz4" + tail, [](Prepared& q) {
    benchmark::DoNotOptimize(LZ4_compress_default(reinterpret_cast<const char*>(q.bytes.data()),
                                                  reinterpret_cast<char*>(q.out.data()),
                                                  static_cast<int>(q.bytes.size()), static_cast<int>(q.out.size())));
  });
  add("unpack/sfpack" + tail,
      [](Prepared& q) { UnpackStream(q.packed.data(), q.packed.size(), q.out.data(), q.bytes.size()); });
  add("unpack/lz4" + tail, [](Prepared& q) {
    benchmark::DoNotOptimize(LZ4_decompress_safe(reinterpret_cast<const char*>(q.lz4.data()),
                                                 reinterpret_cast<char*>(q.out.data()), static_cast<int>(q.lz4.size()),
                                                 static_cast<int>(q.bytes.size())));
  });
}

// Console output as usual, and the seconds per byte of every run kept for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      const auto it = r.counters.find("bytes_per_second");
      if (it != r.counters.end()) rate_[r.benchmark_name()] = it->second.value;
    }
  }

  // MB/s of op/codec over the given inputs at one size: total bytes / total time.
  double Mixed(const std::string& opCodec, const std::vector<std::string>& inputs, const std::string& size) const {
    double secondsPerByte = 0;
    for (const std::string& in : inputs) {
      const auto it = rate_.find(opCodec + "/" + in + "/" + size);
      if (it == rate_.end() || it->second <= 0) return 0;
      secondsPerByte += 1 / it->second;
    }
    return static_cast<double>(inputs.size()) / secondsPerByte / 1e6;
  }

 private:
  std::map<std::string, double> rate_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const std::vector<BenchInput> inputs = MakeBenchInputs(kLarge);
  std::vector<std::string> names;
  std::vector<Prepared> prepared;
  prepared.reserve(2 * inputs.size());
  for (const std::size_t n : {kSmall, kLarge}) {
    for (const BenchInput& in : inputs) {
      prepared.push_back(Prepare(in, n, n == kSmall ? "64KiB" : "64MiB"));
    }
  }
  for (const BenchInput& in : inputs) {
    names.push_back(in.name);
    benchmark::AddCustomContext("input " + in.name, in.source);
  }
  for (Prepared& p : prepared) {
    const double sf = 100.0 * static_cast<double>(p.packed.size()) / static_cast<double>(p.bytes.size());
    const double lz = 100.0 * static_cast<double>(p.lz4.size()) / static_cast<double>(p.bytes.size());
    char ratio[96];
    std::snprintf(ratio, sizeof ratio, "sfpack %.1f%%, lz4 %.1f%%", sf, lz);
    benchmark::AddCustomContext("packed size " + p.input + "/" + p.size, ratio);
    Register(p);
  }
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\nThroughput on the mixed inputs (text, random, bitmap, exe), MB/s:\n");
  std::printf("%-8s %10s %10s %10s %10s %10s\n", "size", "memcpy", "sf pack", "lz4 pack", "sf unpack", "lz4 unpack");
  for (const char* size : {"64KiB", "64MiB"}) {
    std::printf("%-8s %10.0f %10.0f %10.0f %10.0f %10.0f\n", size, reporter.Mixed("copy/memcpy", names, size),
                reporter.Mixed("pack/sfpack", names, size), reporter.Mixed("pack/lz4", names, size),
                reporter.Mixed("unpack/sfpack", names, size), reporter.Mixed("unpack/lz4", names, size));
  }
  std::printf("\nTargets: pack >= 4x LZ4, unpack >= 2x LZ4, random unpack >= 0.5x memcpy\n");
  for (const char* size : {"64KiB", "64MiB"}) {
    const double pack = reporter.Mixed("pack/sfpack", names, size) / reporter.Mixed("pack/lz4", names, size);
    const double unpack = reporter.Mixed("unpack/sfpack", names, size) / reporter.Mixed("unpack/lz4", names, size);
    const double random =
        reporter.Mixed("unpack/sfpack", {"random"}, size) / reporter.Mixed("copy/memcpy", {"random"}, size);
    std::printf("%-8s pack %.2fx LZ4 (%s), unpack %.2fx LZ4 (%s), random unpack %.2fx memcpy (%s)\n", size, pack,
                pack >= 4 ? "met" : "NOT met", unpack, unpack >= 2 ? "met" : "NOT met", random,
                random >= 0.5 ? "met" : "NOT met");
  }
  return 0;
}
