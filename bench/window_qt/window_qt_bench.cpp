// The desktop backend as a program feels it, printed as figures:
//  - timer events per second a window with TIMER(1) receives in a loop that does
//    10 small units of work per tick and redraws a 2000-column list each time,
//    and how fast real mouse clicks on a button reach that loop meanwhile;
//  - the process's CPU use while a window waits idle;
//  - a list of 2000 columns and 100,000 rows over the preview's queue: the
//    resident memory the queue holds and what the window adds on top, and the
//    time to scroll to the last row and column and paint it.
// Runs on the offscreen platform unless QT_QPA_PLATFORM names another (under
// xvfb-run: QT_QPA_PLATFORM=xcb). QM_BENCH_SECONDS sets the timer run (20).
#include <sys/resource.h>

#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/support/peak_memory.h"
#include "globals/preview_record.h"
#include "platform/queue/queue.h"
#include "platform/window/qt/qt_backend.h"
#include "platform/window/window.h"

namespace {

using namespace window;
using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

double cpu_seconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::string preview_format(std::size_t columns) {
  std::string f;
  for (std::size_t k = 1; k <= columns; ++k) f += "40L|M~COL" + std::to_string(k) + "~";
  return f;
}

// Rows of the preview queue: every column filled, row and column numbers at
// both ends so the last cell can be checked, one letter elsewhere.
void fill(queue::Queue<globals::PreviewRecord>& q, std::size_t rows) {
  globals::PreviewRecord& b = q.buffer();
  for (std::size_t r = 1; r <= rows; ++r) {
    std::string n = std::to_string(r);
    b.set_cell(1, n);
    for (std::size_t k = 2; k < globals::PreviewRecord::kColumns; ++k) {
      b.set_cell(k, std::string_view(&"abcdefghijklmnopqrstuvwxyz"[(r + k) % 26], 1));
    }
    b.set_cell(globals::PreviewRecord::kColumns, n);
    q.add();
  }
}

WindowDef list_window(int timer) {
  WindowDef def;
  def.label = "BENCH";
  def.caption = "Preview";
  def.at = {0, 0, 400, 260};
  def.resizable = true;
  def.timer = timer;
  def.controls = {
      {.type = ControlType::Button, .text = "&Fetch", .at = {4, 4, 50, 14}},
      {.type = ControlType::String, .at = {60, 6, 200, 10}, .use = true},
      {.type = ControlType::List, .at = {4, 24, 392, 230}, .format = preview_format(globals::PreviewRecord::kColumns)},
  };
  return def;
}

// A real click on the button: press and release through the event queue.
void post_click(QWidget* button) {
  QPointF at = QPointF(button->rect().center());
  QPointF global = QPointF(button->mapToGlobal(button->rect().center()));
  QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                      Qt::LeftButton, Qt::NoModifier));
  QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                      Qt::NoButton, Qt::NoModifier));
}

class PaintCounter final : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

void timer_run(QtBackend& qt, double seconds) {
  queue::Queue<globals::PreviewRecord> q;
  fill(q, 1000);
  std::string status;
  Window w(list_window(1), {status, q});
  w.open();
  auto* view = qobject_cast<QTableView*>(qt.widget(w, 3));
  PaintCounter counter;
  view->viewport()->installEventFilter(&counter);

  std::vector<Clock::time_point> clicks;
  std::vector<double> latencies;
  QTimer clicker;
  QObject::connect(&clicker, &QTimer::timeout, [&] {
    clicks.push_back(Clock::now());
    post_click(qt.widget(w, 1));
  });
  clicker.start(500);

  long ticks = 0;
  volatile std::size_t sink = 0;
  double cpu = cpu_seconds();
  Clock::time_point start = Clock::now();
  double in_display = 0;
  while (accept()) {
    if (event() == EVENT_Timer) {
      ++ticks;
      Clock::time_point d0 = Clock::now();
      for (int unit = 0; unit < 10; ++unit) {  // ten records of an export
        std::string line = std::to_string(ticks) + "," + std::to_string(unit) + ",\"text\"";
        sink = sink + line.size();
      }
      status = "Records: " + std::to_string(ticks * 10);
      w.display();  // the list and the count drawn again on every tick
      in_display += seconds_since(d0);
      if (seconds_since(start) >= seconds) break;
    } else if (accepted() == 1 && latencies.size() < clicks.size()) {
      latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - clicks[latencies.size()]).count());
    }
  }
  double elapsed = seconds_since(start);
  cpu = cpu_seconds() - cpu;
  clicker.stop();
  w.close();
  double worst = 0, sum = 0;
  for (double l : latencies) {
    worst = std::max(worst, l);
    sum += l;
  }
  std::printf("timer TIMER(1), 10 units of work and a redraw per tick, %.1f s:\n", elapsed);
  std::printf("  timer events per second      %8.1f (100 at most)\n", static_cast<double>(ticks) / elapsed);
  std::printf("  list repaints per second     %8.1f\n", counter.paints / elapsed);
  std::printf("  CPU use                      %8.1f %% of a core\n", 100.0 * cpu / elapsed);
  std::printf("  DISPLAY per tick             %8.3f ms\n", in_display * 1000 / static_cast<double>(ticks));
  std::printf("  clicks answered              %zu of %zu, mean %.2f ms, worst %.2f ms\n", latencies.size(),
              clicks.size(), latencies.empty() ? 0.0 : sum / static_cast<double>(latencies.size()), worst);
}

void idle_run(QtBackend& qt, double seconds) {
  queue::Queue<globals::PreviewRecord> q;
  fill(q, 1000);
  std::string status = "Idle";
  Window w(list_window(0), {status, q});
  w.open();
  while (w.has_events() && accept()) {
  }
  QTimer::singleShot(static_cast<int>(seconds * 1000), [&] { qt.widget(w)->close(); });
  double cpu = cpu_seconds();
  Clock::time_point start = Clock::now();
  while (accept()) {
  }
  double elapsed = seconds_since(start);
  std::printf("idle window with a list, %.1f s:\n", elapsed);
  std::printf("  CPU use                      %8.2f %% of a core (target under 5 %%)\n",
              100.0 * (cpu_seconds() - cpu) / elapsed);
}

void large_list_run(QtBackend& qt) {
  constexpr std::size_t kRows = 100'000;
  long before = bench::resident_kib();
  queue::Queue<globals::PreviewRecord> q;
  fill(q, kRows);
  long with_queue = bench::resident_kib();
  bench::reset_peak_resident();
  std::string status = "Large";
  Window w(list_window(0), {status, q});
  Clock::time_point open = Clock::now();
  w.open();
  auto* view = qobject_cast<QTableView*>(qt.widget(w, 3));
  PaintCounter counter;
  view->viewport()->installEventFilter(&counter);
  // Painting needs the window on the screen.
  while (!qt.widget(w)->windowHandle()->isExposed()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  view->viewport()->repaint();
  double open_ms = seconds_since(open) * 1000;

  QAbstractItemModel* m = view->model();
  Clock::time_point t = Clock::now();
  QModelIndex last = m->index(m->rowCount() - 1, m->columnCount() - 1);
  view->setCurrentIndex(last);
  view->scrollTo(last);
  view->viewport()->repaint();
  double scroll_ms = seconds_since(t) * 1000;
  bool shows_last = view->viewport()->rect().intersects(view->visualRect(last)) &&
                    m->data(last).toString() == QString::number(kRows);

  t = Clock::now();
  QModelIndex first = m->index(0, 0);
  view->scrollTo(first);
  view->viewport()->repaint();
  double back_ms = seconds_since(t) * 1000;

  t = Clock::now();
  for (int step = 0; step < 50; ++step) {
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + view->verticalScrollBar()->pageStep());
    view->viewport()->repaint();
  }
  double page_ms = seconds_since(t) * 1000 / 50;
  int paints = counter.paints;
  long window_peak = bench::peak_resident_kib();
  w.close();

  std::printf("list of %d columns and %zu rows over the preview queue:\n", m->columnCount(), kRows);
  std::printf("  queue resident               %8.1f MiB\n", static_cast<double>(with_queue - before) / 1024);
  std::printf("  window on top of it (peak)   %8.1f MiB\n", static_cast<double>(window_peak - with_queue) / 1024);
  std::printf("  open and first paint         %8.2f ms\n", open_ms);
  std::printf("  scroll to last row and column%8.2f ms (target under 100), last cell shown: %s\n", scroll_ms,
              shows_last ? "yes" : "NO");
  std::printf("  back to the first cell       %8.2f ms\n", back_ms);
  std::printf("  one page down                %8.2f ms\n", page_ms);
  std::printf("  (%d paints of the list measured)\n", paints);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  double seconds = 20;
  if (const char* s = std::getenv("QM_BENCH_SECONDS")) seconds = std::max(1.0, std::atof(s));
  QtBackend qt(argc, argv);
  set_backend(&qt);
  std::printf("platform: %s\n", QGuiApplication::platformName().toUtf8().constData());
  timer_run(qt, seconds);
  idle_run(qt, std::min(seconds, 10.0));
  large_list_run(qt);
  set_backend(nullptr);
  return 0;
}
