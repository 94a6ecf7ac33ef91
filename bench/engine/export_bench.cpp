// A whole export on the headless backend, as the "Fetch" command runs it:
// ExportTable over a table of 10 fields (about 100 bytes a record) with the
// default settings, the CSV written to a scratch folder. Figures:
//   BM_Export/rows/preview: records/s (items_per_second) and MB/s of CSV
//     (bytes_per_second), with the preview off (GLO_NOPREVIEW) and on.
//     Target: 200,000 records/s on one core.
//   BM_ExportWhere/rows: the same with a WHERE text of three comparisons.
//     Target: 100,000 records/s.
//   BM_ExportWhereLength/rows/where: records/s with WHERE texts of growing
//     length over 100,000 records: 0 the three comparisons above, 1 fifty
//     comparisons in about 2 KB, 2 the longest text the form holds (49,999
//     characters) with 2,631 references to the fields. Every comparison is
//     true, so every one is evaluated. Target: the cost per record grows with
//     the text's length and no faster (ns_per_record_per_KB stays about
//     level), and the longest text runs at 5,000 records/s or more.
//   BM_ExportPeakMemory/rows: the peak resident memory (VmHWM) of a process
//     that runs one export with the preview on. Target: under 100 MB for
//     100,000 records; the 1,000,000-record figure shows how the preview grows.
// Tables (bench/support/large_table.h) are written by our writer in a child
// process, so that its memory never counts as the export's.
// The 50,000-record forms are the ones to run under callgrind.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/large_table.h"
#include "bench/support/peak_memory.h"
#include "engine/engine_state.h"
#include "engine/export_run.h"
#include "globals/globals.h"
#include "platform/files/paths.h"
#include "platform/window/headless.h"
#include "platform/window/window.h"

namespace {

namespace fs = std::filesystem;

constexpr bench::LargeTable kPeople{"PRE", "BORN", 1950, 60};

// The scratch folder in the runtime's form: "\" separators.
std::string runtime_dir() {
  std::string s = bench::scratch_dir().string();
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

// The runtime path of the table of `rows` records.
std::string table(std::uint32_t rows) {
  return runtime_dir() + "\\" + bench::large_table(kPeople, rows).filename().string();
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
  globals::GLO_WorkingDir = runtime_dir();
  globals::GLO_OUTPUTCSVLOCATION = runtime_dir() + "\\";
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
  const std::string path = table(rows);
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

// `comparisons` comparisons of the table's fields, each true for every
// record, joined by AND, with blanks between them up to `length` characters.
std::string long_where(std::size_t comparisons, std::size_t length) {
  static const char* const kTerms[] = {
      "PRE:NUMBER>=0", "PRE:NAME<>'x'", "PRE:VISITS<1000", "PRE:BALANCE>=0", "PRE:CITY<>'Rome'",
      "PRE:RATE<8",    "PRE:STATUS<3",  "PRE:BORN>0",      "PRE:AT>=0",      "PRE:NOTE<>'x'",
  };
  std::vector<std::string> terms;
  std::size_t used = 0;
  for (std::size_t i = 0; i < comparisons; ++i) {
    terms.emplace_back(kTerms[i % std::size(kTerms)]);
    used += terms.back().size() + (i > 0 ? 5 : 0);  // " AND "
  }
  const std::size_t gaps = comparisons > 1 ? comparisons - 1 : 1;
  const std::size_t pad = length > used ? length - used : 0;
  std::string where;
  for (std::size_t i = 0; i < terms.size(); ++i) {
    if (i > 0) {
      where += " AND ";
      where.append(pad / gaps + (i <= pad % gaps ? 1 : 0), ' ');
    }
    where += terms[i];
  }
  return where;
}

void BM_ExportWhereLength(benchmark::State& state) {
  static const std::string kTexts[] = {kWhere, long_where(50, 2000), long_where(2631, 49999)};
  const std::string& where = kTexts[state.range(1)];
  const auto rows = static_cast<std::uint32_t>(state.range(0));
  const std::string path = table(rows);
  for (auto _ : state) {
    const Outcome o = export_once(path, rows, false, where.c_str());
    if (!o.done) {
      state.SkipWithError("the export did not read every record");
      break;
    }
  }
  engine::reset();
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * rows);
  state.counters["where_chars"] = static_cast<double>(where.size());
  // The time a record costs per KB of WHERE text: level when the cost grows
  // with the length and no faster.
  state.counters["ns_per_record_per_KB"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * rows * static_cast<double>(where.size()) / 1024 / 1e9,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// In a child process, so that no earlier benchmark's memory counts: the peak
// resident memory of one export with the preview on.
void BM_ExportPeakMemory(benchmark::State& state) {
  const auto rows = static_cast<std::uint32_t>(state.range(0));
  const std::string path = table(rows);
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
      long figures[4] = {bench::reset_peak_resident() ? 1 : 0, bench::resident_kib(), 0, 0};
      figures[3] = export_once(path, rows, true, "").done ? 1 : 0;
      figures[2] = bench::peak_resident_kib();
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
BENCHMARK(BM_ExportWhereLength)
    ->ArgNames({"rows", "where"})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
