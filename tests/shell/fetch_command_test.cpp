#include <gtest/gtest.h>

#include <climits>

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

class FetchCommand : public MainWindowTest {};

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

}  // namespace
}  // namespace main_window_test
