// Process and thread set-up as the runtime does it: the program's own set-up
// and tear-down operations run in a fixed order around its main procedure,
// THREAD() numbers the threads, and THREAD data exists once per thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace runtime {

// The program's operations that the runtime runs; any of them may be empty.
struct Program {
  std::function<void()> thread_files_init;  // the thread's instances of the file declarations
  std::function<void()> global_data_init;   // once per process
  std::function<void()> thread_data_init;   // the thread's own data
  std::function<void()> main;               // the program's main procedure
  // Per-thread clean-up of the program's other modules, run in this order at
  // the end of a thread before thread_data_kill.
  std::vector<std::function<void()>> module_thread_kills;
  std::function<void()> thread_data_kill;
  std::function<void()> global_data_kill;  // once per process, after the first thread's data ended
};

// Runs the program on the calling thread, which is the program's first: its
// file instances, the process set-up, its thread set-up, the main procedure,
// then the end of the thread (module clean-ups, thread tear-down) and of the
// process. Returns the process's exit status: 0 unless the program set another.
int run(const Program& program);

// The status the process ends with; what run() returns.
void set_exit_status(int status);
int exit_status();

// THREAD(): the number of the calling thread; the program's first thread (the
// one that started the process) is 1, others are numbered from 2 in the order
// in which they first ask.
int thread();

namespace detail {
std::uint64_t next_threaded_id();
void* find_instance(std::uint64_t id);
void keep_instance(std::uint64_t id, void* instance, void (*destroy)(void*));
void drop_instance(std::uint64_t id);
}  // namespace detail

// THREAD data: each thread has its own instance of T, made on the thread's
// first use (or by create()) and released by destroy() or when the thread ends.
template <class T>
class Threaded {
 public:
  using Factory = std::function<std::unique_ptr<T>()>;

  Threaded()
    requires std::is_default_constructible_v<T>
      : factory_([] { return std::make_unique<T>(); }) {}
  explicit Threaded(Factory factory) : factory_(std::move(factory)) {}
  ~Threaded() { destroy(); }
  Threaded(const Threaded&) = delete;
  Threaded& operator=(const Threaded&) = delete;

  T& get() {
    if (void* p = detail::find_instance(id_)) return *static_cast<T*>(p);
    return create();
  }
  T& operator*() { return get(); }
  T* operator->() { return &get(); }

  // Makes this thread's instance now; the one it had is released first.
  T& create() {
    destroy();
    std::unique_ptr<T> made = factory_();
    T* raw = made.get();
    detail::keep_instance(id_, raw, [](void* p) { delete static_cast<T*>(p); });
    made.release();
    return *raw;
  }
  // Releases this thread's instance (DESTROY); the next use makes a new one.
  void destroy() { detail::drop_instance(id_); }
  bool exists() const { return detail::find_instance(id_) != nullptr; }

 private:
  Factory factory_;
  std::uint64_t id_ = detail::next_threaded_id();
};

}  // namespace runtime
