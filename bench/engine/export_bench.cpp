// A whole export on the headless backend, as the "Fetch" command runs it:
// ExportTable over a table of 10 fields (about 100 bytes a record) with the
// default settings, the CSV written to a scratch folder. Figures:
//   BM_Export/rows/preview: records/s (items_per_second) and MB/s of CSV
//     (bytes_per_second), with the preview off (GLO_NOPREVIEW) and on.
//     Target: 200,000 records/s on one core.
//   BM_ExportWhere/rows: the same with a WHERE text of three comparisons.
//     Target: 100,000 records/s.
//   BM_ExportPeakMemory/rows: the peak resident memory (VmHWM) of a process
//     that runs one export with the preview on. Target: under 100 MB for
//     100,000 records; the 1,000,000-record figure shows how the preview grows.
// Tables are written by our writer in a child process (its memory never counts
// as the export's) into a temporary folder of their own, removed at exit.
// The 50,000-record forms are the ones to run under callgrind.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "engine/engine_state.h"
#include "engine/export_run.h"
#include "globals/globals.h"
#include "platform/files/paths.h"
#include "platform/tps/file_builder.h"
#include "platform/tps/fixture.h"
#include "platform/window/headless.h"
#include "platform/window/window.h"

namespace {

namespace fs = std::filesystem;
using tps::fixture::Type;

// The process's resident memory now (VmRSS) or at its peak (VmHWM), in KiB.
long status_kib(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::size_t n = std::strlen(key);
  while (std::getline(in, line))
    if (line.compare(0, n, key) == 0) return std::stol(line.substr(n));
  return 0;
}

// Lowers the peak to the present resident size, where the kernel allows it.
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
            ("qm_export_bench_" + std::to_string(::getpid()) + "_" + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }
  // The folder in the runtime's form: "\" separators.
  std::string runtime() const {
    std::string s = path_.string();
    for (char& c : s)
      if (c == '/') c = '\\';
    return s;
  }

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
  auto& t = file.table("PRE");
  t.field("NUMBER", Type::Long)
      .field("NAME", Type::String, 20)
      .field("BORN", Type::Date)
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
  const unsigned char born[4] = {static_cast<unsigned char>(1 + i % 28), static_cast<unsigned char>(1 + i % 12),
                                 static_cast<unsigned char>((1950 + i % 60) & 0xFF),
                                 static_cast<unsigned char>((1950 + i % 60) >> 8)};
  put(record, 24, born, 4);
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

// The runtime path of the table of `rows` records, written once in a child process.
const std::string& table(std::uint32_t rows) {
  static std::map<std::uint32_t, std::string> built;
  if (auto found = built.find(rows); found != built.end()) return found->second;
  const std::string name = "PRE" + std::to_string(rows) + ".TPS";
  const fs::path file = scratch().path() / name;  // the folder is made here, in the parent
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
    const bool ok = builder.write(file);
    if (!ok) std::fprintf(stderr, "writing %s: %s\n", name.c_str(), builder.error().c_str());
    ::_exit(ok ? 0 : 1);  // no exit handlers: the scratch folder belongs to the parent
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the %u record table could not be written\n", rows);
    std::exit(1);
  }
  return built.emplace(rows, scratch().runtime() + "\\" + name).first->second;
}

window::WindowDef main_window_def() {
  window::WindowDef def;
  def.label = "MAIN";
  def.caption = "Top Speed Quillomar Ver.1.01";
  def.timer = 1;
  def.controls.push_back({.type = window::ControlType::Button, .label = "?BUTTONFETCH", .text = "Fetch"});
  return def;
}

struct Outcome {
  bool done = false;
  std::int64_t csv_bytes = 0;
};

// One export of the table into the scratch folder, with the main window open
// on the headless backend; done when every record was fetched.
Outcome export_once(const std::string& path, std::uint32_t rows, bool preview, const char* where) {
  engine::reset();
  window::headless().reset();
  globals::GLO_WorkingDir = scratch().runtime();
  globals::GLO_OUTPUTCSVLOCATION = scratch().runtime() + "\\";
  globals::MainCaption = "Top Speed Quillomar Ver.1.01";
  globals::GLO_NOPREVIEW = preview ? 0 : 1;
  globals::GLO_WHERE = where;
  globals::GLO_INPUTTPSLOCATION = path;
  window::Window main(main_window_def());
  main.open();
  const engine::BYTE rc = engine::ExportTable("", path);
  main.close();
  Outcome out;
  out.done = rc == engine::kExportDone && globals::GLO_FETCHEDNO == static_cast<globals::LONG>(rows) &&
             window::headless().messages().empty();
  std::error_code ec;
  const auto size = fs::file_size(files::os_path(engine::OutputFileName.view()), ec);
  out.csv_bytes = ec ? 0 : static_cast<std::int64_t>(size);
  return out;
}

constexpr const char* kWhere = "PRE:NUMBER > 1000 AND PRE:NAME <> 'x' OR PRE:BORN > DATE(1,1,2000)";

void run_exports(benchmark::State& state, const char* where) {
  const auto rows = static_cast<std::uint32_t>(state.range(0));
  const bool preview = state.range(1) != 0;
  const std::string& path = table(rows);
  std::int64_t bytes = 0;
  for (auto _ : state) {
    const Outcome o = export_once(path, rows, preview, where);
    if (!o.done) {
      state.SkipWithError("the export did not read every record");
      break;
    }
    bytes += o.csv_bytes;
  }
  state.counters["preview_rows"] = static_cast<double>(globals::PreviewQueue.records());
  engine::reset();  // the preview rows go now, not with the next benchmark
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * rows);
  state.SetBytesProcessed(bytes);
}

void BM_Export(benchmark::State& state) { run_exports(state, ""); }
void BM_ExportWhere(benchmark::State& state) { run_exports(state, kWhere); }

// In a child process, so that no earlier benchmark's memory counts: the peak
// resident memory of one export with the preview on.
void BM_ExportPeakMemory(benchmark::State& state) {
  const auto rows = static_cast<std::uint32_t>(state.range(0));
  const std::string& path = table(rows);
  for (auto _ : state) {
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) {
      state.SkipWithError("no pipe");
      return;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(pipe_fds[0]);
      malloc_trim(0);
      long figures[4] = {reset_peak_rss() ? 1 : 0, status_kib("VmRSS:"), 0, 0};
      figures[3] = export_once(path, rows, true, "").done ? 1 : 0;
      figures[2] = status_kib("VmHWM:");
      const bool sent = ::write(pipe_fds[1], figures, sizeof figures) == static_cast<ssize_t>(sizeof figures);
      ::_exit(sent ? 0 : 1);
    }
    ::close(pipe_fds[1]);
    long figures[4] = {};
    const bool got = ::read(pipe_fds[0], figures, sizeof figures) == static_cast<ssize_t>(sizeof figures);
    ::close(pipe_fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!got || figures[3] == 0) {
      state.SkipWithError("the export in the child process failed");
      return;
    }
    state.counters["peak_reset"] = static_cast<double>(figures[0]);
    state.counters["rss_before_MB"] = static_cast<double>(figures[1]) / 1024;
    state.counters["peak_MB"] = static_cast<double>(figures[2]) / 1024;
    state.counters["growth_MB"] = static_cast<double>(figures[2] - figures[1]) / 1024;
  }
}

// The memory figure first, while the process is still small.
BENCHMARK(BM_ExportPeakMemory)->Arg(100000)->Arg(1000000)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export)
    ->ArgNames({"rows", "preview"})
    ->Args({50000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportWhere)
    ->ArgNames({"rows", "preview"})
    ->Args({50000, 0})
    ->Args({1000000, 0})
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
