#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "globals/globals.h"
#include "platform/text/text.h"
#include "shell/field_picker_def.h"
#include "tests/shell/main_window_support.h"

namespace main_window_test {
namespace {

using window::Window;
namespace picker = shell::picker;

class FieldCommands : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    fs::create_directories(dir_ / "IN");
  }

  // A step on the main window: the field list of a table CUS with CODE and NAME.
  void field_list() {
    user().then([](Window&) {
      auto& q = globals::FieldListQueue;
      q.free();
      const char* labels[] = {"CUS:PTR", "CUS:CODE", "CUS:NAME"};
      for (int i = 0; i < 3; ++i) {
        q.clear();
        q.buffer().ALF_DAFIELD = labels[i];
        q.buffer().ALF_DATYPE = "LONG";
        q.buffer().ALF_DACOUNT = i + 1;
        q.add();
      }
    });
  }
  // Steps: the form's texts set, then a field picked in row `row` (0: the
  // picker cancelled) with the SELECT (or the WHERE) "Fetch Field".
  void pick(bool where, int row) {
    user().press(where ? FEQ_BUTTONFETCHFIELD2 : FEQ_BUTTONFETCHFIELD);
    if (row == 0) {
      user().click(picker::FEQ_LIST1, 1, 1).press(picker::FEQ_CANCEL);
    } else {
      user().click(picker::FEQ_LIST1, static_cast<std::size_t>(row), 1).press(picker::FEQ_CLOSE);
    }
  }
  // Whether the current directory is the scratch folder (the working directory).
  bool in_working_dir() const { return fs::equivalent(fs::current_path(), dir_); }
};

TEST_F(FieldCommands, FetchFieldAppendsTheChosenLabelToSelectOrWhere) {
  struct Case {
    bool where;
    const char* before;
    int row;  // 0: cancelled
    const char* after;
  };
  const Case cases[] = {
      {false, "", 3, "CUS:NAME"},
      {false, "CUS:CODE,", 3, "CUS:CODE,CUS:NAME"},
      {false, "CUS:CODE", 3, "CUS:CODE,CUS:NAME"},
      {false, "CUS:CODE ", 3, "CUS:CODE ,CUS:NAME"},
      {false, "   ", 2, "   CUS:CODE"},
      {false, "CUS:CODE", 0, "CUS:CODE"},
      {true, "", 2, "CUS:CODE"},
      {true, "CUS:CODE > 1 AND ", 3, "CUS:CODE > 1 AND CUS:NAME"},
      {true, "CUS:CODE", 3, "CUS:CODECUS:NAME"},
      {true, "CUS:CODE > 1", 0, "CUS:CODE > 1"},
  };
  field_list();
  for (const Case& c : cases) {
    const int text = c.where ? FEQ_GLO_WHERE : FEQ_GLO_SELECT;
    user().then([&](Window& w) {
      (c.where ? globals::GLO_WHERE : globals::GLO_SELECT) = c.before;
      w.display();
    });
    pick(c.where, c.row);
    user().then([&, text](Window& w) {
      SCOPED_TRACE(testing::Message() << (c.where ? "WHERE " : "SELECT ") << '"' << c.before << "\" row " << c.row);
      EXPECT_EQ(w.label(), "P1$MENUWINDOW");
      EXPECT_EQ((c.where ? globals::GLO_WHERE : globals::GLO_SELECT).view(), c.after);
      EXPECT_EQ(w.shown(text), c.after);  // the form shows it
      EXPECT_EQ(w.focus(), c.row ? text : c.where ? FEQ_BUTTONFETCHFIELD2 : FEQ_BUTTONFETCHFIELD);
      EXPECT_EQ(globals::FieldChosen, c.row ? 1 : 0);
      // The other text is untouched.
      EXPECT_EQ((c.where ? globals::GLO_SELECT : globals::GLO_WHERE).view(), "");
      (c.where ? globals::GLO_WHERE : globals::GLO_SELECT).clear();
    });
  }
  user().close_request();
  start();
  EXPECT_EQ(user().steps_left(), 0u);
  EXPECT_TRUE(user().refused().empty());
}

TEST_F(FieldCommands, TheTextsAreCutAt49999Characters) {
  field_list();
  user().then([](Window&) {
    globals::GLO_SELECT = std::string(49995, 'x');
    globals::GLO_WHERE = std::string(49995, 'y');
  });
  pick(false, 3);
  pick(true, 3);
  std::string select, where;
  user().then([&](Window&) {
    select = globals::GLO_SELECT.str();
    where = globals::GLO_WHERE.str();
  });
  user().close_request();
  start();
  EXPECT_EQ(select, std::string(49995, 'x') + ",CUS");
  EXPECT_EQ(where, std::string(49995, 'y') + "CUS:");
}

TEST_F(FieldCommands, TheMarksSetInThePickerStayWithTheQueryEvenAfterCancel) {
  const std::string table = customers(3);
  fetch_and_close(table, "Cust");
  start();
  user().press(FEQ_BUTTONFETCHFIELD).click(picker::FEQ_LIST1, 2, picker::kDateColumn).press(picker::FEQ_CANCEL);
  user().close_request();
  restart({"\\query=Cust"});
  std::string date;
  user()
      .then([&](Window&) {
        globals::FieldListQueue.get(2);
        date = globals::FieldListQueue.buffer().ALF_DATE.str();
      })
      .close_request();
  restart({"\\query=Cust"});
  EXPECT_EQ(std::string(text::clip(date)), "D");
}

TEST_F(FieldCommands, AnotherInputTableSavesTheOldQueryFirstThenClearsTheForm) {
  const std::string old_table = customers(3, "OLD.TPS");
  const std::string new_table = runtime_dir() + "\\IN\\NEW.TPS";
  fs::copy_file(dir_ / "OLD.TPS", dir_ / "IN" / "NEW.TPS");
  user()
      .type(FEQ_GLO_INPUTTPSLOCATION, old_table)
      .type(FEQ_GLO_QUERYNAME, "Old")
      .type(FEQ_GLO_SELECT, "CUS:NAME")
      .press(FEQ_BUTTONFETCH)
      .pause(10)  // the export's own loop takes the user's steps until it ends
      .answer_file(new_table)
      .press(FEQ_LOOKUPFILE)
      .then([&](Window& w) {
        EXPECT_EQ(globals::GLO_INPUTTPSLOCATION.view(), new_table);
        EXPECT_EQ(w.shown(FEQ_GLO_INPUTTPSLOCATION), new_table);
        EXPECT_EQ(globals::GLO_QUERYNAME.view(), "");
        EXPECT_EQ(globals::GLO_SELECT.view(), "");
        EXPECT_EQ(globals::FieldListQueue.records(), 0u);
        EXPECT_EQ(w.focus(), FEQ_GLO_QUERYNAME);
        EXPECT_TRUE(in_working_dir());
      })
      .close_request();
  start();
  ASSERT_EQ(user().dialogs().size(), 1u);
  const auto& d = user().dialogs()[0].request;
  EXPECT_EQ(d.title, "Select .TPS File");
  EXPECT_EQ(d.extensions, "TPS Files|*.TPS|All Files|*.*");
  EXPECT_EQ(d.flags, window::FILE_LongName);

  // Stored before the form was cleared, under the table it belongs to.
  std::string input, select;
  user()
      .then([&](Window&) {
        input = globals::GLO_INPUTTPSLOCATION.str();
        select = globals::GLO_SELECT.str();
      })
      .close_request();
  restart({"\\query=Old"});
  EXPECT_EQ(input, old_table);
  EXPECT_EQ(select, "CUS:NAME");
}

TEST_F(FieldCommands, TheInputDialogCancelledOrOnTheSameTableChangesNothing) {
  const std::string table = customers(3);
  struct Case {
    bool cancel;
    std::string answer;
  };
  const Case cases[] = {{true, ""}, {false, table}, {false, table + "   "}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    std::string store_before;
    user()
        .type(FEQ_GLO_INPUTTPSLOCATION, table)
        .type(FEQ_GLO_QUERYNAME, "Cust")
        .press(FEQ_BUTTONFETCH)
        .pause(10)
        .then([&](Window&) { store_before = read(dir_ / "QMXSETUP.TPS"); });
    if (c.cancel) {
      user().cancel_file();
    } else {
      user().answer_file(c.answer);
    }
    user()
        .press(FEQ_LOOKUPFILE)
        .then([&](Window& w) {
          EXPECT_EQ(w.shown(FEQ_GLO_INPUTTPSLOCATION), c.cancel ? table : c.answer);
          EXPECT_EQ(globals::GLO_QUERYNAME.view(), "Cust");
          EXPECT_EQ(globals::FieldListQueue.records(), 3u);
          EXPECT_EQ(read(dir_ / "QMXSETUP.TPS"), store_before);  // nothing saved
          EXPECT_TRUE(in_working_dir());
        })
        .close_request();
    restart();
  }
}

TEST_F(FieldCommands, AnotherInputTableWithNoFieldListSavesNothingButClearsTheForm) {
  const std::string table = customers(3);
  user()
      .type(FEQ_GLO_QUERYNAME, "Unsaved")
      .type(FEQ_GLO_SELECT, "CUS:CODE")
      .answer_file(table)
      .press(FEQ_LOOKUPFILE)
      .then([&](Window&) {
        EXPECT_EQ(globals::GLO_INPUTTPSLOCATION.view(), table);
        EXPECT_EQ(globals::GLO_QUERYNAME.view(), "");
        EXPECT_EQ(globals::GLO_SELECT.view(), "");
      })
      .close_request();
  start();
  // Nothing was stored under the name.
  std::string name = "unset";
  user().then([&](Window&) { name = globals::GLO_QUERYNAME.str(); }).close_request();
  restart({"\\query=Unsaved"});
  EXPECT_EQ(name, "");
}

TEST_F(FieldCommands, TheOutputDirectoryEndsInABackslashAndTheOutputFileInNone) {
  struct Case {
    bool directory;
    std::optional<std::string> answer;  // none: cancelled
    const char* location;
  };
  const Case cases[] = {
      {true, "D:\\DATA\\OUT/", "D:\\DATA\\OUT\\"},
      {true, "D:\\DATA\\OUT", "D:\\DATA\\OUT\\"},
      {true, "D:\\DATA\\OUT\\", "D:\\DATA\\OUT\\"},
      {true, "D:\\DATA\\OUT  ", "D:\\DATA\\OUT\\"},
      {true, "D:\\DATA\\OUT/  ", "D:\\DATA\\OUT\\  "},
      {true, std::nullopt, "kept.csv"},
      {false, "D:\\DATA\\T.CSV", "D:\\DATA\\T.CSV"},
      {false, "D:\\DATA\\", "D:\\DATA "},
      {false, "D:\\DATA/", "D:\\DATA "},
      {false, std::nullopt, "kept.csv"},
  };
  for (const Case& c : cases) {
    user().then([](Window& w) {
      globals::GLO_OUTPUTCSVLOCATION = "kept.csv";
      w.display();
    });
    if (c.answer) {
      user().answer_file(*c.answer);
    } else {
      user().cancel_file();
    }
    user().press(c.directory ? FEQ_LOOKUPFILE_2 : FEQ_LOOKUPFILE_4).then([&](Window& w) {
      SCOPED_TRACE(c.answer.value_or("cancelled"));
      EXPECT_EQ(globals::GLO_OUTPUTCSVLOCATION.view(), c.location);
      EXPECT_EQ(w.shown(FEQ_GLO_OUTPUTCSVLOCATION), c.location);
      EXPECT_TRUE(in_working_dir());
    });
  }
  user().close_request();
  start();
  ASSERT_EQ(user().dialogs().size(), std::size(cases));
  const auto& dir = user().dialogs().front().request;
  EXPECT_EQ(dir.title, "Select Output Directory");
  EXPECT_EQ(dir.flags, window::FILE_LongName | window::FILE_Directory);
  const auto& file = user().dialogs().back().request;
  EXPECT_EQ(file.title, "Output .CSV File");
  EXPECT_EQ(file.file, "output.csv");
  EXPECT_EQ(file.extensions, "CSV Files|*.CSV|All Files|*.*");
  EXPECT_EQ(file.flags, window::FILE_LongName | window::FILE_Save);
}

TEST_F(FieldCommands, EveryFileButtonAndOpenEndInTheWorkingDirectory) {
  customers(2);
  fs::copy_file(dir_ / "CUS.TPS", dir_ / "IN" / "CUS.TPS");
  fs::create_directories(dir_ / "OUT" / "SUB");
  struct Case {
    int button;
    std::optional<std::string> answer;  // none: cancelled
  };
  const Case cases[] = {
      {FEQ_LOOKUPFILE, runtime_dir() + "\\IN\\CUS.TPS"},
      {FEQ_LOOKUPFILE, std::nullopt},
      {FEQ_LOOKUPFILE_2, runtime_dir() + "\\OUT\\SUB"},
      {FEQ_LOOKUPFILE_2, std::nullopt},
      {FEQ_LOOKUPFILE_4, runtime_dir() + "\\OUT\\SUB\\x.csv"},
      {FEQ_LOOKUPFILE_4, std::nullopt},
      {FEQ_INTERNETLINK, std::nullopt},
  };
  for (const Case& c : cases) {
    // Something left another directory current before the press.
    user().then([&](Window&) { fs::current_path(dir_ / "OUT" / "SUB"); });
    if (c.button != FEQ_INTERNETLINK) {
      if (c.answer) {
        user().answer_file(*c.answer);
      } else {
        user().cancel_file();
      }
    }
    user().press(c.button).then([&](Window&) { EXPECT_TRUE(in_working_dir()) << c.button; });
  }
  user().close_request();
  start();
  EXPECT_EQ(user().dialogs().size(), 6u);
}

TEST_F(FieldCommands, OpenHandsTheFileWrittenLastToItsProgram) {
  const std::string table = customers(3);
  globals::GLO_OUTPUTCSVLOCATION = "OUT\\";
  user()
      .press(FEQ_INTERNETLINK)  // before any export: an empty name
      .type(FEQ_GLO_INPUTTPSLOCATION, table)
      .press(FEQ_BUTTONFETCH)
      .pause(10)
      .press(FEQ_INTERNETLINK)
      .then([&](Window&) { EXPECT_TRUE(in_working_dir()); })
      .close_request();
  start();
  ASSERT_EQ(user().documents().size(), 2u);
  EXPECT_EQ(user().documents()[0], "");
  EXPECT_EQ(user().documents()[1], std::string(text::clip(engine::OutputFileName.view())));
  EXPECT_NE(user().documents()[1].find("CUS.CSV"), std::string::npos);
}

}  // namespace
}  // namespace main_window_test
