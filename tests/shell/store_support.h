// Shared by the shell's tests: a scratch working directory with the main
// window open on the headless backend (export_support.h), the program's
// services and the first thread's data dictionary set up as the start-up
// does, and a halt that records instead of ending the test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "globals/globals.h"
#include "globals/services.h"
#include "shell/data_dictionary.h"
#include "shell/main_locals.h"
#include "shell/saved_queries.h"
#include "shell/startup.h"
#include "platform/tps/bytes.h"
#include "tests/engine/export_support.h"

namespace store_test {

namespace fs = std::filesystem;

class Store : public export_test::Export {
 protected:
  void SetUp() override {
    Export::SetUp();
    halted_ = 0;
    abc::ErrorManager::set_halt([this] { ++halted_; });
    shell::ThreadFilesInit();
    shell::GlobalDataInit();
    shell::ThreadDataInit();
    globals::GlobalErrorManager.Init(shell::ThreadErrorStatus);
    shell::DictionaryInit();
  }
  void TearDown() override {
    shell::ThreadDataKill();
    shell::GlobalDataKill();
    abc::ErrorManager::set_halt(nullptr);
    Export::TearDown();
  }

  // A field-list entry as field discovery leaves it.
  static void add_field(const std::string& label, const std::string& type, long count,
                        const std::string& date = "", const std::string& time = "",
                        const std::string& possible_date = "", const std::string& possible_time = "") {
    auto& q = globals::FieldListQueue;
    q.clear();
    q.buffer().ALF_DAFIELD = label;
    q.buffer().ALF_DATYPE = type;
    q.buffer().ALF_DATE = date;
    q.buffer().ALF_TIME = time;
    q.buffer().ALF_POSSIBLEDATE = possible_date;
    q.buffer().ALF_POSSIBLETIME = possible_time;
    q.buffer().ALF_DACOUNT = static_cast<globals::LONG>(count);
    q.buffer().ALF_DASIZE = 4;  // not stored
    q.add();
  }

  // Saves the form under `name` as the closing main window does.
  void save(const std::string& name, const std::string& select = "", const std::string& where = "") {
    globals::GLO_QUERYNAME = name;
    globals::GLO_SELECT = select;
    globals::GLO_WHERE = where;
    if (globals::FieldListQueue.records() == 0) add_field("CUS:NAME", "STRING", 1);
    m_.FieldListPresent = globals::FieldListQueue.records() > 0 ? 1 : 0;
    shell::SaveQuery(m_);
  }

  // The rows of QMXSETUP.TPS as (SYSID, TAG, QUERYNAME), read with a
  // declaration of our own in physical order.
  struct Row {
    std::int32_t sysid;
    int tag;
    std::string name;
    bool operator==(const Row&) const = default;
  };
  std::vector<Row> rows() const {
    tps::KeyedTable t;
    std::vector<Row> out;
    if (t.open(dir_ / "QMXSETUP.TPS") != 0) return out;
    t.set();
    while (t.next() == 0) {
      shell::QmxRecord r(t.buffer());
      out.push_back({r.SYSID, r.TAG, std::string(r.QUERYNAME.view())});
    }
    t.close();
    return out;
  }
  // The file's change counter: one more after every rewrite.
  std::uint32_t changes() const {
    const std::string bytes = read(dir_ / "QMXSETUP.TPS");
    if (bytes.size() < 0x1C) return 0;
    return tps::bytes::u32le(bytes.data() + 0x18);
  }

  shell::MainLocals m_;
  int halted_ = 0;
};

}  // namespace store_test
