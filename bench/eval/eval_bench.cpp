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

// HOUR, MINUTE and SECOND: the standard time's hundredths since midnight,
// cut to one unit; 0 outside a day.
eval::Function clock_part(long unit, long per) {
  return [unit, per](std::span<const std::string> a) {
    const long t = std::atol(a[0].c_str());
    return padded(t >= 1 && t <= 8640000 ? (t - 1) % per / unit : 0);
  };
}

void bind_time_functions() {
  eval::bind("TIME", [](std::span<const std::string> a) {
    long h = std::atol(a[0].c_str()), m = std::atol(a[1].c_str()), s = std::atol(a[2].c_str());
    return std::to_string(h * 360000 + m * 6000 + s * 100 + 1);
  }, 3, eval::ResultType::String);
  eval::bind("HOUR", clock_part(360000, 8640000), 1, eval::ResultType::String);
  eval::bind("MINUTE", clock_part(6000, 360000), 1, eval::ResultType::String);
  eval::bind("SECOND", clock_part(100, 6000), 1, eval::ResultType::String);
}

// Every WHERE text here is true, as for the records an export writes.
void run(benchmark::State& state, const char* where) {
  bind_time_functions();
  if (eval::evaluate(where) != "1") {
    state.SkipWithError("unexpected result");
    return;
  }
  for (auto _ : state) {
    std::string r = eval::evaluate(where);
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(state.iterations());
}

struct Case {
  const char* name;
  const char* where;
};

const Case kCases[] = {
    // Three comparisons, one DATE() call: the size users write.
    {"BM_TypicalWhere", "79992 >= DATE(1,1,2020) AND 'Smith' = 'Smith' OR 123.45 > 100"},
    // The same with the right side of OR needed (the left is false).
    {"BM_TypicalWhereBothSides", "79992 >= DATE(1,1,2020) AND 'Smith' = 'Jones' OR 123.45 > 100"},
    // Text columns: trailing blanks, functions on texts, concatenation.
    {"BM_TextHeavyWhere",
     "UPPER('Smith & Sons Ltd          ') = 'SMITH & SONS LTD' AND "
     "INSTRING('Sons', 'Smith & Sons Ltd          ', 1, 1) > 0 OR "
     "CLIP('Jones     ') & ', ' & 'Bob' = 'Jones, Bob'"},
    // A bound function on a TIME field's standard time.
    {"BM_BoundHourWhere", "HOUR(4500001) >= 12 AND 79992 >= DATE(1,1,2020) OR 'Smith' = 'Jones'"},
    // Money columns: exact decimal sums and products.
    {"BM_DecimalWhere", "150.25 * 1.2 > 100 AND 0.1 + 0.2 = 0.3 OR 19.99 < 5"},
    // A time column against TIME(): three arguments through a bound function.
    {"BM_BoundTimeWhere", "4500001 >= TIME(12,30,0) AND MINUTE(4500001) = 30 OR 2 < 3"},
};

[[maybe_unused]] const bool kRegistered = [] {
  for (const Case& c : kCases) benchmark::RegisterBenchmark(c.name, run, c.where)->Unit(benchmark::kNanosecond);
  return true;
}();

}  // namespace
