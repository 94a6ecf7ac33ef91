// Field discovery: the run's columns from the table's definition, the field
// list's rebuild rule (the user's marks survive while the prefix stays), and
// the names SELECT and WHERE pick.
#include "engine/field_discovery.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "export_support.h"

namespace {

using export_test::Type;
using globals::FieldListQueue;
using globals::SelectedNamesQueue;

// A table of every kind of field: an array, a GROUP, an OVER, a DECIMAL, a
// DATE and a TIME, a MEMO and a BLOB.
void every_kind(tps::fixture::File& file, const std::string& prefix = "PRE") {
  auto& t = file.table(prefix);
  t.field("NUMBER", Type::Long)
      .field("NAME", Type::String, 20)
      .field("AMOUNT", Type::Decimal, 7, 2)
      .field("SCORES", Type::Short).dim(3)
      .group("ACCOUNT").field("STATUS", Type::Byte).field("RATING", Type::Byte).end()
      .field("CODE", Type::String, 4).over("NAME")
      .field("BORN", Type::Date)
      .field("AT", Type::Time)
      .memo("NOTES", 100)
      .blob("PHOTO").binary();
  t.row().set("NUMBER", 1);
}

class Discovery : public export_test::Export {
 protected:
  // Opens the table and runs discovery on a run state of our own.
  void discover(const std::string& path) {
    engine::InputFileName = path;
    ASSERT_EQ(engine::TESTANY.open(0), 0) << files::file_error();
    engine::LoadFieldInfo(run_);
    engine::TESTANY.close();
  }
  engine::FieldInfoRecord column(std::size_t k) {
    engine::FieldInfoRecord r;
    EXPECT_TRUE(run_.FieldInfoQueue.peek(k, r));
    return r;
  }
  static globals::FieldListRecord entry(std::size_t k) {
    globals::FieldListRecord r;
    EXPECT_TRUE(FieldListQueue.peek(k, r));
    return r;
  }
  static std::vector<std::string> list_names() {
    std::vector<std::string> names;
    for (std::size_t k = 1; k <= FieldListQueue.records(); ++k) names.push_back(entry(k).ALF_DAFIELD.str());
    return names;
  }
  // Selected names as "NAME/fromwhere", in queue order.
  static std::vector<std::string> selected() {
    std::vector<std::string> out;
    globals::SelectedNamesRecord r;
    for (std::size_t k = 1; SelectedNamesQueue.peek(k, r); ++k)
      out.push_back(r.TFQ_NAME.str() + "/" + std::to_string(r.TFQ_FROMWHERE));
    return out;
  }

  engine::RunState run_;
};

TEST_F(Discovery, ColumnsOfEveryKindInOutputOrder) {
  tps::fixture::File file;
  every_kind(file);
  discover(write_table(file));

  struct Expected {
    const char* name;
    const char* type;
    int size, reference, blob_or_memo, dim;
  };
  const Expected expected[] = {
      {"PRE:PTR", "LONG", 4, 0, -1, 0},          {"PRE:NUMBER", "LONG", 4, 1, 0, 0},
      {"PRE:NAME", "STRING", 20, 2, 0, 0},       {"PRE:AMOUNT", "DECIMAL", 4, 3, 0, 0},
      {"PRE:SCORES-1", "SHORT", 2, 4, 0, 3},     {"PRE:SCORES-2", "SHORT", 2, 4, 0, 3},
      {"PRE:SCORES-3", "SHORT", 2, 4, 0, 3},     {"PRE:STATUS", "BYTE", 1, 6, 0, 0},
      {"PRE:RATING", "BYTE", 1, 7, 0, 0},        {"PRE:CODE", "STRING", 4, 8, 0, 0},
      {"PRE:BORN", "DATE", 4, 9, 0, 0},          {"PRE:AT", "TIME", 4, 10, 0, 0},
      {"PRE:NOTES", "MEMO", 100, -1, 1, 0},      {"PRE:PHOTO", "BLOB", 0, -2, 1, 0},
  };
  ASSERT_EQ(run_.FieldInfoQueue.records(), std::size(expected));
  for (std::size_t k = 0; k < std::size(expected); ++k) {
    const engine::FieldInfoRecord c = column(k + 1);
    const Expected& e = expected[k];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(c.FIQ_NAME.view(), e.name);
    EXPECT_EQ(c.FIQ_NAMELEN, static_cast<int>(std::string(e.name).size()));
    EXPECT_EQ(c.FIQ_TYPE.view(), e.type);
    EXPECT_EQ(c.FIQ_SIZE, e.size);
    EXPECT_EQ(c.FIQ_REFERENCE, e.reference);
    EXPECT_EQ(c.FIQ_BLOBORMEMO, e.blob_or_memo);
    EXPECT_EQ(c.FIQ_DIM, e.dim);
  }
  EXPECT_EQ(column(4).FIQ_ORIGSIZE, 7);
  EXPECT_EQ(column(4).FIQ_PLACES, 2);
  EXPECT_EQ(column(10).FIQ_OVER, 2);  // CODE lies over NAME
  EXPECT_EQ(column(14).FIQ_BINARY, 1);
  EXPECT_EQ(run_.MemoCount, 1);
  EXPECT_EQ(run_.MemoBlobCount, 2);

  // The field list: one entry per column in table order, MEMOs and BLOBs
  // numbered after the table's ten fields (the GROUP counts), type marks set.
  struct ListEntry {
    const char* name;
    int count;
    const char* sort;
    const char* date;
    const char* time;
  };
  const ListEntry list[] = {
      {"PRE:PTR", 0, "PRE:PTR", "", ""},          {"PRE:NUMBER", 1, "PRE:NUMBER", "", ""},
      {"PRE:NAME", 2, "PRE:NAME", "", ""},        {"PRE:AMOUNT", 3, "PRE:AMOUNT", "", ""},
      {"PRE:SCORES-1", 4, "PRE:SCORES- ", "", ""}, {"PRE:SCORES-2", 4, "PRE:SCORES- ", "", ""},
      {"PRE:SCORES-3", 4, "PRE:SCORES- ", "", ""}, {"PRE:STATUS", 6, "PRE:STATUS", "", ""},
      {"PRE:RATING", 7, "PRE:RATING", "", ""},    {"PRE:CODE", 8, "PRE:CODE", "", ""},
      {"PRE:BORN", 9, "PRE:BORN", "D", ""},       {"PRE:AT", 10, "PRE:AT", "", "T"},
      {"PRE:NOTES", 11, "PRE:NOTES", "", ""},     {"PRE:PHOTO", 12, "PRE:PHOTO", "", ""},
  };
  ASSERT_EQ(FieldListQueue.records(), std::size(list));
  for (std::size_t k = 0; k < std::size(list); ++k) {
    const globals::FieldListRecord r = entry(k + 1);
    SCOPED_TRACE(list[k].name);
    EXPECT_EQ(r.ALF_DAFIELD.view(), list[k].name);
    EXPECT_EQ(r.ALF_DACOUNT, list[k].count);
    EXPECT_EQ(r.ALF_DASORT.view(), list[k].sort);
    EXPECT_EQ(r.ALF_DATE.clipped(), list[k].date);
    EXPECT_EQ(r.ALF_TIME.clipped(), list[k].time);
    EXPECT_EQ(r.ALF_NAMELEN, static_cast<int>(r.ALF_DAFIELD.size()));
    EXPECT_EQ(r.ALF_DAORDER, 0);
  }
  EXPECT_EQ(entry(4).ALF_DASIZE, 4);
  EXPECT_EQ(entry(4).ALF_DATYPE.view(), "DECIMAL");
}

TEST_F(Discovery, TablesWithoutFieldsOrPrefix) {
  {
    tps::fixture::File file;
    file.table("EMP");  // a definition without any field
    discover(write_table(file, "EMPTY.TPS"));
    ASSERT_EQ(run_.FieldInfoQueue.records(), 1u);
    EXPECT_EQ(column(1).FIQ_NAME.view(), "PTR");
    EXPECT_EQ(column(1).FIQ_SIZE, 4);
    EXPECT_EQ(list_names(), std::vector<std::string>{"PTR"});
    EXPECT_EQ(entry(1).ALF_DACOUNT, 0);
  }
  {
    tps::fixture::File file;
    file.table("").field("COUNT12", Type::Long).field("NAME", Type::String, 5);
    discover(write_table(file, "PLAIN.TPS"));
    EXPECT_EQ(list_names(), (std::vector<std::string>{"PTR", "COUNT12", "NAME"}));
    EXPECT_EQ(entry(2).ALF_DASORT.view(), "COUNT  ");  // trailing digits blanked, length kept
  }
}

TEST_F(Discovery, TheFieldListKeepsItsMarksWhileThePrefixStays) {
  tps::fixture::File first;
  first.table("PRE").field("NUMBER", Type::Long).field("NAME", Type::String, 5);
  discover(write_table(first, "FIRST.TPS"));
  ASSERT_EQ(FieldListQueue.get(2), 0);
  FieldListQueue.buffer().ALF_DATE = "D";  // the user marks NUMBER as a date
  FieldListQueue.put();

  struct Case {
    const char* prefix;
    const char* field;
    bool kept;
  };
  const Case cases[] = {
      {"PRE", "OTHER", true},     // same prefix, other fields: the list stands, marks and all
      {"pre", "OTHER", false},    // the prefix compares case-sensitively
      {"", "OTHER", false},       // no prefix: nothing to recognise the list by
      {"PRE", "NUMBER", false},   // the list now starts "OTHER" without a prefix: rebuilt
      {"ABCDEFGHIJKLMNOPQRSTU", "X", false},  // the table's colon lies beyond 19 characters
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prefix) + ":" + c.field);
    const std::vector<std::string> before = list_names();
    tps::fixture::File other;
    other.table(c.prefix).field(c.field, Type::Long);
    discover(write_table(other, "OTHER" + std::to_string(++n) + ".TPS"));
    if (c.kept) {
      EXPECT_EQ(list_names(), before);
      EXPECT_EQ(entry(2).ALF_DATE.clipped(), "D");
    } else {
      const std::string prefix = std::string(c.prefix).empty() ? "" : std::string(c.prefix) + ":";
      EXPECT_EQ(list_names(), (std::vector<std::string>{prefix + "PTR", prefix + c.field}));
      EXPECT_EQ(entry(2).ALF_DATE.clipped(), "");
    }
  }
}

TEST_F(Discovery, SelectAndWhereNames) {
  tps::fixture::File file;
  file.table("PRE")
      .field("NAME", Type::String, 5)
      .field("NAME2", Type::String, 5)
      .field("AMOUNT", Type::Long)
      .field("CITY", Type::String, 5);
  const std::string path = write_table(file);

  struct Case {
    const char* select;
    const char* where;
    std::vector<std::string> names;
  };
  const std::vector<Case> cases = {
      {"", "PRE:AMOUNT > 1", {}},                                  // blank SELECT: no names at all
      {"pre:amount", "", {"PRE:AMOUNT/0"}},                         // upper-cased; the end of the text
      {"PRE:AMOUNT,PRE:CITY", "", {"PRE:AMOUNT/0", "PRE:CITY/0"}},  // kept in name order
      {"PRE:CITY PRE:AMOUNT", "", {"PRE:AMOUNT/0", "PRE:CITY/0"}},
      {"PRE:AMOUNT;PRE:CITY(", "", {}},                             // neither ; nor ( ends a name
      {"PRE:AMOUNT\tX", "", {}},
      {"XPRE:CITY,", "", {"PRE:CITY/0"}},                           // what comes before is not tested
      // NAME2 named first: NAME's first occurrence is followed by "2", so
      // NAME is not selected through SELECT, although named later.
      {"PRE:NAME2,PRE:NAME", "", {"PRE:NAME2/0"}},
      {"PRE:NAME2,PRE:NAME", "PRE:NAME = 'x'", {"PRE:NAME/1", "PRE:NAME2/0"}},
      {"PRE:CITY", "pre:amount > 1 AND PRE:CITY = 'x'", {"PRE:AMOUNT/1", "PRE:CITY/0"}},
      {"TOP 5", "PRE:AMOUNT > 1", {"PRE:AMOUNT/1"}},
      {"PRE:PTR", "", {"PRE:PTR/0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.select) + " | " + c.where);
    globals::GLO_SELECT = c.select;
    globals::GLO_WHERE = c.where;
    discover(path);
    EXPECT_EQ(selected(), c.names);
  }
}

}  // namespace
