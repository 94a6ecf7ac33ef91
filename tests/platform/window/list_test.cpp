// Lists: FORMAT strings parsed into columns, a list over a queue showing its
// columns row by row without disturbing the queue, and the user's clicks and
// alerted keys on a list.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "platform/files/errors.h"
#include "platform/queue/queue.h"
#include "platform/text/text.h"
#include "platform/window/headless.h"
#include "platform/window/window.h"

namespace {

using namespace window;

struct Customer {
  std::int32_t CUS_PTR = 0;
  text::CString<20> CUS_CODE;
  text::FixedString<10> CUS_NAME;
  auto fields() { return std::tie(CUS_PTR, CUS_CODE, CUS_NAME); }
  auto fields() const { return std::tie(CUS_PTR, CUS_CODE, CUS_NAME); }
};

struct Cells {
  std::string cell(std::size_t k) const { return "cell " + std::to_string(k); }
};

TEST(ListFormat, ColumnsOfAFormatString) {
  ListFormat f = parse_format("57L|M~CUS:PTR~58L|M~CUS:CODE~58L|M~CUS:NAME~");
  ASSERT_EQ(f.columns.size(), 3u);
  const int widths[] = {57, 58, 58};
  const char* headings[] = {"CUS:PTR", "CUS:CODE", "CUS:NAME"};
  for (std::size_t k = 0; k < 3; ++k) {
    const ListColumn& c = f.columns[k];
    EXPECT_EQ(c.width, widths[k]);
    EXPECT_EQ(c.align, 'L');
    EXPECT_TRUE(c.right_border);
    EXPECT_TRUE(c.resizable);
    EXPECT_EQ(c.heading, headings[k]);
    EXPECT_EQ(c.picture, "");
    EXPECT_EQ(c.field, static_cast<int>(k + 1));
  }
}

TEST(ListFormat, TheFieldPickersColumns) {
  ListFormat f = parse_format(
      "90L(2)|M~Field~@s99@35L(2)|M~Type~@s19@12L(2)|M~D~@s3@12L(2)|M~T~L(3)@s3@12L(2)|M~d?~@s3@"
      "12L(2)M~t?~L(3)@s3@60L(2)|M@n-14@");
  ASSERT_EQ(f.columns.size(), 7u);
  struct Want {
    int width;
    const char* heading;
    int heading_indent;
    bool border;
    const char* picture;
  };
  const Want want[] = {{90, "Field", 2, true, "@s99"}, {35, "Type", 2, true, "@s19"}, {12, "D", 2, true, "@s3"},
                       {12, "T", 3, true, "@s3"},      {12, "d?", 2, true, "@s3"},   {12, "t?", 3, false, "@s3"},
                       {60, "", 2, true, "@n-14"}};
  for (std::size_t k = 0; k < 7; ++k) {
    const ListColumn& c = f.columns[k];
    SCOPED_TRACE(k + 1);
    EXPECT_EQ(c.width, want[k].width);
    EXPECT_EQ(c.indent, 2);
    EXPECT_EQ(c.heading, want[k].heading);
    EXPECT_EQ(c.heading_align, 'L');
    EXPECT_EQ(c.heading_indent, want[k].heading_indent);
    EXPECT_EQ(c.right_border, want[k].border);
    EXPECT_TRUE(c.resizable);
    EXPECT_EQ(c.picture, want[k].picture);
    EXPECT_EQ(c.field, static_cast<int>(k + 1));
  }
}

TEST(ListFormat, AlignmentFieldMappingAndGroups) {
  ListFormat a = parse_format("56R(2)|M~Nomor mr~L@n-14@20C(-3)~x~");
  ASSERT_EQ(a.columns.size(), 2u);
  EXPECT_EQ(a.columns[0].align, 'R');
  EXPECT_EQ(a.columns[0].indent, 2);
  EXPECT_EQ(a.columns[0].heading_align, 'L');
  EXPECT_EQ(a.columns[0].heading_indent, 0);
  EXPECT_EQ(a.columns[0].picture, "@n-14");
  EXPECT_EQ(a.columns[1].align, 'C');
  EXPECT_EQ(a.columns[1].indent, -3);
  EXPECT_EQ(a.columns[1].heading_align, 'C');  // the heading takes the data's alignment

  // Columns skip the extra fields that colours, icons, trees, styles and tips take;
  // "#n#" names a field and the next columns go on from there.
  struct Case {
    const char* format;
    std::vector<int> fields;
  };
  const Case cases[] = {
      {"20L*~a~20LI~b~20LT(1)~c~20LY~d~20LP~e~20L~f~", {1, 6, 8, 10, 12, 14}},
      {"20L~a~#3#20L~b~20L~c~", {3, 4, 5}},
      {"20L~a~20L#1#", {1, 1}},
      {"20L~@#~", {1}},  // "@" and "#" inside a heading are text
  };
  for (const Case& c : cases) {
    std::vector<int> got;
    for (const ListColumn& col : parse_format(c.format).columns) got.push_back(col.field);
    EXPECT_EQ(got, c.fields) << c.format;
  }

  ListFormat g = parse_format("10L~x~[20L~a~20L~b~](40)|M~Both~C30L~y~");
  ASSERT_EQ(g.columns.size(), 4u);
  ASSERT_EQ(g.groups.size(), 1u);
  EXPECT_EQ(g.groups[0].first, 1u);
  EXPECT_EQ(g.groups[0].count, 2u);
  EXPECT_EQ(g.groups[0].width, 40);
  EXPECT_EQ(g.groups[0].heading, "Both");
  EXPECT_EQ(g.groups[0].heading_align, 'C');
  EXPECT_TRUE(g.groups[0].right_border);
  EXPECT_EQ(g.columns[0].group, 0);
  EXPECT_EQ(g.columns[1].group, 1);
  EXPECT_EQ(g.columns[3].group, 0);
  EXPECT_EQ(g.columns[3].field, 4);
}

TEST(ListFormat, MalformedFormatsGiveWhatCanBeRead) {
  struct Case {
    const char* format;
    std::size_t columns;
  };
  const Case cases[] = {
      {"", 0},          {"L|M~x~", 0},         {"~only a heading", 0}, {"20L~unterminated", 1},
      {"20L@s99", 1},   {"20L(((", 1},         {"]]]20L", 1},          {"[[20L", 1},
      {"20L#999999999999#", 1}, {"99999999999999999999L", 1}, {"20LQ'tip", 1}, {"1 2 3", 3},
  };
  for (const Case& c : cases) {
    ListFormat f = parse_format(c.format);
    EXPECT_EQ(f.columns.size(), c.columns) << c.format;
    for (const ListColumn& col : f.columns) {
      EXPECT_GE(col.width, 0) << c.format;
      EXPECT_GE(col.field, 1) << c.format;
    }
  }
  EXPECT_EQ(parse_format("20L~unterminated").columns[0].heading, "unterminated");
  EXPECT_EQ(parse_format("99999999999999999999L").columns[0].width, 1'000'000);
}

TEST(ListCells, RecordsListTheirFieldsOrAnswerCells) {
  Customer c;
  c.CUS_PTR = 7;
  c.CUS_CODE = "A1";
  c.CUS_NAME = "Smith";
  EXPECT_EQ(record_cell(c, 1), "7");
  EXPECT_EQ(record_cell(c, 2), "A1");
  EXPECT_EQ(record_cell(c, 3), "Smith     ");
  EXPECT_EQ(record_cell(c, 4), "");
  EXPECT_EQ(record_cell(c, 0), "");
  EXPECT_EQ(record_cell(Cells{}, 12), "cell 12");
}

class ListOverQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    headless().reset();
    const char* codes[] = {"A1", "B2", "C3"};
    const char* names[] = {"Smith", "Jones", "Brown"};
    for (int i = 0; i < 3; ++i) {
      customers.buffer().CUS_PTR = i + 1;
      customers.buffer().CUS_CODE = codes[i];
      customers.buffer().CUS_NAME = names[i];
      customers.add();
    }
    customers.get(2);  // the buffer and the pointer hold the second entry
    def.label = "LIST";
    def.controls = {
        {.type = ControlType::Entry},
        {.type = ControlType::List, .label = "?LIST1", .format = "57L|M~CUS:PTR~58L|M~CUS:CODE~",
         .alerts = {EnterKey}},
    };
  }
  void TearDown() override { headless().reset(); }

  queue::Queue<Customer> customers;
  std::string entry;
  WindowDef def;
};

TEST_F(ListOverQueue, ShowsTheColumnsOfItsFormatAndLeavesTheQueueAlone) {
  Window w(def, {entry, customers});
  w.open();
  EXPECT_EQ(w.list_rows(2), 3u);
  EXPECT_EQ(w.list_row(2, 1), (std::vector<std::string>{"1", "A1"}));
  EXPECT_EQ(w.list_row(2, 3), (std::vector<std::string>{"3", "C3"}));
  EXPECT_EQ(w.list_cell(2, 2, 2), "B2");
  EXPECT_EQ(w.list_cell(2, 4, 1), "");  // no fourth row
  EXPECT_EQ(w.list_cell(2, 1, 3), "");  // no third column
  EXPECT_EQ(w.list_format(2).columns[1].heading, "CUS:CODE");

  customers.buffer().CUS_CODE = "edited";
  files::set_error(77);
  (void)w.list_row(2, 3);
  EXPECT_EQ(customers.buffer().CUS_CODE, "edited");
  EXPECT_EQ(customers.pointer(), 2u);
  EXPECT_EQ(files::error_code(), 77);

  // The list reads the queue as it is now: nothing was copied into the window.
  customers.buffer().CUS_PTR = 4;
  customers.buffer().CUS_CODE = "D4";
  customers.add();
  EXPECT_EQ(w.list_rows(2), 4u);
  EXPECT_EQ(w.list_cell(2, 4, 2), "D4");

  // A format set at run time shows other columns.
  w.set_property(2, PROP_Format, "20L~Name~@s3@#3#");
  EXPECT_EQ(w.property(2, PROP_Format), "20L~Name~@s3@#3#");
  EXPECT_EQ(w.list_row(2, 1), (std::vector<std::string>{"Smi"}));
  w.set_property(2, PROP_Format, "");
  EXPECT_TRUE(w.list_row(2, 1).empty());

  // A cell shows its text up to a NUL byte, as the system's list control does:
  // a blank-padded field that holds a NUL and blanks shows as empty.
  w.set_property(2, PROP_Format, "20L~Name~@s20@#3#");
  customers.get(4);
  customers.buffer().CUS_NAME = std::string_view("\0    ", 5);
  customers.put();
  EXPECT_EQ(w.list_cell(2, 4, 1), "");
}

TEST_F(ListOverQueue, ClicksSetTheChoiceAndTheColumnLastPressed) {
  Window w(def, {entry, customers});
  w.open();
  ASSERT_TRUE(w.accept());  // EVENT:OpenWindow
  struct Case {
    std::size_t row;
    int column;
    bool twice;
    bool taken;
    int mouse_field;
  };
  const Case cases[] = {
      {2, 2, false, true, 2},
      {3, 1, false, true, 1},
      {1, 9, false, true, 0},  // outside the columns
      {1, 0, false, true, 0},
      {4, 1, false, false, 0},  // below the last row: nothing happens
      {0, 1, false, false, 0},
      {3, 2, true, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row << "/" << c.column);
    int before = w.choice(2);
    ASSERT_EQ(w.user_click(2, c.row, c.column, c.twice), c.taken);
    if (!c.taken) {
      EXPECT_EQ(w.choice(2), before);
      EXPECT_FALSE(w.has_events());
      continue;
    }
    EXPECT_EQ(w.choice(2), static_cast<int>(c.row));
    EXPECT_EQ(w.property(2, PROPLIST_MouseDownField), std::to_string(c.mouse_field));
    EXPECT_EQ(w.property(2, PROPLIST_MouseDownRow), std::to_string(c.row));
    ASSERT_TRUE(w.accept());
    EXPECT_EQ(event(), EVENT_NewSelection);
    EXPECT_EQ(field(), 2);
    EXPECT_EQ(choice(), static_cast<int>(c.row));  // the list has the focus
    EXPECT_EQ(choice(2), static_cast<int>(c.row));
    EXPECT_EQ(keycode(), c.twice ? MouseLeft2 : MouseLeft);
    if (c.twice) {
      ASSERT_TRUE(w.accept());
      EXPECT_EQ(accepted(), 2);
    }
  }
}

TEST_F(ListOverQueue, AlertedKeysReachTheLoopOthersDoNot) {
  Window w(def, {entry, customers});
  headless().click(2, 1, 1).key(2, DeleteKey).key(2, EnterKey).close_request();
  w.open();
  std::vector<Event> events;
  while (accept()) events.push_back(w.current_event());
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[2].event, EVENT_AlertKey);
  EXPECT_EQ(events[2].field, 2);
  EXPECT_EQ(events[2].keycode, EnterKey);
  EXPECT_EQ(headless().refused().size(), 1u);  // the Delete key is not alerted
}

TEST_F(ListOverQueue, NavigationKeysMoveTheHighlightAndReportOnlyAMove) {
  Window w(def, {entry, customers});
  w.set_property(2, PROP_Items, 2);  // a page of two rows
  struct Case {
    int key;
    int row;  // the highlight afterwards; a move reports a new selection
    bool moved;
  };
  const Case cases[] = {
      {EndKey, 3, true},   {DownKey, 3, false}, {PgUpKey, 1, true}, {UpKey, 1, false},
      {PgDnKey, 3, true},  {UpKey, 2, true},    {HomeKey, 1, true}, {PgDnKey, 3, true},
  };
  for (const Case& c : cases) headless().list_key(2, c.key);
  headless().list_key(2, DeleteKey).list_key(1, DownKey).close_request();
  w.open();
  std::vector<Event> events;
  std::vector<int> rows;
  while (accept()) {
    if (event() == EVENT_NewSelection) rows.push_back(choice(2));
    events.push_back(w.current_event());
  }
  std::vector<int> expected;
  for (const Case& c : cases)
    if (c.moved) expected.push_back(c.row);
  EXPECT_EQ(rows, expected);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[1].keycode, EndKey);
  EXPECT_EQ(w.property(2, PROPLIST_MouseDownField), "0");  // no press: no column
  EXPECT_EQ(headless().refused().size(), 2u);  // not a navigation key; not a list
}

TEST_F(ListOverQueue, ADoubleClickIsTwoPressesAndAnAlertKeyWhenAlerted) {
  def.controls[1].alerts.push_back(MouseLeft2);
  Window w(def, {entry, customers});
  headless().double_click(2, 2, 1).close_request();
  w.open();
  std::vector<Event> events;
  while (accept()) events.push_back(w.current_event());
  ASSERT_EQ(events.size(), 5u);  // OpenWindow ... CloseWindow
  EXPECT_EQ(events[1].event, EVENT_NewSelection);
  EXPECT_EQ(events[1].keycode, MouseLeft);
  EXPECT_EQ(events[2].event, EVENT_NewSelection);
  EXPECT_EQ(events[2].keycode, MouseLeft2);
  EXPECT_EQ(events[3].event, EVENT_AlertKey);
  EXPECT_EQ(events[3].keycode, MouseLeft2);
}

TEST_F(ListOverQueue, ABandOfColumnsIsReadAtOnceAndCutToTheFormat) {
  Window w(def, {entry, customers});
  EXPECT_EQ(w.list_cells(2, 3, 2, 2), (std::vector<std::string>{"C3"}));
  EXPECT_EQ(w.list_cells(2, 1, 0, 9), (std::vector<std::string>{"1", "A1"}));
  EXPECT_EQ(w.list_cells(2, 1, 3, 9), std::vector<std::string>{});
  EXPECT_EQ(w.list_cells(2, 4, 1, 2), (std::vector<std::string>{"", ""}));  // no such row
  EXPECT_EQ(w.list_row(2, 2), (std::vector<std::string>{"2", "B2"}));
}

TEST_F(ListOverQueue, AKeyMovesTheHighlightWithoutTouchingTheMouseFields) {
  Window w(def, {entry, customers});
  w.open();
  ASSERT_TRUE(w.user_click(2, 1, 2));
  ASSERT_TRUE(w.user_highlight(2, 3, 0x28));
  EXPECT_EQ(w.choice(2), 3);
  EXPECT_EQ(w.property(2, PROPLIST_MouseDownRow), "1");
  EXPECT_EQ(w.property(2, PROPLIST_MouseDownField), "2");
  EXPECT_FALSE(w.user_highlight(2, 4, 0x28));  // no such row
  EXPECT_FALSE(w.user_highlight(1, 1, 0x28));  // not a list
  std::vector<std::pair<int, int>> events;
  while (w.has_events() && accept()) events.emplace_back(event(), keycode());
  EXPECT_EQ(events, (std::vector<std::pair<int, int>>{
                        {EVENT_OpenWindow, 0}, {EVENT_NewSelection, MouseLeft}, {EVENT_NewSelection, 0x28}}));
}

TEST_F(ListOverQueue, SelectGivesTheFocusAndAPositionPicksARow) {
  Window w(def, {entry, customers});
  w.open();
  select(2, 3);
  EXPECT_EQ(w.focus(), 2);
  EXPECT_EQ(choice(), 3);
  select(1);
  EXPECT_EQ(w.focus(), 1);
  EXPECT_EQ(choice(2), 3);
}

TEST_F(ListOverQueue, ARowSourceBindsOnlyToAList) {
  std::string other;
  EXPECT_THROW(Window(def, {customers}), std::invalid_argument);
  EXPECT_THROW(Window(def, {entry, other}), std::invalid_argument);
}

}  // namespace
