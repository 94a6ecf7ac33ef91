#include <gtest/gtest.h>

#include "platform/abc/window_manager.h"
#include "platform/eval/binding.h"
#include "platform/files/paths.h"
#include "shell/main_window_manager.h"
#include "tests/shell/main_window_support.h"

namespace main_window_test {
namespace {

using window::Window;

TEST_F(MainWindowTest, TheControlsAreThoseOfTheDefinition) {
  const window::WindowDef& def = MainWindowDef();
  ASSERT_EQ(def.controls.size(), 34u);
  EXPECT_EQ(def.timer, 1);
  EXPECT_EQ(def.at.width, 545);
  EXPECT_EQ(def.at.height, 400);
  EXPECT_TRUE(def.resizable);
  struct Expect {
    int feq;
    const char* label;
    int x, y, w, h;
  };
  const Expect expected[] = {
      {FEQ_GROUP1, "?GROUP1", 2, 1, 540, 122},
      {FEQ_GLO_TPSPASSWORD, "?GLO:TPSPASSWORD", 84, 2, 118, 10},
      {FEQ_GLO_SELECT, "?GLO:SELECT", 5, 52, 264, 50},
      {FEQ_BUTTONFETCH, "?BUTTONFETCH", 6, 104, 71, -1},
      {FEQ_LOOKUPFILE_4, "?LOOKUPFILE:4", 274, 25, 17, 12},
      {FEQ_GLO_FETCHEDNO, "?GLO:FETCHEDNO", 86, 106, -1, -1},
      {FEQ_LIST1, "?LIST1", 5, 122, 535, 276},
  };
  for (const Expect& e : expected) {
    const window::ControlDef& c = def.controls[static_cast<std::size_t>(e.feq - 1)];
    EXPECT_EQ(c.label, e.label);
    EXPECT_EQ(c.at.x, e.x) << e.label;
    EXPECT_EQ(c.at.y, e.y) << e.label;
    EXPECT_EQ(c.at.width, e.w) << e.label;
    EXPECT_EQ(c.at.height, e.h) << e.label;
  }
  EXPECT_EQ(window::parse_items(def.controls[FEQ_GLO_DATEFORMAT - 1].from).size(), 24u);
  EXPECT_EQ(window::parse_items(def.controls[FEQ_GLO_DATETIMESEPARATOR - 1].from).size(), 5u);
  EXPECT_EQ(window::parse_items(def.controls[FEQ_GLO_TIMEFORMAT - 1].from).size(), 14u);
  const window::ControlDef& where = def.controls[FEQ_GLO_WHERE - 1];
  EXPECT_TRUE(where.tip.ends_with("\r\nCUS:ARRIVES > TODAY()-8 AND CUS:CODE < 3"));
  EXPECT_TRUE(where.msg.ends_with("\r\nCUS:ARRIVES > TODAY()"));
  EXPECT_TRUE(def.controls[FEQ_GLO_SELECT - 1].tip.ends_with("or:\r\nBOTTOM 7 "));
}

TEST_F(MainWindowTest, ClosingSavesTheQueryOnlyWhenAFieldListExists) {
  const std::string table = customers(3);
  // No fetch: nothing is stored, so the name finds nothing next time.
  user().type(FEQ_GLO_INPUTTPSLOCATION, table).type(FEQ_GLO_QUERYNAME, "Cust").close_request();
  start();
  globals::GLO_INPUTTPSLOCATION.clear();
  user().then([&](Window& w) { EXPECT_EQ(w.shown(FEQ_GLO_INPUTTPSLOCATION), ""); }).close_request();
  restart({"\\query=Cust"});

  fetch_and_close(table, "Cust", "CUS:NAME");
  restart();
  // Restored by name in another letter case, and by the tag when no name is given.
  for (const std::vector<std::string>& args : {std::vector<std::string>{"\\query=CUST"}, std::vector<std::string>{}}) {
    std::string input, select, name;
    std::size_t fields = 0;
    user()
        .then([&](Window& w) {
          input = w.shown(FEQ_GLO_INPUTTPSLOCATION);
          select = globals::GLO_SELECT.str();
          name = globals::GLO_QUERYNAME.str();
          fields = globals::FieldListQueue.records();
        })
        .close_request();
    restart(args);
    EXPECT_EQ(input, table);
    EXPECT_EQ(select, "CUS:NAME");
    EXPECT_EQ(name, "Cust");
    EXPECT_EQ(fields, 3u);  // the pointer, CODE and NAME
  }
}

TEST_F(MainWindowTest, AnInteractiveStartWithAnUnknownNameFallsBackToTheQuerySavedLast) {
  fetch_and_close(customers(2), "Cust");
  start();
  std::string name;
  user().then([&](Window&) { name = globals::GLO_QUERYNAME.str(); }).close_request();
  restart({"\\query=Nothing"});
  EXPECT_EQ(name, "Cust");
}

TEST_F(MainWindowTest, RunFromTheRootDirectoryKeepsTheRootAsWorkingDirectory) {
  fs::current_path("/");
  std::string working;
  user().then([&](Window&) { working = globals::GLO_WorkingDir.str(); }).close_request();
  start();
  EXPECT_EQ(working, "/");
  EXPECT_EQ(fs::current_path(), fs::path("/"));
}

TEST_F(MainWindowTest, ShellOpenPassesTheNameWithoutTrailingBlanks) {
  ShellOpen(42, "C:\\OUT\\T.CSV   ");
  ASSERT_EQ(user().documents().size(), 1u);
  EXPECT_EQ(user().documents()[0], "C:\\OUT\\T.CSV");
}

}  // namespace
}  // namespace main_window_test

namespace main_window_test {
namespace {

TEST(MainFileDialogs, EachIsSetUpFromTheWorkingDirectory) {
  globals::GLO_WorkingDir = "C:\\work  ";
  window::Window w(MainWindowDef());
  MainRun run(w);
  SetUpFileDialogs(run);
  struct Expect {
    const abc::FileDialog& d;
    int flags;
    const char* masks;
    const char* folder;
    const char* file;
    const char* title;
  };
  const Expect expected[] = {
      {run.input_dialog, 16, "TPS Files|*.TPS|All Files|*.*", "C:\\work\\IN\\", "", "Select .TPS File"},
      {run.output_dir_dialog, 48, "All Files|*.*", "C:\\work\\OUT\\", "", "Select Output Directory"},
      {run.output_file_dialog, 17, "CSV Files|*.CSV|All Files|*.*", "C:\\work\\OUT\\", "output.csv", "Output .CSV File"},
  };
  for (const Expect& e : expected) {
    EXPECT_EQ(e.d.Flags, e.flags) << e.title;
    EXPECT_EQ(e.d.Masks(), e.masks) << e.title;
    EXPECT_EQ(e.d.DefaultDirectory, e.folder) << e.title;
    EXPECT_EQ(e.d.DefaultFile, e.file) << e.title;
    EXPECT_EQ(e.d.Title, e.title);
    EXPECT_TRUE(e.d.ClearOnCancel);
  }
  globals::reset();
}

}  // namespace
}  // namespace main_window_test
