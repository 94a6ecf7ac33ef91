// The saved-query browse "Pick Query" and its form on the headless backend:
// the list in name order a page at a time, type-ahead, Select, the empty
// store, the pop-up menu, Delete with its confirmation and its retry, the
// refused requests, the saved geometry, and the form in view mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/headless.h"
#include "shell/query_browse.h"
#include "shell/query_form.h"
#include "shell/query_windows_def.h"
#include "store_support.h"

namespace {

using namespace store_test;
using namespace shell;
using window::Window;

class QueryBrowse : public Store {
 protected:
  void SetUp() override {
    Store::SetUp();
    globals::GlobalIniManager.Init(".\\quillomar.INI");
  }

  window::Headless& user() { return window::headless(); }

  // Stores the queries in this order (their numbers are 1, 2, ...).
  void store(const std::vector<std::string>& names) {
    for (const std::string& n : names) save(n);
  }

  std::int32_t pick() {
    globals::CallRequest = abc::SelectRecord;
    return LookupQuery();
  }

  static std::vector<std::string> shown(Window& w) {
    std::vector<std::string> out;
    for (std::size_t r = 1; r <= w.list_rows(FEQ_BROWSE_1); ++r) out.push_back(w.list_cell(FEQ_BROWSE_1, r, 1));
    return out;
  }
  static std::string highlighted(Window& w) {
    return w.list_cell(FEQ_BROWSE_1, static_cast<std::size_t>(w.choice(FEQ_BROWSE_1)), 1);
  }
  std::vector<std::string> stored_names() const {
    std::vector<std::string> out;
    for (const Row& r : rows()) out.push_back(r.name);
    return out;
  }
  static std::string name(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "Q%03d", i);
    return buf;
  }
};

using Names = std::vector<std::string>;

TEST_F(QueryBrowse, ListsTheNamesInKeyOrderIgnoringCaseAPageAtATime) {
  store({"gamma", "Alpha", "beta", "ALPHA2", "Beta Max"});
  user().then([&](Window& w) {
    EXPECT_EQ(w.caption(), "Pick Query");
    EXPECT_EQ(w.label(), "P3$QUICKWINDOW");
    EXPECT_EQ(shown(w), (Names{"Alpha", "ALPHA2", "beta", "Beta Max", "gamma"}));
    EXPECT_EQ(w.choice(FEQ_BROWSE_1), 1);
    EXPECT_EQ(w.focus(), FEQ_BROWSE_1);
    EXPECT_EQ(w.status_text(), "Browsing the QMXSETUPAlias file");
    EXPECT_EQ(w.list_format(FEQ_BROWSE_1).columns.at(0).heading, "Query Name");
    EXPECT_EQ(w.default_button(), FEQ_SELECT_2);
    // The highlighted row is in the alias's buffer, not in the store's.
    EXPECT_EQ(QMX2().QUERYNAME.view(), "Alpha");
    EXPECT_EQ(QMX2().SYSID, 2);
  });
  user().close_request();
  EXPECT_EQ(pick(), 0);
  EXPECT_EQ(globals::CallResponse, abc::RequestCancelled);
  EXPECT_EQ(globals::GlobalErrorManager.ProcedureName(), "");
  EXPECT_TRUE(user().refused().empty());
}

TEST_F(QueryBrowse, HoldsOnePageAndReadsFurtherPagesAsTheHighlightMoves) {
  Names all;
  for (int i = 1; i <= 40; ++i) all.push_back(name(i));
  store(all);
  auto slice = [&](int from, int to) { return Names(all.begin() + from - 1, all.begin() + to); };
  user().then([&](Window& w) {
    EXPECT_EQ(shown(w), slice(1, 16));  // one page, not the table
    for (int i = 0; i < 15; ++i) w.user_key(FEQ_BROWSE_1, window::DownKey);
  });
  user().then([&](Window& w) {
    EXPECT_EQ(highlighted(w), "Q016");
    w.user_key(FEQ_BROWSE_1, window::DownKey);
  });
  user().then([&](Window& w) {
    EXPECT_EQ(shown(w), slice(2, 17));
    EXPECT_EQ(highlighted(w), "Q017");
    w.user_key(FEQ_BROWSE_1, window::EndKey);
  });
  user().then([&](Window& w) {
    EXPECT_EQ(shown(w), slice(25, 40));
    EXPECT_EQ(highlighted(w), "Q040");
    w.user_key(FEQ_BROWSE_1, window::DownKey);  // nothing further
  });
  user().then([&](Window& w) {
    EXPECT_EQ(shown(w), slice(25, 40));
    EXPECT_EQ(highlighted(w), "Q040");
    w.user_key(FEQ_BROWSE_1, window::PgUpKey);
    w.user_key(FEQ_BROWSE_1, window::PgUpKey);
  });
  user().then([&](Window& w) {
    EXPECT_EQ(shown(w), slice(10, 25));
    EXPECT_EQ(highlighted(w), "Q010");
    w.user_key(FEQ_BROWSE_1, window::UpKey);
  });
  user().then([&](Window& w) {
    EXPECT_EQ(shown(w), slice(9, 24));
    w.user_key(FEQ_BROWSE_1, window::HomeKey);
  });
  user().then([&](Window& w) { EXPECT_EQ(shown(w), slice(1, 16)); });
  user().close_request();
  pick();
  EXPECT_TRUE(user().refused().empty());
}

TEST_F(QueryBrowse, TypingFindsTheFirstNameAtOrAfterTheTextInAnyCase) {
  Names all = {"Apple", "Banana", "blueberry", "Cherry", "cranberry"};
  for (int i = 1; i <= 30; ++i) all.push_back("zz" + name(i));  // beyond the first page
  store(all);
  struct Case {
    std::string typed;  // "\b" is Backspace
    std::string found;
  };
  const Case cases[] = {
      {"b", "Banana"},        {"bl", "blueberry"}, {"BL", "blueberry"}, {"bL\b", "Banana"},
      {"bx", "Cherry"},       {"CR", "cranberry"}, {"zzq02", "zzQ020"}, {"zzq030", "zzQ030"},
      {"zzz", "zzQ030"},  // past every name: the last one
      {"a\b", "Apple"},   // the text taken back whole: the first one
  };
  for (const Case& c : cases) {
    user().reset();
    user().then([&](Window& w) {
      for (char ch : c.typed) {
        if (ch == '\b') {
          EXPECT_TRUE(w.user_key(FEQ_BROWSE_1, window::BSKey));
        } else {
          EXPECT_TRUE(w.user_char(FEQ_BROWSE_1, ch));
        }
      }
    });
    user().then([&](Window& w) {
      EXPECT_EQ(highlighted(w), c.found) << c.typed;
      EXPECT_EQ(QMX2().QUERYNAME.view(), c.found) << c.typed;
      EXPECT_LE(w.list_rows(FEQ_BROWSE_1), 16u);
    });
    user().close_request();
    pick();
  }
}

TEST_F(QueryBrowse, TheLocatorHoldsThirtyNineCharacters) {
  const std::string long_name(60, 'K');
  store({"A", long_name.substr(0, 39) + "A", long_name.substr(0, 39) + "Z"});
  user().type_keys(FEQ_BROWSE_1, long_name.substr(0, 39) + "Z");  // the 40th is not taken
  user().then([&](Window& w) { EXPECT_EQ(highlighted(w), long_name.substr(0, 39) + "A"); });
  user().close_request();
  pick();
}

TEST_F(QueryBrowse, SelectReturnsTheHighlightedNumberByButtonEnterDoubleClickOrMenu) {
  store({"one", "two", "three"});  // numbers 1 2 3; listed one, three, two
  struct Case {
    const char* how;
    std::function<void()> act;
  };
  const Case cases[] = {
      {"button", [&] { user().click(FEQ_BROWSE_1, 2, 1).press(FEQ_SELECT_2); }},
      {"enter", [&] { user().click(FEQ_BROWSE_1, 2, 1).enter(); }},
      {"double-click", [&] { user().double_click(FEQ_BROWSE_1, 2, 1); }},
      {"menu", [&] { user().right_click(FEQ_BROWSE_1, 2).answer_popup(2); }},
  };
  for (const Case& c : cases) {
    user().reset();
    c.act();
    EXPECT_EQ(pick(), 3) << c.how;
    EXPECT_EQ(globals::CallResponse, abc::RequestCompleted) << c.how;
    EXPECT_EQ(user().steps_left(), 0u) << c.how;
    EXPECT_TRUE(user().refused().empty()) << c.how;
  }
  EXPECT_EQ(user().popups().at(0).items, "&Delete|&Select");
  // Close ends without a choice, whatever is highlighted.
  user().reset();
  user().click(FEQ_BROWSE_1, 2, 1).press(FEQ_CLOSE);
  EXPECT_EQ(pick(), 0);
  EXPECT_EQ(globals::CallResponse, abc::RequestCancelled);
  EXPECT_EQ(stored_names(), (Names{"one", "two", "three"}));
}

TEST_F(QueryBrowse, WithoutASelectRequestSelectIsHiddenAndCloseCompletes) {
  store({"one", "two"});
  user().then([&](Window& w) {
    EXPECT_EQ(w.property(FEQ_SELECT_2, window::PROP_Hide), "1");
    EXPECT_EQ(w.default_button(), 0);
  });
  user().right_click(FEQ_BROWSE_1, 1).double_click(FEQ_BROWSE_1, 2, 1).press(FEQ_CLOSE);
  globals::CallRequest = 0;
  EXPECT_EQ(LookupQuery(), 0);
  EXPECT_EQ(globals::CallResponse, abc::RequestCompleted);
  ASSERT_EQ(user().popups().size(), 1u);
  EXPECT_EQ(user().popups()[0].items, "&Delete");
}

TEST_F(QueryBrowse, TheThumbFollowsTheHighlightAndADragFindsItsPlace) {
  Names all;
  for (char c = 'A'; c <= 'Z'; ++c) all.push_back(std::string(1, c) + "name");
  store(all);
  user().then([&](Window& w) {
    EXPECT_LE(text::to_long(w.property(FEQ_BROWSE_1, window::PROP_VScrollPos)), 2);
    w.user_key(FEQ_BROWSE_1, window::EndKey);
  });
  user().then([&](Window& w) {
    EXPECT_GE(text::to_long(w.property(FEQ_BROWSE_1, window::PROP_VScrollPos)), 97);
    w.set_property(FEQ_BROWSE_1, window::PROP_VScrollPos, 50);
    w.post(window::EVENT_ScrollDrag, FEQ_BROWSE_1);
  });
  user().then([&](Window& w) { EXPECT_EQ(highlighted(w), "Nname"); });
  user().close_request();
  pick();
  abc::StringThumb thumb;
  thumb.Init(3, abc::ScrollSort_AllowAlpha);
  int last = 0;
  for (const char* v : {"", "A", "b", "MM", "n", "ZZ", "~"}) {
    const int p = thumb.GetPercentile(v);
    EXPECT_GE(p, last) << v;
    EXPECT_LE(p, 100) << v;
    last = p;
  }
  for (int p : {1, 25, 50, 99, 100}) EXPECT_EQ(thumb.GetPercentile(thumb.GetValue(p)), p) << p;
}

TEST_F(QueryBrowse, AnEmptyStoreOffersNothingToSelectOrDelete) {
  user().then([&](Window& w) {
    EXPECT_EQ(w.list_rows(FEQ_BROWSE_1), 0u);
    EXPECT_EQ(w.property(FEQ_SELECT_2, window::PROP_Disable), "1");
    EXPECT_EQ(w.property(FEQ_DELETE_4, window::PROP_Disable), "1");
    EXPECT_EQ(w.default_button(), 0);
    EXPECT_FALSE(w.user_press(FEQ_SELECT_2));
    EXPECT_FALSE(w.user_press(FEQ_DELETE_4));
    EXPECT_FALSE(w.user_enter());
    w.post(window::EVENT_AlertKey, FEQ_BROWSE_1, window::MouseRightUp);
  });
  user().answer_popup(1).key(FEQ_BROWSE_1, window::DeleteKey).close_request();
  EXPECT_EQ(pick(), 0);
  ASSERT_EQ(user().popups().size(), 1u);
  EXPECT_EQ(user().popups()[0].items, "~&Delete|~&Select");
  EXPECT_EQ(user().popups()[0].answer, 0);
  EXPECT_TRUE(user().messages().empty());
}

TEST_F(QueryBrowse, DeleteAsksFirstAndKeepsTheBrowseOpen) {
  store({"one", "two", "three"});
  // No: nothing goes.
  user().click(FEQ_BROWSE_1, 3, 1).press(FEQ_DELETE_4).answer(window::BUTTON_NO);
  user().then([&](Window& w) {
    EXPECT_EQ(shown(w), (Names{"one", "three", "two"}));
    EXPECT_EQ(globals::CallResponse, abc::RequestCancelled);
  });
  // Yes, by the Delete key: "two" goes, the browse stays with the row after it (none: the last).
  user().key(FEQ_BROWSE_1, window::DeleteKey).answer(window::BUTTON_YES);
  user().then([&](Window& w) {
    EXPECT_EQ(shown(w), (Names{"one", "three"}));
    EXPECT_EQ(highlighted(w), "three");
    EXPECT_EQ(globals::CallResponse, abc::RequestCompleted);
    EXPECT_EQ(w.caption(), "Pick Query");
  });
  // Through the menu, the first row.
  user().right_click(FEQ_BROWSE_1, 1).answer_popup(1).answer(window::BUTTON_YES);
  user().then([&](Window& w) { EXPECT_EQ(shown(w), (Names{"three"})); });
  user().close_request();
  EXPECT_EQ(pick(), 0);
  EXPECT_EQ(stored_names(), (Names{"three"}));
  const auto& shown_boxes = user().messages();
  ASSERT_EQ(shown_boxes.size(), 3u);
  for (const auto& m : shown_boxes) {
    EXPECT_EQ(m.request.caption, "Confirm Delete");
    EXPECT_EQ(m.request.text, "Are you sure you want to delete the highlighted record?");
    EXPECT_EQ(m.request.buttons, window::BUTTON_YES | window::BUTTON_NO);
  }
  // The form's window never opened: it saved no geometry.
  EXPECT_EQ(globals::GlobalIniManager.Fetch("UpdateQMXSETUPAlias", "Width"), "");
  EXPECT_EQ(QMX().QUERYNAME.view(), "three");  // the store's own buffer is not the browse's
}

// A backend that, while message 36 is on screen, gives the record back
// (another program's lock let go) and then answers as scripted.
class GiveBackOnRetry final : public window::Backend {
 public:
  explicit GiveBackOnRetry(std::function<void()> give_back) : give_back_(std::move(give_back)) {}
  void opened(Window& w) override { h().opened(w); }
  void closed(Window& w) override { h().closed(w); }
  void changed(Window& w, int c) override { h().changed(w, c); }
  void timer_changed(Window& w) override { h().timer_changed(w); }
  bool wait(Window& w) override { return h().wait(w); }
  int message(const window::MessageRequest& r) override {
    if (r.caption == "Record Delete Error" && give_back_) std::exchange(give_back_, nullptr)();
    return h().message(r);
  }
  bool file_dialog(const window::FileRequest& r, std::string& chosen) override { return h().file_dialog(r, chosen); }
  int popup(const window::PopupRequest& r) override { return h().popup(r); }
  void set_clipboard(std::string_view t) override { h().set_clipboard(t); }
  std::string clipboard() override { return h().clipboard(); }
  void open_document(std::int64_t o, std::string_view f) override { h().open_document(o, f); }

 private:
  static window::Headless& h() { return window::headless(); }
  std::function<void()> give_back_;
};

TEST_F(QueryBrowse, AFailedDeleteOffersARetry) {
  store({"one", "two"});
  // The highlighted record vanishes behind the browse's back, so its delete fails.
  std::string taken;
  auto take_away = [&] {
    tps::KeyedTable t;
    ASSERT_EQ(t.open(dir_ / "QMXSETUP.TPS"), 0);
    t.set_key(QMX_ByQueryName);
    ASSERT_EQ(t.next(), 0);
    taken = t.buffer();
    ASSERT_EQ(t.erase(), 0);
    t.close();
  };
  // First: it stays away; No to the retry.
  user().then([&](Window&) { take_away(); });
  user().press(FEQ_DELETE_4).answer(window::BUTTON_YES).answer(window::BUTTON_OK).answer(window::BUTTON_YES);
  user().answer(window::BUTTON_OK).answer(window::BUTTON_NO);
  user().then([&](Window& w) {
    EXPECT_EQ(globals::CallResponse, abc::RequestCancelled);
    EXPECT_EQ(shown(w), (Names{"two"}));
  });
  user().close_request();
  pick();
  std::vector<std::string> captions;
  for (const auto& m : user().messages()) captions.push_back(m.request.caption);
  EXPECT_EQ(captions, (Names{"Confirm Delete", "Record was not deleted", "Record Delete Error",
                             "Record was not deleted", "Record Delete Error"}));
  ASSERT_EQ(user().messages().size(), 5u);
  const auto& retry = user().messages()[2].request;
  EXPECT_EQ(retry.text, "An error was experienced deleting this record. Do you want to try to delete it again?");
  EXPECT_EQ(retry.buttons, window::BUTTON_YES | window::BUTTON_NO);

  // Then: the record is back while the retry is asked; Yes deletes it.
  user().reset();
  GiveBackOnRetry backend([&] {
    tps::KeyedTable t;
    ASSERT_EQ(t.open(dir_ / "QMXSETUP.TPS"), 0);
    t.buffer() = taken;
    ASSERT_EQ(t.add(), 0);
    t.close();
  });
  window::set_backend(&backend);
  save("one");  // stored again (number 3)
  user().then([&](Window&) { take_away(); });
  user().press(FEQ_DELETE_4).answer(window::BUTTON_YES).answer(window::BUTTON_OK).answer(window::BUTTON_YES);
  user().then([&](Window& w) {
    EXPECT_EQ(globals::CallResponse, abc::RequestCompleted);
    EXPECT_EQ(shown(w), (Names{"two"}));
  });
  user().close_request();
  pick();
  window::set_backend(nullptr);
  EXPECT_EQ(stored_names(), (Names{"two"}));
  EXPECT_EQ(user().messages().size(), 3u);
}

TEST_F(QueryBrowse, TheFormRefusesInsertAndChange) {
  store({"one"});
  struct Case {
    abc::BYTE request;
    const char* text;
  };
  for (const Case c : {Case{abc::InsertRecord, "This form cannot be used to insert a record"},
                       Case{abc::ChangeRecord, "This form cannot be used to update a record"}}) {
    user().reset();
    globals::CallRequest = c.request;
    UpdateQMXSETUPAlias();
    EXPECT_EQ(globals::CallResponse, abc::RequestCancelled);
    ASSERT_EQ(user().messages().size(), 1u);
    EXPECT_EQ(user().messages()[0].request.caption, "Invalid Request");
    EXPECT_EQ(user().messages()[0].request.text, c.text);
    EXPECT_EQ(user().messages()[0].request.buttons, window::BUTTON_OK);
    EXPECT_EQ(globals::CallRequest, 0);
  }
  EXPECT_EQ(stored_names(), (Names{"one"}));
}

TEST_F(QueryBrowse, GeometryIsSavedInItsSectionAndRestored) {
  store({"one"});
  user().close_request();
  pick();
  auto& ini = globals::GlobalIniManager;
  EXPECT_EQ(ini.Fetch("LookupQuery", "Width"), "154");
  EXPECT_EQ(ini.Fetch("LookupQuery", "Height"), "198");
  EXPECT_EQ(ini.Fetch("LookupQuery", "Maximize"), "No");
  ini.Update("LookupQuery", "Width", "254");
  ini.Update("LookupQuery", "Height", "298");
  user().reset();
  user().then([&](Window& w) {
    EXPECT_EQ(w.property(window::PROP_Width), "254");
    EXPECT_EQ(w.property(window::PROP_MinWidth), "154");
    EXPECT_EQ(w.property(FEQ_BROWSE_1, window::PROP_Width), "243");   // the list takes the room
    EXPECT_EQ(w.property(FEQ_BROWSE_1, window::PROP_Height), "165");  // the buttons lie below it
    w.set_property(window::PROP_Width, 300);
  });
  user().close_request();
  pick();
  EXPECT_EQ(ini.Fetch("LookupQuery", "Width"), "300");
}

TEST_F(QueryBrowse, TheFormShowsAQueryInViewModeAndWritesNothing) {
  globals::GLO_TPSPASSWORD = "pw";
  globals::GLO_INPUTTPSLOCATION = "C:\\IN\\CUS.TPS";
  globals::GLO_DATEFORMAT = "@D10";
  globals::GLO_DATETIMESEPARATOR = "-";
  globals::GLO_TIMEFORMAT = "@T4";
  store({"shown"});
  const std::string before = read(dir_ / "QMXSETUP.TPS");
  // The browse leaves the highlighted record in the alias's buffer; here it is read directly.
  Access_QMXSETUPAlias->Open();
  QMX2().QUERYNAME = "shown";
  ASSERT_EQ(Access_QMXSETUPAlias->Fetch(QMX_ByQueryName), 0);
  Access_QMXSETUPAlias->Close();
  user().then([&](Window& w) {
    EXPECT_EQ(w.label(), "P11$QUICKWINDOW");
    EXPECT_EQ(w.caption(), "View Record");
    EXPECT_EQ(w.shown(FEQ_QMX2_SYSID), std::string(13, ' ') + "1");  // @n-14
    EXPECT_EQ(w.shown(FEQ_QMX2_QUERYNAME), "shown");
    EXPECT_EQ(w.shown(FEQ_QMX2_INPUTTPSLOCATION), "C:\\IN\\CUS.TPS");
    EXPECT_EQ(w.shown(FEQ_QMX2_DATEFORMAT), "yyyy/mm/dd");
    EXPECT_EQ(w.items(FEQ_QMX2_DATEFORMAT).size(), 26u);
    EXPECT_EQ(w.items(FEQ_QMX2_DATETIMESEPARATOR).at(3).value, "`");
    EXPECT_EQ(w.items(FEQ_QMX2_DATETIMESEPARATOR).at(4).value, "");
    // Read-only entries and the disabled combos take nothing; the check box does.
    EXPECT_FALSE(w.user_type(FEQ_QMX2_QUERYNAME, "changed"));
    EXPECT_EQ(w.property(FEQ_QMX2_NULLEMPTYSTR, window::PROP_Disable), "1");
    EXPECT_EQ(w.property(FEQ_QMX2_DATETIMESEPARATOR, window::PROP_Disable), "1");
    EXPECT_TRUE(w.user_check(FEQ_QMX2_DATESTAMPINEXPORT, true));
  });
  // Ctrl+H puts the history copy (cleared: no form has completed) back into the field.
  user().then([&](Window& w) {
    EXPECT_TRUE(w.checked(FEQ_QMX2_DATESTAMPINEXPORT));
    EXPECT_TRUE(w.user_key(FEQ_QMX2_DATESTAMPINEXPORT, window::CtrlH));
  });
  user().then([&](Window& w) {
    EXPECT_FALSE(w.checked(FEQ_QMX2_DATESTAMPINEXPORT));
    EXPECT_TRUE(w.user_check(FEQ_QMX2_DATESTAMPINEXPORT, true));
    // The tabs: only the chosen one's controls are on screen.
    EXPECT_TRUE(w.on_screen(FEQ_QMX2_QUERYNAME));
    EXPECT_FALSE(w.on_screen(FEQ_QMX2_DATEFORMAT));
    EXPECT_FALSE(w.user_choose(FEQ_QMX2_DATEFORMAT, 1));
    EXPECT_TRUE(w.on_screen(FEQ_OK));
  });
  user().choose(FEQ_CURRENTTAB, 2);
  user().then([&](Window& w) {
    EXPECT_FALSE(w.on_screen(FEQ_QMX2_QUERYNAME));
    EXPECT_TRUE(w.on_screen(FEQ_QMX2_DATEFORMAT));
    EXPECT_TRUE(w.user_choose(FEQ_QMX2_DATEFORMAT, 1));
  });
  user().press(FEQ_OK);
  globals::CallRequest = abc::ViewRecord;
  UpdateQMXSETUPAlias();
  EXPECT_EQ(globals::CallResponse, abc::RequestCancelled);
  EXPECT_EQ(user().steps_left(), 0u);
  EXPECT_TRUE(user().refused().empty());
  EXPECT_EQ(read(dir_ / "QMXSETUP.TPS"), before);
  EXPECT_EQ(QMX2().DATESTAMPINEXPORT, 0);  // the buffer is put back as it was
  EXPECT_EQ(globals::GlobalIniManager.Fetch("UpdateQMXSETUPAlias", "Width"), "358");
}

}  // namespace
