// The record line: every stored type in a line, arrays, GROUP and OVER, MEMOs
// and BLOBs, blank records, dates and times with their marks, the header and
// types lines, the WHERE copy with each kind of value, empty strings as NUL,
// and the preview rows that follow the lines.
#include "engine/record_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/expression_functions.h"
#include "export_support.h"
#include "platform/eval/eval.h"

namespace {

using export_test::Type;
using globals::FieldListQueue;

class RecordLine : public export_test::Export {
 protected:
  void TearDown() override {
    for (const char* name : {"TIME", "HOUR", "MINUTE", "SECOND"}) eval::unbind(name);
    export_test::Export::TearDown();
  }
  static globals::FieldListRecord entry(std::string_view name) {
    globals::FieldListRecord r;
    for (std::size_t k = 1; FieldListQueue.peek(k, r); ++k)
      if (r.ALF_DAFIELD.view() == name) return r;
    ADD_FAILURE() << "no field-list entry " << name;
    return r;
  }
  // Sets a mark of a field-list entry as the field picker does.
  static void mark(std::string_view name, bool date, bool time) {
    globals::FieldListRecord r;
    for (std::size_t k = 1; FieldListQueue.peek(k, r); ++k) {
      if (r.ALF_DAFIELD.view() != name) continue;
      FieldListQueue.get(k);
      if (date) FieldListQueue.buffer().ALF_DATE = "D";
      if (time) FieldListQueue.buffer().ALF_TIME = "T";
      FieldListQueue.put();
      return;
    }
    ADD_FAILURE() << "no field-list entry " << name;
  }
  // A fetch: field mode first (it builds the field list), then the export.
  void fetch(const std::string& table) {
    ASSERT_EQ(run(table, "1"), engine::kExportDone);
    ASSERT_EQ(run(table), engine::kExportDone);
  }
};

TEST_F(RecordLine, EveryStoredTypeInALine) {
  tps::fixture::File file;
  auto& t = file.table("PRE");
  t.field("BYTE", Type::Byte).field("SHORT", Type::Short).field("USHORT", Type::UShort)
      .field("LONG", Type::Long).field("ULONG", Type::ULong).field("SREAL", Type::SReal)
      .field("REAL", Type::Real).field("DECIMAL", Type::Decimal, 7, 2).field("STRING", Type::String, 8)
      .field("CSTRING", Type::CString, 8).field("PSTRING", Type::PString, 8).field("DATE", Type::Date)
      .field("TIME", Type::Time);
  t.row().set("BYTE", 255).set("SHORT", -1).set("USHORT", 65535).set("LONG", -123)
      .set("ULONG", std::int64_t{4294967295}).set("SREAL", 0.5).set("REAL", 1.0 / 3)
      .set("DECIMAL", "-123.45").set("STRING", "a\"b").set("CSTRING", "  c").set("PSTRING", "p,q")
      .set_date("DATE", 1, 1, 2020).set_time("TIME", 12, 30);
  fetch(write_table(file));
  ASSERT_EQ(lines().size(), 2u);
  EXPECT_EQ(lines()[0],
            "\"PRE:PTR\",\"PRE:BYTE\",\"PRE:SHORT\",\"PRE:USHORT\",\"PRE:LONG\",\"PRE:ULONG\",\"PRE:SREAL\","
            "\"PRE:REAL\",\"PRE:DECIMAL\",\"PRE:STRING\",\"PRE:CSTRING\",\"PRE:PSTRING\",\"PRE:DATE\",\"PRE:TIME\"");
  EXPECT_EQ(lines()[1],
            "\"2\",\"255\",\"-1\",\"65535\",\"-123\",\"4294967295\",\"0.5\",\"0.333333333333333\",\"-123.45\","
            "\"a\"\"b\",\"c\",\"p,q\",\"01/01/2020\",\"12:30:00\"");
  // The preview shows the values before their quotes are doubled, and the
  // leading blanks that the CSV drops.
  const std::vector<std::string> row = preview_row(1, 14);
  EXPECT_EQ(row[9], "a\"b");
  EXPECT_EQ(row[10], "  c");
  EXPECT_EQ(row[12], "01/01/2020");
}

TEST_F(RecordLine, ArraysGroupsAndOverFieldsKeepTheirOffsets) {
  tps::fixture::File file;
  auto& t = file.table("PRE");
  t.field("SCORES", Type::Short).dim(3)
      .group("ACCOUNT").field("STATUS", Type::Byte).field("RATING", Type::Byte).end()
      .field("NAME", Type::String, 4)
      .field("INITIAL", Type::String, 1).over("NAME")
      .field("LAST", Type::Long);
  t.row().set("SCORES[1]", 1).set("SCORES[2]", 2).set("SCORES[3]", 3).set("STATUS", 7).set("RATING", 8)
      .set("NAME", "Ann").set("LAST", 9);
  globals::GLO_SELECT = "PRE:SCORES-3,PRE:RATING,PRE:INITIAL,PRE:LAST";
  fetch(write_table(file));
  ASSERT_EQ(lines().size(), 2u);
  EXPECT_EQ(lines()[0], "\"PRE:SCORES-3\",\"PRE:RATING\",\"PRE:INITIAL\",\"PRE:LAST\"");
  // Every field reads its own bytes, wherever the table stores them: the OVER
  // field the first byte of the field it lies over, and the fields after it
  // their own values, not bytes shifted by the size of the OVER field.
  EXPECT_EQ(lines()[1], "\"3\",\"8\",\"A\",\"9\"");
}

TEST_F(RecordLine, MemosAndBlobs) {
  {
    tps::fixture::File file;
    auto& t = file.table("PRE");
    t.field("N", Type::Long).memo("NOTES", 100).blob("PHOTO");
    t.row().set("N", 1).set("NOTES", "memo text").set("PHOTO", "blob");
    fetch(write_table(file, "MEMO.TPS"));
    // With a MEMO in the table no MEMO or BLOB content is read.
    EXPECT_EQ(lines()[1], "\"2\",\"1\",\"unavailable\",\"unavailable\"");
    EXPECT_EQ(preview_row(1, 4)[2], "unavailable");
  }
  {
    tps::fixture::File file;
    auto& t = file.table("PRE");
    t.field("N", Type::Long).blob("PHOTO").blob("EMPTY");
    t.row().set("N", 1).set("PHOTO", " say \"cheese\" ");
    globals::GLO_NULLEMPTYSTR = 1;  // an empty BLOB is a text like any other
    fetch(write_table(file, "BLOB.TPS"));
    EXPECT_EQ(lines()[0], "\"PRE:PTR\",\"PRE:N\",\"PRE:PHOTO\",\"PRE:EMPTY\"");
    EXPECT_EQ(lines()[1], std::string("\"2\",\"1\",\"say \"\"cheese\"\"\",\"") + '\0' + "\"");
    EXPECT_EQ(preview_row(1, 3)[2], " say \"cheese\" ");
  }
}

TEST_F(RecordLine, BlankRecordsAreSkippedAndNulRecordsAreNot) {
  tps::fixture::File file;
  auto& t = file.table("PRE");
  t.field("A", Type::String, 3).field("B", Type::String, 2);
  t.row();  // all blanks: the first record, so the run has no header line
  t.row().set("A", "x");
  t.row().set_raw("A", std::string(3, '\0')).set_raw("B", std::string(2, '\0'));
  t.row();
  fetch(write_table(file));
  EXPECT_EQ(lines(), (std::vector<std::string>{"\"3\",\"x\",\"\"", "\"4\",\"\",\"\""}));
  EXPECT_EQ(globals::GLO_FETCHEDNO, 4);  // blank records are read and counted
  EXPECT_EQ(globals::PreviewQueue.records(), 2u);
}

TEST_F(RecordLine, DatesAndTimesFollowTheirMarks) {
  picture::fix_clock(picture::date(6, 15, 2024), 1);
  tps::fixture::File file;
  auto& t = file.table("PRE");
  t.field("BORN", Type::Date).field("AT", Type::Time).field("DAYNO", Type::Long).field("TICKS", Type::Long)
      .field("COUNT", Type::Long).field("ATDAY", Type::Time);
  // DAYNO holds a standard date, TICKS a standard time, COUNT neither.
  t.row().set_date("BORN", 24, 12, 1999).set_time("AT", 23, 59, 59, 99).set("DAYNO", picture::date(6, 15, 2024))
      .set("TICKS", 4500001).set("COUNT", -5).set_time("ATDAY", 0, 0, 0, 0);
  const std::string table = write_table(file);
  ASSERT_EQ(run(table, "1"), engine::kExportDone);
  mark("PRE:DAYNO", true, false);
  mark("PRE:TICKS", false, true);
  mark("PRE:ATDAY", true, false);  // a TIME marked as a date takes the date picture
  globals::GLO_DATEFORMAT = "@D10";
  globals::GLO_DATETIMESEPARATOR = "-";
  globals::GLO_TIMEFORMAT = "@T01";
  ASSERT_EQ(run(table), engine::kExportDone);
  EXPECT_EQ(lines()[1], "\"2\",\"1999-12-24\",\"23-59\",\"2024-06-15\",\"12-30\",\"-5\",\"\"");

  // The marks the values leave: DATE and TIME marked for good, a LONG keeps
  // its "could be" marks only while its values could be dates or times.
  struct Marks {
    const char* name;
    const char* date;
    const char* time;
    const char* possible_date;
    const char* possible_time;
  };
  const Marks marks[] = {
      {"PRE:BORN", "D", "", "", ""},   {"PRE:AT", "", "T", "", ""},    {"PRE:DAYNO", "D", "", "d", ""},
      {"PRE:TICKS", "", "T", "", "t"}, {"PRE:COUNT", "", "", "", ""},  {"PRE:ATDAY", "D", "T", "", ""},
  };
  for (const Marks& m : marks) {
    SCOPED_TRACE(m.name);
    const globals::FieldListRecord r = entry(m.name);
    EXPECT_EQ(r.ALF_DATE.clipped(), m.date);
    EXPECT_EQ(r.ALF_TIME.clipped(), m.time);
    EXPECT_EQ(r.ALF_POSSIBLEDATE.clipped(), m.possible_date);
    EXPECT_EQ(r.ALF_POSSIBLETIME.clipped(), m.possible_time);
    EXPECT_EQ(r.ALF_DAORDER, 0);  // the column number never reaches a stored entry
  }
}

TEST_F(RecordLine, PossibleMarksDescribeTheLastRecordHandled) {
  picture::fix_clock(picture::date(6, 15, 2024), 1);
  const int day = picture::date(6, 15, 2024);
  struct Case {
    std::vector<int> values;
    const char* possible_date;
    const char* possible_time;
  };
  const std::vector<Case> cases = {
      {{day, -5}, "", ""},
      {{-5, day}, "d", "t"},
      {{day, 9000000, day}, "d", "t"},
      {{day, day + 14601}, "", "t"},   // past the 40 years of plausible dates, still a time
      {{day, 8640001}, "", ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    tps::fixture::File file;
    auto& t = file.table("PRE");
    t.field("VALUE", Type::Long);
    for (int v : c.values) t.row().set("VALUE", v);
    globals::FieldListQueue.free();
    fetch(write_table(file, "MARKS" + std::to_string(++n) + ".TPS"));
    EXPECT_EQ(entry("PRE:VALUE").ALF_POSSIBLEDATE.clipped(), c.possible_date);
    EXPECT_EQ(entry("PRE:VALUE").ALF_POSSIBLETIME.clipped(), c.possible_time);
  }
}

TEST_F(RecordLine, HeaderFormsOfTop) {
  tps::fixture::File file;
  auto& t = file.table("PRE");
  t.field("N", Type::Long).field("AMOUNT", Type::Decimal, 7, 2).field("NAME", Type::String, 20);
  t.row().set("N", 1);
  t.row().set("N", 2);
  const std::string table = write_table(file);

  globals::TopCount = -1;
  fetch(table);
  EXPECT_EQ(lines(), std::vector<std::string>{"\"PRE:PTR\",\"PRE:N\",\"PRE:AMOUNT\",\"PRE:NAME\""});
  EXPECT_EQ(globals::PreviewQueue.records(), 0u);

  globals::TopCount = -2;
  fetch(table);
  EXPECT_EQ(lines(), (std::vector<std::string>{"\"PRE:PTR\",\"PRE:N\",\"PRE:AMOUNT\",\"PRE:NAME\"",
                                               "\"LONG 4\",\"LONG 4\",\"DECIMAL 7.2(4b)\",\"STRING 20\""}));
  ASSERT_EQ(globals::PreviewQueue.records(), 1u);
  EXPECT_EQ(preview_row(1, 4), (std::vector<std::string>{"LONG 4", "LONG 4", "DECIMAL 7.2(4b)", "STRING 20"}));
}

TEST_F(RecordLine, SelectKeepsTheTableOrderAndAKeywordAloneSelectsEverything) {
  tps::fixture::File file;
  auto& t = file.table("PRE");
  t.field("A", Type::Long).field("B", Type::Long).field("C", Type::Long);
  t.row().set("A", 1).set("B", 2).set("C", 3);
  const std::string table = write_table(file);
  struct Case {
    const char* select;
    const char* where;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"PRE:C,PRE:A", "", {"\"PRE:A\",\"PRE:C\"", "\"1\",\"3\""}},
      // WHERE names a column SELECT leaves out: it is read and written too.
      {"PRE:C", "PRE:B = 2", {"\"PRE:B\",\"PRE:C\"", "\"2\",\"3\""}},
      {"TOP 5", "PRE:B = 2", {"\"PRE:PTR\",\"PRE:A\",\"PRE:B\",\"PRE:C\"", "\"2\",\"1\",\"2\",\"3\""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.select);
    globals::GLO_SELECT = c.select;
    globals::GLO_WHERE = c.where;
    fetch(table);
    EXPECT_EQ(lines(), c.lines);
  }
}

TEST_F(RecordLine, WhereGetsEveryKindOfValue) {
  tps::fixture::File file;
  auto& t = file.table("PRE");
  t.field("ID", Type::Long).field("NAME", Type::String, 12).field("NAME2", Type::CString, 12)
      .field("BORN", Type::Date).field("AT", Type::Time).field("PRICE", Type::Decimal, 7, 2)
      .memo("NOTES", 50);
  t.row().set("ID", 1).set("NAME", "Smith").set("NAME2", "x").set_date("BORN", 1, 1, 2020)
      .set_time("AT", 12, 30).set("PRICE", "9.99");
  t.row().set("ID", 2).set("NAME", "O'Brien").set("NAME2", "y").set_date("BORN", 2, 1, 2020)
      .set_time("AT", 8, 0).set("PRICE", "100.5");
  t.row().set("ID", 3).set("NAME", "PRE:NAME").set("NAME2", "PRE:NAME2").set_date("BORN", 3, 1, 2020)
      .set_time("AT", 23, 0).set("PRICE", "0");
  const std::string table = write_table(file);
  eval::bind("TIME", engine::TIME, 3, eval::ResultType::Long);
  eval::bind("HOUR", engine::HOUR, 1, eval::ResultType::Long);
  eval::bind("MINUTE", engine::MINUTE, 1, eval::ResultType::Long);
  eval::bind("SECOND", engine::SECOND, 1, eval::ResultType::Long);

  struct Case {
    const char* where;
    std::vector<int> passing;  // values of PRE:ID
    bool invalid = false;      // the copies are invalid: one message tells so
  };
  const std::vector<Case> cases = {
      {"PRE:ID > 1", {2, 3}},
      {"PRE:PRICE >= 9.99 AND PRE:PRICE < 100", {1}},
      {"PRE:NAME = 'Smith'", {1}},
      {"PRE:NAME = 'O''Brien'", {2}},        // the value's quote is doubled in the copy
      {"PRE:NAME = 'PRE:' & 'NAME'", {3}},  // a value holding its own label
      {"PRE:NAME2 = 'y'", {}, true},         // PRE:NAME's value lands on the start of PRE:NAME2
      {"PRE:PTR = 3", {2}},
      {"PRE:BORN = DATE(1,2,2020)", {2}},
      {"PRE:BORN > TODAY()", {}},
      {"PRE:AT > TIME(12,0,0)", {1, 3}},
      {"HOUR(PRE:AT) = 8 OR MINUTE(PRE:AT) = 30", {1, 2}},
      {"SECOND(PRE:AT) = 0 AND PRE:ID = 3", {3}},
      {"PRE:ID = 1 PRE:NOTES", {1}},          // a MEMO's label is removed
      {"pre:id > 1", {}, true},                // another case is no label: invalid, every record dropped
      {"PRE:ID >", {}, true},
      {"\r\n  PRE:ID = 2\r\n", {2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    window::headless().reset();
    globals::GLO_WHERE = c.where;
    fetch(table);
    std::vector<std::string> expected{"\"PRE:PTR\",\"PRE:ID\",\"PRE:NAME\",\"PRE:NAME2\",\"PRE:BORN\",\"PRE:AT\","
                                      "\"PRE:PRICE\",\"PRE:NOTES\""};
    std::vector<int> seen;
    for (std::size_t i = 1; i < lines().size(); ++i) seen.push_back(std::stoi(lines()[i].substr(lines()[i].find(",\"") + 2)));
    EXPECT_EQ(seen, c.passing);
    EXPECT_EQ(lines().front(), expected.front());
    EXPECT_EQ(globals::PreviewQueue.records(), c.passing.size());
    EXPECT_EQ(globals::GLO_FETCHEDNO, 3);
    EXPECT_EQ(messages().size(), c.invalid ? 1u : 0u);  // once per run, however many records it drops
  }
}

TEST_F(RecordLine, EmptyTextsAsNul) {
  tps::fixture::File file;
  auto& t = file.table("PRE");
  t.field("S", Type::String, 4).field("C", Type::CString, 4).field("P", Type::PString, 4)
      .field("N", Type::Long).field("D", Type::Date).field("T", Type::Time).memo("M", 10);
  t.row().set("N", 0);  // the DATE and TIME stay zero: no date, no time
  const std::string table = write_table(file);
  const std::string nul(1, '\0');
  globals::GLO_NULLEMPTYSTR = 1;
  fetch(table);
  // Only the texts become NUL; an empty date or time stays empty.
  EXPECT_EQ(lines()[1], "\"2\",\"" + nul + "\",\"" + nul + "\",\"" + nul + "\",\"0\",\"\",\"\",\"unavailable\"");
  EXPECT_EQ(preview_row(1, 3)[1], "");  // the NUL shows as an empty cell
  globals::GLO_NULLEMPTYSTR = 0;
  fetch(table);
  EXPECT_EQ(lines()[1], "\"2\",\"\",\"\",\"\",\"0\",\"\",\"\",\"unavailable\"");
}

TEST_F(RecordLine, PreviewRowsFollowTheWrittenLines) {
  tps::fixture::File file;
  auto& t = file.table("PRE");
  t.field("N", Type::Long).field("NAME", Type::String, 150);
  for (int n = 1; n <= 3; ++n) t.row().set("N", n).set("NAME", std::string(150, static_cast<char>('a' + n)));
  const std::string table = write_table(file);
  globals::GLO_WHERE = "PRE:N <> 2";
  fetch(table);
  ASSERT_EQ(globals::PreviewQueue.records(), 2u);
  EXPECT_EQ(preview_row(1, 3), (std::vector<std::string>{"2", "1", std::string(99, 'b')}));
  EXPECT_EQ(preview_row(2, 3), (std::vector<std::string>{"4", "3", std::string(99, 'd')}));
  EXPECT_EQ(lines()[2].size(), 150u + 10);  // the CSV keeps the whole value

  globals::GLO_NOPREVIEW = 1;
  fetch(table);
  EXPECT_EQ(globals::PreviewQueue.records(), 0u);
  EXPECT_EQ(lines().size(), 3u);
}

TEST_F(RecordLine, SubstitutionEndsWhenTheValueHoldsTheLabel) {
  engine::RunState run;
  engine::Column c;
  c.name = "PRE:NAME";
  c.type = "STRING";
  c.text_type = true;
  struct Case {
    const char* where;
    const char* value;
    const char* type;
    const char* result;
  };
  const Case cases[] = {
      {"PRE:NAME = PRE:NAME", "PRE:NAME PRE:NAME", "STRING", "'PRE:NAME PRE:NAME' = 'PRE:NAME PRE:NAME'"},
      {"PRE:NAME='a'", "it's", "STRING", "'it''s'='a'"},
      {"PRE:NAME > 1", "12  ", "LONG", "12 > 1"},
      {"X PRE:NAME Y", "anything", "MEMO", "X  Y"},
      {"", "x", "STRING", ""},
  };
  for (const Case& k : cases) {
    c.type = k.type;
    c.text_type = std::string_view(k.type) == "STRING";
    engine::WhereWork = k.where;
    engine::CurrentRawValue = k.value;
    engine::SubstituteFieldInWhere(run, c);
    EXPECT_EQ(engine::WhereWork, k.result) << k.where;
  }
}

}  // namespace
