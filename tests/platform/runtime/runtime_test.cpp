#include "platform/runtime/runtime.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

TEST(Runtime, RunsTheProgramsOperationsInTheirOrder) {
  std::vector<std::string> log;
  auto step = [&](std::string name) { return [&log, name] { log.push_back(name + ":" + std::to_string(runtime::thread())); }; };
  runtime::Program p;
  p.thread_files_init = step("ThreadFilesInit");
  p.global_data_init = step("GlobalDataInit");
  p.thread_data_init = step("ThreadDataInit");
  p.main = step("Main");
  p.module_thread_kills = {step("ModuleA"), step("ModuleB")};
  p.thread_data_kill = step("ThreadDataKill");
  p.global_data_kill = step("GlobalDataKill");
  EXPECT_EQ(runtime::run(p), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"ThreadFilesInit:1", "GlobalDataInit:1", "ThreadDataInit:1", "Main:1",
                                           "ModuleA:1", "ModuleB:1", "ThreadDataKill:1", "GlobalDataKill:1"}));

  runtime::Program only_main;
  bool ran = false;
  only_main.main = [&] { ran = true; };
  EXPECT_EQ(runtime::run(only_main), 0);
  EXPECT_TRUE(ran);
}

struct Counted {
  static inline int alive = 0;
  int value = 0;
  Counted() { ++alive; }
  ~Counted() { --alive; }
};

TEST(Runtime, ThreadDataIsOnePerThreadAndEndsWithIt) {
  runtime::Threaded<Counted> data;
  data->value = 7;
  int other_thread = 0, seen_there = -1, alive_there = 0;
  std::thread t([&] {
    other_thread = runtime::thread();
    seen_there = data->value;
    data->value = 99;
    alive_there = Counted::alive;
  });
  t.join();
  EXPECT_EQ(runtime::thread(), 1);
  EXPECT_GT(other_thread, 1);
  EXPECT_EQ(seen_there, 0);
  EXPECT_EQ(alive_there, 2);
  EXPECT_EQ(Counted::alive, 1);  // the other thread's instance ended with it
  EXPECT_EQ(data->value, 7);

  data.destroy();
  EXPECT_FALSE(data.exists());
  EXPECT_EQ(Counted::alive, 0);
  EXPECT_EQ(data->value, 0);  // a new instance on the next use
  EXPECT_EQ(data.create().value, 0);
  EXPECT_EQ(Counted::alive, 1);

  int numbers[2] = {};
  std::thread a([&] { numbers[0] = runtime::thread(); });
  a.join();
  std::thread b([&] { numbers[1] = runtime::thread(); });
  b.join();
  EXPECT_NE(numbers[0], numbers[1]);
  EXPECT_GT(numbers[0], 1);
}

TEST(Runtime, ThreadDataMadeByItsOwnFactory) {
  runtime::Threaded<std::string> name([] { return std::make_unique<std::string>("start"); });
  EXPECT_EQ(*name, "start");
  *name = "changed";
  std::string there;
  std::thread t([&] { there = *name; });
  t.join();
  EXPECT_EQ(there, "start");
  EXPECT_EQ(*name, "changed");
}

}  // namespace
