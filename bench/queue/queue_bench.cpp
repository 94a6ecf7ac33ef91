// Queue figures: the memory and add rate of preview-shaped rows (2000 text
// cells of which 10 hold 10 characters), and keyed operations on the small
// queues that the export consults for every record.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <tuple>

#include "platform/queue/queue.h"

namespace {

struct WideRow {
  text::FixedString<100> FIRST;
  text::CString<100> REST[1999];
  auto fields() { return std::tie(FIRST, REST); }
};

constexpr int kRows = 100000;

void fill_cells(WideRow& r, int row) {
  std::string value = std::to_string(1000000000 + row);  // 10 characters
  value[0] = 'v';
  r.FIRST = value;
  for (int c = 0; c < 9; ++c) r.REST[c * 211 + row % 5] = value;
}

void blank_cells(WideRow& r, int row) {
  for (int c = 0; c < 9; ++c) r.REST[c * 211 + row % 5].clear();
}

void BM_AddSparseWideRows(benchmark::State& state) {
  auto q = std::make_unique<queue::Queue<WideRow>>();
  double bytes_per_row = 0;
  for (auto _ : state) {
    q->free();
    for (int row = 0; row < kRows; ++row) {
      fill_cells(q->buffer(), row);
      q->add();
      blank_cells(q->buffer(), row);
    }
    bytes_per_row = static_cast<double>(q->storage_bytes()) / kRows;
  }
  state.SetItemsProcessed(state.iterations() * kRows);
  state.counters["bytes_per_row"] = bytes_per_row;
  state.counters["rows"] = kRows;
}
BENCHMARK(BM_AddSparseWideRows)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_GetSparseWideRow(benchmark::State& state) {
  auto q = std::make_unique<queue::Queue<WideRow>>();
  for (int row = 0; row < 1000; ++row) {
    fill_cells(q->buffer(), row);
    q->add();
    blank_cells(q->buffer(), row);
  }
  std::size_t pos = 0;
  for (auto _ : state) {
    q->get(pos % 1000 + 1);
    ++pos;
    benchmark::DoNotOptimize(q->buffer().REST[0]);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetSparseWideRow);

// The shape of the selected-names and field lists: a name, its length, a flag.
struct Name {
  text::CString<100> NAME;
  std::int32_t NAMELEN = 0;
  std::uint8_t FROMWHERE = 0;
  auto fields() { return std::tie(NAME, NAMELEN, FROMWHERE); }
};

void fill_names(queue::Queue<Name>& q, int n) {
  for (int i = 0; i < n; ++i) {
    q.buffer().NAME = "CUS:FIELD" + std::to_string(i);
    q.buffer().NAMELEN = static_cast<std::int32_t>(q.buffer().NAME.size());
    q.add();
  }
}

void BM_GetByKeyScan(benchmark::State& state) {
  queue::Queue<Name> q;
  int n = static_cast<int>(state.range(0));
  fill_names(q, n);
  int i = 0;
  for (auto _ : state) {
    q.buffer().NAME = "CUS:FIELD" + std::to_string(i++ % (2 * n));  // half of them miss
    benchmark::DoNotOptimize(q.get_by<&Name::NAME>());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetByKeyScan)->Arg(10)->Arg(50)->Arg(500);

void BM_GetByKeySorted(benchmark::State& state) {
  queue::Queue<Name> q;
  int n = static_cast<int>(state.range(0));
  fill_names(q, n);
  q.sort_by<&Name::NAME>();
  int i = 0;
  for (auto _ : state) {
    q.buffer().NAME = "CUS:FIELD" + std::to_string(i++ % (2 * n));
    benchmark::DoNotOptimize(q.get_by<&Name::NAME>());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetByKeySorted)->Arg(10)->Arg(50)->Arg(500);

void BM_AddByKey(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    queue::Queue<Name> q;
    for (int i = 0; i < n; ++i) {
      q.buffer().NAMELEN = (i * 7919) % n;
      q.add_by<&Name::NAMELEN>();
    }
    benchmark::DoNotOptimize(q.records());
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AddByKey)->Arg(50)->Arg(2000);

}  // namespace
