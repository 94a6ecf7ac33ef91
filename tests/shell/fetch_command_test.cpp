#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "platform/text/text.h"

#include "shell/fetch_command.h"
#include "tests/shell/main_window_support.h"

namespace main_window_test {
namespace {

using window::Window;

TEST(SelectKeywords, NumbersAfterTopBottomAndStartAt) {
  struct Case {
    const char* select;
    int top, start_at, reverse;
    const char* after;  // GLO_SELECT afterwards, when it changes
  };
  const Case cases[] = {
      {"TOP 5", 5, 0, 0, nullptr},
      {"TOP   -1", -1, 0, 0, nullptr},
      {"TOP -2", -2, 0, 0, nullptr},
      {"TOP   ", 0, 0, 0, nullptr},
      {"TOP x", 0, 0, 0, nullptr},
      {"TOP 1,000", 1000, 0, 0, nullptr},
      {"TOP 10,CUS:NAME", 10, 0, 0, nullptr},
      {"TOP 5,CUS:DATE2", 5, 0, 0, nullptr},   // the E of the label is no exponent
      {"TOP 1,000,CUS:E1", 1000, 0, 0, nullptr},
      {"top 5", 0, 0, 0, nullptr},
      {"CUS:A,TOP", 0, 0, 0, nullptr},
      {"CUS:A,TOP 7", 7, 0, 0, nullptr},
      {"CUS:A TOP 7", 7, 0, 0, nullptr},
      {"CUS:A,\r\nTOP 3", 3, 0, 0, nullptr},
      {"PRE:LAPTOP 5,PRE:CODE", 0, 0, 0, nullptr},  // inside a label: no keyword
      {"PRE:BOTTOM PRE:CODE", 0, 0, 0, nullptr},    // and no reversed export
      {"PRE:LAPTOP ,TOP 4", 4, 0, 0, nullptr},
      {"BOTTOM 7", 7, 0, 1, nullptr},
      {"BOTTOM ", 0, 0, 1, nullptr},
      {"TOP 5 BOTTOM 3", 3, 0, 1, nullptr},
      {"TOP 5 TOP 9", 5, 0, 0, nullptr},
      {"STARTAT 1234", 0, 1234, 0, nullptr},
      {"CUS:CODE,STARTAT 12,TOP 3", 3, 12, 0, nullptr},
      {"TOP 99999999999", INT_MAX, 0, 0, nullptr},
      {"TOP -99999999999", INT_MIN, 0, 0, nullptr},
      {"  TOP 5", 5, 0, 0, "TOP 5  "},
  };
  for (const Case& c : cases) {
    globals::reset();
    globals::TopCount = 77;
    globals::StartAtPointer = 77;
    globals::ReverseOrder = 1;
    globals::GLO_SELECT = c.select;
    ParseSelectClause();
    EXPECT_EQ(globals::TopCount, c.top) << c.select;
    EXPECT_EQ(globals::StartAtPointer, c.start_at) << c.select;
    EXPECT_EQ(globals::ReverseOrder, c.reverse) << c.select;
    EXPECT_EQ(globals::GLO_SELECT.view(), c.after ? c.after : c.select);
  }
}

class FetchCommand : public MainWindowTest {
 protected:
  // List cells come as wide as their field; the first one is 100 characters.
  static std::vector<std::string> clipped(std::vector<std::string> cells) {
    for (std::string& c : cells) c = std::string(text::clip(c));
    return cells;
  }
};

TEST_F(FetchCommand, FetchExportsWithProgressCountAndPreviewThenNewClearsTheForm) {
  const std::string table = customers(30);
  globals::GLO_OUTPUTCSVLOCATION = "OUT\\kept.csv";
  user().type(FEQ_GLO_INPUTTPSLOCATION, table).type(FEQ_GLO_QUERYNAME, "Cust").press(FEQ_BUTTONFETCH);
  // The scripted user waits for the export (ten records a timer event), as
  // whatever a user does meanwhile reaches only the export's own loop.
  user().pause(10).then([&](Window& w) {
    EXPECT_EQ(w.caption(), std::string(kCaption) + " Record: 30 of 30");
    EXPECT_EQ(globals::GLO_FETCHEDNO, 30);
    EXPECT_EQ(w.shown(FEQ_GLO_FETCHEDNO), "30");
    EXPECT_EQ(w.property(FEQ_LIST1, window::PROP_Format), "57L|M~CUS:PTR~58L|M~CUS:CODE~58L|M~CUS:NAME~");
    ASSERT_EQ(w.list_rows(FEQ_LIST1), 30u);
    EXPECT_EQ(clipped(w.list_row(FEQ_LIST1, 1)), (std::vector<std::string>{"2", "1", "Name 1"}));
    EXPECT_EQ(clipped(w.list_row(FEQ_LIST1, 30)), (std::vector<std::string>{"31", "30", "Name 30"}));
  });
  user().press(FEQ_BUTTONNEW).then([&](Window& w) {
    EXPECT_EQ(w.shown(FEQ_GLO_INPUTTPSLOCATION), "");
    EXPECT_EQ(w.shown(FEQ_GLO_QUERYNAME), "");
    EXPECT_EQ(globals::FieldListQueue.records(), 0u);
    EXPECT_EQ(globals::LastRecordCount, 0);
    EXPECT_EQ(w.focus(), FEQ_GLO_QUERYNAME);
    EXPECT_EQ(w.shown(FEQ_GLO_OUTPUTCSVLOCATION), "OUT\\kept.csv");
    EXPECT_EQ(w.shown(FEQ_GLO_FETCHEDNO), "30");
    EXPECT_EQ(w.list_rows(FEQ_LIST1), 30u);  // the preview stays
  });
  user().close_request();
  start();
  const auto lines = csv_lines("OUT/kept.CSV");
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_EQ(lines[0], "\"CUS:PTR\",\"CUS:CODE\",\"CUS:NAME\"");
  EXPECT_EQ(lines[30], "\"31\",\"30\",\"Name 30\"");
  EXPECT_TRUE(user().messages().empty());
}

TEST_F(FetchCommand, TheKeywordsAndTheNamesShapeTheExportAndItsColumns) {
  const std::string table = customers(20);
  struct Case {
    const char* select;
    const char* where;
    int no_preview;
    const char* format;
    std::size_t rows;
    const char* first_row_first_cell;
  };
  const Case cases[] = {
      {"CUS:NAME,TOP 5", "", 0, "58L|M~CUS:NAME~", 5, "Name 1"},
      {"CUS:NAME BOTTOM 3", "", 0, "58L|M~CUS:NAME~", 3, "Name 20"},
      {"CUS:NAME", "CUS:CODE > 18", 0, "58L|M~CUS:CODE~58L|M~CUS:NAME~", 2, "19"},
      {"", "CUS:CODE > 18", 0, "57L|M~CUS:PTR~58L|M~CUS:CODE~58L|M~CUS:NAME~", 2, "20"},
      {"CUS:NAME,STARTAT 12,TOP 2", "", 0, "58L|M~CUS:NAME~", 2, "Name 11"},
      {"", "", 1, "", 0, ""},
  };
  for (const Case& c : cases) {
    user().type(FEQ_GLO_INPUTTPSLOCATION, table).type(FEQ_GLO_SELECT, c.select).type(FEQ_GLO_WHERE, c.where);
    user().check(FEQ_GLO_NOPREVIEW, c.no_preview != 0).press(FEQ_BUTTONFETCH);
    user().pause(10).then([c](Window& w) {
      EXPECT_EQ(w.property(FEQ_LIST1, window::PROP_Format), c.format) << c.select;
      EXPECT_EQ(w.list_rows(FEQ_LIST1), c.rows) << c.select;
      if (c.rows > 0) {
        EXPECT_EQ(text::clip(w.list_cell(FEQ_LIST1, 1, 1)), c.first_row_first_cell) << c.select;
      }
    });
  }
  user().close_request();
  start();
  EXPECT_TRUE(user().messages().empty());
}

TEST_F(FetchCommand, ABlankInputOnlyMovesTheFocusAndAMissingTableStopsBeforeTheExport) {
  user().type(FEQ_GLO_INPUTTPSLOCATION, "   ").press(FEQ_BUTTONFETCH).then([&](Window& w) {
    EXPECT_EQ(w.focus(), FEQ_GLO_INPUTTPSLOCATION);
    EXPECT_EQ(w.caption(), kCaption);
  });
  user().answer(window::BUTTON_OK);
  user().type(FEQ_GLO_INPUTTPSLOCATION, runtime_dir() + "\\NONE.TPS").press(FEQ_BUTTONFETCH).then([&](Window& w) {
    EXPECT_EQ(w.property(FEQ_LIST1, window::PROP_Format), "");
    EXPECT_EQ(globals::FieldListQueue.records(), 0u);
  });
  user().close_request();
  start();
  ASSERT_EQ(user().messages().size(), 1u);
  EXPECT_TRUE(user().messages()[0].request.caption.ends_with(" OPEN()"));
  EXPECT_FALSE(fs::exists(dir_ / "OUT" / "NONE.CSV"));
}

TEST_F(FetchCommand, ClosingDuringAnExportWritesWhatWasReadAndSavesTheQuery) {
  const std::string table = customers(500);
  int fetched = -1;
  user().type(FEQ_GLO_INPUTTPSLOCATION, table).type(FEQ_GLO_QUERYNAME, "Big").press(FEQ_BUTTONFETCH);
  // Five timer events into the export (ten records each), the user closes.
  user().pause(5).close_request();
  start();
  fetched = globals::GLO_FETCHEDNO;
  EXPECT_EQ(user().steps_left(), 0u);
  EXPECT_GT(fetched, 0);
  EXPECT_LT(fetched, 500);
  const auto lines = csv_lines("OUT/CUS.CSV");
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(fetched) + 1);
  std::ostringstream last;
  last << '"' << fetched + 1 << "\",\"" << fetched << "\",\"Name " << fetched << '"';
  EXPECT_EQ(lines.back(), last.str());
  // The close went on to the window manager: the query was saved.
  std::string input;
  user().then([&](Window& w) { input = w.shown(FEQ_GLO_INPUTTPSLOCATION); }).close_request();
  restart({"\\query=Big"});
  EXPECT_EQ(input, table);
}

}  // namespace
}  // namespace main_window_test
