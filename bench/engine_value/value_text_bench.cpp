// Time of one FormatFieldValue call for the field types an export meets most,
// with the default settings: the record line makes one call per field per
// record, and an export must reach 200,000 records of 10 fields a second.
// Each figure is the time per call; the Append forms write into a reused line.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "engine/engine_state.h"
#include "engine/value_text.h"

namespace {

using namespace std::string_literals;

template <typename T>
std::string bytes_of(T v) {
  std::string s(sizeof v, '\0');
  std::memcpy(s.data(), &v, sizeof v);
  return s;
}

struct Field {
  const char* time_mark;
  const char* date_mark;
  const char* type;
  std::string raw;
  std::int32_t places, digits;
};

const Field kLong{"", "", "LONG", bytes_of<std::int32_t>(1234567), 0, 0};
const Field kLongAsDate{"", "D", "LONG", bytes_of<std::int32_t>(81000), 0, 0};
const Field kString{"", "", "STRING", "Hendrickson, Paul" + std::string(23, ' '), 0, 0};
const Field kDate{"", "", "DATE", "\x15\x0A\xE6\x07"s, 0, 0};  // 21 Oct 2022, @D06b
const Field kTime{"", "", "TIME", "\x00\x00\x1E\x0C"s, 0, 0};  // 12:30, @T04b
const Field kDecimal{"", "", "DECIMAL", "\x00\x01\x23\x45\x67"s, 2, 9};
const Field kReal{"", "", "REAL", bytes_of(1234.5678), 0, 0};
const Field kQuoted{"", "", "STRING", "He said \"no\" twice, \"no\"" + std::string(16, ' '), 0, 0};

void BM_FormatFieldValue(benchmark::State& state, const Field* f) {
  engine::reset();
  for (auto _ : state) {
    engine::NotDateFlag = engine::NotTimeFlag = 0;
    benchmark::DoNotOptimize(engine::FormatFieldValue(f->time_mark, f->date_mark, f->type, f->raw, f->places, f->digits));
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_AppendFieldValue(benchmark::State& state, const Field* f) {
  engine::reset();
  std::string line;
  line.reserve(4096);
  for (auto _ : state) {
    line.clear();
    engine::NotDateFlag = engine::NotTimeFlag = 0;
    engine::AppendFieldValue(line, f->time_mark, f->date_mark, f->type, f->raw, f->places, f->digits);
    benchmark::DoNotOptimize(line.data());
  }
  state.SetItemsProcessed(state.iterations());
}

// A record of 10 fields of the kinds above, as the record line formats it.
void BM_RecordOfTenFields(benchmark::State& state) {
  engine::reset();
  const Field* fields[10] = {&kLong, &kString, &kDate, &kDecimal, &kLong, &kString, &kTime, &kLongAsDate, &kString, &kDecimal};
  std::string line;
  line.reserve(4096);
  for (auto _ : state) {
    line.clear();
    for (const Field* f : fields) {
      engine::NotDateFlag = engine::NotTimeFlag = 0;
      line += '"';
      engine::AppendFieldValue(line, f->time_mark, f->date_mark, f->type, f->raw, f->places, f->digits);
      line += "\",";
    }
    benchmark::DoNotOptimize(line.data());
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(BM_FormatFieldValue, LONG, &kLong);
BENCHMARK_CAPTURE(BM_FormatFieldValue, LONG_marked_D, &kLongAsDate);
BENCHMARK_CAPTURE(BM_FormatFieldValue, STRING_40, &kString);
BENCHMARK_CAPTURE(BM_FormatFieldValue, DATE, &kDate);
BENCHMARK_CAPTURE(BM_FormatFieldValue, TIME, &kTime);
BENCHMARK_CAPTURE(BM_FormatFieldValue, DECIMAL_9_2, &kDecimal);
BENCHMARK_CAPTURE(BM_FormatFieldValue, REAL, &kReal);
BENCHMARK_CAPTURE(BM_FormatFieldValue, STRING_quotes, &kQuoted);
BENCHMARK_CAPTURE(BM_AppendFieldValue, LONG, &kLong);
BENCHMARK_CAPTURE(BM_AppendFieldValue, STRING_40, &kString);
BENCHMARK_CAPTURE(BM_AppendFieldValue, DATE, &kDate);
BENCHMARK_CAPTURE(BM_AppendFieldValue, DECIMAL_9_2, &kDecimal);
BENCHMARK(BM_RecordOfTenFields);

}  // namespace
