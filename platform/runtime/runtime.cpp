#include "platform/runtime/runtime.h"

#include <atomic>
#include <thread>
#include <unordered_map>

namespace runtime {

namespace {

// The thread that initialises the program's statics is the one that started
// the process.
const std::thread::id first_thread = std::this_thread::get_id();
std::atomic<int> last_number{1};
std::atomic<int> status{0};

void call(const std::function<void()>& f) {
  if (f) f();
}

struct Instance {
  void* object = nullptr;
  void (*destroy)(void*) = nullptr;
};

// Set once a thread's instances are gone, so that THREAD data still used at
// the very end (by statics being destroyed) finds nothing instead of a map
// that no longer exists.
thread_local bool instances_gone = false;

struct Instances {
  std::unordered_map<std::uint64_t, Instance> map;
  ~Instances() {
    auto left = std::move(map);
    instances_gone = true;
    for (auto& [id, i] : left) i.destroy(i.object);
  }
};

Instances* instances() {
  if (instances_gone) return nullptr;
  thread_local Instances all;
  return &all;
}

}  // namespace

int run(const Program& program) {
  call(program.thread_files_init);
  call(program.global_data_init);
  call(program.thread_data_init);
  call(program.main);
  for (const auto& kill : program.module_thread_kills) call(kill);
  call(program.thread_data_kill);
  call(program.global_data_kill);
  return status;
}

void set_exit_status(int s) { status = s; }
int exit_status() { return status; }

int thread() {
  thread_local const int number = std::this_thread::get_id() == first_thread ? 1 : ++last_number;
  return number;
}

namespace detail {

std::uint64_t next_threaded_id() {
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

void* find_instance(std::uint64_t id) {
  Instances* all = instances();
  if (!all) return nullptr;
  auto& map = all->map;
  auto it = map.find(id);
  return it == map.end() ? nullptr : it->second.object;
}

void keep_instance(std::uint64_t id, void* instance, void (*destroy)(void*)) {
  Instances* all = instances();
  // Used after the thread's instances are gone: the instance stays alive
  // (unreleased) so that the caller's reference holds to the end.
  if (!all) return;
  all->map[id] = Instance{instance, destroy};
}

void drop_instance(std::uint64_t id) {
  Instances* all = instances();
  if (!all) return;
  auto& map = all->map;
  auto it = map.find(id);
  if (it == map.end()) return;
  Instance i = it->second;
  map.erase(it);
  i.destroy(i.object);
}

}  // namespace detail

}  // namespace runtime
