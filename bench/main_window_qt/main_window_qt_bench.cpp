// The main window on the desktop backend, as a user feels it, printed as figures:
//  - an interactive export of a table (20,000 records of ten fields by default):
//    the user types the table and presses "Fetch" with real widget events; the
//    records per second and the timer events per second behind them (ten
//    records a tick), how often the preview and the caption were drawn again,
//    and how fast real clicks on the SELECT text were answered meanwhile;
//  - the process's CPU use while the main window waits idle afterwards;
//  - the preview at its largest, 2000 columns and 100,000 rows in the main
//    window's own queue: the resident memory of the queue and what the window
//    adds at its peak, and the time to scroll to the last row and column.
// Runs on the offscreen platform unless QT_QPA_PLATFORM names another (under
// xvfb-run: QT_QPA_PLATFORM=xcb). Usage: main_window_qt_bench [records];
// QM_BENCH_IDLE_SECONDS sets the idle run (5).
#include <sys/resource.h>
#include <unistd.h>

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "bench/support/large_table.h"
#include "bench/support/peak_memory.h"
#include "globals/globals.h"
#include "platform/files/command.h"
#include "platform/runtime/runtime.h"
#include "platform/window/qt/qt_backend.h"
#include "platform/window/window.h"
#include "shell/main_window.h"
#include "shell/main_window_def.h"
#include "shell/startup.h"
#include "tests/platform/window_qt/user.h"

namespace {

namespace fs = std::filesystem;
using namespace window;
using Clock = std::chrono::steady_clock;

constexpr bench::LargeTable kPeople{"PRE", "BORN", 1950, 60};

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }
double ms_between(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

double cpu_seconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Counts paints of a widget and notes when the clicks posted to it arrive.
class Watch final : public QObject {
 public:
  int paints = 0;
  std::vector<Clock::time_point> answered;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    if (e->type() == QEvent::MouseButtonRelease) answered.push_back(Clock::now());
    return false;
  }
};

void post_click(QWidget* target) {
  QPointF at = QPointF(target->rect().center());
  QPointF global = QPointF(target->mapToGlobal(target->rect().center()));
  QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                      Qt::LeftButton, Qt::NoModifier));
  QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                      Qt::NoButton, Qt::NoModifier));
}

std::string runtime_path(const fs::path& p) {
  std::string s = p.string();
  for (char& c : s) {
    if (c == '/') c = '\\';
  }
  return s;
}

void fill_preview(std::size_t rows) {
  globals::PreviewRecord& b = globals::PreviewQueue.buffer();
  for (std::size_t r = 1; r <= rows; ++r) {
    std::string n = std::to_string(r);
    b.set_cell(1, n);
    for (std::size_t k = 2; k < globals::PreviewRecord::kColumns; ++k) {
      b.set_cell(k, std::string_view(&"abcdefghijklmnopqrstuvwxyz"[(r + k) % 26], 1));
    }
    b.set_cell(globals::PreviewRecord::kColumns, n);
    globals::PreviewQueue.add();
  }
}

struct Figures {
  Clock::time_point pressed, done;
  double cpu_export = 0;
  std::set<std::string> captions;
  std::vector<Clock::time_point> clicks;
  int list_paints = 0, count_paints = 0, top_paints = 0;
  std::vector<double> latencies;
  double idle_seconds = 0, idle_cpu = 0;
};

// The large preview inside the main window: its own queue and list.
void large_preview(QtBackend& qt, Window& w) {
  constexpr std::size_t kRows = 100'000;
  globals::PreviewQueue.free();
  long before = bench::resident_kib();
  fill_preview(kRows);
  long with_queue = bench::resident_kib();
  bench::reset_peak_resident();
  std::string format;
  for (std::size_t k = 1; k <= globals::PreviewRecord::kColumns; ++k) format += "40L|M~COL" + std::to_string(k) + "~";
  Clock::time_point t = Clock::now();
  w.set_property(shell::FEQ_LIST1, PROP_Format, format);
  display();
  auto* view = qobject_cast<QTableView*>(qt.widget(w, shell::FEQ_LIST1));
  QCoreApplication::processEvents();
  view->viewport()->repaint();
  double format_ms = seconds_since(t) * 1000;

  QAbstractItemModel* m = view->model();
  t = Clock::now();
  QModelIndex last = m->index(m->rowCount() - 1, m->columnCount() - 1);
  view->scrollTo(last);
  view->viewport()->repaint();
  double scroll_ms = seconds_since(t) * 1000;
  bool shows_last = view->viewport()->rect().intersects(view->visualRect(last)) &&
                    m->data(last).toString() == QString::number(kRows);
  t = Clock::now();
  view->scrollTo(m->index(0, 0));
  view->viewport()->repaint();
  double back_ms = seconds_since(t) * 1000;
  long peak = bench::peak_resident_kib();

  std::printf("main window preview of %d columns and %d rows:\n", m->columnCount(), m->rowCount());
  std::printf("  queue resident               %8.1f MiB\n", static_cast<double>(with_queue - before) / 1024);
  std::printf("  window on top of it (peak)   %8.1f MiB\n", static_cast<double>(peak - with_queue) / 1024);
  std::printf("  new format shown             %8.2f ms\n", format_ms);
  std::printf("  scroll to last row and column%8.2f ms (target under 100), last cell shown: %s\n", scroll_ms,
              shows_last ? "yes" : "NO");
  std::printf("  back to the first cell       %8.2f ms\n", back_ms);
  globals::PreviewQueue.free();
  display();
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::uint32_t records = argc > 1 ? static_cast<std::uint32_t>(std::atol(argv[1])) : 20'000;
  double idle = 5;
  if (const char* s = std::getenv("QM_BENCH_IDLE_SECONDS")) idle = std::max(1.0, std::atof(s));

  const fs::path table = bench::large_table(kPeople, records);
  const fs::path dir = bench::scratch_dir() / "main";
  fs::create_directories(dir / "OUT");
  if (chdir(dir.c_str()) != 0) return 1;

  QtBackend qt(argc, argv);
  set_backend(&qt);
  std::printf("platform: %s\n", QGuiApplication::platformName().toUtf8().constData());

  Figures f;
  drive::DesktopUser user(qt);
  user.type(shell::FEQ_GLO_INPUTTPSLOCATION, runtime_path(table));
  user.then([&](Window&) { f.pressed = Clock::now(); });
  user.press(shell::FEQ_BUTTONFETCH);

  enum Phase { Before, Export, Idle, Done } phase = Before;
  Watch list_watch, count_watch, select_watch, top_watch;
  double cpu_mark = 0;
  Clock::time_point idle_start;
  int tick = 0;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    Window* w = current();
    if (!w || !qt.widget(*w)) return;
    switch (phase) {
      case Before:
        if (user.steps_left() > 0) return;
        qobject_cast<QTableView*>(qt.widget(*w, shell::FEQ_LIST1))->viewport()->installEventFilter(&list_watch);
        qt.widget(*w, shell::FEQ_GLO_FETCHEDNO)->installEventFilter(&count_watch);
        qt.widget(*w)->installEventFilter(&top_watch);
        qobject_cast<QPlainTextEdit*>(qt.widget(*w, shell::FEQ_GLO_SELECT))->viewport()->installEventFilter(&select_watch);
        cpu_mark = cpu_seconds();
        phase = Export;
        return;
      case Export:
        f.captions.insert(qt.widget(*w)->windowTitle().toStdString());
        if (++tick % 5 == 0) {  // a click every 100 ms
          f.clicks.push_back(Clock::now());
          post_click(qobject_cast<QPlainTextEdit*>(qt.widget(*w, shell::FEQ_GLO_SELECT))->viewport());
        }
        if (globals::GLO_FETCHEDNO != static_cast<std::int32_t>(records)) return;
        f.done = Clock::now();
        f.cpu_export = cpu_seconds() - cpu_mark;
        f.list_paints = list_watch.paints;
        f.count_paints = count_watch.paints;
        f.top_paints = top_watch.paints;
        phase = Idle;
        idle_start = Clock::now();
        cpu_mark = cpu_seconds();
        return;
      case Idle:
        if (seconds_since(idle_start) < idle) return;
        f.idle_seconds = seconds_since(idle_start);
        f.idle_cpu = cpu_seconds() - cpu_mark;  // with the probe's own 50 wake-ups a second
        phase = Done;
        large_preview(qt, *w);
        qt.widget(*w)->close();
        return;
      case Done:
        return;
    }
  });
  probe.start(20);

  files::set_command_line({"quillomar"});
  runtime::run(shell::Program(shell::Main));
  probe.stop();

  const double elapsed = std::chrono::duration<double>(f.done - f.pressed).count();
  for (std::size_t i = 0; i < f.clicks.size() && i < select_watch.answered.size(); ++i) {
    f.latencies.push_back(ms_between(f.clicks[i], select_watch.answered[i]));
  }
  double worst = 0, sum = 0;
  for (double l : f.latencies) {
    worst = std::max(worst, l);
    sum += l;
  }
  std::printf("interactive export of %u records through the main window, %.2f s:\n", records, elapsed);
  std::printf("  records per second           %8.1f (1000 the pace)\n", records / elapsed);
  std::printf("  timer events per second      %8.1f (10 records each; 100 at most)\n", records / 10.0 / elapsed);
  std::printf("  CPU use                      %8.1f %% of a core\n", 100.0 * f.cpu_export / elapsed);
  std::printf("  preview repaints per second  %8.1f, the count's %.1f, the window's %.1f\n", f.list_paints / elapsed,
              f.count_paints / elapsed, f.top_paints / elapsed);
  std::printf("  captions seen (50 reads/s)   %8zu\n", f.captions.size());
  std::printf("  clicks answered              %zu of %zu, mean %.2f ms, worst %.2f ms\n", f.latencies.size(),
              f.clicks.size(), f.latencies.empty() ? 0.0 : sum / static_cast<double>(f.latencies.size()), worst);
  std::printf("idle main window (TIMER(1)), %.1f s:\n", f.idle_seconds);
  std::printf("  CPU use                      %8.2f %% of a core (target under 5 %%)\n",
              100.0 * f.idle_cpu / f.idle_seconds);
  set_backend(nullptr);
  return 0;
}
