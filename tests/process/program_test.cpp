// The built program as a script runs it: in a scratch folder, with switches,
// its standard error and exit status read back, and the CSV, QMXSETUP.TPS
// and quillomar.INI it leaves behind.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/export_run.h"
#include "globals/globals.h"
#include "globals/services.h"
#include "platform/files/paths.h"
#include "platform/tps/fixture.h"
#include "platform/runtime/runtime.h"
#include "shell/main_locals.h"
#include "shell/saved_queries.h"
#include "shell/startup.h"
#include "tests/platform/files/scratch_dir.h"
#include "tests/support/csv.h"

namespace {

namespace fs = std::filesystem;
using tps::fixture::Type;

struct Outcome {
  int status = -1;
  std::string out, err;
};

class Program : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    fs::create_directories(dir_ / "OUT");
    fs::current_path(dir_);
    engine::reset();
  }
  void TearDown() override {
    engine::reset();
    ScratchDir::TearDown();
  }

  // Runs the program in the scratch folder with these arguments.
  Outcome run(const std::vector<std::string>& args) const {
    const fs::path out = dir_ / ".stdout", err = dir_ / ".stderr";
    const pid_t pid = fork();
    if (pid == 0) {
      if (chdir(dir_.c_str()) != 0) _exit(126);
      // No display: an interactive start must not open a window here.
      for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(v);
      const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(o, 1);
      dup2(e, 2);
      std::vector<char*> argv{const_cast<char*>(QM_PROGRAM)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(QM_PROGRAM, argv.data());
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Outcome r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = read(out);
    r.err = read(err);
    fs::remove(out);
    fs::remove(err);
    return r;
  }

  // n customers: CODE 1..n, NAME "Name i", CITY (every third "Bonn, Rhein").
  void customers(int n, const std::string& name = "CUS.TPS") {
    tps::fixture::File file;
    auto& t = file.table("CUS");
    t.field("CODE", Type::Long).field("NAME", Type::String, 20).field("CITY", Type::String, 20);
    for (int i = 1; i <= n; ++i)
      t.row().set("CODE", i).set("NAME", "Name " + std::to_string(i)).set("CITY", i % 3 == 0 ? "Bonn, Rhein" : "Ulm");
    file.write(dir_ / name);
  }

  // Runs one piece of the program's store in this process, inside the
  // program's own frame in place of its main window.
  template <class F>
  static void with_store(F f) {
    runtime::run(shell::Program([&] {
      globals::GLO_WorkingDir = files::longpath();
      f();
    }));
    engine::reset();
  }

  // Stores a query on `table` (its fields learned by the engine), as the
  // main window saves one at its close.
  void store(const std::string& name, const std::string& table, const std::string& select = "",
             const std::string& where = "", const std::string& output = "OUT\\") {
    with_store([&] {
      globals::GLO_INPUTTPSLOCATION = table;
      globals::GLO_OUTPUTCSVLOCATION = output;
      engine::ExportTable("1", globals::GLO_INPUTTPSLOCATION.view());
      globals::GLO_QUERYNAME = name;
      globals::GLO_SELECT = select;
      globals::GLO_WHERE = where;
      shell::MainLocals m;
      m.FieldListPresent = globals::FieldListQueue.records() > 0 ? 1 : 0;
      shell::SaveQuery(m);
    });
  }

  struct Stored {
    bool found = false;
    std::string select, where, input;
  };
  // A stored query by name; "" the one that carries the tag.
  Stored stored(const std::string& name) {
    Stored s;
    with_store([&] {
      shell::MainLocals m;
      if (name.empty()) {
        shell::LoadTaggedQuery(m);
        s.found = !globals::GLO_QUERYNAME.empty();
        s.select = globals::GLO_QUERYNAME.str();  // the tagged query's name
      } else {
        globals::CmdQueryName = name;
        shell::LoadQueryByName(m);
        s.found = m.LoadedByName != 0;
        s.select = globals::GLO_SELECT.str();
      }
      s.where = globals::GLO_WHERE.str();
      s.input = globals::GLO_INPUTTPSLOCATION.str();
    });
    return s;
  }

  std::vector<std::string> csv(const std::string& relative) const { return qm_test::crlf_lines(read(dir_ / relative)); }
};

TEST_F(Program, TheBundledExampleExportsUnattended) {
  for (const auto& e : fs::directory_iterator(QM_EXAMPLES_DIR)) fs::copy(e.path(), dir_ / e.path().filename(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  const Outcome r = run({"\\auto=1", "\\query=Example"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "");
  const auto lines = csv("OUT/CUSTOMER.CSV");
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[0], "\"CUS:CODE\",\"CUS:NAME\",\"CUS:CITY\",\"CUS:JOINED\",\"CUS:CALLAT\",\"CUS:BALANCE\",\"CUS:LASTORDER\"");
  EXPECT_FALSE(fs::exists(dir_ / "quillomar.INI"));
  EXPECT_EQ(stored("").select, "Example");
}

TEST_F(Program, EachSwitchInEachSpellingTakesEffectAndIsKeptWithTheQuery) {
  customers(10);
  store("Cust", "CUS.TPS");
  store("Other", "CUS.TPS");  // carries the tag now
  struct Case {
    std::vector<std::string> args;
    std::size_t lines;  // header included
    const char* header;
    const char* select;  // kept with the query afterwards
    const char* where;
  };
  const Case cases[] = {
      {{"\\auto=1", "\\query=Cust"}, 11, "\"CUS:PTR\",\"CUS:CODE\",\"CUS:NAME\",\"CUS:CITY\"", "", ""},
      {{"--auto=1", "--query=cust", "--select=\"CUS:NAME,CUS:CODE\"", "--where=CUS:CODE < 4"}, 4,
       "\"CUS:CODE\",\"CUS:NAME\"", "CUS:NAME,CUS:CODE", "CUS:CODE < 4"},
      // The texts stay with the query: the next run without them exports the same.
      {{"-auto=1", "-query=CUST"}, 4, "\"CUS:CODE\",\"CUS:NAME\"", "CUS:NAME,CUS:CODE", "CUS:CODE < 4"},
      // Values with blanks and commas: grouped by the shell, or quoted inside one argument.
      {{"/auto=1", "/query=Cust", "\\select=\"CUS:CITY, CUS:CODE\"", "\\where=CUS:CITY = 'Bonn, Rhein' AND CUS:CODE > 3"}, 3,
       "\"CUS:CODE\",\"CUS:CITY\"", "CUS:CITY, CUS:CODE", "CUS:CITY = 'Bonn, Rhein' AND CUS:CODE > 3"},
      // Unquoted, a comma ends the value, as it ends any word of the command line.
      {{"--auto=1", "--query=Cust", "--select=CUS:CITY,CUS:CODE", "--where=CUS:CODE < 4"}, 4,
       "\"CUS:CODE\",\"CUS:CITY\"", "CUS:CITY", "CUS:CODE < 4"},
      // The keywords are not taken in an unattended run: every record, forwards.
      {{"--auto=1", "--query=Cust", "--select=TOP 2 CUS:CODE", "--where=CUS:CODE > 0"}, 11, "\"CUS:CODE\"",
       "TOP 2 CUS:CODE", "CUS:CODE > 0"},
  };
  for (const Case& c : cases) {
    fs::remove(dir_ / "OUT" / "CUS.CSV");
    const Outcome r = run(c.args);
    EXPECT_EQ(r.status, 0) << c.args[1];
    EXPECT_EQ(r.err, "") << c.args[1];
    const auto lines = csv("OUT/CUS.CSV");
    EXPECT_EQ(lines.size(), c.lines) << c.args[1];
    if (!lines.empty()) {
      EXPECT_EQ(lines[0], c.header) << c.args[1];
    }
    const Stored s = stored("Cust");
    EXPECT_TRUE(s.found);
    EXPECT_EQ(s.select, c.select) << c.args[1];
    EXPECT_EQ(s.where, c.where) << c.args[1];
    EXPECT_EQ(stored("").select, "Cust");  // the tag moved to it
  }
}

TEST_F(Program, FailuresEndWithANonZeroStatusAndTheirMessageOnStandardError) {
  customers(3);
  store("Cust", "CUS.TPS");
  customers(3, "GONE.TPS");
  store("Gone", "GONE.TPS");  // a table removed after the query was stored
  store("NoDir", "CUS.TPS", "", "", "MISSING\\out.csv");
  fs::remove(dir_ / "GONE.TPS");
  store("Cust", "CUS.TPS");  // the tag on Cust
  const std::string store_before = read(dir_ / "QMXSETUP.TPS");

  Outcome r = run({"--auto=1", "--query=Nope", "--select=CUS:NAME"});
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.err, "Top Speed Quillomar Ver.1.01: No query named \"Nope\" is stored\n");
  EXPECT_FALSE(fs::exists(dir_ / "OUT" / "CUS.CSV"));  // the query saved last was not run in its place
  EXPECT_EQ(read(dir_ / "QMXSETUP.TPS"), store_before);  // nothing saved

  r = run({"--auto=1", "--query=Gone"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find(" OPEN(): "), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;

  r = run({"--auto=1", "--query=NoDir"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("OPEN()"), std::string::npos) << r.err;

  r = run({"--auto=1", "--query=Cust"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
}

TEST_F(Program, WithoutAnUnattendedRunItPrintsHowToRunAndEnds) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, std::vector<std::string>{"\\query=Cust"},
                                               std::vector<std::string>{"\\auto=256"}, std::vector<std::string>{"--auto=yes"},
                                               std::vector<std::string>{"auto=1"}}) {
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: quillomar"), std::string::npos);
    EXPECT_NE(r.err.find("--auto=1"), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(dir_ / "QMXSETUP.TPS"));
  EXPECT_FALSE(fs::exists(dir_ / "quillomar.INI"));
}

TEST_F(Program, TheUnattendedRunLeavesTheIniFileAsItWas) {
  customers(3);
  store("Cust", "CUS.TPS");
  const std::string ini = "[Main]\r\nMaximize=No\r\nMinimize=No\r\nXPos=10\r\nYPos=20\r\nWidth=600\r\nHeight=450\r\n";
  write(dir_ / "quillomar.INI", ini);
  const Outcome r = run({"\\auto=1", "\\query=Cust"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(read(dir_ / "quillomar.INI"), ini);
  EXPECT_EQ(csv("OUT/CUS.CSV").size(), 4u);
}

}  // namespace
