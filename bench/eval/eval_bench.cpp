// EVALUATE of WHERE texts as the record loop hands them over, once per
// record: the field labels already replaced by the record's values, the four
// time functions bound as the main window binds them. The figure that counts
// is the time per evaluation.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <span>
#include <string>

#include "platform/eval/eval.h"

namespace {

// Stand-ins with the engine's shape: one text argument in, a number padded to
// 20 characters out (TIME answers without padding).
std::string padded(long n) {
  std::string r = std::to_string(n);
  r.resize(20, ' ');
  return r;
}

void bind_time_functions() {
  eval::bind("TIME", [](std::span<const std::string> a) {
    long h = std::atol(a[0].c_str()), m = std::atol(a[1].c_str()), s = std::atol(a[2].c_str());
    return std::to_string(h * 360000 + m * 6000 + s * 100 + 1);
  }, 3, eval::ResultType::String);
  eval::bind("HOUR", [](std::span<const std::string> a) {
    long t = std::atol(a[0].c_str());
    return padded(t >= 1 && t <= 8640000 ? (t - 1) / 360000 : 0);
  }, 1, eval::ResultType::String);
  eval::bind("MINUTE", [](std::span<const std::string> a) {
    long t = std::atol(a[0].c_str());
    return padded(t >= 1 && t <= 8640000 ? (t - 1) % 360000 / 6000 : 0);
  }, 1, eval::ResultType::String);
  eval::bind("SECOND", [](std::span<const std::string> a) {
    long t = std::atol(a[0].c_str());
    return padded(t >= 1 && t <= 8640000 ? (t - 1) % 6000 / 100 : 0);
  }, 1, eval::ResultType::String);
}

void run(benchmark::State& state, const char* where, const char* expected) {
  bind_time_functions();
  if (eval::evaluate(where) != expected) {
    state.SkipWithError("unexpected result");
    return;
  }
  for (auto _ : state) {
    std::string r = eval::evaluate(where);
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(state.iterations());
}

// Three comparisons, one DATE() call: the size users write.
void BM_TypicalWhere(benchmark::State& state) {
  run(state, "79992 >= DATE(1,1,2020) AND 'Smith' = 'Smith' OR 123.45 > 100", "1");
}
BENCHMARK(BM_TypicalWhere)->Unit(benchmark::kNanosecond);

// The same with the right side of OR needed (the left is false).
void BM_TypicalWhereBothSides(benchmark::State& state) {
  run(state, "79992 >= DATE(1,1,2020) AND 'Smith' = 'Jones' OR 123.45 > 100", "1");
}
BENCHMARK(BM_TypicalWhereBothSides)->Unit(benchmark::kNanosecond);

// Text columns: trailing blanks, functions on texts, concatenation.
void BM_TextHeavyWhere(benchmark::State& state) {
  run(state,
      "UPPER('Smith & Sons Ltd          ') = 'SMITH & SONS LTD' AND "
      "INSTRING('Sons', 'Smith & Sons Ltd          ', 1, 1) > 0 OR "
      "CLIP('Jones     ') & ', ' & 'Bob' = 'Jones, Bob'",
      "1");
}
BENCHMARK(BM_TextHeavyWhere)->Unit(benchmark::kNanosecond);

// A bound function on a TIME field's standard time.
void BM_BoundHourWhere(benchmark::State& state) {
  run(state, "HOUR(4500001) >= 12 AND 79992 >= DATE(1,1,2020) OR 'Smith' = 'Jones'", "1");
}
BENCHMARK(BM_BoundHourWhere)->Unit(benchmark::kNanosecond);

// Money columns: exact decimal sums and products.
void BM_DecimalWhere(benchmark::State& state) {
  run(state, "150.25 * 1.2 > 100 AND 0.1 + 0.2 = 0.3 OR 19.99 < 5", "1");
}
BENCHMARK(BM_DecimalWhere)->Unit(benchmark::kNanosecond);

// A time column against TIME(): three arguments through a bound function.
void BM_BoundTimeWhere(benchmark::State& state) {
  run(state, "4500001 >= TIME(12,30,0) AND MINUTE(4500001) = 30 OR 2 < 3", "1");
}
BENCHMARK(BM_BoundTimeWhere)->Unit(benchmark::kNanosecond);

}  // namespace
