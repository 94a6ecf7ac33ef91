// Reading a whole TopSpeed table the way the export does (open, SET, NEXT
// until 33): MB/s of page data and records/s, and the process's peak resident
// memory before and after the read. The reader streams pages, so the peak must
// not grow with the table: the 100,000 and 1,000,000 record tables show the
// same figure.
//
// The tables (bench/support/large_table.h: 10 fields, 100 bytes a record) are
// written first, each in a child process, so that the writer's memory never
// counts as the reader's.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/large_table.h"
#include "bench/support/peak_memory.h"
#include "platform/tps/declaration.h"

namespace {

namespace fs = std::filesystem;

constexpr bench::LargeTable kCustomers{"CUS", "SINCE", 1990, 30};

void BM_ReadWholeTable(benchmark::State& state) {
  const auto rows = static_cast<std::uint32_t>(state.range(0));
  const fs::path& path = bench::large_table(kCustomers, rows);
  const std::uint64_t page_bytes = fs::file_size(path) - 0x200;
  std::vector<char> storage(tps::Declaration::kRecordStorage);
  const std::string name = path.string();
  tps::Declaration file([&] { return name; }, [] { return std::string(); }, storage.data());

  const bool reset = bench::reset_peak_resident();
  const long before = bench::peak_resident_kib();
  std::int64_t read = 0;
  for (auto _ : state) {
    if (file.open(0) != 0) {
      state.SkipWithError("the table does not open");
      return;
    }
    file.set();
    std::int64_t n = 0;
    while (file.next() == 0) ++n;
    file.close();
    if (n != rows) {
      state.SkipWithError("the table did not read to its end");
      return;
    }
    read += n;
  }
  const long after = bench::peak_resident_kib();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page_bytes));
  state.SetItemsProcessed(read);
  state.counters["file_MB"] = static_cast<double>(page_bytes + 0x200) / 1e6;
  state.counters["peak_rss_before_MB"] = static_cast<double>(before) / 1024;
  state.counters["peak_rss_after_MB"] = static_cast<double>(after) / 1024;
  state.counters["peak_reset"] = reset ? 1 : 0;
}
BENCHMARK(BM_ReadWholeTable)->Arg(100000)->Arg(1000000)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
