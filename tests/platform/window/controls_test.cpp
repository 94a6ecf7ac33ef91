// Controls bound to variables: a window created from its definition shows its
// variables, stores what the user changes back into them, and shows changes
// made by the program only after DISPLAY. Drop lists show the text item and
// store the value item.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/text/text.h"
#include "platform/window/headless.h"
#include "platform/window/window.h"

namespace {

using namespace window;

// Field numbers of the form below, as in the main window.
enum : int {
  kPassword = 1,
  kInput = 2,
  kStamp = 3,
  kDateFormat = 4,
  kSeparator = 5,
  kSelect = 6,
  kFetched = 7,
  kFetch = 8,
  kCaption = 9,
};

const char* kDateItems =
    "    m/dd/yy |#@D1|  mm/dd/yy|#@D01|    m/dd/yyyy|#@D2|  mm/dd/yyyy|#@D02|  mmm dd,yyyy|#@D3|"
    "  mmmmm dd, yyyy|#@D4|    d/mm/yy|#@D5|  dd/mm/yy|#@D05|    d/mm/yyyy|#@D6|* dd/mm/yyyy|#@D06|"
    "    d mmm yy|#@D7|  dd mmm yy|#@D07|    d mmm yyyy|#@D8|  dd mmm yyyy|#@D08|  yy/mm/dd|#@D9|"
    "  yyyy/mm/dd|#@D10|  yymmdd|#@D11|  yyyymmdd|#@D12|  mm/yy|#@D13|  mm/yyyy|#@D14|  yy/mm|#@D15|"
    "  yyyy/mm|#@D16|  Windows Short|#@D17|  Windows Long|#@D18";
const char* kSeparatorItems = "  Period|#.b|  Dash|#-b|  Space|#_b|  Comma|#`b|* Slash|#b";

WindowDef query_form() {
  WindowDef def;
  def.label = "P1$MENUWINDOW";
  def.caption = "Top Speed Quillomar Ver.1.01";
  def.at = {0, 0, 545, 400};
  def.timer = 1;
  def.controls = {
      {.type = ControlType::Entry, .label = "?GLO:TPSPASSWORD", .picture = "@s99", .at = {84, 2, 118, 10}},
      {.type = ControlType::Entry, .label = "?GLO:INPUTTPSLOCATION", .picture = "@s255", .at = {84, 14, 184, 9},
       .tip = "*.TPS file full name with path"},
      {.type = ControlType::Check, .label = "?GLO:DATESTAMPINEXPORT", .text = "Date Stamp In Export"},
      {.type = ControlType::DropList, .label = "?GLO:DATEFORMAT", .from = kDateItems},
      {.type = ControlType::DropList, .label = "?GLO:DATETIMESEPARATOR", .from = kSeparatorItems},
      {.type = ControlType::Text, .label = "?GLO:SELECT"},
      {.type = ControlType::String, .label = "?GLO:FETCHEDNO", .use = true},
      {.type = ControlType::Button, .label = "?BUTTONFETCH", .text = "Fetch"},
      {.type = ControlType::Prompt, .label = "?PROMPT1", .text = "SELECT"},
  };
  return def;
}

class Controls : public ::testing::Test {
 protected:
  void SetUp() override { headless().reset(); }
  void TearDown() override { headless().reset(); }

  text::CString<100> password = "secret";
  text::CString<256> input;
  std::uint8_t stamp = 1;
  text::CString<14> date_format = "@D06";
  text::CString<10> separator = "b";
  std::string select = "CUS:CODE";
  std::int32_t fetched = 12;
};

TEST_F(Controls, ShowBoundVariablesAndStoreWhatTheUserChanges) {
  Window w(query_form(), {password, input, stamp, date_format, separator, select, fetched});
  headless()
      .then([&](Window& win) {
        EXPECT_EQ(win.shown(kPassword), "secret");
        EXPECT_EQ(win.shown(kInput), "");
        EXPECT_TRUE(win.checked(kStamp));
        EXPECT_EQ(win.shown(kStamp), "Date Stamp In Export");
        EXPECT_EQ(win.shown(kDateFormat), "* dd/mm/yyyy");
        EXPECT_EQ(win.choice(kDateFormat), 10);
        EXPECT_EQ(win.shown(kSeparator), "* Slash");
        EXPECT_EQ(win.shown(kSelect), "CUS:CODE");
        EXPECT_EQ(win.shown(kFetched), "12");
        EXPECT_EQ(win.shown(kCaption), "SELECT");
        EXPECT_EQ(win.property(kInput, PROP_Tip), "*.TPS file full name with path");
      })
      .type(kInput, "C:\\data\\orders.tps")
      .check(kStamp, false)
      .choose(kDateFormat, 3)
      .choose(kSeparator, 1)
      .type(kSelect, "CUS:CODE,CUS:NAME")
      .close_request();
  w.open();
  std::vector<Event> events;
  while (accept()) {
    if (event() != EVENT_Timer) events.push_back(w.current_event());
  }
  EXPECT_EQ(input, "C:\\data\\orders.tps");
  EXPECT_EQ(stamp, 0);
  EXPECT_EQ(date_format, "@D2");
  EXPECT_EQ(separator, ".b");
  EXPECT_EQ(select, "CUS:CODE,CUS:NAME");
  EXPECT_EQ(w.shown(kDateFormat), "    m/dd/yyyy");
  EXPECT_EQ(w.shown(kSeparator), "  Period");
  EXPECT_TRUE(headless().refused().empty());

  std::vector<std::pair<int, int>> got;
  for (const Event& e : events) got.emplace_back(e.event, e.field);
  std::vector<std::pair<int, int>> expected = {
      {EVENT_OpenWindow, 0},        {EVENT_Accepted, kInput},      {EVENT_Accepted, kStamp},
      {EVENT_NewSelection, kDateFormat}, {EVENT_Accepted, kDateFormat}, {EVENT_NewSelection, kSeparator},
      {EVENT_Accepted, kSeparator}, {EVENT_Accepted, kSelect},     {EVENT_CloseWindow, 0},
  };
  EXPECT_EQ(got, expected);
}

TEST_F(Controls, ProgramChangesShowAfterDisplay) {
  Window w(query_form(), {password, input, stamp, date_format, separator, select, fetched});
  w.open();
  password = "other";
  date_format = "@D10";
  fetched = 3;
  EXPECT_EQ(w.shown(kPassword), "secret");
  w.display();
  EXPECT_EQ(w.shown(kPassword), "other");
  EXPECT_EQ(w.shown(kDateFormat), "  yyyy/mm/dd");
  EXPECT_EQ(w.shown(kFetched), "3");
  // A value that no item holds shows no item.
  date_format = "@D99";
  w.display(kDateFormat);
  EXPECT_EQ(w.shown(kDateFormat), "");
  EXPECT_EQ(w.choice(kDateFormat), 0);
  EXPECT_EQ(w.shown(kPassword), "other");
}

TEST_F(Controls, NumbersTakeTypedTextAsTheRuntimeAssignsIt) {
  struct Case {
    const char* typed;
    std::int32_t as_long;
    std::uint8_t as_byte;
  };
  const Case cases[] = {
      {"1,234", 1234, static_cast<std::uint8_t>(1234)},
      {"-7", -7, static_cast<std::uint8_t>(-7)},
      {"  -7", -7, static_cast<std::uint8_t>(-7)},  // an entry's leading blanks are not its text
      {"256", 256, 0},
      {"abc", 0, 0},
  };
  WindowDef def;
  def.controls = {{.type = ControlType::Entry, .picture = "@n-14"}, {.type = ControlType::Entry, .picture = "@n3"}};
  for (const Case& c : cases) {
    std::int32_t number = 99;
    std::uint8_t byte = 99;
    Window w(def, {number, byte});
    w.open();
    EXPECT_TRUE(w.user_type(1, c.typed));
    EXPECT_TRUE(w.user_type(2, c.typed));
    EXPECT_EQ(number, c.as_long) << c.typed;
    EXPECT_EQ(byte, c.as_byte) << c.typed;
  }
}

TEST_F(Controls, ControlsThatCannotTakeInputRefuseIt) {
  WindowDef def = query_form();
  def.controls[kPassword - 1].readonly = true;
  def.controls[kStamp - 1].disabled = true;
  def.controls[kDateFormat - 1].hidden = true;
  Window w(def, {password, input, stamp, date_format, separator, select, fetched});
  w.open();
  EXPECT_FALSE(w.user_type(kPassword, "typed"));
  EXPECT_FALSE(w.user_check(kStamp, false));
  EXPECT_FALSE(w.user_choose(kDateFormat, 1));
  EXPECT_FALSE(w.user_choose(kSeparator, 6));   // no sixth item
  EXPECT_FALSE(w.user_type(kFetch, "text"));   // a button takes no text
  EXPECT_FALSE(w.user_press(kInput));          // an entry is not pressed
  EXPECT_FALSE(w.user_press(99));
  EXPECT_EQ(password, "secret");
  EXPECT_EQ(stamp, 1);
  EXPECT_EQ(date_format, "@D06");
  // Read-only and disabled come and go through their properties.
  w.set_property(kPassword, PROP_ReadOnly, 0);
  w.set_property(kStamp, PROP_Disable, 0);
  EXPECT_TRUE(w.user_type(kPassword, "typed"));
  EXPECT_TRUE(w.user_check(kStamp, false));
  EXPECT_EQ(password, "typed");
  EXPECT_EQ(stamp, 0);
}

TEST_F(Controls, BindingsMustFitTheControls) {
  WindowDef def;
  def.controls = {{.type = ControlType::Entry}, {.type = ControlType::Prompt}};
  std::string a, b;
  EXPECT_THROW(Window(def, {a, b}), std::invalid_argument);  // one control takes a value
  Window partly(def, {});                                     // unbound controls keep their own text
  partly.open();
  EXPECT_TRUE(partly.user_type(1, "kept"));
  EXPECT_EQ(partly.shown(1), "kept");
}

TEST_F(Controls, DropListItemsParse) {
  struct Case {
    const char* from;
    std::vector<std::pair<std::string, std::string>> items;  // text, value
  };
  const Case cases[] = {
      {"", {}},
      {"  Period|#.b|* Slash|#b", {{"  Period", ".b"}, {"* Slash", "b"}}},
      {"Slash|#", {{"Slash", ""}}},                      // an empty value
      {"N/Y", {{"N/Y", "N/Y"}}},                         // no value: the text is stored
      {"a||b|#x||y|c", {{"a|b", "x|y"}, {"c", "c"}}},     // "||" is a "|" inside an item
      {"#lost|a|#1|#2|b", {{"a", "1"}, {"b", "b"}}},     // values with nothing to pair are dropped
      {"a|", {{"a", "a"}, {"", ""}}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::string, std::string>> got;
    for (const DropItem& i : parse_items(c.from)) got.emplace_back(i.text, i.value);
    EXPECT_EQ(got, c.items) << c.from;
  }
}

TEST_F(Controls, ItemsSetAtRunTimeReplaceTheDefinedOnes) {
  Window w(query_form(), {password, input, stamp, date_format, separator, select, fetched});
  w.open();
  w.set_property(kSeparator, PROP_From, "Period|#.|Dash|#-|Slash|#");
  EXPECT_EQ(w.items(kSeparator).size(), 3u);
  EXPECT_EQ(w.shown(kSeparator), "");  // "b" is no longer an item's value
  EXPECT_TRUE(w.user_choose(kSeparator, 3));
  EXPECT_EQ(separator, "");
  EXPECT_EQ(w.shown(kSeparator), "Slash");
}

}  // namespace
