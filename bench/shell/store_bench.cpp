// One save of the query form into a store of 1,000 saved queries: the fetch by
// name, the update, the tag pass over every other query and the one rewrite of
// QMXSETUP.TPS (target: under 50 ms), and the load of the tagged query.
// The store is filled first through its file manager in one batch.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "globals/globals.h"
#include "globals/services.h"
#include "shell/data_dictionary.h"
#include "shell/main_locals.h"
#include "shell/saved_queries.h"
#include "shell/startup.h"
#include "bench/shell/shell_scratch.h"

namespace {

namespace fs = std::filesystem;

constexpr int kQueries = 1000;

// A field list of a dozen columns, as a typical table gives.
void fill_field_list() {
  globals::FieldListQueue.free();
  for (int i = 1; i <= 12; ++i) {
    auto& r = globals::FieldListQueue.buffer();
    globals::FieldListQueue.clear();
    r.ALF_DAFIELD = "CUS:FIELD" + std::to_string(i);
    r.ALF_DATYPE = i % 3 ? "STRING" : "LONG";
    r.ALF_DATE = i % 3 ? "" : "D";
    r.ALF_POSSIBLEDATE = i % 3 ? "" : "d";
    r.ALF_DACOUNT = i;
    globals::FieldListQueue.add();
  }
}

class Store {
 public:
  Store() {
    fill_field_list();
    globals::GLO_SELECT = "CUS:FIELD1,CUS:FIELD2,CUS:FIELD3,CUS:FIELD6";
    globals::GLO_WHERE = "CUS:FIELD6 > DATE(1,1,2000) AND CUS:FIELD1 <> ''";
    globals::GLO_INPUTTPSLOCATION = "C:\\DATA\\CUSTOMERS.TPS";
    globals::GLO_OUTPUTCSVLOCATION = "C:\\OUT\\";
    // The store, written once; the query written last carries the tag.
    bench::write_queries(
        kQueries, [](int i) { return bench::StoredQuery{"Query " + std::to_string(i), i == kQueries - 1}; },
        globals::GLO_INPUTTPSLOCATION.view(), globals::GLO_SELECT.view(), globals::GLO_WHERE.view(),
        shell::FieldListText());
  }
  std::uintmax_t file_size() const { return fs::file_size(scratch_.store_file()); }

 private:
  bench::ShellScratch scratch_{"qm-store-bench-"};
};

void BM_SaveIntoStoreOf1000(benchmark::State& state) {
  Store store;
  shell::MainLocals m;
  int n = 0;
  for (auto _ : state) {
    globals::GLO_QUERYNAME = "Query " + std::to_string(n++ % kQueries);
    m.FieldListPresent = 1;
    shell::SaveQuery(m);
    if (m.SavedSysId == 0) {
      state.SkipWithError("the query was not saved");
      return;
    }
  }
  state.counters["file_KiB"] = static_cast<double>(store.file_size()) / 1024.0;
}
BENCHMARK(BM_SaveIntoStoreOf1000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadTaggedFromStoreOf1000(benchmark::State& state) {
  Store store;
  shell::MainLocals m;
  for (auto _ : state) {
    shell::LoadTaggedQuery(m);
    benchmark::DoNotOptimize(globals::GLO_QUERYNAME);
  }
}
BENCHMARK(BM_LoadTaggedFromStoreOf1000)->Unit(benchmark::kMillisecond);

}  // namespace
