// Reading a whole TopSpeed table the way the export does (open, SET, NEXT
// until 33): MB/s of page data and records/s, and the process's peak resident
// memory before and after the read. The reader streams pages, so the peak must
// not grow with the table: the 100,000 and 1,000,000 record tables show the
// same figure.
//
// The tables (10 fields, 100 bytes a record) are written first by our writer
// into a temporary folder of their own, removed at exit. Each is written in a
// child process, so that the writer's memory never counts as the reader's.
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/tps/declaration.h"
#include "platform/tps/file_builder.h"
#include "platform/tps/fixture.h"

namespace {

namespace fs = std::filesystem;
using tps::fixture::Type;

// The peak resident memory so far (VmHWM), in KiB; 0 where /proc is missing.
long peak_rss_kib() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

// Lowers the peak to the present resident size, where the kernel allows it,
// so the next peak is the read's own.
bool reset_peak_rss() {
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
  out.flush();
  return static_cast<bool>(out);
}

class Scratch {
 public:
  Scratch() {
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("qm_tps_bench_" + std::to_string(::getpid()) + "_" + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

Scratch& scratch() {
  static Scratch s;
  return s;
}

// LONG, STRING(20), DATE, TIME, DECIMAL(9,2), CSTRING(30), SHORT, REAL, BYTE,
// STRING(22): 100 bytes.
tps::TableDef layout() {
  tps::fixture::File file;
  auto& t = file.table("CUS");
  t.field("NUMBER", Type::Long)
      .field("NAME", Type::String, 20)
      .field("SINCE", Type::Date)
      .field("AT", Type::Time)
      .field("BALANCE", Type::Decimal, 9, 2)
      .field("CITY", Type::CString, 30)
      .field("VISITS", Type::Short)
      .field("RATE", Type::Real)
      .field("STATUS", Type::Byte)
      .field("NOTE", Type::String, 22);
  tps::TableDef def = t.definition();
  const tps::FieldDef& last = def.fields.back();
  def.record_length = static_cast<std::uint16_t>(last.offset + last.length);
  return def;
}

void put(std::string& record, std::size_t at, const void* value, std::size_t n) {
  std::memcpy(record.data() + at, value, n);
}

void fill(std::string& record, std::uint32_t i) {
  static const char* cities[] = {"Paris", "Amsterdam", "Lisboa", "Zagreb", "Oslo"};
  record.assign(100, '\0');
  const std::int32_t number = static_cast<std::int32_t>(i);
  put(record, 0, &number, 4);
  const std::string name = "Customer " + std::to_string(i * 2654435761u % 1000000);
  std::memset(record.data() + 4, ' ', 20);
  put(record, 4, name.data(), name.size());
  const unsigned char since[4] = {static_cast<unsigned char>(1 + i % 28),
                                  static_cast<unsigned char>(1 + i % 12),
                                  static_cast<unsigned char>((1990 + i % 30) & 0xFF),
                                  static_cast<unsigned char>((1990 + i % 30) >> 8)};
  put(record, 24, since, 4);
  const unsigned char at[4] = {static_cast<unsigned char>(i % 100), static_cast<unsigned char>(i % 60),
                               static_cast<unsigned char>(i / 60 % 60), static_cast<unsigned char>(i / 3600 % 24)};
  put(record, 28, at, 4);
  const std::string balance = tps::fixture::decimal_bytes(std::to_string(i % 100000) + ".25", 9, 2);
  put(record, 32, balance.data(), balance.size());
  const char* city = cities[i % 5];
  put(record, 37, city, std::strlen(city));
  const std::int16_t visits = static_cast<std::int16_t>(i % 1000);
  put(record, 67, &visits, 2);
  const double rate = 0.125 * (i % 64);
  put(record, 69, &rate, 8);
  record[77] = static_cast<char>(i % 3);
  std::memset(record.data() + 78, ' ', 22);
  if (i % 7 == 0) put(record, 78, "call before noon", 16);
}

struct Table {
  fs::path path;
  std::uint64_t page_bytes = 0;
};

// The table of `rows` records, written once in a child process.
const Table& table(std::uint32_t rows) {
  static std::map<std::uint32_t, Table> built;
  if (auto found = built.find(rows); found != built.end()) return found->second;
  Table t;
  t.path = scratch().path() / ("CUS" + std::to_string(rows) + ".TPS");
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    tps::FileBuilder builder;
    const std::size_t index = builder.add_table(layout());
    std::string record;
    for (std::uint32_t i = 0; i < rows; ++i) {
      fill(record, i);
      if (builder.add_row(index, record) == 0) break;
    }
    const bool ok = builder.write(t.path);
    if (!ok) std::fprintf(stderr, "writing %s: %s\n", t.path.c_str(), builder.error().c_str());
    ::_exit(ok ? 0 : 1);  // no exit handlers: the scratch folder belongs to the parent
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the %u record table could not be written\n", rows);
    std::exit(1);
  }
  t.page_bytes = fs::file_size(t.path) - 0x200;
  return built.emplace(rows, t).first->second;
}

void BM_ReadWholeTable(benchmark::State& state) {
  const auto rows = static_cast<std::uint32_t>(state.range(0));
  const Table& t = table(rows);
  std::vector<char> storage(tps::Declaration::kRecordStorage);
  const std::string name = t.path.string();
  tps::Declaration file([&] { return name; }, [] { return std::string(); }, storage.data());

  const bool reset = reset_peak_rss();
  const long before = peak_rss_kib();
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
  const long after = peak_rss_kib();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * t.page_bytes));
  state.SetItemsProcessed(read);
  state.counters["file_MB"] = static_cast<double>(t.page_bytes + 0x200) / 1e6;
  state.counters["peak_rss_before_MB"] = static_cast<double>(before) / 1024;
  state.counters["peak_rss_after_MB"] = static_cast<double>(after) / 1024;
  state.counters["peak_reset"] = reset ? 1 : 0;
}
BENCHMARK(BM_ReadWholeTable)->Arg(100000)->Arg(1000000)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
