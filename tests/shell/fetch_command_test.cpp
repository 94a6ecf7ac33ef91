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
