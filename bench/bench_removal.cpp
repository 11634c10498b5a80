// Removing extracted files at the end: DeleteFileA over 1,000 files that no process holds, as
// the storage does when it is destroyed. Each deletion asks whether the file is in use.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/hostpath.h"
#include "platform/winapi.h"

namespace fs = std::filesystem;

static void BM_DeleteThousandFiles(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / "stowaway-bench-removal";
  setenv("STOWAWAY_PREFIX", (dir / "prefix").c_str(), 0);
  for (auto _ : state) {
    state.PauseTiming();
    fs::create_directories(dir / "files");
    std::vector<std::string> names;
    for (int i = 0; i < 1000; ++i) {
      const fs::path p = dir / "files" / ("f" + std::to_string(i) + ".bin");
      std::ofstream(p) << i;
      names.push_back(UnixPathToWindows(p.string()));
    }
    state.ResumeTiming();
    for (const std::string& n : names) benchmark::DoNotOptimize(DeleteFileA(n.c_str()));
  }
  fs::remove_all(dir);
}
BENCHMARK(BM_DeleteThousandFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
