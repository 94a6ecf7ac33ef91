// The main window's "..." button: the browse opens on the working
// directory's store; picking a query saves the one in the form first under
// the name it had when the button was pressed, then loads the picked one;
// closing the browse changes nothing.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "shell/data_dictionary.h"
#include "shell/query_windows_def.h"
#include "tests/shell/main_window_support.h"

namespace main_window_test {
namespace {

using window::Window;

class QueryButton : public MainWindowTest {
 protected:
  // Each stored query's SELECT text, by name.
  std::map<std::string, std::string> stored_selects() const {
    std::map<std::string, std::string> out;
    tps::KeyedTable t;
    if (t.open(dir_ / "QMXSETUP.TPS") != 0) return out;
    t.set();
    while (t.next() == 0) {
      shell::QmxRecord r(t.buffer());
      out[std::string(r.QUERYNAME.view())] = t.blob_read(shell::QMX_SELECT, 0, t.blob_size(shell::QMX_SELECT) - 1);
    }
    t.close();
    return out;
  }
};

TEST_F(QueryButton, PickingAQuerySavesTheCurrentOneFirstAndLoadsThePickedOne) {
  const std::string table = customers(3);
  fetch_and_close(table, "alpha", "CUS:CODE");
  restart();
  user().type(FEQ_GLO_QUERYNAME, "beta").type(FEQ_GLO_SELECT, "CUS:NAME").close_request();
  restart();  // beta, saved last, is in the form

  user().then([&](Window& w) {
    EXPECT_EQ(w.shown(FEQ_GLO_QUERYNAME), "beta");
    // Another directory is current when the button is pressed: the browse
    // still reads the working directory's store.
    fs::current_path(dir_ / "OUT");
  });
  user().type(FEQ_GLO_SELECT, "CUS:NAME,CUS:CODE").press(FEQ_BUTTONQUERY);
  user().then([&](Window& w) {
    EXPECT_EQ(w.label(), "P3$QUICKWINDOW");
    ASSERT_EQ(w.list_rows(shell::FEQ_BROWSE_1), 2u);
    EXPECT_EQ(w.list_cell(shell::FEQ_BROWSE_1, 1, 1), "alpha");
    EXPECT_EQ(w.list_cell(shell::FEQ_BROWSE_1, 2, 1), "beta");
    // The name in the form changes while the browse is open; the query is
    // saved under the name it had at the press.
    globals::GLO_QUERYNAME = "typed meanwhile";
  });
  user().click(shell::FEQ_BROWSE_1, 1, 1).press(shell::FEQ_SELECT_2);
  user().then([&](Window& w) {
    EXPECT_EQ(w.label(), "P1$MENUWINDOW");
    EXPECT_EQ(w.shown(FEQ_GLO_QUERYNAME), "alpha");
    EXPECT_EQ(w.shown(FEQ_GLO_SELECT), "CUS:CODE");
    EXPECT_EQ(w.shown(FEQ_GLO_INPUTTPSLOCATION), table);
    const auto stored = stored_selects();
    EXPECT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored.at("beta"), "CUS:NAME,CUS:CODE");
    EXPECT_EQ(stored.count("typed meanwhile"), 0u);
    EXPECT_FALSE(fs::exists(dir_ / "OUT" / "QMXSETUP.TPS"));
  });
  user().close_request();
  restart();
  EXPECT_EQ(stored_selects().size(), 2u);
  EXPECT_TRUE(user().refused().empty());
}

TEST_F(QueryButton, ClosingTheBrowseLeavesTheFormAndTheStoreAsTheyWere) {
  fetch_and_close(customers(2), "alpha", "CUS:CODE");
  restart();
  std::string before;
  user().type(FEQ_GLO_SELECT, "CUS:NAME");
  user().then([&](Window&) { before = read(dir_ / "QMXSETUP.TPS"); });
  user().press(FEQ_BUTTONQUERY).press(shell::FEQ_CLOSE);
  user().then([&](Window& w) {
    EXPECT_EQ(w.label(), "P1$MENUWINDOW");
    EXPECT_EQ(w.shown(FEQ_GLO_SELECT), "CUS:NAME");
    EXPECT_EQ(read(dir_ / "QMXSETUP.TPS"), before);
  });
  user().close_request();
  start();
  EXPECT_EQ(stored_selects().at("alpha"), "CUS:NAME");  // saved at the close, as always
  EXPECT_TRUE(user().refused().empty());
}

}  // namespace
}  // namespace main_window_test
