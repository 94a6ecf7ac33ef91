#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "globals/globals.h"
#include "globals/services.h"
#include "platform/text/text.h"
#include "platform/window/equates.h"
#include "shell/field_picker.h"
#include "shell/field_picker_def.h"
#include "tests/shell/main_window_support.h"

namespace main_window_test {
namespace {

// A number as the picture @n-14 shows it: right-aligned in 14 places.
std::string n14(const std::string& digits) { return std::string(14 - digits.size(), ' ') + digits; }

using globals::FieldListQueue;
using window::Window;
using shell::picker::FEQ_CANCEL;
using shell::picker::FEQ_CLOSE;
using shell::picker::FEQ_LIST1;
using shell::picker::FEQ_NUMBER;
using shell::picker::kDateColumn;
using shell::picker::kTimeColumn;

struct Field {
  const char* label;
  const char* date = "";
  const char* time = "";
};

class FieldPicker : public MainWindowTest {
 protected:
  // The field list as field discovery leaves it: position i + 1 for fields[i].
  static void fields(const std::vector<Field>& list) {
    FieldListQueue.free();
    long position = 0;
    for (const Field& f : list) {
      FieldListQueue.clear();
      auto& b = FieldListQueue.buffer();
      b.ALF_DAFIELD = f.label;
      b.ALF_DATYPE = "LONG";
      b.ALF_DATE = f.date;
      b.ALF_TIME = f.time;
      b.ALF_DACOUNT = static_cast<globals::LONG>(++position);
      FieldListQueue.add();
    }
  }
  // The labels of the queue in its order now.
  static std::vector<std::string> labels() {
    std::vector<std::string> out;
    globals::FieldListRecord r;
    for (std::size_t i = 1; i <= FieldListQueue.records(); ++i) {
      FieldListQueue.peek(i, r);
      out.push_back(r.ALF_DAFIELD.str());
    }
    return out;
  }
  // The marks of the entry at position `position` ("D", "T" or "" each).
  static std::pair<std::string, std::string> marks(std::size_t position) {
    globals::FieldListRecord r;
    FieldListQueue.peek(position, r);
    return {std::string(text::clip(r.ALF_DATE.view())), std::string(text::clip(r.ALF_TIME.view()))};
  }
  // The list's first column, top to bottom, as the picker shows it.
  static std::vector<std::string> shown_labels(const Window& w) {
    std::vector<std::string> out;
    for (std::size_t row = 1; row <= w.list_rows(FEQ_LIST1); ++row) out.push_back(w.list_cell(FEQ_LIST1, row, 1));
    return out;
  }
  static std::string chosen() { return FieldListQueue.buffer().ALF_DAFIELD.str(); }
};

TEST_F(FieldPicker, ListsByPositionOrByLabelWithTheCountAndReturnsInPositionOrder) {
  const std::vector<std::string> by_position{"CUS:PTR", "CUS:NAME", "CUS:CODE", "CUS:AGE"};
  const std::vector<std::string> by_label{"CUS:AGE", "CUS:CODE", "CUS:NAME", "CUS:PTR"};
  for (int by_name : {0, 1}) {
    SCOPED_TRACE(by_name);
    fields({{"CUS:PTR"}, {"CUS:NAME"}, {"CUS:CODE"}, {"CUS:AGE"}});
    globals::GLO_FIELDSBYNAME = static_cast<globals::BYTE>(by_name);
    std::vector<std::string> shown;
    std::string count, caption, procedure;
    user()
        .then([&](Window& w) {
          shown = shown_labels(w);
          count = w.shown(FEQ_NUMBER);
          caption = w.caption();
          procedure = globals::GlobalErrorManager.ProcedureName();
          EXPECT_EQ(w.focus(), FEQ_LIST1);
          EXPECT_EQ(w.list_cell(FEQ_LIST1, 1, 7), n14(by_name ? "4" : "1"));  // the position column
        })
        .click(FEQ_LIST1, 2, 1)
        .press(FEQ_CLOSE);
    shell::SelectField();
    EXPECT_EQ(shown, by_name ? by_label : by_position);
    EXPECT_EQ(count, n14("4"));
    EXPECT_EQ(caption, "All Fields");
    EXPECT_EQ(procedure, "SelectField");
    EXPECT_EQ(globals::GlobalErrorManager.ProcedureName(), "");
    // The second row of the list as it was shown, back in position order.
    EXPECT_EQ(globals::FieldChosen, 1);
    EXPECT_EQ(chosen(), by_name ? "CUS:CODE" : "CUS:NAME");
    EXPECT_EQ(globals::CallResponse, abc::RequestCompleted);
    EXPECT_EQ(labels(), by_position);
  }
}

TEST_F(FieldPicker, EachColumnShowsItsFieldOfTheEntry) {
  fields({{"CUS:A"}, {"CUS:B", "D"}});
  FieldListQueue.get(2);
  FieldListQueue.buffer().ALF_POSSIBLETIME = "t";
  FieldListQueue.buffer().ALF_DASORT = "not shown";
  FieldListQueue.put();
  std::vector<std::string> row;
  std::string t_heading;
  user()
      .then([&](Window& w) {
        row = w.list_row(FEQ_LIST1, 2);
        t_heading = w.list_format(FEQ_LIST1).columns[kTimeColumn - 1].heading;
      })
      .press(FEQ_CANCEL);
  shell::SelectField();
  for (std::string& c : row) c = std::string(text::clip(c));
  EXPECT_EQ(row, (std::vector<std::string>{"CUS:B", "LONG", "D", "", "", "t", n14("2")}));
  EXPECT_EQ(t_heading, "T");
}

TEST_F(FieldPicker, AnEmptyListCountsNoneAndSelectChoosesNothing) {
  fields({});
  // The buffer still holds an entry read before: it must not come back as chosen.
  FieldListQueue.buffer().ALF_DAFIELD = "CUS:OLD";
  std::string count = "unset";
  user().then([&](Window& w) { count = w.shown(FEQ_NUMBER); }).key(FEQ_LIST1, window::EnterKey).press(FEQ_CLOSE);
  shell::SelectField();
  EXPECT_EQ(count, n14("0"));
  EXPECT_EQ(globals::FieldChosen, 0);
  EXPECT_EQ(globals::CallResponse, abc::RequestCompleted);
}

TEST_F(FieldPicker, APressInTheDOrTColumnTogglesThatMarkAndClearsTheOther) {
  struct Case {
    const char* date;
    const char* time;
    int column;  // of the press; 0 outside the columns
    const char* date_after;
    const char* time_after;
  };
  const Case cases[] = {
      {"", "T", kDateColumn, "D", ""},   {"D", "", kDateColumn, "", ""}, {"", "", kDateColumn, "D", ""},
      {"D", "", kTimeColumn, "", "T"},   {"", "T", kTimeColumn, "", ""}, {"", "", kTimeColumn, "", "T"},
      {"D", "", 1, "D", ""},             {"", "T", 2, "", "T"},          {"D", "", 5, "D", ""},
      {"", "T", 6, "", "T"},             {"D", "", 7, "D", ""},          {"D", "", 0, "D", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.date << "/" << c.time << " column " << c.column);
    fields({{"CUS:A"}, {"CUS:B", c.date, c.time}, {"CUS:C"}});
    user().click(FEQ_LIST1, 2, c.column).press(FEQ_CANCEL);
    shell::SelectField();
    EXPECT_EQ(marks(2), std::make_pair(std::string(c.date_after), std::string(c.time_after)));
    EXPECT_EQ(marks(1), std::make_pair(std::string(), std::string()));
    // Cancel keeps the marks and chooses nothing.
    EXPECT_EQ(globals::FieldChosen, 0);
    EXPECT_EQ(globals::CallResponse, abc::RequestCancelled);
  }
}

TEST_F(FieldPicker, TheKeyboardMovesTheHighlightWithoutMarkingAndEnterSelects) {
  std::vector<Field> many;
  std::vector<std::string> names;
  for (int i = 1; i <= 40; ++i) names.push_back("CUS:F" + std::to_string(100 + i));
  for (const std::string& n : names) many.push_back({n.c_str()});
  fields(many);
  // After a press in the D column of row 5, each key moves the highlight and
  // reports a new selection, and no row it reaches gets a mark.
  struct Step {
    int key;
    int row;  // the highlight afterwards
  };
  const Step steps[] = {{window::DownKey, 6},  {window::DownKey, 7},  {window::UpKey, 6},  {window::PgDnKey, 23},
                        {window::PgDnKey, 40}, {window::DownKey, 40}, {window::PgUpKey, 23}, {window::HomeKey, 1},
                        {window::UpKey, 1},    {window::EndKey, 40},  {window::PgUpKey, 23}};
  user().click(FEQ_LIST1, 5, kDateColumn);
  for (const Step& s : steps) {
    user().list_key(FEQ_LIST1, s.key).then([s](Window& w) {
      EXPECT_EQ(w.choice(FEQ_LIST1), s.row) << "key " << s.key;
      EXPECT_EQ(w.property(FEQ_LIST1, window::PROPLIST_MouseDownField), std::to_string(kDateColumn));
    });
  }
  user().key(FEQ_LIST1, window::EnterKey);
  shell::SelectField();
  EXPECT_TRUE(user().refused().empty());
  EXPECT_EQ(user().steps_left(), 0u);
  for (std::size_t p = 1; p <= names.size(); ++p) {
    EXPECT_EQ(marks(p).first, p == 5 ? "D" : "") << p;
  }
  EXPECT_EQ(globals::FieldChosen, 1);
  EXPECT_EQ(chosen(), names[22]);
  EXPECT_EQ(globals::CallResponse, abc::RequestCompleted);
}

TEST_F(FieldPicker, ADoubleClickSelectsAndLeavesTheMarksAsTheyWere) {
  fields({{"CUS:A"}, {"CUS:B", "D"}, {"CUS:C"}});
  user().double_click(FEQ_LIST1, 2, kDateColumn);
  shell::SelectField();
  EXPECT_EQ(globals::FieldChosen, 1);
  EXPECT_EQ(chosen(), "CUS:B");
  EXPECT_EQ(marks(2).first, "D");  // pressed twice: toggled and back
  EXPECT_EQ(globals::CallResponse, abc::RequestCompleted);
}

TEST_F(FieldPicker, ClosingTheWindowCancelsAndItsPlaceIsKeptInItsSection) {
  write(dir_ / "quillomar.INI", "[SelectField]\r\nMaximize=No\r\nMinimize=No\r\nXPos=31\r\nYPos=17\r\n");
  globals::GlobalIniManager.Init(".\\quillomar.INI");
  fields({{"CUS:A"}, {"CUS:B"}});
  std::string x, y;
  user()
      .then([&](Window& w) {
        x = w.property(window::PROP_Xpos);
        y = w.property(window::PROP_Ypos);
        w.set_property(window::PROP_Xpos, 44);
      })
      .click(FEQ_LIST1, 1, kTimeColumn)
      .close_request();
  shell::SelectField();
  EXPECT_EQ(x, "31");
  EXPECT_EQ(y, "17");
  EXPECT_EQ(globals::GlobalIniManager.Fetch("SelectField", "XPos"), "44");
  globals::GlobalIniManager.Kill();
  EXPECT_EQ(globals::FieldChosen, 0);
  EXPECT_EQ(globals::CallResponse, abc::RequestCancelled);
  EXPECT_EQ(marks(1).second, "T");
}

}  // namespace
}  // namespace main_window_test
