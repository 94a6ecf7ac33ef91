// The saved-query browse on a store of 10,000 queries: opening it (the alias
// opened, the first page read, the window shown, then closed again with its
// geometry saved) and typing a locator of three letters in it, each to stay
// under 100 ms. The store is written first through its file manager in one
// batch, in an order unlike the names' order. The first open in the process,
// where the keyed table reads and indexes the whole file, is printed as its
// own figure beside the bare open of the table.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "globals/globals.h"
#include "globals/services.h"
#include "platform/tps/keyed_table.h"
#include "platform/window/headless.h"
#include "shell/data_dictionary.h"
#include "shell/query_browse.h"
#include "shell/query_windows_def.h"
#include "shell/startup.h"
#include "bench/shell/shell_scratch.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kQueries = 10000;

std::string random_name(std::mt19937& random) {
  std::string name;
  for (int i = 0; i < 10; ++i) name += static_cast<char>((i % 2 ? 'a' : 'A') + random() % 26);
  return name;
}

class BrowseStore {
 public:
  BrowseStore() {
    std::mt19937 random(7);
    std::string fields;
    for (int i = 1; i <= 12; ++i) fields += "CUS:FIELD" + std::to_string(i) + "|STRING|||||" + std::to_string(i) + "\r\n";
    bench::write_queries(
        kQueries, [&](int) { return bench::StoredQuery{random_name(random)}; }, "C:\\DATA\\CUSTOMERS.TPS",
        "CUS:FIELD1,CUS:FIELD2,CUS:FIELD3,CUS:FIELD6", "CUS:FIELD6 > DATE(1,1,2000) AND CUS:FIELD1 <> ''", fields);
  }
  ~BrowseStore() { window::headless().reset(); }
  // A fresh declaration of the file opened: the driver reads and indexes it whole.
  double table_open_ms() const {
    tps::KeyedTable t;
    const auto t0 = Clock::now();
    t.open(scratch_.store_file());
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    t.close();
    return ms;
  }
  double file_mib() const { return static_cast<double>(fs::file_size(scratch_.store_file())) / (1024.0 * 1024.0); }

 private:
  bench::ShellScratch scratch_{"qm-browse-bench-"};
};

std::int32_t pick() {
  globals::CallRequest = 4;
  return shell::LookupQuery();
}

// The browse stays open as long as the script runs; its first page is checked.
void open_and_close(benchmark::State& state) {
  window::headless().reset();
  bool full = false;
  window::headless().then([&](window::Window& w) { full = w.list_rows(shell::FEQ_BROWSE_1) == 16; });
  window::headless().close_request();
  pick();
  if (!full) state.SkipWithError("the first page was not read");
}

void BM_OpenBrowseOnStoreOf10000(benchmark::State& state) {
  BrowseStore store;
  const auto t0 = Clock::now();
  open_and_close(state);
  const double first_ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  for (auto _ : state) open_and_close(state);
  state.counters["first_open_ms"] = first_ms;
  state.counters["table_open_ms"] = store.table_open_ms();
  state.counters["file_MiB"] = store.file_mib();
}
BENCHMARK(BM_OpenBrowseOnStoreOf10000)->Unit(benchmark::kMillisecond);

// From the first key to the third key's page shown: three lookups and three pages.
void BM_TypeThreeLetterLocator(benchmark::State& state) {
  BrowseStore store;
  open_and_close(state);
  const char* typed[] = {"mqa", "Bze", "xKo", "aaa", "zzz"};
  int n = 0;
  for (auto _ : state) {
    window::headless().reset();
    Clock::time_point t0, t1;
    std::string found;
    const std::string letters = typed[n++ % 5];
    window::headless().then([&](window::Window&) { t0 = Clock::now(); });
    window::headless().type_keys(shell::FEQ_BROWSE_1, letters);
    window::headless().then([&](window::Window& w) {
      t1 = Clock::now();
      found = w.list_cell(shell::FEQ_BROWSE_1, static_cast<std::size_t>(w.choice(shell::FEQ_BROWSE_1)), 1);
    });
    window::headless().close_request();
    pick();
    if (found.empty()) state.SkipWithError("nothing was found");
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
}
BENCHMARK(BM_TypeThreeLetterLocator)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
