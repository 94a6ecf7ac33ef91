// Timer events per second that a nested ACCEPT loop receives on the headless
// backend: the export's record loop inside a button handler of a window with
// TIMER(1). Target: at least 1,000,000 per second with an empty handler, so that
// the loop never limits an export. Reported as items_per_second.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/window/headless.h"
#include "platform/window/window.h"

namespace {

using namespace window;

// Runs `body` on every timer event of a loop nested in the handler of a press.
template <class Body>
void nested_timer_loop(benchmark::State& state, Body body) {
  headless().reset();
  WindowDef def;
  def.label = "BENCH";
  def.caption = "Bench";
  def.timer = 1;
  def.controls = {{.type = ControlType::Button, .text = "Fetch"}};
  Window w(def);
  headless().press(1);
  w.open();
  while (accept() && accepted() != 1) {
  }
  const std::int64_t per_run = state.range(0);
  for (auto _ : state) {
    std::int64_t timers = 0;
    while (accept()) {
      if (event() != EVENT_Timer) continue;
      body(w, timers);
      if (++timers == per_run) break;
    }
    benchmark::DoNotOptimize(timers);
  }
  state.SetItemsProcessed(state.iterations() * per_run);
  w.close();
  headless().reset();
}

void BM_NestedLoopTimerEvents(benchmark::State& state) {
  nested_timer_loop(state, [](Window&, std::int64_t) {});
}
BENCHMARK(BM_NestedLoopTimerEvents)->Arg(100000);

// The record loop's own pattern: the caption rewritten on every other event.
void BM_NestedLoopWithCaption(benchmark::State& state) {
  nested_timer_loop(state, [](Window& w, std::int64_t n) {
    if (n % 2 == 0) w.set_property(PROP_Text, "Bench Record: " + std::to_string(n) + " of 100000");
  });
}
BENCHMARK(BM_NestedLoopWithCaption)->Arg(100000);

}  // namespace
